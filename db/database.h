#pragma once
// The database engine layer: a database (an SQLite file opened for exclusive
// use, or a PostgreSQL server shared by several desks) and record sets over
// it with the semantics the program relies on (dynaset, snapshot, table).
// SQL texts are accepted in the program's dialect (date literals between
// '#', `like` with '*', Yes/No fields as conditions, nested joins) and
// translated for the backend.  Every failure is thrown as cvd::Error with
// its number; nothing here shows a window.  No caller needs to know which
// backend it has.
#include "db/errors.h"
#include "db/references.h"
#include "db/value.h"

#include <QStringList>
#include <vector>
#include <functional>
#include <memory>

struct sqlite3;

namespace cvd {

// ForwardOnly: a read-only snapshot read once from the first record to the
// last, which holds no record it has passed (for reading whole lists).
enum class RecordsetType { Table = 1, Dynaset = 2, Snapshot = 4, ForwardOnly = 8 };

class Recordset;

// Work: the program's own use, read and write.  Check: reading only, to
// check the file (a read-only file is accepted, every write refused).
enum class OpenMode { Work, Check };

class Database {
public:
    // Opens an existing file for exclusive read-write use, held until the
    // object is destroyed.  Refused (and the file left untouched): a missing
    // file (3024), a file that is not a database or is damaged (3049), one
    // that lacks a table or a column of the program's (3078, naming them),
    // one held by another process (3045), a read-only file or one in a
    // folder where its journal cannot be made (3051).  The error text names
    // the path.
    //
    // The file's structure is then checked (SQLite's quick check) beside the
    // program, so that opening does not wait for it; every write waits for
    // its result, and a damaged file refuses every write (3049): nothing is
    // ever written to it.
    //
    // `location` may also name a server: the path of a `cvd.conn` file (one
    // line, a libpq connection string or URI) or such a string itself.  A
    // server is shared: 3045 does not apply, a record another desk holds
    // gives 3260, a record changed at another desk since it was read gives
    // 3197 on Update.  Refused: a server that cannot be reached (3151), a
    // refused login (3029), one without the program's tables (3078); the
    // text names the server, never a password.
    static std::shared_ptr<Database> Open(const QString& location, OpenMode mode = OpenMode::Work);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // A table name or an SQL text in the program's dialect.
    std::unique_ptr<Recordset> OpenRecordset(const QString& source, RecordsetType type = RecordsetType::Dynaset);

    // Runs an SQL text that returns no rows (the dialect is translated).
    void Execute(const QString& sql);

    // The engine's idle call with the free-locks option, after every write loop.
    void Idle();

    // The check of the file's structure begun by Open: `done` is called
    // once its result is known, at once when it is, otherwise on the
    // checking thread; with the check's findings when the file is damaged,
    // an empty list when it is sound.  (A file opened to be checked is
    // taken as sound here.)
    void whenChecked(std::function<void(const QStringList& damage)> done);
    // Waits for that check (made now for a file opened to be checked): its
    // findings, empty when the file is sound.
    QStringList waitForCheck();

    // The file's path, or the server as "dbname on host:port as user".
    QString path() const;
    bool isServer() const;
    // The SQLite connection of a file; null on a server.
    sqlite3* handle() const;

    // Whether this login may add, change and delete records of `table`: on
    // a server by the rights the administrator granted it (a file the
    // program opens it may always write).  What it lacks of the rights a
    // desk needs, in words, a line each; empty when it has them all.
    bool canWrite(const QString& table) const;
    QStringList missingRights() const;

    // A count that grows whenever `table` changes: on a server by any desk,
    // on a file by this program.  Look-up lists reload when it moved.
    qint64 tableVersion(const QString& table);

    // Rows written in bulk into one table, keys included (making, filling
    // and copying databases).  Everything added is written in one
    // transaction when finish() is called; a loader dropped unfinished
    // writes nothing.
    class BulkLoader {
    public:
        virtual ~BulkLoader() = default;
        virtual void add(const std::vector<Value>& row) = 0;
        virtual void finish() = 0;
    };
    // Rows are loaded as they come, whatever other tables they name (on a
    // server, the references between tables are not checked until
    // finishLoading()).
    std::unique_ptr<BulkLoader> loader(const QString& table, const QStringList& columns);
    // After rows were loaded with their keys: new AutoNumber keys follow
    // the largest key of every table, and the references between tables
    // are kept again (db/references.h).  Returns the references that some
    // loaded rows break, with their counts: those rows are kept as they are.
    QList<BrokenReferences> finishLoading();

    struct Impl;

private:
    explicit Database(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> d;
    friend class Recordset;
};

// The SQL text SQLite runs for a text in the program's dialect.
QString translateSql(const QString& dialectSql);

class Recordset {
public:
    ~Recordset();
    Recordset(const Recordset&) = delete;
    Recordset& operator=(const Recordset&) = delete;

    RecordsetType type() const;

    // Above zero as soon as the set holds a record: the records read so
    // far.  Exact after MoveLast, except in a dynaset that reads its keys a
    // piece at a time from both ends (ordered by one column or its key),
    // where it is exact once the two ends have met (a walk through the set).
    long RecordCount();
    bool Bof() const;
    bool Eof() const;
    // A forward-only set refuses to move back (3219).
    void MoveFirst();
    void MoveLast();
    void MoveNext();
    void MovePrevious();
    // The current record's place in the set, from 0; -1 without one.  In
    // a set read from both ends, a place near the end counts from a mark
    // far above any count until the ends meet: good for setting it again,
    // not for arithmetic.  Setting it makes the record at that place
    // current (3001 for a place the set does not hold).
    long AbsolutePosition() const;
    void SetAbsolutePosition(long position);

    // A field of the current record (or of the edit buffer) by name, in any
    // case.  3021 without a current record, 3265 for a name the set lacks.
    Value Field(const QString& name);
    // The same by the field's place in the set (from 0), for a loop over
    // many records; FieldIndex gives the place of a name.
    Value Field(int index);
    int FieldIndex(const QString& name) const;
    // Assigns a field in the edit buffer opened by AddNew or Edit.
    void SetField(const QString& name, const Value& v);
    QStringList FieldNames() const;

    // AddNew: an empty edit buffer; the AutoNumber key reads at once.
    void AddNew();
    void Edit();
    void Update();
    void CancelUpdate();
    // Gives up the edit buffer, if one is open, so that a write that failed
    // can be tried afresh; never fails.
    void DiscardEdit() noexcept;
    void Delete();
    // Whether an edit buffer is open (AddNew or Edit not yet updated).
    bool Editing() const;

    // First record in the set's order that meets the criteria (same
    // dialect as the SQL texts); on no match the current record stays.
    void FindFirst(const QString& criteria);
    bool NoMatch() const;

    // Table sets: the index to seek on, then Seek("=", key).
    void SetIndex(const QString& indexName);
    void Seek(const QString& comparison, const Value& key);

    // Reads the set again (other desks' changes included) and stays on the
    // same record, or on the one that took its place when it is gone.
    // An open edit buffer is given up.
    void Requery();
    void Close();

    struct Impl;

private:
    explicit Recordset(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> d;
    friend class Database;
};

} // namespace cvd

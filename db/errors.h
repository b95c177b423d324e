#pragma once
// Run-time errors of the program, numbered as the user sees them in the
// error handler's message box.
#include <QString>
#include <exception>

namespace cvd {

namespace ErrNo {
constexpr int Overflow = 6;
constexpr int DeviceIO = 57;            // a file could not be written or read
constexpr int FileExists = 58;          // a file that would be overwritten
constexpr int DiskFull = 61;
constexpr int PathAccess = 75;          // a folder or file that cannot be made or written
constexpr int TypeMismatch = 13;
constexpr int ObjectNotSet = 91;      // a record set that could not be opened
constexpr int InvalidUseOfNull = 94;
constexpr int SqlError = 3001;          // SQL the engine rejects; text is SQLite's message
constexpr int NoCurrentRecord = 3021;
constexpr int FileNotFound = 3024;      // the database file is missing
constexpr int DatabaseInUse = 3045;
constexpr int NotADatabase = 3049;      // not a database, or damaged
constexpr int CannotWrite = 3051;       // a read-only file, or a folder where the journal cannot be made
constexpr int FieldTooSmall = 3163;     // text longer than its field
constexpr int RecordLocked = 3168;
constexpr int RecordLockedByUser = 3260;
constexpr int NotUpdatable = 3027;      // write on a read-only set
constexpr int UpdateWithoutEdit = 3020; // Update or CancelUpdate without AddNew or Edit
constexpr int ItemNotFound = 3265;      // no field of that name
constexpr int MissingTables = 3078;     // the file lacks the program's tables
constexpr int DuplicateKey = 3022;       // a key that is already taken
constexpr int LoginRefused = 3029;       // the server refused the login
constexpr int ConnectionLost = 3146;     // the connection to the server was lost
constexpr int ServerUnreachable = 3151;  // the server could not be reached
constexpr int RecordDeleted = 3167;      // the record was deleted (by another desk)
constexpr int ChangedElsewhere = 3197;   // the record was changed at another desk since it was read
constexpr int RowInUse = 3200;           // a row another row names cannot be deleted
constexpr int MissingReference = 3201;   // a reference to a row that does not exist
constexpr int DialogCancelled = 32755;
}

// An error with its number and message text.
class Error : public std::exception {
public:
    Error(int number, QString text) : m_number(number), m_text(std::move(text)), m_utf8(m_text.toUtf8()) {}
    int number() const { return m_number; }
    const QString& text() const { return m_text; }
    const char* what() const noexcept override { return m_utf8.constData(); }

private:
    int m_number;
    QString m_text;
    QByteArray m_utf8;
};

// The standard message text for a numbered error raised by the program itself.
QString errorText(int number);

// Shorthand for throwing a numbered error with its standard text.
[[noreturn]] void raise(int number);
[[noreturn]] void raise(int number, const QString& text);

// Thrown when the program ends (by the error handler): it unwinds whatever
// was running and is never passed to the error handler.
class ProgramEnded : public std::exception {
public:
    explicit ProgramEnded(int code = 0) : m_code(code) {}
    int code() const { return m_code; }
    const char* what() const noexcept override { return "program ended"; }

private:
    int m_code;
};

} // namespace cvd

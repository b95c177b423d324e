// The database engine, on the file and (as tst_database_server) on a
// server: opening, record-set semantics, field values as stored, references
// between tables, the order of names, the dialect.
#include "db/database.h"
#include "db/schema.h"
#include "support/fixturedb.h"
#include "support/testbackend.h"
#include "support/testfiles.h"
#include "support/testmain.h"

#include <QCollator>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace cvd;
using namespace Qt::StringLiterals;
using test::errorOf;

static const QString AllRequests = u"Select * from Req order by ReqDate desc"_s;

class TestDatabase : public QObject {
    Q_OBJECT

    test::Folders m_dir;
    QString freshFixture() { return test::createFixtureDb(m_dir.next()); }
    static void bothKinds()
    {
        QTest::addColumn<RecordsetType>("type");
        QTest::newRow("dynaset") << RecordsetType::Dynaset;
        QTest::newRow("snapshot") << RecordsetType::Snapshot;
    }

private slots:
    // Refused opens name the file (and what it lacks) and leave it as it
    // was; a column of the file's own is no concern.
    void refusedOpen_data()
    {
        if (test::serverMode())
            QSKIP("the file's own refusals");
        QTest::addColumn<QByteArray>("bytes"); // the file's; null: no file
        QTest::addColumn<int>("error");
        QTest::addColumn<QString>("named");
        const QByteArray good = test::fileBytes(freshFixture());
        QByteArray damaged = good;
        for (int i = 100; i < 4096; ++i)
            damaged[i] = char(0xA5 ^ i);
        const auto altered = [&](const char* sql) {
            const QString path = freshFixture();
            return test::execSql(path, sql) ? test::fileBytes(path) : QByteArray("not altered");
        };
        QTest::newRow("missing file") << QByteArray() << ErrNo::FileNotFound << QString();
        QTest::newRow("empty file") << QByteArray("") << ErrNo::NotADatabase << QString();
        QTest::newRow("truncated") << good.left(good.size() / 2) << ErrNo::NotADatabase << QString();
        QTest::newRow("damaged first page") << damaged << ErrNo::NotADatabase << QString();
        QTest::newRow("missing column and table")
            << altered("ALTER TABLE Staff DROP COLUMN Comments; DROP TABLE Priorities") << ErrNo::MissingTables
            << u"the column Comments of the table Staff, the table Priorities"_s;
        QTest::newRow("missing money column") << altered("ALTER TABLE Settings DROP COLUMN DefHourlyRate")
            << ErrNo::MissingTables << u"the column DefHourlyRate of the table Settings"_s;
        QTest::newRow("a column of its own") << altered("ALTER TABLE Req ADD COLUMN Notes TEXT") << 0 << QString();
    }
    void refusedOpen()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, error);
        QFETCH(QString, named);
        QTemporaryDir dir;
        const QString path = dir.filePath(u"cvd.mdb"_s);
        QVERIFY(bytes.isNull() || test::writeFile(path, bytes));
        QString text;
        QCOMPARE(errorOf([&] { Database::Open(path); }, &text), error);
        QVERIFY2(!error || (text.contains(path) && text.contains(named)), qPrintable(text));
        QVERIFY(test::fileBytes(path) == bytes);
        QVERIFY(!QFile::exists(path + u"-journal"_s));
    }

    // A second open, here or in another program, is refused while the first
    // keeps working; the lock ends with the object.
    void exclusiveOpen()
    {
        if (test::serverMode())
            QSKIP("a server is shared by several desks");
        const QString path = freshFixture();
        {
            auto first = Database::Open(path);
            QCOMPARE(errorOf([&] { Database::Open(path); }), ErrNo::DatabaseInUse);
            QProcess p; // the refused open kept the lock
            p.start(u"sqlite3"_s, {path, u"select count(*) from Req;"_s});
            QVERIFY(p.waitForFinished(10000));
            QVERIFY(QByteArray(p.readAllStandardOutput() + p.readAllStandardError()).contains("locked"));
            first->Execute(u"Update Req set ShortDesc = 'still mine' where ReqID = 1"_s);
        }
        QCOMPARE(Database::Open(path)->path(), path);
    }

    // Both kinds of set (a keyed dynaset, a read-only snapshot) at both ends
    // and empty; each refusal its number.
    void movesAndRefusals_data() { bothKinds(); }
    void movesAndRefusals()
    {
        QFETCH(RecordsetType, type);
        auto db = Database::Open(freshFixture());
        auto rs = db->OpenRecordset(u"Select * from Categories order by CatDesc"_s, type);
        const QString key = u"CatID"_s; // 2, 3, 1
        QVERIFY(!rs->Bof() && !rs->Eof() && rs->RecordCount() > 0); // the count is exact only after MoveLast
        QCOMPARE(rs->Field(key), Value(2));
        rs->MovePrevious();
        QVERIFY(rs->Bof() && !rs->Eof());
        QCOMPARE(errorOf([&] { rs->Field(key); }), ErrNo::NoCurrentRecord);
        QCOMPARE(errorOf([&] { rs->MovePrevious(); }), ErrNo::NoCurrentRecord);
        rs->MoveNext();
        QCOMPARE(rs->Field(key), Value(2));
        for (int i = 0; i < 3; ++i)
            rs->MoveNext();
        QVERIFY(rs->Eof() && !rs->Bof());
        QCOMPARE(errorOf([&] { rs->MoveNext(); }), ErrNo::NoCurrentRecord);
        rs->MovePrevious();
        QCOMPARE(rs->Field(key), Value(1));
        rs->MoveLast();
        QCOMPARE(rs->RecordCount(), 3L);
        QCOMPARE(errorOf([&] { rs->AddNew(); }), type == RecordsetType::Snapshot ? ErrNo::NotUpdatable : 0);

        rs = db->OpenRecordset(u"Select * from Req where CatID = 99"_s, type);
        QVERIFY(rs->Bof() && rs->Eof() && rs->RecordCount() == 0);
        QList<std::function<void()>> calls = {[&] { rs->Field(u"ReqID"_s); }, [&] { rs->MoveNext(); },
                                              [&] { rs->MoveFirst(); }, [&] { rs->MoveLast(); }};
        if (type == RecordsetType::Dynaset)
            calls << [&] { rs->Edit(); } << [&] { rs->Delete(); };
        for (const auto& f : calls)
            QCOMPARE(errorOf(f), ErrNo::NoCurrentRecord);
        QString text;
        QCOMPARE(errorOf([&] { db->OpenRecordset(u"Select Nonsense from Req"_s, type); }, &text), ErrNo::SqlError);
        QVERIFY2(text.contains(u"nonsense"_s, Qt::CaseInsensitive), qPrintable(text));
        // A set over more than one table cannot be saved: asked for as a dynaset it is refused.
        QCOMPARE(errorOf([&] { db->OpenRecordset(u"Select ReqID from Req left join Staff on AssignedTo = StaffID"_s, type); }),
                 type == RecordsetType::Dynaset ? ErrNo::NotUpdatable : 0);
    }

    // Delete leaves no current record until the next move.  A new key reads
    // at once and is never reused; the record is written and found again by
    // its key after the others, and the current record stays.  A locked write
    // or delete fails without touching the file; the next try goes through.
    void writes()
    {
        const QString path = freshFixture();
        {
            auto db = Database::Open(path);
            auto rs = db->OpenRecordset(AllRequests);
            rs->Delete(); // request 8
            QVERIFY(!rs->Bof() && !rs->Eof());
            QCOMPARE(errorOf([&] { rs->Field(u"ReqID"_s); }), ErrNo::NoCurrentRecord);
            QCOMPARE(rs->RecordCount(), 7L);
            rs->MoveNext(); // on request 7
            rs->AddNew();
            QCOMPARE(rs->Field(u"ReqID"_s), Value(9));
            QCOMPARE(rs->Field(u"Resolved"_s), Value(false)); // the column's default
            QVERIFY(rs->Field(u"CustID"_s).isNull());
            rs->SetField(u"ShortDesc"_s, u"Toner"_s);
            rs->SetField(u"ReqDate"_s, QDate(1996, 5, 1));
            rs->Update();
            QCOMPARE(rs->Field(u"ReqID"_s), Value(7));
            QCOMPARE(rs->RecordCount(), 8L);
            rs->FindFirst(u"ReqID = 9"_s);
            rs->MoveNext();
            QVERIFY(rs->Eof()); // found, and last
            rs->MoveFirst(); // request 7
            test::failNextWrites(*db, 2, ErrNo::RecordLockedByUser);
            QCOMPARE(errorOf([&] { rs->Delete(); }), ErrNo::RecordLockedByUser);
            rs->Edit();
            rs->SetField(u"Misc1"_s, u"changed"_s);
            QCOMPARE(errorOf([&] { rs->Update(); }), ErrNo::RecordLockedByUser);
            QVERIFY(db->OpenRecordset(u"Select Misc1 from Req where ReqID = 7"_s, RecordsetType::Snapshot)
                        ->Field(u"Misc1"_s).isNull());
            rs->Update();
        }
        QCOMPARE(test::rowsOnTestDb(path, u"select Misc1, ShortDesc, ReqDate, Resolved from Req where ReqID in (7, 9) order by ReqID"_s),
                 (QList<QStringList>{{u"changed"_s, u"Server"_s, u"1999-06-01"_s, u"0"_s}, {QString(), u"Toner"_s, u"1996-05-01"_s, u"0"_s}}));
    }

    // A reference names an existing row or none, and a row that something
    // names stays: the same refusals, in the same words, on the file and on
    // a server, whoever wrote the other row.
    void references_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("table");
        QTest::addColumn<int>("key");       // the row to change or delete; 0: a new one
        QTest::addColumn<QString>("field"); // empty: delete the row
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<int>("error");
        QTest::addColumn<QString>("text");
        const QString none;
        QTest::newRow("new request, missing customer") << none << "Req" << 0 << "CustID" << QVariant(99) << 3201
            << "This request names customer number 99, which no longer exists: it was deleted, perhaps at another desk.";
        QTest::newRow("request assigned to missing staff") << none << "Req" << 1 << "AssignedTo" << QVariant(77) << 3201
            << "This request names staff member number 77 in Assigned To, which no longer exists";
        QTest::newRow("customer in a missing department") << none << "Customers" << 2 << "DeptID" << QVariant(9) << 3201
            << "This customer names department/company number 9, which no longer exists";
        QTest::newRow("request naming none") << none << "Req" << 1 << "CustID" << QVariant() << 0 << "";
        QTest::newRow("request naming another") << none << "Req" << 1 << "CatID" << QVariant(3) << 0 << "";
        QTest::newRow("delete a customer a request names") << none << "Customers" << 1 << "" << QVariant() << 3200
            << "This customer cannot be deleted: a request names it.";
        QTest::newRow("delete a department a customer names") << "Update Req set DeptID = Null where DeptID = 3"
            << "Dept" << 3 << "" << QVariant() << 3200 << "This department/company cannot be deleted: a customer names it.";
        QTest::newRow("delete a staff member who entered a request")
            << "Update Req set AssignedTo = Null where AssignedTo = 2" << "Staff" << 2 << "" << QVariant() << 3200
            << "This staff member cannot be deleted: a request names it.";
        QTest::newRow("delete a category nothing names") << "Update Req set CatID = 1 where CatID = 3"
            << "Categories" << 3 << "" << QVariant() << 0 << "";
    }
    void references()
    {
        QFETCH(QString, setup);
        QFETCH(QString, table);
        QFETCH(int, key);
        QFETCH(QString, field);
        QFETCH(QVariant, value);
        QFETCH(int, error);
        QFETCH(QString, text);
        auto db = Database::Open(freshFixture());
        if (!setup.isEmpty())
            db->Execute(setup);
        const auto count = [&] { return db->OpenRecordset(u"Select count(*) from "_s + table, RecordsetType::Snapshot)->Field(0).toLong(); };
        const int before = count();
        auto rs = db->OpenRecordset(u"Select * from "_s + table);
        if (key)
            rs->FindFirst(schema::keyColumn(table) + u" = "_s + QString::number(key));
        QString said;
        const int got = errorOf([&] {
            if (field.isEmpty()) {
                rs->Delete();
                return;
            }
            key ? rs->Edit() : rs->AddNew();
            if (!key)
                rs->SetField(u"ReqDate"_s, QDate(2000, 1, 1));
            rs->SetField(field, value.isNull() ? Value() : Value(value.toInt()));
            rs->Update();
        }, &said);
        QCOMPARE(got, error);
        QVERIFY2(!error || said.startsWith(text), qPrintable(said));
        QCOMPARE(count(), before + (error ? 0 : field.isEmpty() ? -1 : key ? 0 : 1));
    }

    // Rows loaded as an older file may hold them (a request naming a
    // customer that is gone) are kept and counted; such a request can still
    // be edited, and only a change of its reference is checked.
    void brokenReferencesLoaded()
    {
        auto db = Database::Open(test::createEmptyDb(m_dir.next()));
        auto load = db->loader(u"Req"_s, {u"ReqID"_s, u"ReqDate"_s, u"CustID"_s, u"AssignedTo"_s});
        load->add({Value(1), Value(QDate(1999, 1, 1)), Value(7), Value()});
        load->add({Value(2), Value(QDate(1999, 1, 2)), Value(7), Value(3)});
        load->finish();
        QStringList broken;
        for (const BrokenReferences& b : db->finishLoading())
            broken << b.describe();
        QCOMPARE(broken, (QStringList{u"Req: 2 records name a customer (CustID) that does not exist"_s,
                                      u"Req: 1 record names a staff member (AssignedTo) that does not exist"_s}));
        auto rs = db->OpenRecordset(u"Select * from Req order by ReqID"_s);
        rs->Edit();
        rs->SetField(u"ShortDesc"_s, u"still editable"_s);
        rs->Update();
        rs->Edit();
        rs->SetField(u"CustID"_s, 8);
        QCOMPARE(errorOf([&] { rs->Update(); }), ErrNo::MissingReference);
        QCOMPARE(errorOf([&] { db->Execute(u"Insert into Req (ReqDate, CustID) values (#1/1/99#, 7)"_s); }),
                 test::serverMode() ? ErrNo::MissingReference : 0);
    }

    // Names come in the order of the locale's collation, without regard to
    // case, in every kind of set, on the file and on a server alike.
    void namesInLocaleOrder_data() { bothKinds(); }
    void namesInLocaleOrder()
    {
        QFETCH(RecordsetType, type);
        const QStringList names{u"Volkov"_s, u"Ångström"_s, u"Øvergaard"_s, u"Åkesson"_s, u"Élodie"_s, u"Eve"_s,
                                u"Straße"_s, u"Strand"_s, u"Łukasz"_s, u"Lucas"_s, u"zed"_s, u"Zhang"_s,
                                u"王"_s, u"李"_s, u"محمد"_s, u"ADAMS"_s, u"baker"_s};
        auto db = Database::Open(test::createEmptyDb(m_dir.next()));
        auto load = db->loader(u"Customers"_s, {u"CustID"_s, u"LastName"_s});
        for (int i = 0; i < names.size(); ++i)
            load->add({Value(i + 1), Value(names[i])});
        load->finish();
        db->finishLoading();
        QStringList got;
        auto rs = db->OpenRecordset(u"Select * from Customers order by LastName"_s, type);
        for (; !rs->Eof(); rs->MoveNext())
            got << rs->Field(u"LastName"_s).toText();
        QCollator collator(QLocale(QLocale::English, QLocale::UnitedStates));
        collator.setCaseSensitivity(Qt::CaseInsensitive);
        QStringList expected = names;
        std::sort(expected.begin(), expected.end(), collator);
        QCOMPARE(got, expected);
    }

    // From O'Neil: the first match in the set's order; on no match the current record stays.
    void findFirst_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("criteria");
        QTest::addColumn<int>("found"); // CustID, 0 for no match
        const QString custs = u"Select * from Customers order by LastName, FirstName"_s;
        QTest::newRow("like lower case") << custs << "lastname like 'o''n*'" << 3;
        QTest::newRow("first in set order") << custs << "DeptID = 1" << 1;
        QTest::newRow("no match, current stays") << custs << "LastName like 'Zz*'" << 0;
        QTest::newRow("snapshot of a join") << u"Select Req.CustID as CustID, LastName, ReqDate from Req left join "
                                               "Customers on Req.CustID = Customers.CustID order by ReqDate"_s
                                            << "LastName = 'Baker'" << 2;
    }
    void findFirst()
    {
        QFETCH(QString, sql);
        QFETCH(QString, criteria);
        QFETCH(int, found);
        const bool join = sql.contains(u"join"_s);
        auto rs = Database::Open(freshFixture())->OpenRecordset(sql, join ? RecordsetType::Snapshot : RecordsetType::Dynaset);
        rs->MoveLast();
        rs->MovePrevious(); // on O'Neil
        rs->FindFirst(criteria);
        QCOMPARE(rs->NoMatch(), found == 0);
        QCOMPARE(rs->Field(u"CustID"_s), Value(found == 0 ? 3 : found));
        if (join)
            QCOMPARE(rs->Field(u"ReqDate"_s), Value(QDate(1998, 1, 20)));
    }

    // A forward-only set reads every record once, by name or by place, and
    // refuses to go back.  Read-only sets read their rows as they come:
    // another query in the middle of one, or one given up half way, leaves
    // every set whole.
    void forwardOnly()
    {
        auto db = Database::Open(freshFixture());
        auto rs = db->OpenRecordset(u"Select CustID, LastName from Customers order by LastName"_s, RecordsetType::ForwardOnly);
        const int name = rs->FieldIndex(u"lastname"_s);
        QStringList names{rs->Field(name).displayText() + rs->Field(u"CustID"_s).displayText()};
        rs->MoveNext();
        {
            auto givenUp = db->OpenRecordset(u"Select * from Req order by ReqID desc"_s, RecordsetType::ForwardOnly);
            QCOMPARE(givenUp->Field(u"ReqID"_s), Value(8));
        }
        auto staff = db->OpenRecordset(u"Select LastName from Staff order by StaffID"_s, RecordsetType::Snapshot);
        staff->MoveLast();
        QCOMPARE(staff->Field(0), Value("Ångström"));
        for (; !rs->Eof(); rs->MoveNext())
            names << rs->Field(name).displayText() + rs->Field(u"CustID"_s).displayText();
        QCOMPARE(names, (QStringList{u"Adams1"_s, u"Baker2"_s, u"O'Neil3"_s, u"李4"_s}));
        QCOMPARE(errorOf([&] { rs->MovePrevious(); }), 3219);
        QCOMPARE(errorOf([&] { rs->MoveFirst(); }), 3219);
        QCOMPARE(errorOf([&] { rs->Field(2); }), ErrNo::ItemNotFound);
        db->Execute(u"Update Req set Misc1 = 'after the sets' where ReqID = 1"_s);
    }

    // The edit buffer: refused without Edit, dropped by CancelUpdate, kept
    // after a refused Update; field names in any case.  Assigned values are converted to the column's
    // type and stored as the file expects them (money in ten-thousandths,
    // Yes/No as 0/1, Null never as a zero date or an empty text).
    void editing()
    {
        const QString path = freshFixture();
        auto db = Database::Open(path);
        auto rs = db->OpenRecordset(AllRequests);
        QCOMPARE(errorOf([&] { rs->Update(); }), ErrNo::UpdateWithoutEdit);
        rs->FindFirst(u"ReqID = 6"_s);
        rs->Edit();
        rs->SetField(u"sHORTdESC"_s, u"changed"_s);
        QCOMPARE(rs->Field(u"ShortDesc"_s), Value("changed"));
        rs->CancelUpdate();
        QCOMPARE(rs->Field(u"ShortDesc"_s), Value("李 request"));
        rs->Edit();
        QCOMPARE(errorOf([&] { rs->SetField(u"CustID"_s, u"abc"_s); }), ErrNo::TypeMismatch);
        QCOMPARE(errorOf([&] { rs->SetField(u"ReqDate"_s, u"not a date"_s); }), ErrNo::TypeMismatch);
        rs->SetField(u"AmtPaid"_s, 12.34567); // a double into a currency field
        rs->SetField(u"HoursTot"_s, u"1.5"_s);
        rs->SetField(u"Resolved"_s, true);
        const QStringList cleared = {u"DueDate"_s, u"CostTot"_s, u"CustID"_s, u"ShortDesc"_s};
        for (const QString& f : cleared)
            rs->SetField(f, Value());
        rs->SetField(u"Misc1"_s, QString(51, u'x'));
        QCOMPARE(errorOf([&] { rs->Update(); }), ErrNo::FieldTooSmall);
        rs->SetField(u"Misc1"_s, QString(50, u'x'));
        rs->Update();
        QCOMPARE(rs->Field(u"AmtPaid"_s), Value(Currency::fromUnits(123457)));
        QCOMPARE(rs->Field(u"HoursTot"_s), Value(1.5f));
        for (const QString& f : cleared)
            QVERIFY2(rs->Field(f).isNull(), qPrintable(f));
        // Money a whole count of ten-thousandths, Yes/No 1, Null no zero date or empty text.
        rs.reset();
        db.reset();
        QCOMPARE(test::sqlRows(path, u"select AmtPaid, Resolved, DueDate, ShortDesc, length(Misc1) from Req where ReqID = 6"_s),
                 QStringList{u"1:123457|1:1|5:|5:|1:50"_s});
    }

    // The dialect's corners, on both engines (the program's own texts are
    // run elsewhere): like with its wildcards, date literals, names, texts,
    // orders with missing values, the alias rule; what the engine refuses.
    void dialect_data()
    {
        QTest::addColumn<QString>("setup"); // run through the engine first
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("rows"); // each row's first field, joined by '|'; "refused": error 3001
        const auto cond = [](const char* name, const char* c, bool holds) {
            QTest::newRow(name) << QString() << u"Select 1 from Settings where "_s + QString::fromUtf8(c)
                                << (holds ? u"1"_s : QString());
        };
        const auto query = [](const char* name, const char* sql, const char* rows, const char* setup = "") {
            QTest::newRow(name) << QString::fromUtf8(setup) << QString::fromUtf8(sql) << QString::fromUtf8(rows);
        };
        cond("like, any case, not Latin", "'Zoë needs Ångström units' like '*ångström*'", true);
        cond("like, ? needs one", "'Jnes' like 'J?nes'", false);
        cond("like, digits", "'Room 42' like 'Room ##' and '555-0101' like '555-####'", true);
        cond("like, # takes 0 and 9 and nothing beside them",
             "'R0' like 'R#' and 'R9' like 'R#' and not 'R/' like 'R#' and not 'R:' like 'R#'", true);
        cond("like, bracketed wildcards", "'5*' like '5[*]' and not '55' like '5[*]' and 'a?#' like 'a[?][#]'", true);
        cond("like, % and _ are no wildcards", "'1%' like '1%' and not '123' like '1%' and not 'axb' like 'a_b'", true);
        cond("like, classes", "'b7' like '[a-c]#' and 'Dx' like '[!x-z]?' and not 'y' like '[!x-z]' and 'IA' like '[IW][LA]'", true);
        cond("like, what a regular expression means", "'(a.b)+{2}|^$\\1' like '(a.b)+{2}|^$\\#' and not 'aXb' like 'a.b'", true);
        cond("like, quotes", "'O''B1' like 'O''B#' and 'O''Brien' like \"O'B*\"", true);
        cond("like, stars, an unclosed [", "'ab' like 'a**b' and 'a[b' like 'a[b'", true);
        cond("like, brackets' corners, a backslash",
             "'a-b' like 'a[-]b' and 'ab' like 'a[]b' and ']' like ']' and 'back\\slash' like 'back\\*' and '李' like '[李]'", true);
        cond("like, not, a number, an expression",
             "'Smith' not like 'Jo*' and not 'Jones' not like 'Jo*' and 42 like '4?' and ('Ann' || ' ' || 'Adams') like '*adams'", true);
        cond("dates, every form, two-digit years 29 and 30",
             "#1/1/29# = '2029-01-01' and #1/1/30# = '1930-01-01' and #3/5/98# = '1998-03-05' and "
             "#03/05/1998# = '1998-03-05' and #1998-03-05# = '1998-03-05'", true);
        cond("inside a text", "length('O''Neil #1/1/98#') = 15 and #2/3/04# = '2004-02-03' and 'x like y' = 'x like y'", true);
        query("no such day", "Select 1 from Settings where #2/30/98# = ''", "refused");
        query("no month 13", "Select 1 from Settings where #2026-13-01# = ''", "refused");
        query("unclosed name", "Select [LastName from Customers", "refused");
        query("newest first", "Select ReqID from Req where ReqDate >= #2/1/98# and ReqDate < #12/31/99# order by ReqDate desc",
              "7|6|5|4");
        query("missing values first", "Select ReqID from Req order by DueDate, ReqID", "2|3|4|5|6|7|8|1");
        query("missing values last, descending", "Select ReqID from Req order by DueDate desc, ReqID desc", "1|8|7|6|5|4|3|2");
        query("order by expressions", "Select ReqID from Req order by coalesce(AmtPaid, 0) desc, (HoursTot * 60 + MinTot), ReqDate",
              "1|5|4|6|3|8|2|7");
        query("names without case, then by key", "Select DeptName from Dept order by DeptName, DeptID",
              "_under|Accounting|accounting|Ångström Labs|ÉCLAIR|zebra|Zeta Corp",
              "Insert into Dept (DeptName) values ('zebra'); Insert into Dept (DeptName) values ('_under'); "
              "Insert into Dept (DeptName) values ('accounting'); Insert into Dept (DeptName) values ('ÉCLAIR')");
        query("equal and greater without case", "Select CustID from Customers where LastName = 'ADAMS' or LastName > 'n' order by CustID",
              "1|3|4");
        query("Yes/No", "Select ReqID from Req where Resolved and not (ReqID = 3) order by ReqID", "1|5|8");
        query("money", "Select CostTot - AmtPaid from Req where AmtPaid < CostTot order by ReqID", "500000|400000|700000|750000|400000");
        query("names in brackets and back quotes, a text in double quotes",
              "Select [CustID] from `Customers` where [LastName] = \"O'Neil\"", "3");
        query("a tab and line ends kept", "Select Comments from Staff where LastName = 'tab'", "a\tb\r\nc",
              "Insert into Staff (LastName, Comments) values ('Tab', 'a\tb\r\nc')");
        query("update with a date and like", "Select ReqID from Req where ResDate = #6/30/2026# and Resolved", "4",
              "Update Req set Resolved = true, ResDate = #6/30/2026# where ShortDesc like 'new*'");
        query("insert and delete", "Select CatID from Categories where CatDesc = 'new' and (Select count(*) from Req) = 5", "4",
              "Insert into Categories (CatDesc) values (\"New\"); Delete from Req where ReqDate > #3/30/1998#");
        // The report queries' shape: nested joins, Yes/No fields as conditions.
        query("nested joins, resolved in 1998",
              "Select Req.ReqID from ((Req left join Dept on Req.DeptID = Dept.DeptID) left join Customers on "
              "Req.CustID = Customers.CustID) left join Staff on Req.AssignedTo = Staff.StaffID where ReqDate >= "
              "#01/01/98# and ReQDate <= #12/31/98# and Resolved and not Staff.StaffID = 2 order by ReqID", "3|5");
        // An alias stands for its column only where the name stands alone.
        query("qualified column named like an alias",
              "Select [Req].[CustID] as CustID, LastName from Req left join Customers on Req.CustID = Customers.CustID "
              "where Customers.CustID = 2 and CustID = 2", "2|2");
    }
    void dialect()
    {
        QFETCH(QString, setup);
        QFETCH(QString, sql);
        QFETCH(QString, rows);
        auto db = Database::Open(freshFixture());
        for (const QString& statement : setup.split(u"; "_s, Qt::SkipEmptyParts))
            db->Execute(statement);
        std::unique_ptr<Recordset> rs;
        QCOMPARE(errorOf([&] { rs = db->OpenRecordset(sql, RecordsetType::Snapshot); }), rows == u"refused" ? ErrNo::SqlError : 0);
        QStringList got;
        for (; rs && !rs->Eof(); rs->MoveNext())
            got << rs->Field(0).displayText();
        if (rs)
            QCOMPARE(got.join(u'|'), rows);
    }

    // Money to its last ten-thousandth and seven-figure sums, as stored and
    // as read back.
    void moneyExact()
    {
        const QString path = freshFixture();
        {
            auto rs = Database::Open(path)->OpenRecordset(u"Select * from Req where ReqID < 3 order by ReqID"_s);
            for (const qint64 units : {12345678901LL, 9223372036854775807LL}) {
                rs->Edit();
                rs->SetField(u"CostTot"_s, Currency::fromUnits(units));
                rs->SetField(u"AmtPaid"_s, Currency::fromUnits(-units));
                rs->Update();
                QCOMPARE(rs->Field(u"CostTot"_s), Value(Currency::fromUnits(units)));
                rs->MoveNext();
            }
        }
        QCOMPARE(test::sqlValue(path, u"select CostTot - 1 from Req where ReqID = 2"_s), u"9223372036854775806"_s);
        QCOMPARE(test::sqlValue(path, u"select AmtPaid from Req where ReqID = 2"_s), u"-9223372036854775807"_s);
        test::execOnTestDb(path, u"update Req set AddCharge = 12345678901 where ReqID < 4"_s);
        QCOMPARE(test::sqlValue(path, u"select sum(AddCharge) from Req"_s), u"37037236703"_s);
    }

    // What only the server keeps: the length of a text (on the file the
    // engine's own check does, editing above), and a version of each look-up
    // table, a step for each statement that changes it however many rows it
    // changes (none too); the requests have none.
    void serverKeeps()
    {
        if (!test::serverMode())
            QSKIP("the server's own");
        const QString conn = freshFixture();
        test::execOnTestDb(conn, u"insert into Categories (CatDesc) values ('%1')"_s.arg(QString(40, u'é')));
        QString text;
        QCOMPARE(errorOf([&] { test::execOnTestDb(conn, u"update Categories set CatDesc = CatDesc || 'x'"_s); }, &text), ErrNo::SqlError);
        QVERIFY2(text.contains(u"catdesc"_s), qPrintable(text));
        const QString versions = u"select tablename, version from cvd_versions order by tablename"_s;
        const QList<QStringList> before = test::rowsOnTestDb(conn, versions);
        test::execOnTestDb(conn, u"update Staff set Phone = '1'; delete from Staff where StaffID = 99; update Req set MinTot = 1;"
                                 " update Dept set Phone = Phone where DeptID = 0"_s);
        QStringList steps;
        for (const QStringList& r : test::rowsOnTestDb(conn, versions))
            steps << r[0] + u' ' + QString::number(r[1].toInt() - before.value(steps.size()).value(1).toInt());
        QCOMPARE(steps.join(u','), u"categories 0,customers 0,dept 1,priorities 0,settings 0,staff 2"_s);
    }
};

CVD_TEST_GUILESS_MAIN(TestDatabase)
#include "tst_database.moc"

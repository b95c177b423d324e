// The database engine layer: opening the file, record-set semantics, field
// values, the dialect's like and date literals, and the write-failure seam.
#include "core/database.h"
#include "core/sqldialect.h"
#include "support/fixturedb.h"
#include "support/testfiles.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace cvd;
using namespace Qt::StringLiterals;
using test::errorOf;

class TestDatabase : public QObject {
    Q_OBJECT

private slots:
    void refusedOpen_data();
    void refusedOpen();
    void exclusiveOpen();

    void bofEofAtBothEnds_data();
    void bofEofAtBothEnds();
    void emptySet();
    void addNewKeyBeforeUpdate();
    void autoNumberNotReused();
    void editUpdateAndCancel();
    void deleteThenMove();
    void findFirst_data();
    void findFirst();
    void seekOnStaffIndex();
    void nullReadsAndWrites();
    void fieldTypesAndConversions();
    void errors();
    void writeSeam();

    void likeWildcards_data();
    void likeWildcards();
    void translation_data();
    void translation();

private:
    QTemporaryDir m_dir;
    QString freshFixture()
    {
        static int n = 0;
        const QString folder = m_dir.filePath(QString::number(++n));
        QDir().mkpath(folder);
        return test::createFixtureDb(folder);
    }
};

// ---- opening ------------------------------------------------------------------

void TestDatabase::refusedOpen_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("error");
    QTest::newRow("missing file") << "missing" << ErrNo::FileNotFound;
    QTest::newRow("text file") << "text" << ErrNo::NotADatabase;
    QTest::newRow("empty file") << "empty" << ErrNo::NotADatabase;
    QTest::newRow("truncated") << "truncated" << ErrNo::NotADatabase;
    QTest::newRow("damaged first page") << "damaged" << ErrNo::NotADatabase;
    QTest::newRow("missing tables") << "tables" << ErrNo::MissingTables;
}

void TestDatabase::refusedOpen()
{
    QFETCH(QString, kind);
    QFETCH(int, error);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"cvd.mdb"_s);
    if (kind == "tables") {
        QVERIFY(test::execSql(path, "CREATE TABLE Req (ReqID INTEGER PRIMARY KEY); CREATE TABLE Staff (StaffID INTEGER)"));
    } else if (kind != "missing") {
        QByteArray bytes = test::fileBytes(test::createFixtureDb(dir.path()));
        QVERIFY(bytes.size() > 8192);
        if (kind == "text")
            bytes = "ReqID,ShortDesc\n1,Printer jam\n";
        else if (kind == "empty")
            bytes.clear();
        else if (kind == "truncated")
            bytes.truncate(bytes.size() / 2);
        else
            for (int i = 100; i < 4096; ++i)
                bytes[i] = char(0xA5 ^ i);
        QVERIFY(test::writeFile(path, bytes));
    }
    const QByteArray before = test::fileBytes(path);
    QString text;
    QCOMPARE(errorOf([&] { Database::Open(path); }, &text), error);
    QVERIFY2(text.contains(path), qPrintable(text));
    QVERIFY(test::fileBytes(path) == before);
    QVERIFY(!QFile::exists(path + u"-journal"_s));
    QCOMPARE(QFile::exists(path), kind != "missing");
}

// A second open, here or in another program, is refused while the first
// keeps working; the lock ends with the object.
void TestDatabase::exclusiveOpen()
{
    const QString path = freshFixture();
    {
        auto first = Database::Open(path);
        QString text;
        QCOMPARE(errorOf([&] { Database::Open(path); }, &text), ErrNo::DatabaseInUse);
        QVERIFY(text.contains(path));
        // The refused second open leaves the first one's hold on the file:
        // another process is still locked out.
        const QString shell = QStandardPaths::findExecutable(u"sqlite3"_s);
        if (!shell.isEmpty()) {
            QProcess p;
            p.start(shell, {path, u"select count(*) from Req;"_s});
            QVERIFY(p.waitForFinished(10000));
            const QByteArray out = p.readAllStandardOutput() + p.readAllStandardError();
            QVERIFY2(out.contains("locked"), out.constData());
        }
        auto rs = first->OpenRecordset(u"Select * from Req order by ReqDate desc"_s);
        rs->Edit();
        rs->SetField(u"ShortDesc"_s, u"still mine"_s);
        rs->Update();
        QCOMPARE(rs->Field(u"ShortDesc"_s), Value("still mine"));
    }
    auto again = Database::Open(path);
    QCOMPARE(again->path(), path);
}

// ---- moving -------------------------------------------------------------------

void TestDatabase::bofEofAtBothEnds_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<RecordsetType>("type");
    QTest::addColumn<QList<int>>("keys");
    const QString cats = u"Select * from Categories order by CatDesc"_s;
    QTest::newRow("dynaset") << cats << RecordsetType::Dynaset << QList<int>{2, 3, 1};
    QTest::newRow("snapshot") << cats << RecordsetType::Snapshot << QList<int>{2, 3, 1};
    QTest::newRow("table") << u"Categories"_s << RecordsetType::Table << QList<int>{1, 2, 3};
}

void TestDatabase::bofEofAtBothEnds()
{
    QFETCH(QString, source);
    QFETCH(RecordsetType, type);
    QFETCH(QList<int>, keys);
    auto db = Database::Open(freshFixture());
    auto rs = db->OpenRecordset(source, type);
    const QString key = u"CatID"_s;
    QVERIFY(!rs->Bof() && !rs->Eof());
    QVERIFY(rs->RecordCount() > 0); // exact only after MoveLast
    QCOMPARE(rs->Field(key), Value(keys[0]));
    rs->MovePrevious();
    QVERIFY(rs->Bof() && !rs->Eof());
    QCOMPARE(errorOf([&] { rs->Field(key); }), ErrNo::NoCurrentRecord);
    QCOMPARE(errorOf([&] { rs->MovePrevious(); }), ErrNo::NoCurrentRecord);
    rs->MoveNext();
    QCOMPARE(rs->Field(key), Value(keys[0]));
    rs->MoveNext();
    rs->MoveNext();
    rs->MoveNext();
    QVERIFY(rs->Eof() && !rs->Bof());
    QCOMPARE(errorOf([&] { rs->Field(key); }), ErrNo::NoCurrentRecord);
    QCOMPARE(errorOf([&] { rs->MoveNext(); }), ErrNo::NoCurrentRecord);
    rs->MovePrevious();
    QCOMPARE(rs->Field(key), Value(keys[2]));
    rs->MoveFirst();
    QCOMPARE(rs->Field(key), Value(keys[0]));
    rs->MoveLast();
    QCOMPARE(rs->Field(key), Value(keys[2]));
    QCOMPARE(rs->RecordCount(), 3L);
}

void TestDatabase::emptySet()
{
    auto db = Database::Open(freshFixture());
    for (auto type : {RecordsetType::Dynaset, RecordsetType::Snapshot}) {
        auto rs = db->OpenRecordset(u"Select * from Req where CatID = 99"_s, type);
        QVERIFY(rs->Bof() && rs->Eof());
        QCOMPARE(rs->RecordCount(), 0L);
        for (const auto& f : std::initializer_list<std::function<void()>>{
                 [&] { rs->Field(u"ReqID"_s); }, [&] { rs->MoveNext(); }, [&] { rs->MoveFirst(); },
                 [&] { rs->MoveLast(); }})
            QCOMPARE(errorOf(f), ErrNo::NoCurrentRecord);
        if (type == RecordsetType::Dynaset) {
            QCOMPARE(errorOf([&] { rs->Edit(); }), ErrNo::NoCurrentRecord);
            QCOMPARE(errorOf([&] { rs->Delete(); }), ErrNo::NoCurrentRecord);
        }
    }
}

// ---- writing ------------------------------------------------------------------

void TestDatabase::addNewKeyBeforeUpdate()
{
    const QString path = freshFixture();
    {
        auto db = Database::Open(path);
        auto rs = db->OpenRecordset(u"Select * from Req order by ReqDate desc"_s);
        rs->SetLockEdits(false);
        rs->MoveNext(); // on request 7
        rs->AddNew();
        QVERIFY(rs->Editing());
        QCOMPARE(rs->Field(u"ReqID"_s), Value(9));
        QCOMPARE(rs->Field(u"Resolved"_s), Value(false)); // the column's default
        QVERIFY(rs->Field(u"CustID"_s).isNull());
        rs->SetField(u"ShortDesc"_s, u"Toner"_s);
        rs->SetField(u"ReqDate"_s, QDate(1996, 5, 1));
        rs->SetField(u"CostTot"_s, Currency::fromWhole(25));
        rs->Update();
        db->Idle();
        QVERIFY(!rs->Editing());
        QCOMPARE(rs->Field(u"ReqID"_s), Value(7)); // the current record stays
        QCOMPARE(rs->RecordCount(), 9L);
        rs->FindFirst(u"ReqID = 9"_s);
        QVERIFY(!rs->NoMatch());
        QCOMPARE(rs->Field(u"ShortDesc"_s), Value("Toner"));
        QCOMPARE(rs->Field(u"CostTot"_s), Value(Currency::fromWhole(25)));
        rs->MoveNext();
        QVERIFY(rs->Eof()); // added records come after the others
    }
    auto db = Database::Open(path); // written to the file
    auto rs = db->OpenRecordset(u"Select * from Req where ReqID = 9"_s, RecordsetType::Snapshot);
    QCOMPARE(rs->Field(u"ReqDate"_s), Value(QDate(1996, 5, 1)));
    QCOMPARE(rs->Field(u"Resolved"_s), Value(false));
}

void TestDatabase::autoNumberNotReused()
{
    auto db = Database::Open(freshFixture());
    auto rs = db->OpenRecordset(u"Select * from Req order by ReqDate desc"_s);
    QCOMPARE(rs->Field(u"ReqID"_s), Value(8));
    rs->Delete();
    rs->AddNew();
    QCOMPARE(rs->Field(u"ReqID"_s), Value(9));
    rs->SetField(u"ReqDate"_s, QDate(2002, 1, 1));
    rs->Update();
    rs->AddNew();
    QCOMPARE(rs->Field(u"ReqID"_s), Value(10));
    rs->CancelUpdate();
    auto cats = db->OpenRecordset(u"Select * from Categories order by CatDesc"_s);
    cats->AddNew();
    QCOMPARE(cats->Field(u"CatID"_s), Value(4));
}

void TestDatabase::editUpdateAndCancel()
{
    auto db = Database::Open(freshFixture());
    auto rs = db->OpenRecordset(u"Select * from Customers order by LastName, FirstName"_s);
    QCOMPARE(errorOf([&] { rs->Update(); }), ErrNo::UpdateWithoutEdit);
    QCOMPARE(errorOf([&] { rs->CancelUpdate(); }), ErrNo::UpdateWithoutEdit);
    QCOMPARE(errorOf([&] { rs->SetField(u"City"_s, u"x"_s); }), ErrNo::UpdateWithoutEdit);
    rs->Edit();
    rs->SetField(u"City"_s, u"Shelbyville"_s);
    QCOMPARE(rs->Field(u"City"_s), Value("Shelbyville")); // the buffer
    rs->CancelUpdate();
    QCOMPARE(rs->Field(u"City"_s), Value("Springfield"));
    rs->Edit();
    rs->SetField(u"City"_s, u"Shelbyville"_s);
    rs->Update();
    QCOMPARE(rs->Field(u"LastName"_s), Value("Adams"));
    auto check = db->OpenRecordset(u"Select City from Customers where CustID = 1"_s, RecordsetType::Snapshot);
    QCOMPARE(check->Field(u"City"_s), Value("Shelbyville"));
}

void TestDatabase::deleteThenMove()
{
    auto db = Database::Open(freshFixture());
    auto rs = db->OpenRecordset(u"Select * from Req order by ReqDate desc"_s);
    rs->MoveNext(); // 7
    rs->Delete();
    QVERIFY(!rs->Bof() && !rs->Eof());
    QCOMPARE(errorOf([&] { rs->Field(u"ReqID"_s); }), ErrNo::NoCurrentRecord);
    QCOMPARE(rs->RecordCount(), 7L);
    rs->MoveNext();
    QCOMPARE(rs->Field(u"ReqID"_s), Value(6));
    rs->Delete();
    rs->MovePrevious();
    QCOMPARE(rs->Field(u"ReqID"_s), Value(8));
    auto check = db->OpenRecordset(u"Select ReqID from Req"_s, RecordsetType::Snapshot);
    check->MoveLast();
    QCOMPARE(check->RecordCount(), 6L);
}

void TestDatabase::findFirst_data()
{
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QString>("criteria");
    QTest::addColumn<int>("found"); // CustID, 0 for no match
    const QString custs = u"Select * from Customers order by LastName, FirstName"_s;
    QTest::newRow("key") << custs << "CustID = 3" << 3;
    QTest::newRow("like lower case") << custs << "lastname like 'o''n*'" << 3;
    QTest::newRow("unicode") << custs << "LastName like '李*'" << 4;
    QTest::newRow("first in set order") << custs << "DeptID = 1" << 1;
    QTest::newRow("no match, current stays") << custs << "LastName like 'Zz*'" << 0;
    QTest::newRow("snapshot of a join") << u"Select Req.CustID as CustID, LastName, ReqDate from Req left join "
                                           "Customers on Req.CustID = Customers.CustID order by ReqDate"_s
                                        << "LastName = 'Baker'" << 2;
}

void TestDatabase::findFirst()
{
    QFETCH(QString, sql);
    QFETCH(QString, criteria);
    QFETCH(int, found);
    auto db = Database::Open(freshFixture());
    const bool join = sql.contains(u"join"_s);
    auto rs = db->OpenRecordset(sql, join ? RecordsetType::Snapshot : RecordsetType::Dynaset);
    rs->MoveLast();
    rs->MovePrevious(); // on O'Neil
    rs->FindFirst(criteria);
    QCOMPARE(rs->NoMatch(), found == 0);
    QCOMPARE(rs->Field(u"CustID"_s), Value(found == 0 ? 3 : found));
    if (join)
        QCOMPARE(rs->Field(u"ReqDate"_s), Value(QDate(1998, 1, 20)));
}

void TestDatabase::seekOnStaffIndex()
{
    auto db = Database::Open(freshFixture());
    auto staff = db->OpenRecordset(u"Staff"_s, RecordsetType::Table);
    staff->SetIndex(u"StaffID"_s);
    staff->Seek(u"="_s, Value(2));
    QVERIFY(!staff->NoMatch());
    QCOMPARE(staff->Field(u"LastName"_s), Value("Jones"));
    staff->Seek(u"="_s, Value(42));
    QVERIFY(staff->NoMatch());
    QCOMPARE(errorOf([&] { staff->SetIndex(u"NoSuchIndex"_s); }), 3800);
}

void TestDatabase::nullReadsAndWrites()
{
    auto db = Database::Open(freshFixture());
    auto rs = db->OpenRecordset(u"Select * from Req order by ReqDate desc"_s);
    rs->FindFirst(u"ReqID = 6"_s);
    for (const char* f : {"CostTot", "AmtPaid", "CatID", "DueDate", "Resp"})
        QVERIFY2(rs->Field(QString::fromLatin1(f)).isNull(), f);
    rs->Edit();
    rs->SetField(u"DueDate"_s, QDate(1998, 4, 2));
    rs->Update();
    QCOMPARE(rs->Field(u"DueDate"_s), Value(QDate(1998, 4, 2)));
    rs->Edit();
    for (const char* f : {"DueDate", "CostTot", "CustID", "ShortDesc"})
        rs->SetField(QString::fromLatin1(f), Value());
    rs->Update();
    for (const char* f : {"DueDate", "CostTot", "CustID", "ShortDesc"})
        QVERIFY2(rs->Field(QString::fromLatin1(f)).isNull(), f);
    auto raw = db->OpenRecordset(u"Select typeof(DueDate) as t from Req where ReqID = 6"_s, RecordsetType::Snapshot);
    QCOMPARE(raw->Field(u"t"_s), Value("null")); // no zero date
}

// Each column reads as its own type; written values are converted to the
// column's type and stored as the file expects them.
void TestDatabase::fieldTypesAndConversions()
{
    auto db = Database::Open(freshFixture());
    auto rs = db->OpenRecordset(u"Select * from Req where ReqID = 5"_s, RecordsetType::Snapshot);
    QCOMPARE(rs->Field(u"ReqDate"_s), Value(QDate(1998, 3, 5)));
    QCOMPARE(rs->Field(u"Resolved"_s), Value(true));
    QCOMPARE(rs->Field(u"HoursTot"_s), Value(2.0f));
    QCOMPARE(rs->Field(u"AddCharge"_s), Value(Currency::fromWhole(20)));

    auto w = db->OpenRecordset(u"Select * from Req order by ReqDate desc"_s);
    w->Edit();
    w->SetField(u"AmtPaid"_s, 12.34567); // a double into a currency field
    w->SetField(u"HoursTot"_s, u"1.5"_s);
    w->SetField(u"CustID"_s, 2.0);
    w->SetField(u"Resolved"_s, false);
    QCOMPARE(errorOf([&] { w->SetField(u"CustID"_s, u"abc"_s); }), ErrNo::TypeMismatch);
    QCOMPARE(errorOf([&] { w->SetField(u"ReqDate"_s, u"not a date"_s); }), ErrNo::TypeMismatch);
    w->Update();
    QCOMPARE(w->Field(u"AmtPaid"_s), Value(Currency::fromUnits(123457)));
    QCOMPARE(w->Field(u"HoursTot"_s), Value(1.5f));
    QCOMPARE(w->Field(u"CustID"_s), Value(2));
    auto raw = db->OpenRecordset(u"Select typeof(AmtPaid) as t, AmtPaid + 0 as u, Resolved + 0 as r from Req where ReqID = 8"_s,
                                 RecordsetType::Snapshot);
    QCOMPARE(raw->Field(u"t"_s), Value("integer"));
    QCOMPARE(raw->Field(u"u"_s), Value(123457));
    QCOMPARE(raw->Field(u"r"_s), Value(0));
}

void TestDatabase::errors()
{
    auto db = Database::Open(freshFixture());
    auto rs = db->OpenRecordset(u"Select * from Req order by ReqDate desc"_s);
    QCOMPARE(errorOf([&] { rs->Field(u"NoSuchField"_s); }), ErrNo::ItemNotFound);
    QCOMPARE(rs->Field(u"rEQdATE"_s), Value(QDate(2001, 7, 4)));
    rs->Edit();
    QCOMPARE(errorOf([&] { rs->SetField(u"NoSuchField"_s, 1); }), ErrNo::ItemNotFound);
    rs->SetField(u"Misc1"_s, QString(51, u'x'));
    QCOMPARE(errorOf([&] { rs->Update(); }), ErrNo::FieldTooSmall);
    QVERIFY(rs->Editing()); // the buffer stays for another try
    rs->SetField(u"Misc1"_s, QString(50, u'x'));
    rs->Update();
    QCOMPARE(rs->Field(u"Misc1"_s).toText().size(), 50);

    auto snap = db->OpenRecordset(u"Select * from Req order by ReqDate desc"_s, RecordsetType::Snapshot);
    QCOMPARE(errorOf([&] { snap->AddNew(); }), ErrNo::NotUpdatable);
    QCOMPARE(errorOf([&] { snap->Edit(); }), ErrNo::NotUpdatable);

    QString text;
    QCOMPARE(errorOf([&] { db->OpenRecordset(u"Select Nonsense from Req"_s); }, &text), ErrNo::SqlError);
    QVERIFY2(text.contains(u"no such column"_s), qPrintable(text));
    QCOMPARE(errorOf([&] { db->OpenRecordset(u"Select * from Req where ReqDate < #2/30/98#"_s); }), ErrNo::SqlError);
    rs->Close();
    QCOMPARE(errorOf([&] { rs->MoveNext(); }), 3420);
}

void TestDatabase::writeSeam()
{
    auto db = Database::Open(freshFixture());
    auto rs = db->OpenRecordset(u"Select * from Staff order by LastName, FirstName"_s);
    db->failNextWrites(2, ErrNo::RecordLockedByUser);
    rs->Edit();
    rs->SetField(u"Phone"_s, u"555-9999"_s);
    QCOMPARE(errorOf([&] { rs->Update(); }), ErrNo::RecordLockedByUser);
    auto check = db->OpenRecordset(u"Select Phone from Staff where StaffID = 2"_s, RecordsetType::Snapshot);
    QVERIFY(check->Field(u"Phone"_s).isNull());
    QCOMPARE(errorOf([&] { rs->Delete(); }), ErrNo::RecordLockedByUser);
    rs->Update(); // the third write goes through
    QCOMPARE(rs->Field(u"Phone"_s), Value("555-9999"));
    db->failNextWrites(1, ErrNo::RecordLocked);
    QCOMPARE(errorOf([&] { rs->Delete(); }), ErrNo::RecordLocked);
    QCOMPARE(rs->RecordCount(), 3L);
}

// ---- dialect ------------------------------------------------------------------

void TestDatabase::likeWildcards_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("match");
    QTest::newRow("star prefix") << "Sm*" << "Smith" << true;
    QTest::newRow("contains, case") << "*print*" << "The PRINTER jams" << true;
    QTest::newRow("question needs one") << "J?nes" << "Jnes" << false;
    QTest::newRow("digit") << "Room ##" << "Room 42" << true;
    QTest::newRow("class") << "[a-c]*" << "Baker" << true;
    QTest::newRow("literal star") << "5[*]" << "55" << false;
    QTest::newRow("percent not a wildcard") << "1%" << "123" << false;
    QTest::newRow("unicode case") << "ång*" << "ÅNGSTRÖM" << true;
    QTest::newRow("stars, order") << "*b*a" << "ab" << false;
}

void TestDatabase::likeWildcards()
{
    QFETCH(QString, pattern);
    QFETCH(QString, value);
    QFETCH(bool, match);
    QCOMPARE(sql::likeMatches(pattern, value), match);
    auto db = Database::Open(freshFixture()); // the same through the engine
    auto rs = db->OpenRecordset(u"Select ('%1' like '%2') as m"_s.arg(value, pattern), RecordsetType::Snapshot);
    QCOMPARE(rs->Field(u"m"_s).toBool(), match);
}

void TestDatabase::translation_data()
{
    QTest::addColumn<QString>("dialect");
    QTest::addColumn<QString>("sqlite"); // empty: refused
    QTest::newRow("mm/dd/yy") << "ReqDate < #03/05/98#" << "ReqDate < '1998-03-05'";
    QTest::newRow("m/d/yy, year 29") << "x >= #1/1/29#" << "x >= '2029-01-01'";
    QTest::newRow("year 30") << "x = #1/1/30#" << "x = '1930-01-01'";
    QTest::newRow("four-digit year") << "x = #12/31/1999#" << "x = '1999-12-31'";
    QTest::newRow("apostrophes, inside a text")
        << "x = 'O''Neil #1/1/98#' and y = #2/3/04#" << "x = 'O''Neil #1/1/98#' and y = '2004-02-03'";
    QTest::newRow("alias in where")
        << "Select Req.CustID as CustID from Req left join Customers on Req.CustID = Customers.CustID where "
           "CustID = 5 and Misc1 = 'CustID' order by CustID"
        << "Select Req.CustID as CustID from Req left join Customers on Req.CustID = Customers.CustID where "
           "Req.CustID = 5 and Misc1 = 'CustID' order by CustID";
    QTest::newRow("bad date") << "ReqDate < #13/45/98#" << "";
}

void TestDatabase::translation()
{
    QFETCH(QString, dialect);
    QFETCH(QString, sqlite);
    if (sqlite.isEmpty())
        QCOMPARE(errorOf([&] { translateSql(dialect); }), ErrNo::SqlError);
    else
        QCOMPARE(translateSql(dialect), sqlite);
}

QTEST_GUILESS_MAIN(TestDatabase)
#include "tst_database.moc"

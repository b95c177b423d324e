// The database engine layer: opening the file, record-set semantics, field
// values, the dialect's like and date literals, and the write-failure seam.
#include "core/database.h"
#include "core/sqldialect.h"
#include "support/fixturedb.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <sqlite3.h>

using namespace cvd;

#define VERIFY_ERROR(expr, num)                                                                                        \
    do {                                                                                                               \
        int got_ = 0;                                                                                                  \
        try {                                                                                                          \
            expr;                                                                                                      \
        } catch (const cvd::Error& e_) {                                                                               \
            got_ = e_.number();                                                                                        \
        }                                                                                                              \
        QCOMPARE(got_, int(num));                                                                                      \
    } while (0)

namespace {

QByteArray fileHash(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray("<missing>");
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestDatabase : public QObject {
    Q_OBJECT

private slots:
    void refusedOpen_data();
    void refusedOpen();
    void secondOpenIsInUse();
    void otherProcessIsLockedOut();
    void lockEndsWithTheObject();

    void bofEofAtBothEnds_data();
    void bofEofAtBothEnds();
    void emptySet();
    void snapshotCountsLazily();
    void addNewKeyBeforeUpdate();
    void autoNumberNotReused();
    void editUpdateAndCancel();
    void deleteThenMove();
    void findFirst_data();
    void findFirst();
    void findFirstOnSnapshot();
    void seekOnStaffIndex();
    void nullReadsAndWrites();
    void fieldTypes();
    void conversionsOnWrite();
    void errors();
    void unicodeRoundTrip_data();
    void unicodeRoundTrip();
    void writeSeam();
    void settingsTable();

    void likeWildcards_data();
    void likeWildcards();
    void translation_data();
    void translation();
    void badDateLiteral();

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
    QTest::newRow("missing file") << "missing" << int(ErrNo::FileNotFound);
    QTest::newRow("text file") << "text" << int(ErrNo::NotADatabase);
    QTest::newRow("empty file") << "empty" << int(ErrNo::NotADatabase);
    QTest::newRow("truncated") << "truncated" << int(ErrNo::NotADatabase);
    QTest::newRow("cut to its header") << "header" << int(ErrNo::NotADatabase);
    QTest::newRow("damaged first page") << "damaged" << int(ErrNo::NotADatabase);
    QTest::newRow("missing tables") << "tables" << int(ErrNo::MissingTables);
}

void TestDatabase::refusedOpen()
{
    QFETCH(QString, kind);
    QFETCH(int, error);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("cvd.mdb"));
    if (kind != QLatin1String("missing") && kind != QLatin1String("tables")) {
        const QByteArray good = readFile(test::createFixtureDb(dir.path()));
        QVERIFY(good.size() > 8192);
        if (kind == QLatin1String("text"))
            writeFile(path, "ReqID,ShortDesc\n1,Printer jam\n");
        else if (kind == QLatin1String("empty"))
            writeFile(path, QByteArray());
        else if (kind == QLatin1String("truncated"))
            writeFile(path, good.left(good.size() / 2));
        else if (kind == QLatin1String("header"))
            writeFile(path, good.left(100));
        else if (kind == QLatin1String("damaged")) {
            QByteArray bad = good;
            for (int i = 100; i < 4096; ++i)
                bad[i] = char(0xA5 ^ i);
            writeFile(path, bad);
        }
    } else if (kind == QLatin1String("tables")) {
        sqlite3* db = nullptr;
        QCOMPARE(sqlite3_open(QFile::encodeName(path).constData(), &db), SQLITE_OK);
        QCOMPARE(sqlite3_exec(db, "CREATE TABLE Req (ReqID INTEGER PRIMARY KEY); CREATE TABLE Staff (StaffID INTEGER)",
                              nullptr, nullptr, nullptr),
                 SQLITE_OK);
        sqlite3_close(db);
    }
    const QByteArray before = fileHash(path);
    try {
        Database::Open(path);
        QFAIL("the file was opened");
    } catch (const Error& e) {
        QCOMPARE(e.number(), error);
        QVERIFY2(e.text().contains(path), qPrintable(e.text()));
    }
    QCOMPARE(fileHash(path), before);
    QVERIFY(!QFile::exists(path + QStringLiteral("-journal")));
    if (kind == QLatin1String("missing"))
        QVERIFY(!QFile::exists(path));
}

void TestDatabase::secondOpenIsInUse()
{
    const QString path = freshFixture();
    auto first = Database::Open(path);
    try {
        Database::Open(path);
        QFAIL("opened twice");
    } catch (const Error& e) {
        QCOMPARE(e.number(), int(ErrNo::DatabaseInUse));
        QVERIFY(e.text().contains(path));
    }
    // The first keeps working.
    auto rs = first->OpenRecordset(QStringLiteral("Select * from Req order by ReqDate desc"));
    rs->Edit();
    rs->SetField(QStringLiteral("ShortDesc"), QStringLiteral("still mine"));
    rs->Update();
    QCOMPARE(rs->Field(QStringLiteral("ShortDesc")), Value("still mine"));
}

void TestDatabase::otherProcessIsLockedOut()
{
    const QString shell = QStandardPaths::findExecutable(QStringLiteral("sqlite3"));
    if (shell.isEmpty())
        QSKIP("no sqlite3 shell");
    const QString path = freshFixture();
    auto db = Database::Open(path);
    QProcess p;
    p.start(shell, {path, QStringLiteral("select count(*) from Req;")});
    QVERIFY(p.waitForFinished(10000));
    const QByteArray out = p.readAllStandardOutput() + p.readAllStandardError();
    QVERIFY2(out.contains("locked"), out.constData());
}

void TestDatabase::lockEndsWithTheObject()
{
    const QString path = freshFixture();
    {
        auto db = Database::Open(path);
        auto rs = db->OpenRecordset(QStringLiteral("Select * from Staff order by LastName, FirstName"));
        QCOMPARE(rs->Field(QStringLiteral("StaffID")), Value(2));
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
    const QString cats = QStringLiteral("Select * from Categories order by CatDesc");
    QTest::newRow("dynaset") << cats << RecordsetType::Dynaset << QList<int>{2, 3, 1};
    QTest::newRow("snapshot") << cats << RecordsetType::Snapshot << QList<int>{2, 3, 1};
    QTest::newRow("table") << QStringLiteral("Categories") << RecordsetType::Table << QList<int>{1, 2, 3};
}

void TestDatabase::bofEofAtBothEnds()
{
    QFETCH(QString, source);
    QFETCH(RecordsetType, type);
    QFETCH(QList<int>, keys);
    auto db = Database::Open(freshFixture());
    auto rs = db->OpenRecordset(source, type);
    const QString key = QStringLiteral("CatID");
    QVERIFY(!rs->Bof() && !rs->Eof());
    QCOMPARE(rs->Field(key), Value(keys[0]));
    rs->MovePrevious();
    QVERIFY(rs->Bof() && !rs->Eof());
    VERIFY_ERROR(rs->Field(key), ErrNo::NoCurrentRecord);
    VERIFY_ERROR(rs->MovePrevious(), ErrNo::NoCurrentRecord);
    rs->MoveNext();
    QCOMPARE(rs->Field(key), Value(keys[0]));
    rs->MoveNext();
    rs->MoveNext();
    QCOMPARE(rs->Field(key), Value(keys[2]));
    rs->MoveNext();
    QVERIFY(rs->Eof() && !rs->Bof());
    VERIFY_ERROR(rs->Field(key), ErrNo::NoCurrentRecord);
    VERIFY_ERROR(rs->MoveNext(), ErrNo::NoCurrentRecord);
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
        auto rs = db->OpenRecordset(QStringLiteral("Select * from Req where CatID = 99"), type);
        QVERIFY(rs->Bof() && rs->Eof());
        QCOMPARE(rs->RecordCount(), 0L);
        VERIFY_ERROR(rs->Field(QStringLiteral("ReqID")), ErrNo::NoCurrentRecord);
        VERIFY_ERROR(rs->MoveNext(), ErrNo::NoCurrentRecord);
        VERIFY_ERROR(rs->MoveFirst(), ErrNo::NoCurrentRecord);
        VERIFY_ERROR(rs->MoveLast(), ErrNo::NoCurrentRecord);
    }
    auto rs = db->OpenRecordset(QStringLiteral("Select * from Req where CatID = 99"));
    VERIFY_ERROR(rs->Edit(), ErrNo::NoCurrentRecord);
    VERIFY_ERROR(rs->Delete(), ErrNo::NoCurrentRecord);
}

void TestDatabase::snapshotCountsLazily()
{
    auto db = Database::Open(freshFixture());
    auto rs = db->OpenRecordset(QStringLiteral("Select * from Req order by ReqDate desc"), RecordsetType::Snapshot);
    QVERIFY(rs->RecordCount() > 0);
    QVERIFY(rs->RecordCount() <= 8);
    rs->MoveNext();
    rs->MoveNext();
    rs->MovePrevious();
    QCOMPARE(rs->Field(QStringLiteral("ReqID")), Value(7));
    rs->MoveLast();
    QCOMPARE(rs->RecordCount(), 8L);
    QCOMPARE(rs->Field(QStringLiteral("ReqID")), Value(1));
    rs->MoveFirst();
    QCOMPARE(rs->Field(QStringLiteral("ReqID")), Value(8));
    QCOMPARE(rs->RecordCount(), 8L);
}

// ---- writing ------------------------------------------------------------------

void TestDatabase::addNewKeyBeforeUpdate()
{
    const QString path = freshFixture();
    {
        auto db = Database::Open(path);
        auto rs = db->OpenRecordset(QStringLiteral("Select * from Req order by ReqDate desc"));
        rs->SetLockEdits(false);
        rs->MoveNext(); // on request 7
        rs->AddNew();
        QVERIFY(rs->Editing());
        const Value key = rs->Field(QStringLiteral("ReqID"));
        QCOMPARE(key, Value(9));
        QCOMPARE(rs->Field(QStringLiteral("Resolved")), Value(false)); // the column's default
        QVERIFY(rs->Field(QStringLiteral("CustID")).isNull());
        rs->SetField(QStringLiteral("ShortDesc"), QStringLiteral("Toner"));
        rs->SetField(QStringLiteral("ReqDate"), QDate(1996, 5, 1));
        rs->SetField(QStringLiteral("CostTot"), Currency::fromWhole(25));
        rs->Update();
        db->Idle();
        QVERIFY(!rs->Editing());
        QCOMPARE(rs->Field(QStringLiteral("ReqID")), Value(7)); // the current record stays
        QCOMPARE(rs->RecordCount(), 9L);
        rs->FindFirst(QStringLiteral("ReqID = ") + key.toText());
        QVERIFY(!rs->NoMatch());
        QCOMPARE(rs->Field(QStringLiteral("ShortDesc")), Value("Toner"));
        QCOMPARE(rs->Field(QStringLiteral("CostTot")), Value(Currency::fromWhole(25)));
        rs->MoveNext();
        QVERIFY(rs->Eof()); // added records come after the others
    }
    auto db = Database::Open(path); // written to the file
    auto rs = db->OpenRecordset(QStringLiteral("Select * from Req where ReqID = 9"), RecordsetType::Snapshot);
    QCOMPARE(rs->Field(QStringLiteral("ReqDate")), Value(QDate(1996, 5, 1)));
    QCOMPARE(rs->Field(QStringLiteral("Resolved")), Value(false));
}

void TestDatabase::autoNumberNotReused()
{
    auto db = Database::Open(freshFixture());
    auto rs = db->OpenRecordset(QStringLiteral("Select * from Req order by ReqDate desc"));
    QCOMPARE(rs->Field(QStringLiteral("ReqID")), Value(8));
    rs->Delete();
    rs->AddNew();
    QCOMPARE(rs->Field(QStringLiteral("ReqID")), Value(9));
    rs->SetField(QStringLiteral("ReqDate"), QDate(2002, 1, 1));
    rs->Update();
    rs->AddNew();
    QCOMPARE(rs->Field(QStringLiteral("ReqID")), Value(10));
    rs->CancelUpdate();
    auto cats = db->OpenRecordset(QStringLiteral("Select * from Categories order by CatDesc"));
    cats->AddNew();
    QCOMPARE(cats->Field(QStringLiteral("CatID")), Value(4));
    cats->SetField(QStringLiteral("CatDesc"), QStringLiteral("Email"));
    cats->Update();
    cats->FindFirst(QStringLiteral("CatID = 4"));
    QCOMPARE(cats->Field(QStringLiteral("catdesc")), Value("Email"));
}

void TestDatabase::editUpdateAndCancel()
{
    auto db = Database::Open(freshFixture());
    auto rs = db->OpenRecordset(QStringLiteral("Select * from Customers order by LastName, FirstName"));
    VERIFY_ERROR(rs->Update(), ErrNo::UpdateWithoutEdit);
    VERIFY_ERROR(rs->CancelUpdate(), ErrNo::UpdateWithoutEdit);
    VERIFY_ERROR(rs->SetField(QStringLiteral("City"), QStringLiteral("x")), ErrNo::UpdateWithoutEdit);
    rs->Edit();
    rs->SetField(QStringLiteral("City"), QStringLiteral("Shelbyville"));
    QCOMPARE(rs->Field(QStringLiteral("City")), Value("Shelbyville")); // the buffer
    rs->CancelUpdate();
    QCOMPARE(rs->Field(QStringLiteral("City")), Value("Springfield"));
    rs->Edit();
    rs->SetField(QStringLiteral("City"), QStringLiteral("Shelbyville"));
    rs->Update();
    QCOMPARE(rs->Field(QStringLiteral("City")), Value("Shelbyville"));
    QCOMPARE(rs->Field(QStringLiteral("LastName")), Value("Adams"));
    auto check = db->OpenRecordset(QStringLiteral("Select City from Customers where CustID = 1"), RecordsetType::Snapshot);
    QCOMPARE(check->Field(QStringLiteral("City")), Value("Shelbyville"));
}

void TestDatabase::deleteThenMove()
{
    auto db = Database::Open(freshFixture());
    auto rs = db->OpenRecordset(QStringLiteral("Select * from Req order by ReqDate desc"));
    rs->MoveNext(); // 7
    rs->Delete();
    QVERIFY(!rs->Bof() && !rs->Eof());
    VERIFY_ERROR(rs->Field(QStringLiteral("ReqID")), ErrNo::NoCurrentRecord);
    QCOMPARE(rs->RecordCount(), 7L);
    rs->MoveNext();
    QCOMPARE(rs->Field(QStringLiteral("ReqID")), Value(6));
    rs->Delete();
    rs->MovePrevious();
    QCOMPARE(rs->Field(QStringLiteral("ReqID")), Value(8));
    rs->MoveLast();
    QCOMPARE(rs->Field(QStringLiteral("ReqID")), Value(1));
    rs->Delete();
    rs->MoveNext();
    QVERIFY(rs->Eof());
    auto check = db->OpenRecordset(QStringLiteral("Select ReqID from Req"), RecordsetType::Snapshot);
    check->MoveLast();
    QCOMPARE(check->RecordCount(), 5L);
}

void TestDatabase::findFirst_data()
{
    QTest::addColumn<QString>("criteria");
    QTest::addColumn<int>("found"); // CustID, 0 for no match
    QTest::newRow("key") << "CustID = 3" << 3;
    QTest::newRow("like prefix") << "LastName like 'B*'" << 2;
    QTest::newRow("like lower case") << "lastname like 'o''n*'" << 3;
    QTest::newRow("unicode") << "LastName like '李*'" << 4;
    QTest::newRow("first in set order") << "DeptID = 1" << 1;
    QTest::newRow("no match") << "LastName like 'Zz*'" << 0;
    QTest::newRow("star matches any text") << "FirstName like '*'" << 1;
}

void TestDatabase::findFirst()
{
    QFETCH(QString, criteria);
    QFETCH(int, found);
    auto db = Database::Open(freshFixture());
    auto rs = db->OpenRecordset(QStringLiteral("Select * from Customers order by LastName, FirstName"));
    rs->MoveLast();
    rs->MovePrevious(); // on O'Neil
    rs->FindFirst(criteria);
    QCOMPARE(rs->NoMatch(), found == 0);
    QCOMPARE(rs->Field(QStringLiteral("CustID")), Value(found == 0 ? 3 : found));
}

void TestDatabase::findFirstOnSnapshot()
{
    auto db = Database::Open(freshFixture());
    auto rs = db->OpenRecordset(QStringLiteral("Select Req.CustID as CustID, LastName, ReqDate from Req left join "
                                               "Customers on Req.CustID = Customers.CustID order by ReqDate"),
                                RecordsetType::Snapshot);
    rs->FindFirst(QStringLiteral("LastName = 'Baker'"));
    QVERIFY(!rs->NoMatch());
    QCOMPARE(rs->Field(QStringLiteral("ReqDate")), Value(QDate(1998, 1, 20)));
    rs->FindFirst(QStringLiteral("LastName = 'Nobody'"));
    QVERIFY(rs->NoMatch());
    QCOMPARE(rs->Field(QStringLiteral("ReqDate")), Value(QDate(1998, 1, 20)));
}

void TestDatabase::seekOnStaffIndex()
{
    auto db = Database::Open(freshFixture());
    auto staff = db->OpenRecordset(QStringLiteral("Staff"), RecordsetType::Table);
    staff->SetIndex(QStringLiteral("StaffID"));
    staff->Seek(QStringLiteral("="), Value(2));
    QVERIFY(!staff->NoMatch());
    QCOMPARE(staff->Field(QStringLiteral("LastName")), Value("Jones"));
    staff->Seek(QStringLiteral("="), Value(3));
    QCOMPARE(staff->Field(QStringLiteral("FirstName")), Value("Anders"));
    staff->Seek(QStringLiteral("="), Value(42));
    QVERIFY(staff->NoMatch());
    VERIFY_ERROR(staff->SetIndex(QStringLiteral("NoSuchIndex")), 3800);
}

void TestDatabase::nullReadsAndWrites()
{
    auto db = Database::Open(freshFixture());
    auto rs = db->OpenRecordset(QStringLiteral("Select * from Req order by ReqDate desc"));
    rs->FindFirst(QStringLiteral("ReqID = 6"));
    for (const char* f : {"CostTot", "AmtPaid", "CatID", "DueDate", "Resp", "HoursTot"})
        QVERIFY2(f == QByteArray("HoursTot") || rs->Field(QString::fromLatin1(f)).isNull(), f);
    rs->Edit();
    rs->SetField(QStringLiteral("DueDate"), QDate(1998, 4, 2));
    rs->SetField(QStringLiteral("CostTot"), Currency::fromWhole(12));
    rs->Update();
    QCOMPARE(rs->Field(QStringLiteral("DueDate")), Value(QDate(1998, 4, 2)));
    rs->Edit();
    rs->SetField(QStringLiteral("DueDate"), Value());
    rs->SetField(QStringLiteral("CostTot"), Value());
    rs->SetField(QStringLiteral("CustID"), Value());
    rs->SetField(QStringLiteral("ShortDesc"), Value());
    rs->Update();
    for (const char* f : {"DueDate", "CostTot", "CustID", "ShortDesc"})
        QVERIFY2(rs->Field(QString::fromLatin1(f)).isNull(), f);
    auto raw = db->OpenRecordset(QStringLiteral("Select typeof(DueDate) as t from Req where ReqID = 6"),
                                 RecordsetType::Snapshot);
    QCOMPARE(raw->Field(QStringLiteral("t")), Value("null")); // no zero date
}

void TestDatabase::fieldTypes()
{
    auto db = Database::Open(freshFixture());
    auto rs = db->OpenRecordset(QStringLiteral("Select * from Req where ReqID = 5"), RecordsetType::Snapshot);
    QCOMPARE(rs->Field(QStringLiteral("ReqID")).type(), VType::Long);
    QCOMPARE(rs->Field(QStringLiteral("ReqDate")), Value(QDate(1998, 3, 5)));
    QCOMPARE(rs->Field(QStringLiteral("Resolved")), Value(true));
    QCOMPARE(rs->Field(QStringLiteral("HoursTot")), Value(2.0f));
    QCOMPARE(rs->Field(QStringLiteral("CostTot")), Value(Currency::fromWhole(100)));
    QCOMPARE(rs->Field(QStringLiteral("AddCharge")), Value(Currency::fromWhole(20)));
    QCOMPARE(rs->Field(QStringLiteral("CustID")), Value(1));
    QCOMPARE(rs->Field(QStringLiteral("ShortDesc")), Value("Upgrade"));
    auto agg = db->OpenRecordset(QStringLiteral("Select count(*) as n, sum(HoursTot) as h from Req"), RecordsetType::Snapshot);
    QCOMPARE(agg->Field(QStringLiteral("n")), Value(8));
    QCOMPARE(agg->Field(QStringLiteral("h")).toDouble(), 8.0);
}

void TestDatabase::conversionsOnWrite()
{
    auto db = Database::Open(freshFixture());
    auto rs = db->OpenRecordset(QStringLiteral("Select * from Req order by ReqDate desc"));
    rs->Edit();
    rs->SetField(QStringLiteral("AmtPaid"), 12.34567);     // a double into a currency field
    rs->SetField(QStringLiteral("HoursTot"), QStringLiteral("1.5"));
    rs->SetField(QStringLiteral("CustID"), 2.0);
    rs->SetField(QStringLiteral("Resolved"), false);
    VERIFY_ERROR(rs->SetField(QStringLiteral("CustID"), QStringLiteral("abc")), ErrNo::TypeMismatch);
    VERIFY_ERROR(rs->SetField(QStringLiteral("ReqDate"), QStringLiteral("not a date")), ErrNo::TypeMismatch);
    rs->Update();
    QCOMPARE(rs->Field(QStringLiteral("AmtPaid")), Value(Currency::fromUnits(123457)));
    QCOMPARE(rs->Field(QStringLiteral("HoursTot")), Value(1.5f));
    QCOMPARE(rs->Field(QStringLiteral("CustID")), Value(2));
    QCOMPARE(rs->Field(QStringLiteral("Resolved")), Value(false));
    auto raw = db->OpenRecordset(QStringLiteral("Select typeof(AmtPaid) as t, AmtPaid + 0 as u, Resolved + 0 as r from Req where ReqID = 8"),
                                 RecordsetType::Snapshot);
    QCOMPARE(raw->Field(QStringLiteral("t")), Value("integer"));
    QCOMPARE(raw->Field(QStringLiteral("u")), Value(123457));
    QCOMPARE(raw->Field(QStringLiteral("r")), Value(0));
}

void TestDatabase::errors()
{
    auto db = Database::Open(freshFixture());
    auto rs = db->OpenRecordset(QStringLiteral("Select * from Req order by ReqDate desc"));
    VERIFY_ERROR(rs->Field(QStringLiteral("NoSuchField")), ErrNo::ItemNotFound);
    QCOMPARE(rs->Field(QStringLiteral("rEQdATE")), Value(QDate(2001, 7, 4)));
    rs->Edit();
    VERIFY_ERROR(rs->SetField(QStringLiteral("NoSuchField"), 1), ErrNo::ItemNotFound);
    rs->SetField(QStringLiteral("Misc1"), QString(51, u'x'));
    VERIFY_ERROR(rs->Update(), ErrNo::FieldTooSmall);
    QVERIFY(rs->Editing()); // the buffer stays for another try
    rs->SetField(QStringLiteral("Misc1"), QString(50, u'x'));
    rs->Update();
    QCOMPARE(rs->Field(QStringLiteral("Misc1")).toText().size(), 50);

    auto snap = db->OpenRecordset(QStringLiteral("Select * from Req order by ReqDate desc"), RecordsetType::Snapshot);
    VERIFY_ERROR(snap->AddNew(), ErrNo::NotUpdatable);
    VERIFY_ERROR(snap->Edit(), ErrNo::NotUpdatable);
    VERIFY_ERROR(snap->Delete(), ErrNo::NotUpdatable);

    try {
        db->OpenRecordset(QStringLiteral("Select Nonsense from Req"));
        QFAIL("no error");
    } catch (const Error& e) {
        QCOMPARE(e.number(), int(ErrNo::SqlError));
        QVERIFY2(e.text().contains(QLatin1String("no such column")), qPrintable(e.text()));
    }
    VERIFY_ERROR(db->Execute(QStringLiteral("update Nowhere set x = 1")), ErrNo::SqlError);
    rs->Close();
    VERIFY_ERROR(rs->MoveNext(), 3420);
}

void TestDatabase::unicodeRoundTrip_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("pattern");
    QTest::newRow("Zoë") << QStringLiteral("Zoë") << QStringLiteral("ZOË*");
    QTest::newRow("Ångström") << QStringLiteral("Ångström") << QStringLiteral("ång*");
    QTest::newRow("李") << QStringLiteral("李") << QStringLiteral("李");
    QTest::newRow("O'Neil") << QStringLiteral("O'Neil") << QStringLiteral("o''n?il");
    QTest::newRow("two lines") << QStringLiteral("12 Ledger Lane\r\nSuite 4") << QStringLiteral("*suite #");
}

void TestDatabase::unicodeRoundTrip()
{
    QFETCH(QString, name);
    QFETCH(QString, pattern);
    const QString path = freshFixture();
    int key = 0;
    {
        auto db = Database::Open(path);
        auto rs = db->OpenRecordset(QStringLiteral("Select * from Dept order by DeptName"));
        rs->AddNew();
        key = rs->Field(QStringLiteral("DeptID")).toLong();
        rs->SetField(QStringLiteral("DeptName"), name);
        rs->Update();
    }
    auto db = Database::Open(path);
    auto rs = db->OpenRecordset(QStringLiteral("Select * from Dept order by DeptName"));
    rs->FindFirst(QStringLiteral("DeptName like '%1'").arg(pattern));
    QVERIFY(!rs->NoMatch());
    QCOMPARE(rs->Field(QStringLiteral("DeptID")), Value(key));
    QCOMPARE(rs->Field(QStringLiteral("DeptName")), Value(name));
}

void TestDatabase::writeSeam()
{
    auto db = Database::Open(freshFixture());
    auto rs = db->OpenRecordset(QStringLiteral("Select * from Staff order by LastName, FirstName"));
    db->failNextWrites(2, ErrNo::RecordLockedByUser);
    rs->Edit();
    rs->SetField(QStringLiteral("Phone"), QStringLiteral("555-9999"));
    VERIFY_ERROR(rs->Update(), ErrNo::RecordLockedByUser);
    auto check = db->OpenRecordset(QStringLiteral("Select Phone from Staff where StaffID = 2"), RecordsetType::Snapshot);
    QVERIFY(check->Field(QStringLiteral("Phone")).isNull());
    VERIFY_ERROR(rs->Delete(), ErrNo::RecordLockedByUser);
    rs->Update(); // the third write goes through
    QCOMPARE(rs->Field(QStringLiteral("Phone")), Value("555-9999"));
    db->failNextWrites(1, ErrNo::RecordLocked);
    VERIFY_ERROR(rs->Delete(), ErrNo::RecordLocked);
    QCOMPARE(rs->RecordCount(), 3L);
    rs->Delete();
    QCOMPARE(rs->RecordCount(), 2L);
}

void TestDatabase::settingsTable()
{
    auto db = Database::Open(freshFixture());
    auto s = db->OpenRecordset(QStringLiteral("Settings"), RecordsetType::Table);
    QCOMPARE(s->RecordCount(), 1L);
    QCOMPARE(s->Field(QStringLiteral("DefHourlyRate")), Value(Currency::fromWhole(40)));
    QCOMPARE(s->Field(QStringLiteral("DefMinCharge")), Value(Currency::fromWhole(25)));
    QCOMPARE(s->Field(QStringLiteral("NBold")), Value(true));
    s->Edit();
    s->SetField(QStringLiteral("DefHourlyRate"), Value());
    s->SetField(QStringLiteral("NSize"), 14.5);
    s->Update();
    QVERIFY(s->Field(QStringLiteral("DefHourlyRate")).isNull());
    QCOMPARE(s->Field(QStringLiteral("NSize")), Value(Currency::fromUnits(145000)));
}

// ---- dialect ------------------------------------------------------------------

void TestDatabase::likeWildcards_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("match");
    QTest::newRow("star prefix") << "Sm*" << "Smith" << true;
    QTest::newRow("star prefix, other") << "Sm*" << "Jones" << false;
    QTest::newRow("case") << "SMITH" << "smith" << true;
    QTest::newRow("contains") << "*print*" << "The PRINTER jams" << true;
    QTest::newRow("question") << "J?nes" << "Jones" << true;
    QTest::newRow("question needs one") << "J?nes" << "Jnes" << false;
    QTest::newRow("digit") << "Room ##" << "Room 42" << true;
    QTest::newRow("digit, letter") << "Room ##" << "Room 4b" << false;
    QTest::newRow("class") << "[a-c]*" << "Baker" << true;
    QTest::newRow("class, out") << "[a-c]*" << "Smith" << false;
    QTest::newRow("negated class") << "[!a-c]*" << "Smith" << true;
    QTest::newRow("negated class, in") << "[!a-c]*" << "Adams" << false;
    QTest::newRow("literal star") << "5[*]" << "5*" << true;
    QTest::newRow("literal star, other") << "5[*]" << "55" << false;
    QTest::newRow("percent is plain") << "100%" << "100%" << true;
    QTest::newRow("percent not a wildcard") << "1%" << "123" << false;
    QTest::newRow("underscore is plain") << "a_c" << "abc" << false;
    QTest::newRow("unicode case") << "ång*" << "ÅNGSTRÖM" << true;
    QTest::newRow("whole text") << "Smith" << "Smithers" << false;
    QTest::newRow("empty pattern") << "" << "" << true;
    QTest::newRow("stars") << "*a*b*" << "xxaxxbxx" << true;
    QTest::newRow("stars, order") << "*b*a" << "ab" << false;
}

void TestDatabase::likeWildcards()
{
    QFETCH(QString, pattern);
    QFETCH(QString, value);
    QFETCH(bool, match);
    QCOMPARE(sql::likeMatches(pattern, value), match);
    // The same through the engine.
    auto db = Database::Open(freshFixture());
    QString p = pattern;
    QString v = value;
    auto rs = db->OpenRecordset(QStringLiteral("Select ('%1' like '%2') as m")
                                    .arg(v.replace(u'\'', QLatin1String("''")), p.replace(u'\'', QLatin1String("''"))),
                                RecordsetType::Snapshot);
    QCOMPARE(rs->Field(QStringLiteral("m")).toBool(), match);
}

void TestDatabase::translation_data()
{
    QTest::addColumn<QString>("dialect");
    QTest::addColumn<QString>("sqlite");
    QTest::newRow("mm/dd/yy") << "ReqDate < #03/05/98#" << "ReqDate < '1998-03-05'";
    QTest::newRow("m/d/yy") << "ReqDate >= #1/1/98#" << "ReqDate >= '1998-01-01'";
    QTest::newRow("four-digit year") << "x = #12/31/1999#" << "x = '1999-12-31'";
    QTest::newRow("year 29") << "x = #1/1/29#" << "x = '2029-01-01'";
    QTest::newRow("year 30") << "x = #1/1/30#" << "x = '1930-01-01'";
    QTest::newRow("year 00") << "x = #07/04/00#" << "x = '2000-07-04'";
    QTest::newRow("inside a text") << "x like '*#1/1/98#*'" << "x like '*#1/1/98#*'";
    QTest::newRow("apostrophes") << "x = 'O''Neil #1/1/98#' and y = #2/3/04#" << "x = 'O''Neil #1/1/98#' and y = '2004-02-03'";
    QTest::newRow("alias in where")
        << "Select Req.CustID as CustID, LastName from Req left join Customers on Req.CustID = Customers.CustID where "
           "ReqDate >= #01/01/98# and CustID = 5 order by CustID"
        << "Select Req.CustID as CustID, LastName from Req left join Customers on Req.CustID = Customers.CustID where "
           "ReqDate >= '1998-01-01' and Req.CustID = 5 order by CustID";
    QTest::newRow("alias, qualified or in a text")
        << "Select Req.DeptID as DeptID from Req left join Dept on Req.DeptID = Dept.DeptID where Dept.DeptID = 1 and "
           "Misc1 = 'DeptID'"
        << "Select Req.DeptID as DeptID from Req left join Dept on Req.DeptID = Dept.DeptID where Dept.DeptID = 1 and "
           "Misc1 = 'DeptID'";
}

void TestDatabase::translation()
{
    QFETCH(QString, dialect);
    QFETCH(QString, sqlite);
    QCOMPARE(translateSql(dialect), sqlite);
}

void TestDatabase::badDateLiteral()
{
    VERIFY_ERROR(translateSql(QStringLiteral("ReqDate < #13/45/98#")), ErrNo::SqlError);
    auto db = Database::Open(freshFixture());
    VERIFY_ERROR(db->OpenRecordset(QStringLiteral("Select * from Req where ReqDate < #2/30/98#")), ErrNo::SqlError);
}

QTEST_GUILESS_MAIN(TestDatabase)
#include "tst_database.moc"

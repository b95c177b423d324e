// cvdtool: a new empty database, the demo database, and the refusal to
// overwrite a file that is already there.
#include "core/database.h"
#include "core/errors.h"
#include "core/schema.h"
#include "tools/createdb.h"
#include "tools/demodata.h"
#include "support/testfiles.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>
#include <sqlite3.h>

using cvd::tools::DemoOptions;
using cvd::test::errorOf;
using cvd::test::fileBytes;

namespace {

// A read-only look into a database file with plain SQLite, beside the engine.
class Peek {
public:
    explicit Peek(const QString& path)
    {
        if (sqlite3_open_v2(QFile::encodeName(path).constData(), &m_db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
            qFatal("cannot open %s", qPrintable(path));
    }
    ~Peek() { sqlite3_close(m_db); }

    // All rows of a query.
    QList<QVariantList> rows(const char* sql, const QString& bind = QString()) const
    {
        sqlite3_stmt* s = nullptr;
        QList<QVariantList> out;
        if (sqlite3_prepare_v2(m_db, sql, -1, &s, nullptr) != SQLITE_OK) {
            qWarning("%s: %s", sql, sqlite3_errmsg(m_db));
            return out;
        }
        const QByteArray b = bind.toUtf8();
        if (!bind.isNull())
            sqlite3_bind_text(s, 1, b.constData(), int(b.size()), SQLITE_TRANSIENT);
        while (sqlite3_step(s) == SQLITE_ROW) {
            QVariantList row; // values as text, Null as an invalid QVariant
            for (int i = 0; i < sqlite3_column_count(s); ++i)
                row << (sqlite3_column_type(s, i) == SQLITE_NULL
                            ? QVariant()
                            : QVariant(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s, i)))));
            out << row;
        }
        sqlite3_finalize(s);
        return out;
    }
    QVariant value(const char* sql, const QString& bind = QString()) const
    {
        const auto r = rows(sql, bind);
        return r.isEmpty() || r[0].isEmpty() ? QVariant() : r[0][0];
    }
    qlonglong count(const char* sql, const QString& bind = QString()) const { return value(sql, bind).toLongLong(); }

private:
    sqlite3* m_db = nullptr;
};

QStringList folderEntries(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

const QDate kToday(2024, 3, 15);

QString makeDemo(const QString& folder, int requests, std::uint64_t seed = 1)
{
    return cvd::tools::createDemoDatabase(folder, {.requests = requests, .seed = seed, .today = kToday});
}

struct Run {
    int exitCode = -1;
    QByteArray out, err;
};

Run runTool(const QStringList& args)
{
    QProcess p;
    p.start(qEnvironmentVariable("CVDTOOL"), args);
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit)
        return {};
    return {p.exitCode(), p.readAllStandardOutput(), p.readAllStandardError()};
}

// Every value of every table, in key order, as one text.
QString dump(const QString& path)
{
    Peek db(path);
    QString all;
    for (const QString& t : cvd::schema::tableNames()) {
        const QByteArray sql = QStringLiteral("SELECT * FROM %1 ORDER BY 1").arg(t).toUtf8();
        for (const QVariantList& row : db.rows(sql.constData())) {
            for (const QVariant& v : row)
                all += (v.isValid() ? v.toString() : QStringLiteral("<null>")) + QLatin1Char('|');
            all += QLatin1Char('\n');
        }
    }
    return all;
}

} // namespace

class TstCvdtool : public QObject {
    Q_OBJECT

private slots:
    void createMakesEmptyTablesAndSettings();
    void refusesExistingFile_data();
    void refusesExistingFile();
    void failedBuildLeavesNothing();
    void commandLine();
    void demoContents_data();
    void demoContents();
    void demoNamesSurviveTheEngine();
    void demoIsDeterministic();
};

void TstCvdtool::createMakesEmptyTablesAndSettings()
{
    QTemporaryDir tmp;
    const QString folder = tmp.filePath(QStringLiteral("new/data folder"));
    const QString path = cvd::tools::createDatabase(folder);
    QCOMPARE(path, QDir(folder).filePath(QStringLiteral("cvd.mdb")));
    QCOMPARE(folderEntries(folder), QStringList{QStringLiteral("cvd.mdb")});

    Peek db(path);
    QCOMPARE(db.value("PRAGMA integrity_check").toString(), QStringLiteral("ok"));
    QCOMPARE(db.value("PRAGMA journal_mode").toString(), QStringLiteral("delete"));
    for (const QString& t : cvd::schema::tableNames())
        QVERIFY2(db.count("SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name = ?", t) == 1, qPrintable(t));
    const auto settings = db.rows("SELECT DefHourlyRate, DefMinCharge FROM Settings");
    QCOMPARE(settings, (QList<QVariantList>{{QStringLiteral("400000"), QStringLiteral("250000")}})); // 40.00, 25.00

    // The engine accepts the new file.
    auto engine = cvd::Database::Open(path);
    auto set = engine->OpenRecordset(QStringLiteral("Select * from Req order by ReqDate desc"));
    QVERIFY(set->Bof() && set->Eof());
}

void TstCvdtool::refusesExistingFile_data()
{
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<bool>("demo");
    QTest::newRow("empty file, create") << QByteArray() << false;
    QTest::newRow("text file, demo") << QByteArray("not a database\0\x01\xff", 17) << true;
}

void TstCvdtool::refusesExistingFile()
{
    QFETCH(QByteArray, contents);
    QFETCH(bool, demo);
    QTemporaryDir tmp;
    const QString path = cvd::tools::databasePath(tmp.path());
    QVERIFY(cvd::test::writeFile(path, contents));
    const QByteArray before = fileBytes(path);
    const QDateTime stamp = QFileInfo(path).lastModified();

    QString text;
    const int err = errorOf([&] { demo ? (void)makeDemo(tmp.path(), 10) : (void)cvd::tools::createDatabase(tmp.path()); }, &text);
    QCOMPARE(err, cvd::tools::ToolErr::FileExists);
    QVERIFY2(text.contains(path), qPrintable(text));
    QCOMPARE(fileBytes(path), before);
    QCOMPARE(QFileInfo(path).lastModified(), stamp);
    QCOMPARE(folderEntries(tmp.path()), QStringList{QStringLiteral("cvd.mdb")});
}

void TstCvdtool::failedBuildLeavesNothing()
{
    QTemporaryDir tmp;
    QString text;
    const int err = errorOf([&] {
        cvd::tools::createDatabase(tmp.path(), [](sqlite3* db) { cvd::tools::execSql(db, "INSERT INTO NoSuchTable VALUES (1)"); });
    }, &text);
    QCOMPARE(err, cvd::ErrNo::SqlError);
    QVERIFY2(text.contains(cvd::tools::databasePath(tmp.path())), qPrintable(text));
    QCOMPARE(folderEntries(tmp.path()), QStringList());

    // A folder that is a file cannot hold the database.
    const QString notFolder = tmp.filePath(QStringLiteral("plain"));
    QVERIFY(cvd::test::writeFile(notFolder, "x"));
    QCOMPARE(errorOf([&] { cvd::tools::createDatabase(notFolder); }), cvd::tools::ToolErr::PathAccess);
    QCOMPARE(fileBytes(notFolder), QByteArray("x"));
}

void TstCvdtool::commandLine()
{
    QTemporaryDir tmp;
    const QString folder = tmp.filePath(QStringLiteral("d"));
    const QString path = cvd::tools::databasePath(folder);

    Run r = runTool({});
    QVERIFY(r.exitCode != 0);
    QVERIFY(r.err.contains("Usage"));

    r = runTool({QStringLiteral("create"), folder});
    QCOMPARE(r.exitCode, 0);
    QVERIFY(QFileInfo::exists(path));
    const QByteArray made = fileBytes(path);

    r = runTool({QStringLiteral("demo"), folder, QStringLiteral("--requests"), QStringLiteral("5")});
    QCOMPARE(r.exitCode, 1);
    QVERIFY2(QString::fromLocal8Bit(r.err).contains(path), r.err.constData());
    QCOMPARE(fileBytes(path), made);

    const QString other = tmp.filePath(QStringLiteral("demo"));
    r = runTool({QStringLiteral("demo"), other, QStringLiteral("--requests"), QStringLiteral("many")});
    QVERIFY(r.exitCode != 0);
    QVERIFY(!QFileInfo::exists(cvd::tools::databasePath(other)));

    r = runTool({QStringLiteral("demo"), other, QStringLiteral("--requests"), QStringLiteral("40"), QStringLiteral("--seed"), QStringLiteral("9")});
    QCOMPARE(r.exitCode, 0);
    Peek db(cvd::tools::databasePath(other));
    QCOMPARE(db.count("SELECT count(*) FROM Req"), 40);
    const QDate last = QDate::fromString(db.value("SELECT max(ReqDate) FROM Req").toString(), Qt::ISODate);
    QVERIFY(last <= QDate::currentDate() && last > QDate::currentDate().addYears(-3));
}

void TstCvdtool::demoContents_data()
{
    QTest::addColumn<int>("requests");
    QTest::addColumn<int>("seed");
    QTest::newRow("none") << 0 << 1;
    QTest::newRow("default size") << 500 << 1;
    QTest::newRow("other seed") << 3000 << 77;
}

void TstCvdtool::demoContents()
{
    QFETCH(int, requests);
    QFETCH(int, seed);
    QTemporaryDir tmp;
    Peek db(makeDemo(tmp.path(), requests, std::uint64_t(seed)));
    QCOMPARE(db.value("PRAGMA integrity_check").toString(), QStringLiteral("ok"));

    // Reference lists of a small organisation.
    QCOMPARE(db.count("SELECT count(*) FROM Req"), requests);
    QVERIFY(db.count("SELECT (SELECT count(*) FROM Customers) >= 24 AND (SELECT count(*) FROM Dept) >= 8"
                     " AND (SELECT count(*) FROM Staff) >= 6 AND (SELECT count(*) FROM Categories) >= 6"));
    QVERIFY(db.count("SELECT count(*) FROM Customers WHERE FirstName IS NULL AND LastName IS NOT NULL") >= 1);
    QVERIFY(db.count("SELECT count(*) FROM Dept WHERE Address LIKE '%' || char(13) || char(10) || '%'") >= 1);

    // Names that must survive every round trip.
    QVERIFY(db.count("SELECT count(*) FROM Customers WHERE FirstName = 'Zoë' AND LastName = 'Ångström'") == 1);
    QVERIFY(db.count("SELECT count(*) FROM Customers WHERE LastName = ?", QStringLiteral("O'Neil")) == 1);
    QVERIFY(db.count("SELECT count(*) FROM Customers WHERE LastName = '李'") == 1);
    QVERIFY(db.count("SELECT count(*) FROM Staff WHERE LastName = ?", QStringLiteral("O'Neil")) == 1);
    if (requests >= 500)
        QVERIFY(db.count("SELECT count(*) FROM Req WHERE ShortDesc LIKE ?", QStringLiteral("%O'Neil%")) > 0);

    // Every reference names an existing record.
    QCOMPARE(db.count("SELECT count(*) FROM Req WHERE CustID NOT IN (SELECT CustID FROM Customers)"
                      " OR DeptID NOT IN (SELECT DeptID FROM Dept) OR PriID NOT IN (SELECT PriID FROM Priorities)"
                      " OR CatID NOT IN (SELECT CatID FROM Categories) OR EnteredBy NOT IN (SELECT StaffID FROM Staff)"
                      " OR AssignedTo NOT IN (SELECT StaffID FROM Staff)"),
             0);

    // Dates: the last three years up to today, in order of the key; resolved
    // requests carry their date, open ones none; the newest are still open.
    const QDate first = kToday.addYears(-3);
    const auto reqs = db.rows("SELECT ReqID, ReqDate, DueDate, ResDate, Resolved, HoursTot, MinTot, AddCharge,"
                              " CostTot, AmtPaid, PaidDate FROM Req ORDER BY ReqID");
    QDate previous;
    int paidInFull = 0, paidInPart = 0, unpaid = 0;
    for (const QVariantList& r : reqs) {
        const QString id = r[0].toString();
        auto date = [&](int i) { return QDate::fromString(r[i].toString(), Qt::ISODate); };
        const QDate req = date(1);
        QVERIFY2(req.isValid() && req > first && req <= kToday && (!previous.isValid() || req >= previous), qPrintable(id));
        previous = req;
        QVERIFY2(!r[2].isValid() || date(2) >= req, qPrintable(id));
        const bool resolved = r[4].toLongLong() == 1;
        QVERIFY2(r[4].toLongLong() == 0 || resolved, qPrintable(id));
        QCOMPARE(r[3].isValid(), resolved);
        QVERIFY2(!resolved || (date(3) >= req && date(3) <= kToday && req <= kToday.addDays(-3)), qPrintable(id));

        // The total cost as the main window computes it: rate 40, minimum 25,
        // kept to whole cents.
        const double exact = r[5].toDouble() * 400000 + r[6].toDouble() * 400000 / 60 + r[7].toDouble();
        const qlonglong cost = r[8].toLongLong();
        QVERIFY2(std::abs(double(cost) - std::max(exact, 250000.0)) <= 50, qPrintable(id));
        QCOMPARE(cost % 100, 0);

        const qlonglong paid = r[9].toLongLong();
        QCOMPARE(r[10].isValid(), paid > 0);
        QVERIFY2(paid <= cost && (paid == 0 || (date(10) >= req && date(10) <= kToday)), qPrintable(id));
        ++(paid == 0 ? unpaid : paid == cost ? paidInFull : paidInPart);
    }
    if (requests < 500)
        return;
    QVERIFY(paidInFull > requests / 3 && paidInPart > 0 && unpaid > 0);
    QVERIFY(db.count("SELECT count(*) FROM Req WHERE HoursTot <> CAST(HoursTot AS INTEGER)") > 0);
    QVERIFY(db.count("SELECT count(*) FROM Req WHERE ReqDesc LIKE '%' || char(13) || char(10) || '%'") > requests / 4);
    QVERIFY(db.count("SELECT count(*) FROM Req WHERE length(Misc1) > 50") == 0);
    for (const char* field : {"DueDate", "ResDate", "PaidDate", "AddCharge", "AmtPaid", "CustID", "DeptID", "PriID",
                              "CatID", "AssignedTo", "Resp", "Misc1"}) { // some Null, some set
        const QByteArray sql = QByteArray("SELECT count(*) > count(") + field + ") AND count(" + field + ") > 0 FROM Req";
        QVERIFY2(db.count(sql.constData()) == 1, field);
    }
}

void TstCvdtool::demoNamesSurviveTheEngine()
{
    QTemporaryDir tmp;
    const QString path = makeDemo(tmp.path(), 50);
    {
        auto db = cvd::Database::Open(path);
        auto names = db->OpenRecordset(QStringLiteral("Select LastName, FirstName from Customers order by LastName, FirstName"),
                                       cvd::RecordsetType::Snapshot);
        QStringList seen;
        for (; !names->Eof(); names->MoveNext())
            seen << names->Field(QStringLiteral("LastName")).displayText() + QLatin1Char(',')
                        + names->Field(QStringLiteral("FirstName")).displayText();
        for (const char* n : {"Ångström,Zoë", "O'Neil,Patrick", "李,明", "Hargreaves,"})
            QVERIFY2(seen.contains(QString::fromUtf8(n)), n);

        // Found by the maintenance window's criterion, written back changed.
        auto cust = db->OpenRecordset(QStringLiteral("Select * from Customers order by LastName, FirstName"));
        cust->FindFirst(QStringLiteral("LastName like 'o''nei*'"));
        QVERIFY(!cust->NoMatch());
        QCOMPARE(cust->Field(QStringLiteral("FirstName")).toText(), QStringLiteral("Patrick"));
        cust->Edit();
        cust->SetField(QStringLiteral("FirstName"), QStringLiteral("Zoë 李 O'Neil\r\nline 2"));
        cust->Update();

        auto staff = db->OpenRecordset(QStringLiteral("Staff"), cvd::RecordsetType::Table);
        staff->SetIndex(QStringLiteral("StaffID"));
        staff->Seek(QStringLiteral("="), 4);
        QVERIFY(!staff->NoMatch());
        QCOMPARE(staff->Field(QStringLiteral("LastName")).toText(), QStringLiteral("李"));
    }
    Peek db(path);
    QCOMPARE(db.count("SELECT count(*) FROM Customers WHERE FirstName = ?", QStringLiteral("Zoë 李 O'Neil\r\nline 2")), 1);
    QCOMPARE(db.count("SELECT count(*) FROM Customers WHERE LastName = 'Ångström' AND FirstName = 'Zoë'"), 1);
}

void TstCvdtool::demoIsDeterministic()
{
    QTemporaryDir tmp;
    const QString a = dump(makeDemo(tmp.filePath(QStringLiteral("a")), 300, 42));
    const QString b = dump(makeDemo(tmp.filePath(QStringLiteral("b")), 300, 42));
    const QString c = dump(makeDemo(tmp.filePath(QStringLiteral("c")), 300, 43));
    QVERIFY(a.size() > 10000);
    QVERIFY(a == b);
    QVERIFY(a != c);
}

QTEST_GUILESS_MAIN(TstCvdtool)
#include "tst_cvdtool.moc"

// cvdtool: a new empty database, the demo database, and the refusal to
// overwrite a file that is already there.
#include "core/database.h"
#include "core/errors.h"
#include "core/schema.h"
#include "tools/createdb.h"
#include "tools/demodata.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>
#include <functional>
#include <sqlite3.h>

using cvd::tools::DemoOptions;

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

    // All rows of a query, each value as QVariant (Null as an invalid one).
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
            QVariantList row;
            for (int i = 0; i < sqlite3_column_count(s); ++i) {
                switch (sqlite3_column_type(s, i)) {
                case SQLITE_NULL: row << QVariant(); break;
                case SQLITE_INTEGER: row << QVariant(qlonglong(sqlite3_column_int64(s, i))); break;
                case SQLITE_FLOAT: row << QVariant(sqlite3_column_double(s, i)); break;
                default:
                    row << QVariant(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s, i)),
                                                      sqlite3_column_bytes(s, i)));
                }
            }
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

QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(bytes), bytes.size());
}

QStringList folderEntries(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

int errorOf(const std::function<void()>& f, QString* text = nullptr)
{
    try {
        f();
    } catch (const cvd::Error& e) {
        if (text)
            *text = e.text();
        return e.number();
    }
    return 0;
}

const QDate kToday(2024, 3, 15);

QString makeDemo(const QString& folder, int requests, std::uint64_t seed = 1)
{
    DemoOptions o;
    o.requests = requests;
    o.seed = seed;
    o.today = kToday;
    return cvd::tools::createDemoDatabase(folder, o);
}

struct Run {
    int exitCode = -1;
    QByteArray out, err;
};

Run runTool(const QStringList& args)
{
    Run r;
    const QString tool = qEnvironmentVariable("CVDTOOL");
    if (tool.isEmpty()) {
        qWarning("CVDTOOL is not set");
        return r;
    }
    QProcess p;
    p.start(tool, args);
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit)
        return r;
    r.exitCode = p.exitCode();
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
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
    for (const char* t : {"Req", "Customers", "Dept", "Staff", "Categories", "Priorities"})
        QCOMPARE(db.count(QByteArray("SELECT count(*) FROM ").append(t).constData()), 0);

    const auto settings = db.rows("SELECT DefHourlyRate, DefMinCharge, CompName, CompAdd, NFont, AFont FROM Settings");
    QCOMPARE(settings.size(), 1);
    QCOMPARE(settings[0][0].toLongLong(), 400000); // 40.00
    QCOMPARE(settings[0][1].toLongLong(), 250000); // 25.00
    QVERIFY(!settings[0][2].toString().isEmpty());
    QVERIFY(!settings[0][3].toString().isEmpty());
    QCOMPARE(settings[0][4].toString(), QStringLiteral("Times New Roman"));
    QCOMPARE(settings[0][5].toString(), QStringLiteral("Times New Roman"));

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
    QTest::newRow("a database, create") << QByteArray("db") << false;
    QTest::newRow("a database, demo") << QByteArray("db") << true;
}

void TstCvdtool::refusesExistingFile()
{
    QFETCH(QByteArray, contents);
    QFETCH(bool, demo);
    QTemporaryDir tmp;
    const QString path = cvd::tools::databasePath(tmp.path());
    if (contents == "db") {
        makeDemo(tmp.path(), 20, 5);
    } else {
        writeFile(path, contents);
    }
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
    writeFile(notFolder, "x");
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
    r = runTool({QStringLiteral("--help")});
    QCOMPARE(r.exitCode, 0);
    QVERIFY(r.out.contains("cvdtool demo FOLDER"));

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
    const QString last = db.value("SELECT max(ReqDate) FROM Req").toString();
    QVERIFY(QDate::fromString(last, Qt::ISODate) <= QDate::currentDate());
    QVERIFY(QDate::fromString(last, Qt::ISODate) > QDate::currentDate().addYears(-3));
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
    QVERIFY(db.count("SELECT count(*) FROM Customers") >= 24);
    QVERIFY(db.count("SELECT count(*) FROM Dept") >= 8);
    QVERIFY(db.count("SELECT count(*) FROM Staff") >= 6);
    QVERIFY(db.count("SELECT count(*) FROM Customers WHERE FirstName IS NULL AND LastName IS NOT NULL") >= 1);
    QVERIFY(db.count("SELECT count(*) FROM Customers WHERE DeptID IN (SELECT DeptID FROM Dept)") >= 10);
    QVERIFY(db.count("SELECT count(*) FROM Dept WHERE Address LIKE '%' || char(13) || char(10) || '%'") >= 1);
    for (const char* c : {"Hardware", "Software", "Network", "Printing", "Accounts", "Training"})
        QVERIFY2(db.count("SELECT count(*) FROM Categories WHERE CatDesc = ?", QString::fromUtf8(c)) == 1, c);
    for (const char* p : {"Urgent", "High", "Normal", "Low"})
        QVERIFY2(db.count("SELECT count(*) FROM Priorities WHERE PriDesc = ?", QString::fromUtf8(p)) == 1, p);

    // Names that must survive every round trip.
    QVERIFY(db.count("SELECT count(*) FROM Customers WHERE FirstName = 'Zoë' AND LastName = 'Ångström'") == 1);
    QVERIFY(db.count("SELECT count(*) FROM Customers WHERE LastName = ?", QStringLiteral("O'Neil")) == 1);
    QVERIFY(db.count("SELECT count(*) FROM Customers WHERE LastName = '李'") == 1);
    QVERIFY(db.count("SELECT count(*) FROM Staff WHERE LastName = ?", QStringLiteral("O'Neil")) == 1);
    QVERIFY(db.count("SELECT count(*) FROM Staff WHERE FirstName = 'Zoë'") == 1);
    if (requests >= 500) {
        QVERIFY(db.count("SELECT count(*) FROM Req WHERE ShortDesc LIKE ?", QStringLiteral("%O'Neil%")) > 0);
        QVERIFY(db.count("SELECT count(*) FROM Req WHERE ShortDesc LIKE '%Zoë%'") > 0);
        QVERIFY(db.count("SELECT count(*) FROM Req WHERE ShortDesc LIKE '%李%'") > 0);
    }

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
        const QDate req = QDate::fromString(r[1].toString(), Qt::ISODate);
        QVERIFY2(req.isValid() && req > first && req <= kToday, qPrintable(id));
        QVERIFY2(!previous.isValid() || req >= previous, qPrintable(id));
        previous = req;
        if (r[2].isValid())
            QVERIFY2(QDate::fromString(r[2].toString(), Qt::ISODate) >= req, qPrintable(id));
        const bool resolved = r[4].toLongLong() == 1;
        QVERIFY2(r[4].toLongLong() == 0 || resolved, qPrintable(id));
        QCOMPARE(r[3].isValid(), resolved);
        if (resolved) {
            const QDate res = QDate::fromString(r[3].toString(), Qt::ISODate);
            QVERIFY2(res >= req && res <= kToday, qPrintable(id));
        }
        if (req > kToday.addDays(-3))
            QVERIFY2(!resolved, qPrintable(id));

        // The total cost as the main window computes it: rate 40, minimum 25,
        // kept to whole cents.
        const double exact = r[5].toDouble() * 400000 + r[6].toDouble() * 400000 / 60 + r[7].toDouble();
        const qlonglong cost = r[8].toLongLong();
        QVERIFY2(std::abs(double(cost) - std::max(exact, 250000.0)) <= 50, qPrintable(id));
        QCOMPARE(cost % 100, 0);

        const qlonglong paid = r[9].toLongLong();
        QCOMPARE(r[10].isValid(), paid > 0);
        if (paid > 0) {
            QVERIFY2(paid <= cost, qPrintable(id));
            const QDate paidOn = QDate::fromString(r[10].toString(), Qt::ISODate);
            QVERIFY2(paidOn >= req && paidOn <= kToday, qPrintable(id));
            ++(paid == cost ? paidInFull : paidInPart);
        } else {
            ++unpaid;
        }
    }
    if (requests < 500)
        return;
    QVERIFY(paidInFull > requests / 3);
    QVERIFY(paidInPart > 0);
    QVERIFY(unpaid > 0);
    QVERIFY(db.count("SELECT count(*) FROM Req WHERE NOT Resolved") > 0);
    QVERIFY(db.count("SELECT count(*) FROM Req WHERE AddCharge > 0") > 0);
    QVERIFY(db.count("SELECT count(*) FROM Req WHERE HoursTot <> CAST(HoursTot AS INTEGER)") > 0);
    QVERIFY(db.count("SELECT count(*) FROM Req WHERE ReqDesc LIKE '%' || char(13) || char(10) || '%'") > requests / 4);
    QVERIFY(db.count("SELECT count(*) FROM Req WHERE Resp LIKE '%' || char(13) || char(10) || '%'") > requests / 4);
    QVERIFY(db.count("SELECT count(*) FROM Req WHERE length(Misc1) > 50") == 0);
    for (const char* field : {"DueDate", "ResDate", "PaidDate", "AddCharge", "AmtPaid", "CustID", "DeptID", "PriID",
                              "CatID", "AssignedTo", "Resp", "Misc1"}) {
        const QByteArray nulls = QByteArray("SELECT count(*) FROM Req WHERE ") + field + " IS NULL";
        const QByteArray set = QByteArray("SELECT count(*) FROM Req WHERE ") + field + " IS NOT NULL";
        QVERIFY2(db.count(nulls.constData()) > 0, field);
        QVERIFY2(db.count(set.constData()) > 0, field);
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
        QVERIFY(seen.contains(QStringLiteral("Ångström,Zoë")));
        QVERIFY(seen.contains(QStringLiteral("O'Neil,Patrick")));
        QVERIFY(seen.contains(QStringLiteral("李,明")));
        QVERIFY(seen.contains(QStringLiteral("Hargreaves,")));

        // Found by the maintenance window's criterion, written back changed.
        auto cust = db->OpenRecordset(QStringLiteral("Select * from Customers order by LastName, FirstName"));
        cust->FindFirst(QStringLiteral("LastName like 'o''nei*'"));
        QVERIFY(!cust->NoMatch());
        QCOMPARE(cust->Field(QStringLiteral("FirstName")).toText(), QStringLiteral("Patrick"));
        cust->Edit();
        cust->SetField(QStringLiteral("FirstName"), QStringLiteral("Zoë 李 O'Neil"));
        cust->Update();

        auto staff = db->OpenRecordset(QStringLiteral("Staff"), cvd::RecordsetType::Table);
        staff->SetIndex(QStringLiteral("StaffID"));
        staff->Seek(QStringLiteral("="), 4);
        QVERIFY(!staff->NoMatch());
        QCOMPARE(staff->Field(QStringLiteral("LastName")).toText(), QStringLiteral("李"));
    }
    Peek db(path);
    QCOMPARE(db.count("SELECT count(*) FROM Customers WHERE FirstName = ?", QStringLiteral("Zoë 李 O'Neil")), 1);
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

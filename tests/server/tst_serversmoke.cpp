// The program's tables on a PostgreSQL server, as the test support makes
// them: the same columns in the same places as the file, the same rows read
// back, the same order and comparisons without regard to case, keys that go
// on after rows written with their own, and what only the server keeps
// (lengths of text, the tables' versions).
#include "db/errors.h"
#include "db/schema.h"
#include "support/fixturedb.h"
#include "support/testfiles.h"
#include "support/testmain.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace cvd;
using namespace cvd::test;
using namespace Qt::StringLiterals;

class TestServerSmoke : public QObject {
    Q_OBJECT

    // A fresh fixture database on the engine.
    Folders m_dir;
    QString fixture(Engine engine) { return createFixtureDb(m_dir.next(), engine); }
    // A query's rows on a fixture of each engine, after the same statements.
    void onBoth(const QString& setup, const QString& sql, QList<QStringList>& file, QList<QStringList>& server)
    {
        const QString f = fixture(Engine::File), s = fixture(Engine::Server);
        if (!setup.isEmpty()) {
            execOnTestDb(f, setup);
            execOnTestDb(s, setup);
        }
        file = rowsOnTestDb(f, sql);
        server = rowsOnTestDb(s, sql);
    }

private slots:
    void initTestCase()
    {
        if (!serverMode())
            QSKIP("runs on the server only");
    }

    void createdWithConnFile()
    {
        const QString conn = fixture(Engine::Server);
        QVERIFY2(conn.endsWith(u"/cvd.conn"_s), qPrintable(conn));
        const QString line = connFileConninfo(conn);
        QVERIFY2(line.startsWith(serverConninfo() + u" options='-csearch_path=fx_"_s), qPrintable(line));
        QVERIFY2(line.endsWith(u",public'"_s), qPrintable(line));
        QCOMPARE(rowsOnTestDb(conn, u"select current_schema() like 'fx\\_%'"_s), QList<QStringList>{{u"1"_s}});
    }

    // Each table's columns in the file's places, Settings' key after them.
    void columnsInTheFilesPlaces()
    {
        const QString conn = fixture(Engine::Server);
        for (const QString& table : schema::tableNames()) {
            QStringList expected = schema::columnNames(table);
            if (table == u"Settings"_s)
                expected << schema::keyColumn(table);
            QStringList columns;
            for (const QStringList& row :
                 rowsOnTestDb(conn, u"select column_name from information_schema.columns where table_schema = "
                                    "current_schema() and table_name = '%1' order by ordinal_position"_s
                                        .arg(table.toLower())))
                columns << row.value(0);
            QCOMPARE(columns.join(u','), expected.join(u',').toLower());
        }
    }

    // The fixture's rows read back from the server as the file holds them.
    void sameRowsAsTheFile()
    {
        const QString file = fixture(Engine::File), server = fixture(Engine::Server);
        for (const QString& table : schema::tableNames()) {
            const QString sql = u"select %1 from %2 order by %1"_s.arg(schema::columnNames(table).join(u", "_s), table);
            const QList<QStringList> rows = rowsOnTestDb(file, sql);
            QVERIFY2(!rows.isEmpty(), qPrintable(table));
            QCOMPARE(rowsOnTestDb(server, sql), rows);
        }
        // The heading's line end is the two characters.
        QCOMPARE(sqlValue(server, u"select CompAdd from Settings"_s), u"100 Main Street\r\nSpringfield, IL  62701"_s);
    }

    // Statements both engines take give the same rows.
    void sameAnswersAsTheFile_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("sql");
        QTest::addColumn<int>("rows");
        const QString names = u"insert into Dept (DeptName) values ('zebra'), ('_under'), ('accounting'), ('ÉCLAIR')"_s;
        QTest::newRow("order without case, then code points")
            << names << u"select DeptName from Dept order by DeptName, DeptID"_s << 7;
        QTest::newRow("equal without case") << QString() << u"select CustID from Customers where LastName = 'ADAMS'"_s << 1;
        QTest::newRow("greater without case")
            << QString() << u"select CustID from Customers where LastName > 'b' order by CustID"_s << 3;
        QTest::newRow("missing names first")
            << QString() << u"select CustID from Customers order by FirstName nulls first, CustID"_s << 4;
        QTest::newRow("Yes/No") << QString() << u"select ReqID from Req where Resolved and not (ReqID = 3) order by ReqID"_s
                                << 3;
        QTest::newRow("money") << QString()
                               << u"select ReqID, CostTot - AmtPaid from Req where AmtPaid < CostTot order by ReqID"_s << 5;
        QTest::newRow("money to the last ten-thousandth")
            << u"update Req set AddCharge = 9223372036854775807, AmtPaid = -9223372036854775807 where ReqID = 1"_s
            << u"select AddCharge, AmtPaid, AddCharge - 1 from Req where ReqID = 1"_s << 1;
        QTest::newRow("dates") << QString()
                               << u"select ReqID from Req where ReqDate >= '1998-02-01' and ReqDate < '1999-12-31' order by ReqDate desc"_s
                               << 4;
        QTest::newRow("sums") << QString()
                              << u"select AssignedTo, sum(HoursTot), sum(MinTot), sum(CostTot), count(*) from Req "
                                 "group by AssignedTo order by AssignedTo nulls first"_s
                              << 4;
        // The next AutoNumber follows the largest key written, and a new
        // request is not resolved.
        QTest::newRow("next key") << u"insert into Req (ShortDesc) values ('new')"_s
                                  << u"select ReqID, Resolved from Req where ShortDesc = 'NEW'"_s << 1;
        QTest::newRow("text with tab and line ends")
            << u"insert into Staff (LastName, Comments) values ('Tab', 'a\tb\r\nc')"_s
            << u"select StaffID, Comments from Staff where LastName = 'tab'"_s << 1;
    }
    void sameAnswersAsTheFile()
    {
        QFETCH(QString, setup);
        QFETCH(QString, sql);
        QFETCH(int, rows);
        QList<QStringList> file, server;
        onBoth(setup, sql, file, server);
        QCOMPARE(file.size(), rows);
        QCOMPARE(server, file);
    }

    // The server refuses text longer than its field (on the file the
    // engine's own check does).
    void lengthOfText()
    {
        const QString conn = fixture(Engine::Server);
        execOnTestDb(conn, u"insert into Categories (CatDesc) values ('%1')"_s.arg(QString(40, u'é')));
        QString text;
        QCOMPARE(errorOf([&] { execOnTestDb(conn, u"update Categories set CatDesc = CatDesc || 'x'"_s); }, &text),
                 int(ErrNo::SqlError));
        QVERIFY2(text.contains(u"catdesc"_s), qPrintable(text));
        QCOMPARE(sqlValue(conn, u"select count(*) from Categories where char_length(CatDesc) = 40"_s), u"1"_s);
    }

    // A version for each look-up table, one step for each statement that
    // changes it however many rows it changes; the requests have none.
    void tableVersions()
    {
        const QString conn = fixture(Engine::Server);
        const QString versions = u"select tablename, version from cvd_versions order by tablename"_s;
        const QList<QStringList> before = rowsOnTestDb(conn, versions);
        QStringList tables;
        for (const QStringList& row : before)
            tables << row.value(0);
        QCOMPARE(tables, (QStringList{u"categories"_s, u"customers"_s, u"dept"_s, u"priorities"_s, u"settings"_s,
                                      u"staff"_s}));
        execOnTestDb(conn, u"update Staff set Phone = '1'; delete from Staff where StaffID = 99; update Req set MinTot = 1;"
                           " update Dept set Phone = Phone where DeptID = 0"_s);
        QList<QStringList> after = before;
        after[2][1] = QString::number(before[2][1].toInt() + 1); // a statement that changes no row counts too
        after[5][1] = QString::number(before[5][1].toInt() + 2);
        QCOMPARE(rowsOnTestDb(conn, versions), after);
    }

    // Without a server the tests say so and are skipped, not passed.
    void skippedWithoutServer_data()
    {
        QTest::addColumn<QByteArray>("info");
        QTest::addColumn<QString>("why");
        QTest::newRow("server not started") << QByteArray("unavailable: initdb failed\n") << u"initdb failed"_s;
        QTest::newRow("no information") << QByteArray() << u"no server information in "_s;
    }
    void skippedWithoutServer()
    {
        QFETCH(QByteArray, info);
        QFETCH(QString, why);
        QTemporaryDir dir;
        const QString path = dir.filePath(u"pgtest.info"_s);
        QVERIFY(info.isNull() || writeFile(path, info));
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"CVD_TEST_PGINFO"_s, path);
        p.setProcessEnvironment(env);
        p.start(QCoreApplication::applicationFilePath(), {});
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(p.exitCode(), SkippedExitCode);
        const QString out = QString::fromLocal8Bit(p.readAllStandardOutput());
        QVERIFY2(out.startsWith(u"SKIP: no PostgreSQL server ("_s + why), qPrintable(out));
    }
};

CVD_TEST_GUILESS_MAIN(TestServerSmoke)
#include "tst_serversmoke.moc"

// Killing the program in the middle of its writes never damages cvd.mdb and
// never loses a record whose Update had returned: a writer process adds
// requests one by one through the engine and reports each one written; it
// is killed at varied moments and the file is then checked.
#include "support/testfiles.h"
#include "support/testmain.h"
#include "tools/createdb.h"

#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

class TstCrashSafety : public QObject {
    Q_OBJECT

private slots:
    void killDuringWrites_data()
    {
        // How many records each successive writer reports before it is killed.
        QTest::addColumn<QList<int>>("killAfter");
        QTest::newRow("right after the first write") << QList<int>{1, 1, 2};
        QTest::newRow("after a few writes") << QList<int>{3, 17, 8};
        QTest::newRow("after many writes") << QList<int>{60, 150};
    }

    void killDuringWrites()
    {
        QFETCH(QList<int>, killAfter);
        const QString tool = qEnvironmentVariable("CVDTOOL");
        QVERIFY2(!tool.isEmpty(), "CVDTOOL is not set");
        QTemporaryDir tmp;
        const QString path = cvd::tools::createDatabase(tmp.path());

        QSet<int> committed;
        for (int round = 0; round < killAfter.size(); ++round) {
            QProcess writer;
            writer.start(tool, {QStringLiteral("write-test"), tmp.path()});
            QVERIFY(writer.waitForStarted());
            QByteArray out; // one ReqID a line, each written when its Update has returned
            auto lines = [&] { return (out += writer.readAllStandardOutput()).count('\n'); };
            QTRY_VERIFY2_WITH_TIMEOUT(lines() >= killAfter[round] || writer.state() != QProcess::Running,
                                      "the writer reported too few records", 5000);
            QVERIFY2(writer.state() == QProcess::Running,
                     qPrintable(QStringLiteral("the writer ended by itself: ") + QString::fromLocal8Bit(writer.readAllStandardError())));
            writer.kill();
            QVERIFY(writer.waitForFinished(5000));
            QCOMPARE(writer.exitStatus(), QProcess::CrashExit);
            const qsizetype reported = lines(); // lines written before the kill count too
            QVERIFY(reported >= killAfter[round]);
            out.truncate(out.lastIndexOf('\n')); // a line cut off by the kill does not
            for (const QByteArray& line : out.split('\n')) {
                bool ok = false;
                const int id = line.trimmed().toInt(&ok);
                QVERIFY2(ok && !committed.contains(id), line.constData()); // a number, never given out twice
                committed.insert(id);
            }

            // Opened as any SQLite program would open it, rolling back an interrupted write.
            QStringList ids;
            for (int id : committed)
                ids << QString::number(id);
            QCOMPARE(cvd::test::sqlValue(path, QStringLiteral("PRAGMA integrity_check")), QStringLiteral("ok"));
            const QString kept = cvd::test::sqlValue(path, "SELECT count(*) FROM Req WHERE ReqID IN (" + ids.join(',') + ")");
            QCOMPARE(kept, QString::number(committed.size())); // no committed record lost
        }
    }
};

CVD_TEST_GUILESS_MAIN(TstCrashSafety)
#include "tst_crashsafety.moc"

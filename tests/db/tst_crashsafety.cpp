// Killing the program in the middle of its writes never damages cvd.mdb and
// never loses a record whose Update had returned: a writer process adds
// requests one by one through the engine and reports each one written; it
// is killed at varied moments and the file is then checked.
#include "support/testmain.h"
#include "tools/createdb.h"

#include <QFile>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <sqlite3.h>

namespace {

// The first column of the first row of `sql`, as text.
QString scalar(sqlite3* db, const QByteArray& sql)
{
    sqlite3_stmt* s = nullptr;
    QString out;
    if (sqlite3_prepare_v2(db, sql.constData(), -1, &s, nullptr) == SQLITE_OK && sqlite3_step(s) == SQLITE_ROW)
        out = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s, 0)));
    sqlite3_finalize(s);
    return out;
}

} // namespace

class TstCrashSafety : public QObject {
    Q_OBJECT

private slots:
    void killDuringWrites_data();
    void killDuringWrites();
};

void TstCrashSafety::killDuringWrites_data()
{
    // How many records each successive writer reports before it is killed.
    QTest::addColumn<QList<int>>("killAfter");
    QTest::newRow("right after the first write") << QList<int>{1, 1, 2};
    QTest::newRow("after a few writes") << QList<int>{3, 17, 8};
    QTest::newRow("after many writes") << QList<int>{60, 150};
}

void TstCrashSafety::killDuringWrites()
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
        sqlite3* db = nullptr;
        sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
        QStringList ids;
        for (int id : committed)
            ids << QString::number(id);
        const QString integrity = scalar(db, "PRAGMA integrity_check");
        const QString kept = scalar(db, "SELECT count(*) FROM Req WHERE ReqID IN (" + ids.join(',').toLatin1() + ")");
        sqlite3_close(db);
        QCOMPARE(integrity, QStringLiteral("ok"));
        QCOMPARE(kept, QString::number(committed.size())); // no committed record lost
    }
}

CVD_TEST_GUILESS_MAIN(TstCrashSafety)
#include "tst_crashsafety.moc"

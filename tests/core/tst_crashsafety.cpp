// Killing the program in the middle of its writes never damages cvd.mdb and
// never loses a record whose Update had returned: a writer process adds
// requests one by one through the engine and reports each one written; it
// is killed at varied moments and the file is then checked.
#include "tools/createdb.h"

#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <sqlite3.h>

namespace {

// The ReqIDs a writer has reported, read from its output as it comes.
class Reported {
public:
    explicit Reported(QProcess& p) : m_p(p) {}
    // Reads what has arrived; returns how many ReqIDs this writer reported.
    int poll()
    {
        m_buf += m_p.readAllStandardOutput();
        int nl;
        while ((nl = m_buf.indexOf('\n')) >= 0) {
            bool ok = false;
            const int id = m_buf.left(nl).trimmed().toInt(&ok);
            m_buf.remove(0, nl + 1);
            if (ok) {
                ids.insert(id);
                ++m_count;
            } else {
                m_bad = true;
            }
        }
        return m_count;
    }
    bool garbled() const { return m_bad; }
    QSet<int> ids;

private:
    QProcess& m_p;
    QByteArray m_buf;
    int m_count = 0;
    bool m_bad = false;
};

struct Check {
    QString integrity;
    QList<int> missing;
    qlonglong rows = 0;
};

// Opens the file as any SQLite program would (rolling back an interrupted
// write) and looks for damage and for the reported records.
Check checkFile(const QString& path, const QSet<int>& ids)
{
    Check c;
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        c.integrity = QString::fromUtf8(sqlite3_errmsg(db));
        sqlite3_close(db);
        return c;
    }
    sqlite3_stmt* s = nullptr;
    sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &s, nullptr);
    while (s && sqlite3_step(s) == SQLITE_ROW)
        c.integrity += QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s, 0)));
    sqlite3_finalize(s);
    if (sqlite3_prepare_v2(db, "SELECT count(*) FROM Req WHERE ReqID = ?", -1, &s, nullptr) == SQLITE_OK) {
        for (int id : ids) {
            sqlite3_bind_int(s, 1, id);
            if (sqlite3_step(s) != SQLITE_ROW || sqlite3_column_int(s, 0) != 1)
                c.missing << id;
            sqlite3_reset(s);
        }
    }
    sqlite3_finalize(s);
    if (sqlite3_prepare_v2(db, "SELECT count(*) FROM Req", -1, &s, nullptr) == SQLITE_OK && sqlite3_step(s) == SQLITE_ROW)
        c.rows = sqlite3_column_int64(s, 0);
    sqlite3_finalize(s);
    sqlite3_close(db);
    return c;
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
        Reported reported(writer);
        QTRY_VERIFY2_WITH_TIMEOUT(reported.poll() >= killAfter[round] || writer.state() != QProcess::Running,
                                  "the writer reported too few records", 5000);
        QVERIFY2(writer.state() == QProcess::Running,
                 qPrintable(QStringLiteral("the writer ended by itself: ") + QString::fromLocal8Bit(writer.readAllStandardError())));
        writer.kill();
        QVERIFY(writer.waitForFinished(5000));
        QCOMPARE(writer.exitStatus(), QProcess::CrashExit);
        reported.poll(); // lines written before the kill count too
        QVERIFY(!reported.garbled());
        QVERIFY(reported.ids.size() >= killAfter[round]);
        for (int id : reported.ids)
            QVERIFY2(!committed.contains(id), "a ReqID was given out twice");
        committed += reported.ids;

        const Check c = checkFile(path, committed);
        QCOMPARE(c.integrity, QStringLiteral("ok"));
        QVERIFY2(c.missing.isEmpty(), qPrintable(QStringLiteral("%1 committed records lost").arg(c.missing.size())));
        QVERIFY(c.rows >= committed.size());
    }
}

QTEST_GUILESS_MAIN(TstCrashSafety)
#include "tst_crashsafety.moc"

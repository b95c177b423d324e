#pragma once
// A PostgreSQL server of a test's own (tests/server/testserver.sh), for a
// test that stops and starts it: the shared test server stays up for the
// others.  Stopped and removed when the object goes.
#include <QString>
#include <QTemporaryDir>

namespace cvd::test {

class PrivateServer {
public:
    PrivateServer();  // started; conninfo() is empty when it could not be
    ~PrivateServer();

    QString conninfo() const { return m_conninfo; }
    // A cvd.conn naming it in `folder`, with the program's tables made there
    // and `rowsSql` run; returns the file's path.
    QString database(const QString& folder, const QString& rowsSql) const;
    // pg_ctl stop with `mode` (fast: as an administrator restarts it;
    // immediate: as when it crashes), and start again.  Whether it did.
    bool stop(const QString& mode = QStringLiteral("fast")) const;
    bool start() const;

private:
    int pgctl(const QStringList& args) const;
    QString value(const QString& key) const;
    QTemporaryDir m_dir;
    QString m_info, m_conninfo;
};

} // namespace cvd::test

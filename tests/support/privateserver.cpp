#include "support/privateserver.h"

#include "db/schema.h"
#include "support/testbackend.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <unistd.h>

namespace cvd::test {

namespace {

QString script() { return qEnvironmentVariable("CVD_SOURCE_DIR") + QStringLiteral("/tests/server/testserver.sh"); }

} // namespace

PrivateServer::PrivateServer() : m_info(m_dir.filePath(QStringLiteral("server.info")))
{
    if (QProcess::execute(QStringLiteral("bash"), {script(), QStringLiteral("start"), m_info}) == 0)
        m_conninfo = value(QStringLiteral("conninfo"));
}

PrivateServer::~PrivateServer() { QProcess::execute(QStringLiteral("bash"), {script(), QStringLiteral("stop"), m_info}); }

QString PrivateServer::value(const QString& key) const
{
    QFile f(m_info);
    if (f.open(QIODevice::ReadOnly))
        for (const QString& line : QString::fromUtf8(f.readAll()).split(u'\n'))
            if (line.startsWith(key + u'='))
                return line.mid(key.size() + 1);
    return {};
}

QString PrivateServer::database(const QString& folder, const QString& rowsSql) const
{
    const QString conn = QDir(folder).filePath(QStringLiteral("cvd.conn"));
    QFile f(conn);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(m_conninfo.toUtf8() + '\n') <= 0)
        return {};
    f.close();
    execOnTestDb(conn, schema::serverCreateStatements().join(QStringLiteral(";\n")));
    if (!rowsSql.isEmpty())
        execOnTestDb(conn, rowsSql);
    // The test server does not wait for the disk at commit: what is written
    // so far is made to stay through a stop.
    execOnTestDb(conn, QStringLiteral("CHECKPOINT"));
    return conn;
}

int PrivateServer::pgctl(const QStringList& args) const
{
    QString program = value(QStringLiteral("bin")) + QStringLiteral("/pg_ctl");
    QStringList all = args;
    // The server's own user runs it when the tests run as root.
    if (::getuid() == 0) {
        all = QStringList{QStringLiteral("-u"), QStringLiteral("nobody"), QStringLiteral("--"), program} + args;
        program = QStringLiteral("runuser");
    }
    QProcess p;
    p.setStandardOutputFile(QProcess::nullDevice());
    p.start(program, all);
    return p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

bool PrivateServer::stop(const QString& mode) const
{
    return pgctl({QStringLiteral("-D"), value(QStringLiteral("datadir")), QStringLiteral("-m"), mode,
                  QStringLiteral("-w"), QStringLiteral("stop")}) == 0;
}

bool PrivateServer::start() const
{
    const QString sockets = value(QStringLiteral("socketdir"));
    return pgctl({QStringLiteral("-D"), value(QStringLiteral("datadir")), QStringLiteral("-w"), QStringLiteral("-l"),
                  sockets + QStringLiteral("/restart.log"), QStringLiteral("-o"),
                  QStringLiteral("-k ") + sockets + QStringLiteral(" -c listen_addresses=''"), QStringLiteral("start")}) == 0;
}

} // namespace cvd::test

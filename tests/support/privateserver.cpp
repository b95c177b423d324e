#include "support/privateserver.h"

#include "db/schema.h"
#include "support/testbackend.h"
#include "support/testfiles.h"

#include <QDir>
#include <QProcess>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace cvd::test {

static QString script() { return qEnvironmentVariable("CVD_SOURCE_DIR") + u"/tests/server/testserver.sh"_s; }

PrivateServer::PrivateServer() : m_info(m_dir.filePath(u"server.info"_s))
{
    if (QProcess::execute(u"bash"_s, {script(), u"start"_s, m_info}) == 0)
        m_conninfo = value(u"conninfo"_s);
}

PrivateServer::~PrivateServer() { QProcess::execute(QStringLiteral("bash"), {script(), QStringLiteral("stop"), m_info}); }

QString PrivateServer::value(const QString& key) const
{
    return (u'\n' + QString::fromUtf8(fileBytes(m_info))).section(u'\n' + key + u'=', 1).section(u'\n', 0, 0);
}

QString PrivateServer::database(const QString& folder, const QString& rowsSql) const
{
    const QString conn = QDir(folder).filePath(QStringLiteral("cvd.conn"));
    if (!writeFile(conn, m_conninfo.toUtf8() + '\n'))
        return {};
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
    // The server's own user runs it when the tests run as root.
    QStringList all = QStringList{value(u"bin"_s) + u"/pg_ctl"_s, u"-D"_s, value(u"datadir"_s), u"-w"_s} + args;
    if (::getuid() == 0)
        all = QStringList{u"runuser"_s, u"-u"_s, u"nobody"_s, u"--"_s} + all;
    QProcess p;
    p.setStandardOutputFile(QProcess::nullDevice());
    p.start(all.takeFirst(), all);
    return p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

bool PrivateServer::stop(const QString& mode) const { return pgctl({u"-m"_s, mode, u"stop"_s}) == 0; }

bool PrivateServer::start() const
{
    const QString sockets = value(u"socketdir"_s);
    return pgctl({u"-l"_s, sockets + u"/restart.log"_s, u"-o"_s, u"-k "_s + sockets + u" -c listen_addresses=''"_s, u"start"_s}) == 0;
}

} // namespace cvd::test

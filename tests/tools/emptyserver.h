#pragma once
// A database on the test server that holds none of the program's tables:
// a schema of its own, named by a cvd.conn.  For the tests that make the
// tables themselves (cvdtool create and demo, copying to a server, start-up
// on a server without the tables).  The schema goes with the test server.
#include "support/testbackend.h"
#include "support/testfiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

namespace cvd::test {

class EmptyServerDb {
public:
    EmptyServerDb()
    {
        static int made = 0;
        const QString schema = QStringLiteral("cp_%1_%2").arg(QCoreApplication::applicationPid()).arg(++made);
        const QString base = m_dir.filePath(QStringLiteral("server.conn"));
        writeFile(base, serverConninfo().toUtf8());
        execOnTestDb(base, QStringLiteral("DROP SCHEMA IF EXISTS %1 CASCADE; CREATE SCHEMA %1").arg(schema));
        m_conninfo = QStringLiteral("%1 options='-csearch_path=%2,public'").arg(serverConninfo(), schema);
        writeFile(connPath(), m_conninfo.toUtf8() + '\n');
    }

    // The folder whose cvd.conn names the database, and that file.
    QString folder() const { return m_dir.path(); }
    QString connPath() const { return m_dir.filePath(QStringLiteral("cvd.conn")); }
    // The connection string itself.
    const QString& conninfo() const { return m_conninfo; }

private:
    QTemporaryDir m_dir;
    QString m_conninfo;
};

} // namespace cvd::test

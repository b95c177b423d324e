#pragma once
// A database on the test server that holds none of the program's tables:
// a schema of its own, named by a cvd.conn, dropped again when the object
// goes.  For the tests that make the tables themselves (cvdtool create and
// demo, copying to a server, start-up on a server without the tables).
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
        m_schema = QStringLiteral("cp_%1_%2").arg(QCoreApplication::applicationPid()).arg(++made);
        m_base = m_dir.filePath(QStringLiteral("server.conn"));
        writeFile(m_base, serverConninfo().toUtf8());
        execOnTestDb(m_base, QStringLiteral("DROP SCHEMA IF EXISTS %1 CASCADE; CREATE SCHEMA %1").arg(m_schema));
        m_conninfo = QStringLiteral("%1 options='-csearch_path=%2,public'").arg(serverConninfo(), m_schema);
        writeFile(connPath(), m_conninfo.toUtf8() + '\n');
    }
    ~EmptyServerDb()
    {
        try {
            execOnTestDb(m_base, QStringLiteral("DROP SCHEMA IF EXISTS %1 CASCADE").arg(m_schema));
        } catch (const Error&) {
            // The test server goes in the end, and its schemas with it.
        }
    }
    EmptyServerDb(const EmptyServerDb&) = delete;
    EmptyServerDb& operator=(const EmptyServerDb&) = delete;

    // The folder whose cvd.conn names the database, and that file.
    QString folder() const { return m_dir.path(); }
    QString connPath() const { return m_dir.filePath(QStringLiteral("cvd.conn")); }
    // The connection string itself.
    const QString& conninfo() const { return m_conninfo; }
    // SQL run in the database's schema.
    void exec(const QString& sql) const
    {
        execOnTestDb(m_base, QStringLiteral("SET search_path = %1, public; %2").arg(m_schema, sql));
    }

private:
    QTemporaryDir m_dir;
    QString m_schema, m_base, m_conninfo;
};

} // namespace cvd::test

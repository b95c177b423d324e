#include "support/testfiles.h"

#include "db/errors.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <sqlite3.h>

namespace cvd::test {

QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

bool execSql(const QString& path, const char* sql)
{
    sqlite3* db = nullptr;
    bool ok = sqlite3_open(QFile::encodeName(path).constData(), &db) == SQLITE_OK
              && sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return ok;
}

int errorOf(const std::function<void()>& f, QString* text)
{
    try {
        f();
    } catch (const Error& e) {
        if (text)
            *text = e.text();
        return e.number();
    }
    return 0;
}

namespace {

QStringList readRows(const QString& path, const QString& sql, bool typed)
{
    sqlite3* db = nullptr;
    sqlite3_stmt* s = nullptr;
    QStringList out;
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK)
        sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &s, nullptr);
    while (s && sqlite3_step(s) == SQLITE_ROW) {
        QStringList fields;
        for (int i = 0; i < sqlite3_column_count(s); ++i)
            fields << (typed ? QString::number(sqlite3_column_type(s, i)) + u':' : QString())
                          + QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s, i)));
        out << fields.join(u'|');
    }
    sqlite3_finalize(s);
    sqlite3_close(db);
    return out;
}

} // namespace

QStringList sqlRows(const QString& path, const QString& sql)
{
    return readRows(path, sql, true);
}

QString sqlValue(const QString& path, const QString& sql)
{
    const QStringList rows = readRows(path, sql, false);
    return rows.value(0);
}

QStringList folderFiles(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

ToolResult runCvdTool(const QStringList& args)
{
    QProcess p;
    p.start(qEnvironmentVariable("CVDTOOL"), args);
    ToolResult r;
    if (p.waitForFinished(120000) && p.exitStatus() == QProcess::NormalExit)
        r.exitCode = p.exitCode();
    r.out = QString::fromLocal8Bit(p.readAllStandardOutput());
    r.err = QString::fromLocal8Bit(p.readAllStandardError());
    return r;
}

} // namespace cvd::test

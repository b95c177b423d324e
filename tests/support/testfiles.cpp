#include "support/testfiles.h"

#include "db/errors.h"
#include "support/testbackend.h"

#include <QDir>
#include <QFile>
#include <QProcess>

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
    return errorOf([&] { execOnTestDb(path, QString::fromUtf8(sql)); }) == 0;
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

QStringList sqlRows(const QString& path, const QString& sql)
{
    QList<QList<StoredField>> rows;
    errorOf([&] { rows = storedRows(path, sql); });
    QStringList out;
    for (const QList<StoredField>& row : std::as_const(rows)) {
        QStringList fields;
        for (const StoredField& f : row)
            fields << QString::number(f.type) + u':' + f.text;
        out << fields.join(u'|');
    }
    return out;
}

QString sqlValue(const QString& path, const QString& sql)
{
    const QString row = sqlRows(path, sql).value(0);
    return row.mid(row.indexOf(u':') + 1); // without its type
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

#pragma once
// Small file and error helpers shared by the tests.
#include <QByteArray>
#include <QDir>
#include <QTemporaryDir>
#include <QStringList>
#include <functional>

namespace cvd::test {

// Folders of a test: a new, empty one for each call of next().
class Folders {
public:
    QString next()
    {
        const QString folder = m_dir.filePath(QString::number(++m_count));
        QDir().mkpath(folder);
        return folder;
    }
    QString filePath(const QString& name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
    int m_count = 0;
};

// The file's bytes; empty when it cannot be read.
QByteArray fileBytes(const QString& path);

// Writes `bytes` as the whole file; false when it cannot.
bool writeFile(const QString& path, const QByteArray& bytes);

// Runs SQL on a database file with plain SQLite, creating it if need be,
// or on the server schema a cvd.conn names (testbackend.h); false when the
// engine refuses it.
bool execSql(const QString& path, const char* sql);

// The number of the cvd::Error that `f` throws (its text into `text`), or 0.
int errorOf(const std::function<void()>& f, QString* text = nullptr);

// The rows of `sql` on a database file, read with plain SQLite as any other
// program would (an interrupted write rolled back first), or on the server
// schema a cvd.conn names: a line a row, each field as "type:text" (SQLite's
// type number, as testbackend.h's storedRows gives it), joined by '|'.
QStringList sqlRows(const QString& path, const QString& sql);
// The first row of a one-column query as text; empty when there is none.
QString sqlValue(const QString& path, const QString& sql);

// What a folder holds, hidden entries too, by name.
QStringList folderFiles(const QString& folder);

// cvdtool (the program CVDTOOL names) run with `args` to its end.
struct ToolResult {
    int exitCode = -1; // -1: it crashed or did not end
    QString out, err;
};
ToolResult runCvdTool(const QStringList& args);

} // namespace cvd::test

#include "support/testfiles.h"

#include "db/errors.h"

#include <QFile>
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

} // namespace cvd::test

#pragma once
// Small file and error helpers shared by the tests.
#include <QByteArray>
#include <QString>
#include <functional>

namespace cvd::test {

// The file's bytes; empty when it cannot be read.
QByteArray fileBytes(const QString& path);

// Writes `bytes` as the whole file; false when it cannot.
bool writeFile(const QString& path, const QByteArray& bytes);

// Runs SQL on a database file with plain SQLite, creating it if need be.
bool execSql(const QString& path, const char* sql);

// The number of the cvd::Error that `f` throws (its text into `text`), or 0.
int errorOf(const std::function<void()>& f, QString* text = nullptr);

} // namespace cvd::test

#pragma once
// Data files gone wrong, for the tests of the engine, the tool and the
// start-up: a real file with one page of its requests overwritten, and a
// file or folder that cannot be written.
#include "support/testfiles.h"
#include "tools/createdb.h"
#include "tools/demodata.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <unistd.h>

namespace cvd::test {

inline QByteArray fileHash(const QString& path)
{
    return QCryptographicHash::hash(fileBytes(path), QCryptographicHash::Sha256).toHex();
}

// FOLDER/cvd.mdb of demo data with `requests` requests; the page of the
// requests table that holds request `damagedId` (one in the middle) is
// overwritten with rubbish when `damagedId` is above 0.  Without
// `checksums`, a file as an earlier version made it: the same records,
// written by the sqlite3 shell, with no page checksums.  Returns the path,
// empty when something went wrong.
inline QString demoFile(const QString& folder, int requests, int damagedId = 0, bool checksums = true)
{
    QString path = tools::createDemoDatabase(folder, {.requests = requests, .seed = 7, .today = QDate()});
    if (!checksums) {
        QProcess dump;
        dump.setStandardOutputFile(path + QStringLiteral(".sql"));
        dump.start(QStringLiteral("sqlite3"), {path, QStringLiteral(".dump")});
        QProcess load;
        load.setStandardInputFile(path + QStringLiteral(".sql"));
        if (!dump.waitForFinished(60000) || dump.exitCode() != 0 || !QFile::remove(path))
            return {};
        load.start(QStringLiteral("sqlite3"), {path});
        if (!load.waitForFinished(60000) || load.exitCode() != 0 || !QFile::remove(path + QStringLiteral(".sql")))
            return {};
    }
    if (damagedId <= 0)
        return path;
    const QByteArray marker = "The request whose page is overwritten";
    if (!execSql(path, QStringLiteral("UPDATE Req SET ShortDesc = '%1' WHERE ReqID = %2")
                           .arg(QString::fromLatin1(marker)).arg(damagedId).toUtf8().constData()))
        return {};
    QByteArray bytes = fileBytes(path);
    const qsizetype at = bytes.indexOf(marker);
    const int pageSize = (quint8(bytes[16]) << 8) | quint8(bytes[17]);
    if (at < 0 || pageSize < 512)
        return {};
    const qsizetype page = at / pageSize * pageSize;
    for (qsizetype i = 0; i < pageSize; ++i)
        bytes[page + i] = char((i * 37 + 11) & 0xff);
    return writeFile(path, bytes) ? path : QString();
}

// Makes a file or folder unwritable for as long as the object lives, by the
// permission bits, or, for the superuser (whom they do not stop), by the
// immutable attribute of the file system.  `why` tells why not when
// neither can be done here.
class Unwritable {
public:
    explicit Unwritable(const QString& path) : m_path(path)
    {
        m_perms = QFile::permissions(path);
        QFile::setPermissions(path, m_perms & ~(QFile::WriteOwner | QFile::WriteUser | QFile::WriteGroup | QFile::WriteOther));
        if (::access(QFile::encodeName(path).constData(), W_OK) != 0)
            return;
        QProcess chattr;
        chattr.start(QStringLiteral("chattr"), {QStringLiteral("+i"), path});
        m_immutable = chattr.waitForFinished(10000) && chattr.exitStatus() == QProcess::NormalExit && chattr.exitCode() == 0;
        if (m_immutable && ::access(QFile::encodeName(path).constData(), W_OK) != 0)
            return;
        m_why = QStringLiteral("the tests run as the superuser, whom permission bits do not stop, and `chattr +i` "
                               "cannot make %1 immutable here (%2)")
                    .arg(path, QString::fromLocal8Bit(chattr.readAllStandardError()).trimmed());
    }
    ~Unwritable()
    {
        if (m_immutable)
            QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("-i"), m_path});
        QFile::setPermissions(m_path, m_perms);
    }
    Unwritable(const Unwritable&) = delete;
    Unwritable& operator=(const Unwritable&) = delete;

    const QString& why() const { return m_why; } // empty when done

private:
    QString m_path;
    QFile::Permissions m_perms;
    bool m_immutable = false;
    QString m_why;
};

} // namespace cvd::test

#include "support/testmain.h"

#include "support/testbackend.h"

#include <QFile>
#include <QMetaMethod>
#include <QRegularExpression>
#include <QSet>
#include <QStringList>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

namespace cvd::test {

namespace {

// The test functions of the object, in declaration order.
QStringList testFunctions(const QObject* tests)
{
    static const QSet<QString> special{QStringLiteral("initTestCase"), QStringLiteral("cleanupTestCase"),
                                       QStringLiteral("init"), QStringLiteral("cleanup"),
                                       QStringLiteral("initTestCase_data")};
    QStringList names;
    const QMetaObject* mo = tests->metaObject();
    for (int i = mo->methodOffset(); i < mo->methodCount(); ++i) {
        const QMetaMethod m = mo->method(i);
        const QString name = QString::fromLatin1(m.name());
        if (m.methodType() == QMetaMethod::Slot && m.access() == QMetaMethod::Private && m.parameterCount() == 0
            && !name.endsWith(QLatin1String("_data")) && !special.contains(name))
            names << name;
    }
    return names;
}

// The functions that reported a result in a TAP log, and how many failed.
QSet<QString> reported(const QString& tapFile, int& failures)
{
    QSet<QString> done;
    QFile f(tapFile);
    if (!f.open(QIODevice::ReadOnly))
        return done;
    static const QRegularExpression result(QStringLiteral("^(not ok|ok) \\d+ - ([A-Za-z_0-9]+)\\("));
    while (!f.atEnd()) {
        const auto m = result.match(QString::fromUtf8(f.readLine()));
        if (!m.hasMatch())
            continue;
        done.insert(m.captured(2));
        if (m.captured(1) == QLatin1String("not ok"))
            ++failures;
    }
    return done;
}

int runAll(QObject* tests, int argc, char** argv)
{
    QStringList args;
    for (int i = 0; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    if (args.size() > 1) {
        try {
            return QTest::qExec(tests, args);
        } catch (...) {
            return 1;
        }
    }
    // Each run logs its results to a TAP file besides the usual output, so
    // that after an escaped error the run goes on with the functions that
    // have not run yet.
    QTemporaryDir dir;
    QStringList remaining = testFunctions(tests);
    QStringList only; // empty: all
    int failures = 0;
    for (int round = 0;; ++round) {
        const QString tap = dir.filePath(QStringLiteral("%1.tap").arg(round));
        QStringList a{args.first()};
        a << only << QStringLiteral("-o") << tap + QStringLiteral(",tap") << QStringLiteral("-o")
          << QStringLiteral("-,txt");
        QByteArray what;
        try {
            return failures + QTest::qExec(tests, a);
        } catch (const std::exception& e) {
            what = e.what();
        } catch (...) {
            what = "an exception of unknown type";
        }
        const QSet<QString> done = reported(tap, failures);
        QStringList left;
        for (const QString& f : std::as_const(remaining))
            if (!done.contains(f))
                left << f;
        if (left.isEmpty() || left == remaining)
            return std::max(failures, 1);
        std::fprintf(stderr, "An error escaped a test function (%s); going on with the next one.\n", what.constData());
        remaining = left;
        only = left;
    }
}

} // namespace

int runTests(QObject* tests, int argc, char** argv)
{
    // On the server, a program without one is skipped, never passed.
    const QString unavailable = serverMode() ? serverUnavailable() : QString();
    if (!unavailable.isEmpty()) {
        std::printf("SKIP: no PostgreSQL server (%s)\n", qPrintable(unavailable));
        return SkippedExitCode;
    }
    // An exit code keeps eight bits: a count of failures must neither wrap
    // round to 0 nor read as skipped.
    const int failures = std::min(runAll(tests, argc, argv), 127);
    return failures == SkippedExitCode ? failures + 1 : failures;
}

} // namespace cvd::test

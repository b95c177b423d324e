#include "support/testmain.h"

#include "support/testbackend.h"

#include <QFile>
#include <QMetaMethod>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

namespace cvd::test {

namespace {

// The test functions of the object, in declaration order.
QStringList testFunctions(const QObject* tests)
{
    static const QSet<QString> special{"initTestCase", "cleanupTestCase", "init", "cleanup", "initTestCase_data"};
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

// The functions that reported a result in a TAP log; the failures counted.
QSet<QString> reported(const QString& tapFile, int& failures)
{
    QSet<QString> done;
    QFile f(tapFile);
    static const QRegularExpression result(QStringLiteral("^(not ok|ok) \\d+ - ([A-Za-z_0-9]+)\\("));
    for (bool open = f.open(QIODevice::ReadOnly); open && !f.atEnd();)
        if (const auto m = result.match(QString::fromUtf8(f.readLine())); m.hasMatch()) {
            done.insert(m.captured(2));
            failures += m.captured(1) == QLatin1String("not ok");
        }
    return done;
}

int runAll(QObject* tests, int argc, char** argv)
{
    QStringList args;
    for (int i = 0; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    // Each run logs its results to a TAP file besides the usual output, so
    // that after an escaped error the run goes on with the functions that
    // have not run yet.  Named functions or options run once, as they are.
    QTemporaryDir dir;
    QStringList remaining = testFunctions(tests), only; // only empty: all
    int failures = 0;
    for (int round = 0;; ++round) {
        const QString tap = dir.filePath(QStringLiteral("%1.tap").arg(round));
        const QStringList a = args.size() > 1 ? args : QStringList{args.first()} + only + QStringList{"-o", tap + ",tap", "-o", "-,txt"};
        QByteArray what = "an exception of unknown type";
        try {
            return failures + QTest::qExec(tests, a);
        } catch (const std::exception& e) {
            what = e.what();
        } catch (...) {
        }
        if (args.size() > 1)
            return 1;
        const QSet<QString> done = reported(tap, failures);
        QStringList left;
        std::copy_if(remaining.begin(), remaining.end(), std::back_inserter(left), [&](const QString& f) { return !done.contains(f); });
        if (left.isEmpty() || left == remaining)
            return std::max(failures, 1);
        std::fprintf(stderr, "An error escaped a test function (%s); going on with the next one.\n", what.constData());
        remaining = only = left;
    }
}

} // namespace

int runTests(QObject* tests, int argc, char** argv)
{
    // On the server, a program without one is skipped, never passed.
    if (const QString unavailable = serverMode() ? serverUnavailable() : QString(); !unavailable.isEmpty()) {
        std::printf("SKIP: no PostgreSQL server (%s)\n", qPrintable(unavailable));
        return SkippedExitCode;
    }
    // An exit code keeps eight bits: a count of failures must neither wrap
    // round to 0 nor read as skipped.
    const int failures = std::min(runAll(tests, argc, argv), 127);
    return failures == SkippedExitCode ? failures + 1 : failures;
}

} // namespace cvd::test

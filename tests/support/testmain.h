#pragma once
// The main() of every test program.  Like Qt Test's own, but an error that
// escapes a test function (a record-set call that throws, say) fails that
// function and the program goes on with the next one, instead of aborting
// and leaving the rest untested.
//
//   CVD_TEST_MAIN(TestDatabase)          // with a QApplication (windows)
//   CVD_TEST_GUILESS_MAIN(TestDatabase)  // with a QCoreApplication
//
// A program run on the server (CVD_TEST_BACKEND=server) when there is no
// test server prints "SKIP: no PostgreSQL server (why)" and ends with
// SkippedExitCode, which CTest counts as skipped.
#include <QTest>

class QObject;

namespace cvd::test {

constexpr int SkippedExitCode = 77;

// Runs the test functions of `tests` as QTest::qExec does and returns the
// number of failures (at most 127, and never SkippedExitCode).  Named
// functions or options on the command line are passed to one qExec as they
// are.
int runTests(QObject* tests, int argc, char** argv);

} // namespace cvd::test

#define CVD_TEST_MAIN_BODY(AppClass, TestObject)                                                                       \
    int main(int argc, char* argv[])                                                                                   \
    {                                                                                                                  \
        AppClass app(argc, argv);                                                                                      \
        app.setAttribute(Qt::AA_Use96Dpi, true);                                                                       \
        TestObject tc;                                                                                                 \
        QTEST_SET_MAIN_SOURCE_PATH return cvd::test::runTests(&tc, argc, argv);                                        \
    }

#ifdef QT_WIDGETS_LIB
#include <QApplication>
#define CVD_TEST_MAIN(TestObject) CVD_TEST_MAIN_BODY(QApplication, TestObject)
#endif
#define CVD_TEST_GUILESS_MAIN(TestObject) CVD_TEST_MAIN_BODY(QCoreApplication, TestObject)

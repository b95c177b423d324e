// The central error handler: what the user sees for each kind of error, the
// lock retry of the write loop, and "resume at the next statement".
#include "base/errorhandler.h"
#include "base/globals.h"
#include "support/scriptedplatform.h"
#include "support/testmain.h"

#include <QTest>

using namespace cvd;
using cvd::test::ScriptedPlatform;

class tst_ErrorHandler : public QObject {
    Q_OBJECT

private slots:
    void init() { resetProgramValues(); }

    // A cancelled dialog only sets ReportCancelled; any other error shows its
    // number and text, and the next step runs.  A write error other than a
    // lock ends the write loop at once.  A database in use ends the program.
    void eachErrorAndTheNextStep()
    {
        ScriptedPlatform p;
        QStringList ran;
        int tried = 0;
        QVERIFY(!WriteLoop([&] { ++tried; raise(ErrNo::FieldTooSmall, "Too long."); }));
        QVERIFY_THROWS_EXCEPTION(ProgramEnded, trapSteps({
            [&] { ran << "1"; },
            [&] { raise(ErrNo::InvalidUseOfNull); },
            [&] { ran << "3"; },
            [&] { raise(ErrNo::FieldTooSmall, "The field is too small."); },
            [&] { raise(ErrNo::DialogCancelled); },
            [&] { ran << "6"; },
            [&] { raise(ErrNo::DatabaseInUse, "in use"); },
            [&] { ran << "8"; },
        }));
        QCOMPARE(ran, (QStringList{"1", "3", "6"}));
        QCOMPARE(tried, 1);
        QCOMPARE(p.messageTexts(), (QStringList{"3163  Too long.", "94  Invalid use of Null", "3163  The field is too small.",
                                                "The database is in use.  You are attempting to run the non-network "
                                                "version in a network environment.  The program will exit."}));
        for (const auto& m : p.messages.mid(0, 3))
            QVERIFY(m.title == ProgramTitle && m.flags == Mb::OkOnly);
        QVERIFY(p.messages[3].title == "Database File Already In Use" && p.messages[3].flags == Mb::OkOnly);
        QVERIFY(ReportCancelled && p.ended && !LockRetryFlag);
    }

    // A write that fails `failures` times with a lock error, then succeeds
    // (or the program ends).  Each write counts its own failures.
    void lockRetry_data()
    {
        QTest::addColumn<int>("errorNumber");
        QTest::addColumn<int>("failures");
        QTest::addColumn<QList<int>>("answers"); // 6 Yes, 7 No
        QTest::addColumn<bool>("ended");
        QTest::addColumn<int>("attempts");
        QTest::addColumn<int>("writes");
        // The 100th failure asks; after Yes the next question comes with the 99th further one.
        QTest::newRow("yes, then 98 more are silent") << 3168 << 198 << QList<int>{6} << false << 199 << 1;
        QTest::newRow("yes, then the 99th further asks") << 3260 << 199 << QList<int>{6, 6} << false << 200 << 1;
        QTest::newRow("100th asks, no ends") << 3168 << 150 << QList<int>{7} << true << 100 << 1;
        QTest::newRow("two writes of 60 never ask") << 3168 << 60 << QList<int>{} << false << 61 << 2;
    }
    void lockRetry()
    {
        QFETCH(int, errorNumber);
        QFETCH(int, failures);
        QFETCH(QList<int>, answers);
        QFETCH(bool, ended);
        QFETCH(int, writes);
        ScriptedPlatform p;
        for (int a : answers)
            p.answers << Answer(a);
        for (int write = 0; write < writes; ++write) {
            int tried = 0;
            const auto attempt = [&] {
                if (++tried <= failures)
                    raise(errorNumber);
            };
            if (ended)
                QVERIFY_THROWS_EXCEPTION(ProgramEnded, WriteLoop(attempt));
            else
                QVERIFY(WriteLoop(attempt));
            QTEST(tried, "attempts");
        }
        const QString question = QStringLiteral("Could not update locked record.  Do you wish to try again?");
        QCOMPARE(p.messageTexts(), QStringList(answers.size(), question));
        for (const auto& m : p.messages)
            QVERIFY(m.title == "Locked Record" && m.flags == Mb::YesNo);
    }
};

CVD_TEST_GUILESS_MAIN(tst_ErrorHandler)
#include "tst_errorhandler.moc"

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
    // (or the user gives it up).  Each write counts its own failures, and
    // each failure but the one answered No waits a moment, under the
    // hourglass, before the next try.
    void lockRetry_data()
    {
        QTest::addColumn<int>("errorNumber");
        QTest::addColumn<int>("failures");
        QTest::addColumn<QList<int>>("answers"); // 6 Yes, 7 No
        QTest::addColumn<bool>("written");
        QTest::addColumn<int>("attempts");
        QTest::addColumn<int>("writes");
        QTest::addColumn<int>("pauses"); // in all
        // The 100th failure asks; after Yes the next question comes with the 99th further one.
        QTest::newRow("yes, then 98 more are silent") << 3168 << 198 << QList<int>{6} << true << 199 << 1 << 198;
        QTest::newRow("yes, then the 99th further asks") << 3260 << 199 << QList<int>{6, 6} << true << 200 << 1 << 199;
        QTest::newRow("100th asks, no gives the write up") << 3260 << 150 << QList<int>{7} << false << 100 << 1 << 99;
        QTest::newRow("two writes of 60 never ask") << 3168 << 60 << QList<int>{} << true << 61 << 2 << 120;
        QTest::newRow("no lock, no pause") << 3168 << 0 << QList<int>{} << true << 1 << 1 << 0;
    }
    void lockRetry()
    {
        QFETCH(int, errorNumber);
        QFETCH(int, failures);
        QFETCH(QList<int>, answers);
        QFETCH(bool, written);
        QFETCH(int, writes);
        QFETCH(int, pauses);
        ScriptedPlatform p;
        for (int a : answers)
            p.answers << Answer(a);
        for (int write = 0; write < writes; ++write) {
            int tried = 0;
            const auto attempt = [&] {
                if (++tried <= failures)
                    raise(errorNumber);
            };
            QCOMPARE(WriteLoop(attempt), written);
            QTEST(tried, "attempts");
        }
        QVERIFY(!p.ended && !LockRetryFlag);
        QCOMPARE(p.pauses, QList<int>(pauses, LockRetryPauseMs));
        QList<Pointer> waited;
        for (int write = 0; pauses && write < writes; ++write)
            waited << Pointer::Hourglass << Pointer::Default;
        QCOMPARE(p.pointers, waited);
        const QString question = QStringLiteral("Could not update locked record.  Do you wish to try again?");
        QCOMPARE(p.messageTexts(), QStringList(answers.size(), question));
        for (const auto& m : p.messages)
            QVERIFY(m.title == "Locked Record" && m.flags == Mb::YesNo);
    }

    // A record changed at another desk goes to the window's own telling,
    // when it has one, and is not written; without one it is shown as any
    // error.  The telling lists what is stored now, one field a line.
    void changedElsewhere()
    {
        ScriptedPlatform p;
        int told = 0;
        QVERIFY(!WriteLoop([] { raise(ErrNo::ChangedElsewhere); }, [&](int) { ++told; }));
        QVERIFY(!WriteLoop([] { raise(ErrNo::ChangedElsewhere); }));
        QCOMPARE(told, 1);
        QCOMPARE(p.messageTexts(), QStringList{"3197  The record was changed at another desk since it was read."});
        tellChangedElsewhere("This customer was changed at another desk since you opened it.",
                             {{"&Last Name", "Smith"}, {"Address", "1 Main St\r\nSpringfield"}, {"Phone", ""},
                              {"Additional  Charge", QString(70, 'x')}});
        tellChangedElsewhere("This priority was changed at another desk since you opened it.", {}, "Choose.");
        QCOMPARE(p.messages[1].text,
                 "This customer was changed at another desk since you opened it.\n\nStored now:\n    Last Name: Smith"
                 "\n    Address: 1 Main St Springfield\n    Phone: (empty)\n    Additional Charge: " + QString(57, 'x')
                 + "...\n\nYour entries are still on screen.  Choose Update to save them over the stored version, "
                   "or Cancel to show the stored version.");
        QCOMPARE(p.messages[2].text, "This priority was changed at another desk since you opened it.\n\n"
                                     "What is stored now is what the window shows.\n\nChoose.");
        QVERIFY(p.messages[1].title == "Changed at Another Desk" && p.messages[1].flags == (Mb::OkOnly | Mb::Exclamation));
    }
};

CVD_TEST_GUILESS_MAIN(tst_ErrorHandler)
#include "tst_errorhandler.moc"

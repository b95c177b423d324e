// The central error handler: what the user sees for each kind of error, the
// lock retry of the write loop, and "resume at the next statement".
#include "core/errorhandler.h"
#include "core/globals.h"
#include "support/scriptedplatform.h"

#include <QTest>

using namespace cvd;
using cvd::test::ScriptedPlatform;

class tst_ErrorHandler : public QObject {
    Q_OBJECT

private slots:
    void init() { resetProgramValues(); }

    void databaseInUseEndsTheProgram()
    {
        ScriptedPlatform p;
        QVERIFY_THROWS_EXCEPTION(ProgramEnded, HandleError(Error(ErrNo::DatabaseInUse, "in use")));
        QCOMPARE(p.messages.size(), 1);
        QCOMPARE(p.messages[0].text,
                 QString("The database is in use.  You are attempting to run the non-network version in a network "
                         "environment.  The program will exit."));
        QCOMPARE(p.messages[0].title, QString("Database File Already In Use"));
        QCOMPARE(p.messages[0].flags, Mb::OkOnly);
        QVERIFY(p.ended);
    }

    void cancelledDialogIsSilent()
    {
        ScriptedPlatform p;
        HandleError(Error(ErrNo::DialogCancelled, "Cancel was selected."));
        QVERIFY(ReportCancelled);
        QVERIFY(p.messages.isEmpty());
    }

    void otherErrorsShowNumberAndText_data()
    {
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown");
        QTest::newRow("null") << 94 << "Invalid use of Null" << "94  Invalid use of Null";
        QTest::newRow("field too small") << 3163 << "The field is too small."
                                         << "3163  The field is too small.";
        QTest::newRow("sql") << 3001 << "no such column: Foo" << "3001  no such column: Foo";
    }
    void otherErrorsShowNumberAndText()
    {
        QFETCH(int, number);
        QFETCH(QString, text);
        QFETCH(QString, shown);
        ScriptedPlatform p;
        HandleError(Error(number, text));
        QCOMPARE(p.messageTexts(), QStringList{shown});
        QCOMPARE(p.messages[0].title, ProgramTitle);
        QCOMPARE(p.messages[0].flags, Mb::OkOnly);
        QVERIFY(!p.ended);
        QVERIFY(!LockRetryFlag);
    }

    void trapStepsGoesOnAfterAFailure()
    {
        ScriptedPlatform p;
        QStringList ran;
        trapSteps({
            [&] { ran << "1"; },
            [&] { raise(ErrNo::InvalidUseOfNull); },
            [&] { ran << "3"; },
            [&] { raise(ErrNo::TypeMismatch); },
            [&] { ran << "5"; },
        });
        QCOMPARE(ran, (QStringList{"1", "3", "5"}));
        QCOMPARE(p.messageTexts(), (QStringList{"94  Invalid use of Null", "13  Type mismatch"}));
    }

    void endingTheProgramIsNeverTrapped()
    {
        ScriptedPlatform p;
        bool after = false;
        QVERIFY_THROWS_EXCEPTION(ProgramEnded, trapSteps({
                                                   [&] { raise(ErrNo::DatabaseInUse); },
                                                   [&] { after = true; },
                                               }));
        QVERIFY(!after);
    }

    // A write that fails `failures` times with a lock error, then succeeds.
    void lockRetry_data()
    {
        QTest::addColumn<int>("errorNumber");
        QTest::addColumn<int>("failures");
        QTest::addColumn<QList<int>>("answers"); // 6 Yes, 7 No
        QTest::addColumn<int>("questions");
        QTest::addColumn<bool>("ended");
        QTest::addColumn<int>("attempts");
        QTest::newRow("one failure is silent") << 3168 << 1 << QList<int>{} << 0 << false << 2;
        QTest::newRow("99 failures are silent") << 3260 << 99 << QList<int>{} << 0 << false << 100;
        QTest::newRow("100th asks, yes") << 3168 << 100 << QList<int>{6} << 1 << false << 101;
        // After Yes the count restarts at 1: the next question comes with the
        // 99th further failure.
        QTest::newRow("yes, then 98 more are silent") << 3168 << 198 << QList<int>{6} << 1 << false << 199;
        QTest::newRow("yes, then the 99th further asks") << 3260 << 199 << QList<int>{6, 6} << 2 << false << 200;
        QTest::newRow("100th asks, no ends") << 3168 << 150 << QList<int>{7} << 1 << true << 100;
    }
    void lockRetry()
    {
        QFETCH(int, errorNumber);
        QFETCH(int, failures);
        QFETCH(QList<int>, answers);
        QFETCH(int, questions);
        QFETCH(bool, ended);
        QFETCH(int, attempts);
        ScriptedPlatform p;
        for (int a : answers)
            p.answers << Answer(a);
        int tried = 0;
        bool written = false;
        auto run = [&] {
            WriteLoop([&] {
                ++tried;
                if (tried <= failures)
                    raise(errorNumber);
                written = true;
            });
        };
        if (ended)
            QVERIFY_THROWS_EXCEPTION(ProgramEnded, run());
        else
            run();
        QCOMPARE(p.ended, ended);
        QCOMPARE(written, !ended);
        QCOMPARE(tried, attempts);
        QCOMPARE(p.messages.size(), questions);
        for (const auto& m : p.messages) {
            QCOMPARE(m.text, QString("Could not update locked record.  Do you wish to try again?"));
            QCOMPARE(m.title, QString("Locked Record"));
            QCOMPARE(m.flags, Mb::YesNo);
        }
    }

    void otherWriteErrorEndsTheLoop()
    {
        ScriptedPlatform p;
        int tried = 0;
        WriteLoop([&] {
            ++tried;
            raise(ErrNo::FieldTooSmall);
        });
        QCOMPARE(tried, 1);
        QCOMPARE(p.messages.size(), 1);
        QVERIFY(p.messages[0].text.startsWith("3163  "));
    }
};

QTEST_GUILESS_MAIN(tst_ErrorHandler)
#include "tst_errorhandler.moc"

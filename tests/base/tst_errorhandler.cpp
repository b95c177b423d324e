// The central error handler: what the user sees for each kind of error, and
// "resume at the next statement".  (The lock retry's count: tests/db.)
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

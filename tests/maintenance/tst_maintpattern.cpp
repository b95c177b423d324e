// What every maintenance window does, tried on the categories window
// (Hardware, Network, Software in the fixture): opening, moving, editing,
// adding, deleting, finding, closing, and the hand-back to the main window.
#include "core/database.h"
#include "core/globals.h"
#include "maintenance/frmcodesmaint.h"
#include "maintenance/maintmenu.h"
#include "support/fixturedb.h"
#include "support/maintfixture.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

using namespace cvd;
using namespace cvd::test;
using namespace Qt::StringLiterals;

namespace {

QString categories() { return fileQuery(u"select group_concat(CatDesc, ',') from (select CatDesc from Categories order by CatDesc)"_s); }

QStringList walk(MaintWindow* m, ScriptedPlatform& p)
{
    m->cmdFirst->click();
    QStringList out{MaintFixture::shown(m)};
    for (const int beeps = p.beeps; out.size() < 50; out << MaintFixture::shown(m)) {
        m->cmdNext->click();
        if (p.beeps > beeps)
            break;
    }
    return out;
}

} // namespace

class tst_MaintPattern : public QObject {
    Q_OBJECT
private slots:
    void opensOnFirstRecordInOrder();
    void emptyTable();
    void movingBeepsAtEitherEnd();
    void editThenCancelOrUpdate();
    void addAnotherKeepsAddingAndCancelReturns();
    void updateShowsNewRecordInItsPlace();
    void failedCheckAndFailedWriteKeepWhatWasTyped();
    void deleteMovesOn();
    void findByBeginningOfName_data();
    void findByBeginningOfName();
    void closeBoxAsksAboutUnsavedRecord_data();
    void closeBoxAsksAboutUnsavedRecord();
    void closingMainWindowAsksFirst();
    void mainWindowReloadsListAfterActivation();
    void menuBringsOpenWindowForward();
};

void tst_MaintPattern::opensOnFirstRecordInOrder()
{
    MaintFixture f;
    MaintWindow* m = f.open(1);
    QVERIFY(m && m->isVisible());
    QCOMPARE(m->windowTitle(), u"Maintain Categories"_s);
    QVERIFY(MaintFixture::browsing(m));
    QCOMPARE(walk(m, f.p), (QStringList{u"Hardware"_s, u"Network"_s, u"Software"_s}));
    QVERIFY(m->entryControls().first()->isEnabled());
}

void tst_MaintPattern::emptyTable()
{
    MaintFixture f;
    MaintFixture::exec(u"delete from Categories"_s);
    MaintWindow* m = f.open(1);
    QVERIFY(!m->entryControls().first()->isEnabled());
    m->cmdNext->click();
    m->cmdLast->click();
    m->cmdDelete->click();
    QCOMPARE(f.p.beeps, 0);
    QVERIFY(f.p.messages.isEmpty());
    m->cmdFind->click();
    QCOMPARE(f.messages(), u"That record was not found."_s);

    // Records added to the empty list: Cancel shows the first of them.
    m->cmdAddNew->click();
    QVERIFY(m->entryControls().first()->isEnabled());
    for (const QString& d : {u"Printers"_s, u"Email"_s}) {
        MaintFixture::type(m->entryControls().first(), d);
        m->cmdAddNew->click();
    }
    m->cmdCancel->click();
    QVERIFY(MaintFixture::browsing(m));
    QCOMPARE(MaintFixture::shown(m), u"Email"_s);
    QCOMPARE(walk(m, f.p), (QStringList{u"Email"_s, u"Printers"_s}));
}

void tst_MaintPattern::movingBeepsAtEitherEnd()
{
    MaintFixture f;
    MaintWindow* m = f.open(1);
    m->cmdPrevious->click();
    QCOMPARE(f.p.beeps, 1);
    QCOMPARE(MaintFixture::shown(m), u"Hardware"_s);
    m->cmdLast->click();
    m->cmdNext->click();
    QCOMPARE(f.p.beeps, 2);
    QCOMPARE(MaintFixture::shown(m), u"Software"_s);
}

void tst_MaintPattern::editThenCancelOrUpdate()
{
    MaintFixture f;
    MaintWindow* m = f.open(1);
    QWidget* desc = m->entryControls().first();
    MaintFixture::type(desc, u"Hardwired"_s);
    QVERIFY(MaintFixture::editing(m));
    m->cmdCancel->click();
    QVERIFY(MaintFixture::browsing(m));
    QCOMPARE(MaintFixture::shown(m), u"Hardware"_s);
    QCOMPARE(categories(), u"Hardware,Network,Software"_s);

    // Renamed, the record moves to its sorted place and stays on display.
    MaintFixture::type(desc, u"Wiring"_s);
    m->cmdUpdate->click();
    QVERIFY(MaintFixture::browsing(m));
    QCOMPARE(MaintFixture::shown(m), u"Wiring"_s);
    QCOMPARE(fileQuery(u"select CatDesc from Categories where CatID = 2"_s), u"Wiring"_s);
    m->cmdPrevious->click();
    QCOMPARE(MaintFixture::shown(m), u"Software"_s);
}

void tst_MaintPattern::addAnotherKeepsAddingAndCancelReturns()
{
    MaintFixture f;
    MaintWindow* m = f.open(1);
    m->cmdAddNew->click();
    QVERIFY(MaintFixture::adding(m));
    QVERIFY(focusIsIn(m->entryControls().first()));
    for (const QString& d : {u"Backup"_s, u"Email"_s, u"Phones"_s}) {
        MaintFixture::type(m->entryControls().first(), d);
        m->cmdAddNew->click();
        QVERIFY(MaintFixture::adding(m));
        QCOMPARE(MaintFixture::shown(m), QString());
    }
    MaintFixture::type(m->entryControls().first(), u"Dropped"_s);
    m->cmdCancel->click();
    QVERIFY(MaintFixture::browsing(m));
    QCOMPARE(MaintFixture::shown(m), u"Software"_s); // last before add mode began
    QCOMPARE(categories(), u"Backup,Email,Hardware,Network,Phones,Software"_s);
    QCOMPARE(walk(m, f.p).size(), 6);
}

void tst_MaintPattern::updateShowsNewRecordInItsPlace()
{
    MaintFixture f;
    MaintWindow* m = f.open(1);
    m->cmdAddNew->click();
    MaintFixture::type(m->entryControls().first(), u"Monitors"_s);
    m->cmdUpdate->click();
    QVERIFY(MaintFixture::browsing(m));
    QCOMPARE(MaintFixture::shown(m), u"Monitors"_s);
    m->cmdNext->click();
    QCOMPARE(MaintFixture::shown(m), u"Network"_s);
}

void tst_MaintPattern::failedCheckAndFailedWriteKeepWhatWasTyped()
{
    MaintFixture f;
    MaintWindow* m = f.open(1);
    m->cmdAddNew->click();
    m->cmdAddNew->click(); // nothing typed
    QCOMPARE(f.messages(), u"You must enter a description or press Cancel"_s);
    QCOMPARE(f.p.messages.last().title, u"Missing Data"_s);
    QVERIFY(MaintFixture::adding(m));

    // A write refused by the file: reported, and the typed text stays.
    MaintFixture::type(m->entryControls().first(), u"Scanners"_s);
    MainDb->failNextWrites(1, 3027);
    f.p.messages.clear();
    m->cmdAddNew->click();
    QCOMPARE(f.p.messages.size(), 1);
    QVERIFY(MaintFixture::adding(m));
    QCOMPARE(MaintFixture::shown(m), u"Scanners"_s);
    m->cmdUpdate->click();
    QCOMPARE(MaintFixture::shown(m), u"Scanners"_s);
    QCOMPARE(categories(), u"Hardware,Network,Scanners,Software"_s);
}

void tst_MaintPattern::deleteMovesOn()
{
    MaintFixture f;
    MaintFixture::exec(u"update Req set CatID = null"_s);
    MaintWindow* m = f.open(1);
    m->cmdNext->click(); // Network
    f.p.answers << Answer::No;
    m->cmdDelete->click();
    QCOMPARE(f.p.messages.last().text, u"Are you sure that you want to delete this Category?"_s);
    QCOMPARE(categories(), u"Hardware,Network,Software"_s);
    m->cmdDelete->click();
    QCOMPARE(MaintFixture::shown(m), u"Software"_s); // the one that followed
    m->cmdDelete->click();
    QCOMPARE(MaintFixture::shown(m), u"Hardware"_s); // the last gone: the one before
    m->cmdDelete->click();
    QCOMPARE(MaintFixture::shown(m), QString());
    QVERIFY(!m->entryControls().first()->isEnabled());
    QCOMPARE(categories(), QString());
}

void tst_MaintPattern::findByBeginningOfName_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("message");
    QTest::newRow("prefix, any case") << u"ne"_s << u"Network"_s << QString();
    QTest::newRow("cancelled: first named") << QString() << u"Hardware"_s << QString();
    QTest::newRow("apostrophe") << u"O'B"_s << u"O'Brien's"_s << QString();
    QTest::newRow("no match stays put") << u"Zz"_s << u"Software"_s << u"That record was not found."_s;
}

void tst_MaintPattern::findByBeginningOfName()
{
    QFETCH(QString, typed);
    MaintFixture f;
    MaintFixture::exec(u"insert into Categories (CatDesc) values ('O''Brien''s')"_s);
    MaintWindow* m = f.open(1);
    m->cmdLast->click();
    f.p.inputs << typed;
    m->cmdFind->click();
    QCOMPARE(f.p.prompts.last(), u"Enter the category description to find:"_s);
    QTEST(MaintFixture::shown(m), "shown");
    QTEST(f.messages(), "message");
    QVERIFY(MaintFixture::browsing(m));
}

void tst_MaintPattern::closeBoxAsksAboutUnsavedRecord_data()
{
    QTest::addColumn<bool>("adding");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("closed");
    QTest::addColumn<QString>("stored");
    QTest::newRow("edit, yes") << false << int(Answer::Yes) << true << u"Hardware,Network,Tablets"_s;
    QTest::newRow("edit, no") << false << int(Answer::No) << true << u"Hardware,Network,Software"_s;
    QTest::newRow("edit, cancel") << false << int(Answer::Cancel) << false << u"Hardware,Network,Software"_s;
    QTest::newRow("new, yes") << true << int(Answer::Yes) << true << u"Hardware,Network,Software,Tablets"_s;
    QTest::newRow("new, no") << true << int(Answer::No) << true << u"Hardware,Network,Software"_s;
}

void tst_MaintPattern::closeBoxAsksAboutUnsavedRecord()
{
    QFETCH(bool, adding);
    QFETCH(int, answer);
    QFETCH(bool, closed);
    MaintFixture f;
    MaintWindow* m = f.open(1);
    m->cmdLast->click();
    if (adding)
        m->cmdAddNew->click();
    MaintFixture::type(m->entryControls().first(), u"Tablets"_s);
    f.p.answers << Answer(answer);
    QCOMPARE(m->close(), closed);
    QCOMPARE(f.messages(), u"Save the changes to this record?"_s);
    QCOMPARE(f.p.messages.last().buttons(), Mb::YesNoCancel);
    QTEST(categories(), "stored");

    // Nothing typed: no question.
    if (!closed) {
        m->cmdCancel->click();
        QVERIFY(m->close());
        QCOMPARE(f.p.messages.size(), 1);
    }
}

void tst_MaintPattern::closingMainWindowAsksFirst()
{
    MaintFixture f;
    MaintWindow* m = f.open(1);
    MaintFixture::type(m->entryControls().first(), u"Tablets"_s);
    f.p.answers << Answer::Cancel;
    QVERIFY(!f.w->close());
    QCOMPARE(f.messages(), u"Save the changes to this record?"_s);
    QVERIFY(m->isVisible() && !f.p.ended);
    f.p.answers << Answer::Yes;
    QVERIFY(f.w->close());
    QVERIFY(f.p.ended);
    QCOMPARE(categories(), u"Network,Software,Tablets"_s);
}

void tst_MaintPattern::mainWindowReloadsListAfterActivation()
{
    MaintFixture f;
    MaintWindow* m = f.open(1);
    QVERIFY(CatListChanged);
    m->cmdAddNew->click();
    MaintFixture::type(m->entryControls().first(), u"Training"_s);
    m->cmdUpdate->click();
    m->cmdOk->click();
    QTRY_VERIFY(!maintWindow(1));
    f.w->activateWindow();
    QTRY_VERIFY(f.w->cmbCat->findText(u"Training"_s) >= 0);
    QVERIFY(!CatListChanged);

    // Only being active counts: the flag is set again on the next activation.
    m = f.open(1);
    QVERIFY(CatListChanged);
}

void tst_MaintPattern::menuBringsOpenWindowForward()
{
    MaintFixture f;
    MaintWindow* cats = f.open(1);
    cats->cmdLast->click();
    QCOMPARE(f.open(1), cats);
    QCOMPARE(MaintFixture::shown(cats), u"Software"_s); // not reopened

    // The other list reopens the window on it; an unsaved record is asked about first.
    MaintFixture::type(cats->entryControls().first(), u"Softer"_s);
    f.p.answers << Answer::Cancel;
    QCOMPARE(f.open(4), nullptr);
    QCOMPARE(static_cast<frmCodesMaint*>(maintWindow(1))->mode(), 1);
    f.p.answers << Answer::No;
    auto* pris = static_cast<frmCodesMaint*>(f.open(4));
    QVERIFY(pris && pris->mode() == 2);
    QCOMPARE(pris->windowTitle(), u"Maintain Priorities"_s);
    QCOMPARE(pris->lblDesc->text(), u"Priority Description"_s);
    QCOMPARE(MaintFixture::shown(pris), u"High"_s);
    QVERIFY(PriListChanged);
    QCOMPARE(categories(), u"Hardware,Network,Software"_s);
}

QTEST_MAIN(tst_MaintPattern)
#include "tst_maintpattern.moc"

// What every maintenance window does, tried on the categories window
// (Hardware, Network, Software in the fixture): opening, moving, editing,
// adding, deleting, finding, closing, and the hand-back to the main window.
#include "base/globals.h"
#include "db/database.h"
#include "maintenance/frmcodesmaint.h"
#include "maintenance/maintmenu.h"
#include "support/maintfixture.h"
#include "support/testmain.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

using namespace cvd;
using namespace cvd::test;
using namespace Qt::StringLiterals;

namespace {

QString categories() { return fileQuery(u"select group_concat(CatDesc, ',') from (select CatDesc from Categories order by CatDesc)"_s); }

// Clicks the button and returns the record then shown.
QString press(MaintWindow* m, QPushButton* button)
{
    button->click();
    return MaintFixture::shown(m);
}

// The records from the first on, Next after Next until Next beeps.
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
    // Opens browsing the first record in order; moving past either end
    // beeps and stays.  An edit is cancelled or saved in its sorted place.
    void opensMovesAndEdits()
    {
        MaintFixture f;
        MaintWindow* m = f.open(1);
        QVERIFY(m && m->isVisible() && MaintFixture::browsing(m) && m->entryControls().first()->isEnabled());
        QCOMPARE(walk(m, f.p), (QStringList{u"Hardware"_s, u"Network"_s, u"Software"_s}));
        QCOMPARE(MaintFixture::shown(m), u"Software"_s);
        m->cmdFirst->click();
        m->cmdPrevious->click();
        QCOMPARE(f.p.beeps, 2);
        QCOMPARE(MaintFixture::shown(m), u"Hardware"_s);

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
        QCOMPARE(press(m, m->cmdPrevious), u"Software"_s);
    }

    // Add Another saves and stays adding; a write refused by the file is
    // reported and keeps what was typed.  Cancel drops only
    // the record being typed and goes back to the one shown before.  Update
    // shows the new record in its sorted place.
    void adding()
    {
        MaintFixture f;
        MaintWindow* m = f.open(1);
        QWidget* desc = m->entryControls().first();
        m->cmdLast->click();
        m->cmdAddNew->click();
        QVERIFY(MaintFixture::adding(m) && focusIsIn(desc));
        MaintFixture::type(desc, u"Backup"_s);
        MainDb->failNextWrites(1, 3027);
        m->cmdAddNew->click();
        QCOMPARE(f.p.messages.size(), 1);
        QVERIFY(MaintFixture::adding(m));
        QCOMPARE(MaintFixture::shown(m), u"Backup"_s);
        for (const QString& d : {u"Backup"_s, u"Email"_s, u"Phones"_s}) {
            MaintFixture::type(desc, d);
            m->cmdAddNew->click();
            QVERIFY(MaintFixture::adding(m));
            QCOMPARE(MaintFixture::shown(m), QString());
        }
        MaintFixture::type(desc, u"Dropped"_s);
        m->cmdCancel->click();
        QVERIFY(MaintFixture::browsing(m));
        QCOMPARE(MaintFixture::shown(m), u"Software"_s);
        QCOMPARE(categories(), u"Backup,Email,Hardware,Network,Phones,Software"_s);

        m->cmdAddNew->click();
        MaintFixture::type(desc, u"Monitors"_s);
        m->cmdUpdate->click();
        QVERIFY(MaintFixture::browsing(m));
        QCOMPARE(MaintFixture::shown(m), u"Monitors"_s);
        QCOMPARE(press(m, m->cmdNext), u"Network"_s);
        QCOMPARE(walk(m, f.p).join(u','), u"Backup,Email,Hardware,Monitors,Network,Phones,Software"_s);
    }

    // Delete asks first, then shows the record that followed (the one before,
    // for the last).  On an empty list, as left or as opened, the buttons do
    // nothing and Find finds nothing; records added to it are shown from the
    // first on Cancel.
    void deleteDownToEmpty()
    {
        MaintFixture f;
        MainDb->Execute(u"update Req set CatID = null"_s);
        MaintWindow* m = f.open(1);
        m->cmdNext->click(); // Network
        f.p.answers << Answer::No;
        m->cmdDelete->click();
        QCOMPARE(f.messages(), u"Are you sure that you want to delete this Category?"_s);
        QCOMPARE(categories(), u"Hardware,Network,Software"_s);
        QCOMPARE(press(m, m->cmdDelete), u"Software"_s);
        QCOMPARE(press(m, m->cmdDelete), u"Hardware"_s);
        m->cmdDelete->click();
        QCOMPARE(categories(), QString());
        for (const bool reopened : {false, true}) {
            if (reopened) {
                m->cmdOk->click();
                QTRY_VERIFY(!maintWindow(1));
                m = f.open(1);
            }
            QVERIFY(MaintFixture::shown(m).isEmpty() && !m->entryControls().first()->isEnabled());
            f.p.messages.clear();
            m->cmdNext->click();
            m->cmdLast->click();
            m->cmdDelete->click();
            QVERIFY(f.p.beeps == 0 && f.p.messages.isEmpty());
            m->cmdFind->click();
            QCOMPARE(f.messages(), u"That record was not found."_s);
        }
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

    // Closing the window by its close box, or the main window, while a
    // record is being changed asks whether to save it; Cancel keeps both open.
    void closeAsksAboutUnsavedRecord_data()
    {
        QTest::addColumn<bool>("mainWindow");
        QTest::addColumn<bool>("adding");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("closed");
        QTest::addColumn<QString>("stored");
        const int yes = int(Answer::Yes), no = int(Answer::No), cancel = int(Answer::Cancel);
        const QString asWas = u"Hardware,Network,Software"_s;
        QTest::newRow("edit, yes") << false << false << yes << true << u"Hardware,Network,Tablets"_s;
        QTest::newRow("edit, no") << false << false << no << true << asWas;
        QTest::newRow("edit, cancel") << false << false << cancel << false << asWas;
        QTest::newRow("new, yes") << false << true << yes << true << u"Hardware,Network,Software,Tablets"_s;
        QTest::newRow("new, no") << false << true << no << true << asWas;
        QTest::newRow("main window, cancel") << true << false << cancel << false << asWas;
        QTest::newRow("main window, yes") << true << false << yes << true << u"Hardware,Network,Tablets"_s;
    }
    void closeAsksAboutUnsavedRecord()
    {
        QFETCH(bool, mainWindow);
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
        QCOMPARE(mainWindow ? f.w->close() : m->close(), closed);
        QCOMPARE(f.messages(), u"Save the changes to this record?"_s);
        QCOMPARE(f.p.messages.last().buttons(), Mb::YesNoCancel);
        QCOMPARE(f.p.ended, mainWindow && closed);
        QTEST(categories(), "stored");
        if (closed)
            return;
        // Nothing typed: no question.
        QVERIFY(m->isVisible());
        m->cmdCancel->click();
        QVERIFY(m->close());
        QCOMPARE(f.p.messages.size(), 1);
    }

    // The main window reloads its list when it is activated after the
    // maintenance window was.
    void menuAndMainWindow()
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
        MaintWindow* cats = f.open(1);
        QVERIFY(CatListChanged);

        // The menu brings an open window forward, as it was.
        cats->cmdLast->click();
        QCOMPARE(f.open(1), cats);
        QCOMPARE(MaintFixture::shown(cats), u"Training"_s); // not reopened

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
        QCOMPARE(categories(), u"Hardware,Network,Software,Training"_s);
    }
};

CVD_TEST_MAIN(tst_MaintPattern)
#include "tst_maintpattern.moc"

// Two desks at once, as their users see it: a request that names a
// customer another desk deletes meanwhile, a customer deleted while another
// desk saves a request naming it, and the hourly rate changed at another
// desk.  On the file the other desk is the program's own engine (a window
// beside the main window); on a server it is a connection of its own.
#include "base/globals.h"
#include "db/database.h"
#include "support/maintfixture.h"
#include "support/testbackend.h"
#include "support/testmain.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

using namespace cvd;
using namespace cvd::test;
using namespace Qt::StringLiterals;

namespace {

// What another desk does, committed at once.
void otherDesk(const QString& sql)
{
    if (MainDb->isServer())
        execOnTestDb(DatabasePath, sql);
    else
        MainDb->Execute(sql);
}

const QString NewCustomer = u"Insert into Customers (CustID, FirstName, LastName) values (5, 'Eve', 'Evans')"_s;

} // namespace

class tst_twodesks : public QObject {
    Q_OBJECT

private slots:
    // Desk A picks a customer for a new request (or an edited one); desk B
    // deletes that customer, which no saved request names yet.  A's Update
    // is refused with a message that says so, and the request stays on
    // screen as typed; with another customer chosen it saves.
    void customerDeletedWhilePicked_data()
    {
        QTest::addColumn<bool>("adding");
        QTest::newRow("new request") << true;
        QTest::newRow("edited request") << false;
    }
    void customerDeletedWhilePicked()
    {
        QFETCH(bool, adding);
        MainWindowFixture f;
        frmMain& w = f.started(); // request 8, no customer
        otherDesk(NewCustomer);
        w.activateWindow();
        w.Form_Activate(); // back to the main window: the new customer is listed
        if (adding)
            w.cmdAddNew->click();
        QVERIFY(typeInto(w.txtShortDesc, u"Typed at desk A"_s));
        QVERIFY(typeInto(w.cmbCust, u"Evans, Eve"_s));
        tabOut();
        otherDesk(u"Delete from Customers where CustID = 5"_s);
        w.cmdUpdate->click();
        QCOMPARE(f.messages(), u"3201  This request names customer number 5, which no longer exists: it was deleted, "
                               "perhaps at another desk.  Choose another customer, or none, and save again."_s);
        QVERIFY((adding ? f.adding() : f.editing()) && w.txtShortDesc->text() == u"Typed at desk A"_s);
        QCOMPARE(fileQuery(u"select count(*) from Req where ShortDesc = 'Typed at desk A'"_s), u"0"_s);

        f.p.messages.clear();
        QVERIFY(typeInto(w.cmbCust, u"Adams, Ann"_s));
        tabOut();
        QVERIFY2(f.saved(), qPrintable(f.messages()));
        QCOMPARE(fileQuery(u"select CustID from Req where ShortDesc = 'Typed at desk A'"_s), u"1"_s);
    }

    // Every desk costs with the stored hourly rate and minimum charge: a
    // change saved at another desk is used once the user comes back to the
    // main window, or after File > Refresh.
    void rateChangedElsewhere_data()
    {
        QTest::addColumn<bool>("byRefresh");
        QTest::newRow("back to the main window") << false;
        QTest::newRow("File > Refresh") << true;
    }
    void rateChangedElsewhere()
    {
        QFETCH(bool, byRefresh);
        MainWindowFixture f;
        frmMain& w = f.started(); // rate $40.00, minimum $25.00
        otherDesk(u"Update Settings set DefHourlyRate = 600000, DefMinCharge = 1000000"_s);
        if (byRefresh)
            w.mnuRefresh->trigger();
        else
            w.Form_Activate();
        QStringList costs;
        for (const QString& hours : {u"3"_s, u"1"_s}) { // the second costs the new minimum
            QVERIFY(typeInto(w.txtHoursTot, hours));
            tabOut();
            costs << w.txtCostTot->text();
        }
        w.cmdCancel->click();
        w.cmdAddNew->click();
        QCOMPARE(costs << w.txtCostTot->text(), (QStringList{"$180.00", "$100.00", "$100.00"}));
    }

    // Desk A deletes a customer that no request names when it looks; desk B
    // has saved a request naming it by the time the delete is written.  The
    // server refuses the delete, and A is told as when the check finds one.
    void customerNamedWhileDeleted()
    {
        if (!serverMode())
            QSKIP("on the file the check and the delete come one after the other, with no other desk between");
        MaintFixture f;
        otherDesk(NewCustomer);
        MaintWindow* m = f.open(2);
        m->cmdNext_Click(); // Adams, Baker, Evans
        m->cmdNext_Click();
        QCOMPARE(MaintFixture::shown(m), u"Eve"_s);
        // Desk B is saving a request naming Eve Evans: its row lock holds
        // the customer until B commits, which it does while A waits.
        const auto deskB = Database::Open(DatabasePath);
        deskB->Execute(u"Begin"_s);
        deskB->Execute(u"Insert into Req (ReqDate, CustID) values (#12/7/26#, 5)"_s);
        f.p.whilePaused = [&] {
            deskB->Execute(u"Commit"_s);
            f.p.whilePaused = {};
        };
        f.p.answers << Answer::Yes;
        m->cmdDelete->click();
        QCOMPARE(f.p.messageTexts(), (QStringList{u"Are you sure that you want to delete this customer?"_s,
                                                  u"This customer is currently assigned to a request record."_s}));
        QVERIFY(f.p.messages.last().title == u"Cannot Delete"_s && MaintFixture::shown(m) == u"Eve"_s);
        QCOMPARE(fileQuery(u"select count(*) from Customers where CustID = 5"_s), u"1"_s);
    }
};

CVD_TEST_MAIN(tst_twodesks)
#include "tst_twodesks.moc"

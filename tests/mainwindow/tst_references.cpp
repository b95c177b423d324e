// References between records when two desks work at once: a request that
// names a customer another desk deletes meanwhile, and a customer deleted
// while another desk saves a request naming it.  On the file the other desk
// is the program's own engine; on a server it is a connection of its own.
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

// What another desk does, committed at once.  On the file, that is a
// maintenance window of the program, which has its lists read again.
void otherDesk(const QString& sql)
{
    if (MainDb->isServer()) {
        execOnTestDb(DatabasePath, sql);
    } else {
        MainDb->Execute(sql);
        CustListChanged = true;
    }
}

const QString NewCustomer = u"Insert into Customers (CustID, FirstName, LastName) values (5, 'Eve', 'Evans')"_s;

} // namespace

class tst_references : public QObject {
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
        QCOMPARE(f.messages(), QString());
        otherDesk(u"Delete from Customers where CustID = 5"_s);
        w.cmdUpdate->click();
        QCOMPARE(f.messages(), u"3201  This request names customer number 5, which no longer exists: it was deleted, "
                               "perhaps at another desk.  Choose another customer, or none, and save again."_s);
        QVERIFY(adding ? f.adding() : f.editing());
        QCOMPARE(w.txtShortDesc->text(), u"Typed at desk A"_s);
        QCOMPARE(fileQuery(u"select count(*) from Req where ShortDesc = 'Typed at desk A'"_s), u"0"_s);

        f.p.messages.clear();
        QVERIFY(typeInto(w.cmbCust, u"Adams, Ann"_s));
        tabOut();
        QVERIFY2(f.saved(), qPrintable(f.messages()));
        QCOMPARE(fileQuery(u"select CustID from Req where ShortDesc = 'Typed at desk A'"_s), u"1"_s);
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
        QCOMPARE(f.p.messages.last().title, u"Cannot Delete"_s);
        QCOMPARE(MaintFixture::shown(m), u"Eve"_s);
        QCOMPARE(fileQuery(u"select count(*) from Customers where CustID = 5"_s), u"1"_s);
    }
};

CVD_TEST_MAIN(tst_references)
#include "tst_references.moc"

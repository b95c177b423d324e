// Other desks in the maintenance windows: a record another desk holds, one
// changed or deleted at another desk since it was shown, F5, and the
// customers window's department list following changes made elsewhere.
// What another desk does is written straight into the file, and the engine
// made to answer as a server would.
#include "base/errorhandler.h"
#include "base/globals.h"
#include "db/database.h"
#include "maintenance/frmcust.h"
#include "support/maintfixture.h"
#include "support/testmain.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

using namespace cvd;
using namespace cvd::test;
using namespace Qt::StringLiterals;

namespace {

QString categories() { return fileQuery(u"select group_concat(CatDesc, ',') from (select CatDesc from Categories order by CatDesc)"_s); }

} // namespace

class tst_MaintDesks : public QObject {
    Q_OBJECT
private slots:
    // A category another desk holds (Hardware, shown first): No to the
    // question after the 100th try keeps the typed record on screen, still
    // being edited or added, and writes nothing; a lock that clears after a
    // few tries saves.
    void lockedRecord_data()
    {
        QTest::addColumn<bool>("adding");
        QTest::addColumn<int>("failures");
        QTest::addColumn<QString>("stored");
        QTest::newRow("edit held throughout, No") << false << 1000 << "Hardware,Network,Software";
        QTest::newRow("new record held throughout, No") << true << 1000 << "Hardware,Network,Software";
        QTest::newRow("edit freed after 3 tries") << false << 3 << "Network,Software,Wiring";
    }
    void lockedRecord()
    {
        QFETCH(bool, adding);
        QFETCH(int, failures);
        MaintFixture f;
        MaintWindow* m = f.open(1);
        if (adding)
            m->cmdAddNew->click();
        MaintFixture::type(m->entryControls().first(), u"Wiring"_s);
        f.p.answers << Answer::No;
        MainDb->failNextWrites(failures, ErrNo::RecordLockedByUser);
        m->cmdUpdate->click();
        MainDb->failNextWrites(0, 0);
        const bool held = failures > 100;
        QCOMPARE(f.p.messages.size(), held ? 1 : 0);
        QCOMPARE(f.p.pauses.size(), held ? 99 : failures);
        QVERIFY(!held || (adding ? MaintFixture::adding(m) : MaintFixture::editing(m)));
        QVERIFY(held || MaintFixture::browsing(m));
        QCOMPARE(MaintFixture::shown(m), u"Wiring"_s);
        QTEST(categories(), "stored");
    }

    // Update of a customer another desk changed since it was shown: what is
    // stored now where it differs, nothing written, the typed entries kept;
    // a second Update writes the typed phone over the stored record (the
    // city and department the other desk stored stay), Cancel shows it.
    void changedElsewhere_data()
    {
        QTest::addColumn<bool>("saveAgain");
        QTest::addColumn<QString>("shown"); // city, phone, department
        QTest::addColumn<QString>("stored");
        QTest::newRow("Update again") << true << "Shelbyville/555-9999/Zeta Corp" << "Shelbyville/555-9999/3";
        QTest::newRow("Cancel") << false << "Shelbyville/555-0101/Zeta Corp" << "Shelbyville/555-0101/3";
    }
    void changedElsewhere()
    {
        QFETCH(bool, saveAgain);
        MaintFixture f;
        auto* c = qobject_cast<frmCust*>(f.open(2)); // Ann Adams, Springfield, Accounting
        MaintFixture::type(c->txtPhone, u"555-9999"_s);
        MainDb->Execute(u"update Customers set City = 'Shelbyville', DeptID = 3 where CustID = 1"_s);
        MainDb->failNextWrites(1, ErrNo::ChangedElsewhere);
        c->cmdUpdate->click();
        QCOMPARE(f.messages(), u"This customer was changed at another desk since you opened it.\n\nStored now:\n"
                               u"    City: Shelbyville\n    Phone: 555-0101\n    Department/Company: Zeta Corp\n\n"
                               u"Your entries are still on screen.  Choose Update to save them over the stored "
                               u"version, or Cancel to show the stored version."_s);
        QVERIFY(MaintFixture::editing(c));
        QCOMPARE(c->txtPhone->text() + '/' + c->txtCity->text(), u"555-9999/Springfield"_s);
        f.p.messages.clear();
        (saveAgain ? c->cmdUpdate : c->cmdCancel)->click();
        QVERIFY(MaintFixture::browsing(c) && f.p.messages.isEmpty());
        QTEST(c->txtCity->text() + '/' + c->txtPhone->text() + '/' + c->cmbDept->currentText(), "shown");
        QTEST(fileQuery(u"select City || '/' || Phone || '/' || DeptID from Customers where CustID = 1"_s), "stored");
    }

    // Deleting a category another desk deleted first: gone all the same,
    // no message after the question; the next one is shown.
    void deletedElsewhere()
    {
        MaintFixture f;
        MainDb->Execute(u"update Req set CatID = null"_s);
        MaintWindow* m = f.open(1);
        MainDb->Execute(u"delete from Categories where CatDesc = 'Hardware'"_s);
        MainDb->failNextWrites(1, ErrNo::RecordDeleted);
        m->cmdDelete->click();
        QCOMPARE(f.messages(), u"Are you sure that you want to delete this Category?"_s);
        QCOMPARE(MaintFixture::shown(m), u"Network"_s);
        m->cmdNext->click();
        m->cmdPrevious->click();
        m->cmdPrevious->click();
        QCOMPARE(MaintFixture::shown(m), u"Network"_s);
        QCOMPARE(f.p.messages.size(), 1);
        QCOMPARE(f.p.beeps, 1);
    }

    // F5 reads the records again and stays on the one shown; while one is
    // being edited it asks first, as closing does.
    void refresh()
    {
        MaintFixture f;
        MaintWindow* m = f.open(1); // Hardware
        MainDb->Execute(u"insert into Categories (CatDesc) values ('Accounts')"_s);
        MainDb->Execute(u"update Categories set CatDesc = 'Hardware and cables' where CatDesc = 'Hardware'"_s);
        QTest::keyClick(m, Qt::Key_F5);
        QCOMPARE(MaintFixture::shown(m), u"Hardware and cables"_s);
        m->cmdPrevious->click();
        QCOMPARE(MaintFixture::shown(m), u"Accounts"_s);
        MaintFixture::type(m->entryControls().first(), u"Typed"_s);
        f.p.answers << Answer::No;
        QTest::keyClick(m, Qt::Key_F5);
        QCOMPARE(f.messages(), u"Save the changes to this record?"_s);
        QVERIFY(MaintFixture::browsing(m));
        QCOMPARE(MaintFixture::shown(m), u"Accounts"_s);
    }

    // A department added in the departments window is in the customers
    // window's list when that window is active again; the customer keeps
    // its department.
    void departmentListFollows()
    {
        MaintFixture f;
        auto* c = qobject_cast<frmCust*>(f.open(2));
        MaintWindow* d = f.open(3);
        d->cmdAddNew->click();
        MaintFixture::type(d->entryControls().first(), u"Aardvark Inc."_s);
        d->cmdUpdate->click();
        QCOMPARE(f.open(2), c);
        QCOMPARE(c->cmbDept->itemText(0) + ' ' + c->cmbDept->currentText(), u"Aardvark Inc. Accounting"_s);
        QVERIFY(MaintFixture::browsing(c));
    }
};

CVD_TEST_MAIN(tst_MaintDesks)
#include "tst_maintdesks.moc"

// What each maintenance window has of its own: texts and order, its check,
// its find, the references that keep a record, and its particular fields.
#include "base/globals.h"
#include "db/database.h"
#include "maintenance/frmcodesmaint.h"
#include "maintenance/frmcust.h"
#include "maintenance/frmdept.h"
#include "maintenance/frmstaff.h"
#include "support/maintfixture.h"
#include "support/testmain.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

using namespace cvd;
using namespace cvd::test;
using namespace Qt::StringLiterals;

class tst_MaintWindows : public QObject {
    Q_OBJECT
private slots:
    // Each window's caption and first record; Find asks for the beginning
    // of the name (an apostrophe as typed), says when nothing matches and
    // stays, and goes to the first record when the question is cancelled.
    void textsOrderAndFind_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("prompt");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("found");
        QTest::addColumn<QString>("notFound");
        QTest::addColumn<int>("pointerChanges"); // hourglass, then back
        const QString notFound = u"That record was not found."_s;
        QTest::newRow("categories") << 1 << u"Maintain Categories"_s << u"Hardware"_s << u"Enter the category description to find:"_s
                                    << u"so"_s << u"Software"_s << notFound << 0;
        QTest::newRow("customers") << 2 << u"Maintain Customers"_s << u"Ann"_s << u"Enter the last name of the customer to find: "_s
                                   << u"o'n"_s << u"Zoë"_s << u"That customer was not found."_s << 2;
        QTest::newRow("departments") << 3 << u"Maintain Departments/Companies"_s << u"Accounting"_s
                                     << u"Enter the name of the department/company to find: "_s << u"ze"_s << u"Zeta Corp"_s
                                     << u"That Department or Company was not found."_s << 2;
        QTest::newRow("priorities") << 4 << u"Maintain Priorities"_s << u"High"_s << u"Enter the priority description to find:"_s
                                    << u"me"_s << u"Medium"_s << notFound << 0;
        QTest::newRow("staff") << 5 << u"Maintain Staff"_s << u"Anders"_s << u"Enter the last name of the staff member to find: "_s
                               << u"sm"_s << u"Jane"_s << u"That name was not found."_s << 2;
    }
    void textsOrderAndFind()
    {
        QFETCH(int, index);
        QFETCH(QString, first);
        QFETCH(QString, prompt);
        QFETCH(QString, typed);
        MaintFixture f;
        MaintWindow* m = f.open(index);
        QTEST(m->windowTitle(), "caption");
        QCOMPARE(MaintFixture::shown(m), first);
        f.p.inputs << typed << u"xq"_s << QString();
        m->cmdFind->click();
        QTEST(MaintFixture::shown(m), "found");
        QTEST(int(f.p.pointers.size()), "pointerChanges");
        m->cmdFind->click();
        QTEST(f.messages(), "notFound");
        QCOMPARE(f.p.messages.last().title, u"No Records Match"_s);
        QTEST(MaintFixture::shown(m), "found");
        m->cmdFind->click();
        QCOMPARE(MaintFixture::shown(m), first);
        QCOMPARE(f.p.prompts, QStringList(3, prompt));
        QVERIFY(f.p.messages.size() == 1 && MaintFixture::browsing(m));
    }

    void checkBeforeSave_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::addColumn<QString>("message"); // empty: saved
        QTest::addColumn<QString>("title");
        const QString noName = u"You must enter a first name and/or a last name."_s;
        QTest::newRow("description of blanks") << 1 << u"   "_s << QString() << QString() << QString();
        QTest::newRow("no description") << 1 << QString() << QString() << u"You must enter a description or press Cancel"_s
                                        << u"Missing Data"_s;
        QTest::newRow("customer of blanks") << 2 << u"  "_s << u" "_s << noName << u"No Customer Name"_s;
        QTest::newRow("customer, last name only") << 2 << QString() << u"Nakamura"_s << QString() << QString();
        QTest::newRow("department of blanks") << 3 << u"   "_s << QString()
                                              << u"You must enter a name for this department/company."_s << u"No Dept. Name"_s;
        QTest::newRow("staff of blanks") << 5 << u" "_s << QString() << noName << u"No Staff Name"_s;
        QTest::newRow("staff, first name only") << 5 << u"Ørjan"_s << QString() << QString() << QString();
    }
    void checkBeforeSave()
    {
        QFETCH(int, index);
        QFETCH(QString, first);
        QFETCH(QString, second);
        QFETCH(QString, message);
        MaintFixture f;
        MaintWindow* m = f.open(index);
        m->cmdAddNew->click();
        const QList<QWidget*> entries = m->entryControls();
        if (!first.isEmpty())
            MaintFixture::type(entries[0], first);
        if (!second.isEmpty())
            MaintFixture::type(entries[1], second);
        QWidget* left = index == 1 ? static_cast<QWidget*>(m->cmdCancel) : entries.last();
        focusInto(left);
        m->cmdUpdate->click();
        QCOMPARE(f.messages(), message);
        if (message.isEmpty()) {
            QVERIFY(MaintFixture::browsing(m));
            QCOMPARE(MaintFixture::shown(m), first);
            return;
        }
        QTEST(f.p.messages.last().title, "title");
        QCOMPARE(f.p.messages.last().icon(), 0);
        QVERIFY(MaintFixture::adding(m));
        // The windows with names put the focus into the first box; the codes
        // window leaves it where it was.
        QVERIFY(focusIsIn(index == 1 ? left : entries[0]));
    }

    // Delete asks first; a record still referred to stays, with a message
    // for each kind of reference.
    void inUseRecordsStay_data()
    {
        const QString newDept = u"insert into Dept (DeptName) values ('Ops');"_s;
        const QString newStaff = u"insert into Staff (FirstName, LastName) values ('Ed', 'Eddy');"_s;
        const QString request = u"insert into Req (ReqDate, ShortDesc, %1) values ('2000-01-01', 'x', (select max(%2) from %3));"_s;
        const QString deptReq = request.arg(u"DeptID", u"DeptID", u"Dept");
        const QString staffUsed = u"This staff member is in use in at least one request record."_s;
        const QString byRequest = u"This department/company is assigned to a request record."_s;
        const QString byCustomer = u"This department/company is assigned to a customer record."_s;
        const QString custOfOps = u"insert into Customers (LastName, DeptID) select 'Kim', max(DeptID) from Dept;"_s;
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("find");
        QTest::addColumn<QString>("messages"); // after the question; none: deleted
        QTest::newRow("category used") << 1 << QString() << u"hard"_s << u"This category is in use in a request record"_s;
        QTest::newRow("category free") << 1 << u"update Req set CatID = null where CatID = 2"_s << u"hard"_s << QString();
        QTest::newRow("priority used") << 4 << QString() << u"hi"_s << u"This priority is in use in a request record"_s;
        QTest::newRow("customer used") << 2 << QString() << u"ad"_s << u"This customer is currently assigned to a request record."_s;
        QTest::newRow("customer free") << 2 << u"insert into Customers (LastName) values ('Free')"_s << u"fr"_s << QString();
        QTest::newRow("department by request") << 3 << newDept + deptReq << u"ops"_s << byRequest;
        QTest::newRow("department by customers") << 3 << newDept + custOfOps.repeated(2) << u"ops"_s << byCustomer;
        QTest::newRow("department by both") << 3 << QString() << u"acc"_s << byRequest + u"\n"_s + byCustomer;
        QTest::newRow("department free") << 3 << newDept << u"ops"_s << QString();
        QTest::newRow("staff who only entered") << 5 << newStaff + request.arg(u"EnteredBy", u"StaffID", u"Staff") << u"ed"_s
                                                << staffUsed;
        QTest::newRow("staff only assigned") << 5 << newStaff + request.arg(u"AssignedTo", u"StaffID", u"Staff") << u"ed"_s
                                             << staffUsed;
        QTest::newRow("staff free") << 5 << newStaff << u"ed"_s << QString();
    }
    void inUseRecordsStay()
    {
        QFETCH(int, index);
        QFETCH(QString, setup);
        QFETCH(QString, find);
        QFETCH(QString, messages);
        MaintFixture f;
        MainDb->Execute(setup);
        const char* tables[] = {"", "Categories", "Customers", "Dept", "Priorities", "Staff"};
        const QString count = QStringLiteral("select count(*) from %1").arg(QLatin1String(tables[index]));
        const int before = fileQuery(count).toInt();
        MaintWindow* m = f.open(index);
        f.p.inputs << find;
        m->cmdFind->click();
        const QString shown = MaintFixture::shown(m);
        m->cmdDelete->click();
        QCOMPARE(f.p.messages.first().buttons(), Mb::YesNo);
        QCOMPARE(f.p.messageTexts().mid(1).join(u'\n'), messages);
        for (const MessageCall& c : f.p.messages.mid(1))
            QCOMPARE(c.title, u"Cannot Delete"_s);
        QCOMPARE(fileQuery(count).toInt(), before - int(messages.isEmpty()));
        QCOMPARE(MaintFixture::shown(m) == shown, !messages.isEmpty());
    }

    void codesEnterAddsOneAfterAnother()
    {
        MaintFixture f;
        auto* m = static_cast<frmCodesMaint*>(f.open(4));
        QCOMPARE(m->defaultButton(), m->cmdOk);
        m->cmdAddNew->click();
        QCOMPARE(m->defaultButton(), m->cmdAddNew);
        for (const QString& d : {u"Urgent"_s, u"Whenever"_s}) {
            MaintFixture::type(m->txtDesc, d);
            QTest::keyClick(m->txtDesc, Qt::Key_Return);
            QVERIFY(MaintFixture::adding(m));
            QCOMPARE(m->txtDesc->text(), QString());
        }
        QCOMPARE(fileQuery(u"select group_concat(PriDesc) from Priorities where PriID > 3"_s), u"Urgent,Whenever"_s);
        // Update keeps Add New the default; Cancel gives it back to OK.
        MaintFixture::type(m->txtDesc, u"Later"_s);
        m->cmdUpdate->click();
        QCOMPARE(m->defaultButton(), m->cmdAddNew);
        m->cmdAddNew->click();
        m->cmdCancel->click();
        QCOMPARE(m->defaultButton(), m->cmdOk);
    }

    // The customers window: a department chosen while browsing starts an
    // edit and Delete takes it away; over-long texts are refused at the box.
    void customers()
    {
        MaintFixture f;
        auto* m = static_cast<frmCust*>(f.open(2));
        QCOMPARE(m->cmbDept->count(), 3);
        QCOMPARE(m->cmbDept->currentText(), u"Accounting"_s);
        m->cmbDept->setCurrentIndex(2);
        QVERIFY(MaintFixture::editing(m));
        focusInto(m->cmbDept);
        QTest::keyClick(m->cmbDept, Qt::Key_Delete);
        QCOMPARE(m->cmbDept->currentIndex(), -1);
        MaintFixture::type(m->txtCountry, u"Ísland"_s);
        m->cmdUpdate->click();
        QCOMPARE(fileQuery(u"select typeof(DeptID) || ' ' || Country from Customers where CustID = 1"_s), u"null Ísland"_s);
        m->cmdNext->click();
        m->cmdPrevious->click();
        QCOMPARE(m->txtCountry->text(), u"Ísland"_s);
        QCOMPARE(m->cmbDept->currentIndex(), -1);

        m->cmdAddNew->click();
        MaintFixture::type(m->txtLastName, u"é"_s.repeated(45));
        QCOMPARE(m->txtLastName->text().size(), 40);
        // An address holds 128 characters, a line break counting as stored.
        focusInto(m->txtAddress);
        m->txtAddress->insertPlainText(u"1 Long Road\n"_s + u"x"_s.repeated(200));
        QCOMPARE(m->txtAddress->toPlainText(), u"1 Long Road\n"_s + u"x"_s.repeated(116));
        QVERIFY(f.p.beeps > 0);
        m->cmdUpdate->click();
        QVERIFY(f.messages().isEmpty());
        QCOMPARE(fileQuery(u"select length(Address) from Customers where substr(LastName, 1, 1) = 'é'"_s), u"128"_s);
    }

    void stateInCapitals_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("kept");
        QTest::newRow("customer, two letters") << 2 << u"ny"_s << u"NY"_s;
        QTest::newRow("customer, three letters") << 2 << u"nyc"_s << u"nyc"_s;
        QTest::newRow("department, two letters") << 3 << u"öl"_s << u"ÖL"_s;
        QTest::newRow("department, one letter") << 3 << u"n"_s << u"n"_s;
    }
    void stateInCapitals()
    {
        QFETCH(int, index);
        QFETCH(QString, typed);
        MaintFixture f;
        MaintWindow* m = f.open(index);
        auto* st = m->findChild<QLineEdit*>(u"txtSt"_s);
        MaintFixture::type(st, typed);
        tabOut();
        QTEST(st->text(), "kept");
        m->cmdUpdate->click();
        QTEST(fileQuery(index == 2 ? u"select St from Customers where CustID = 1"_s : u"select St from Dept where DeptID = 1"_s),
              "kept");
    }

    void staffComments()
    {
        MaintFixture f;
        auto* m = static_cast<frmStaff*>(f.open(5));
        m->cmdNext->click(); // Ångström, then Jones
        MaintFixture::type(m->txtComments, u"  \n "_s);
        m->cmdUpdate->click();
        QCOMPARE(fileQuery(u"select count(*) from Staff where Comments is null and LastName = 'Jones'"_s), u"1"_s);
        MaintFixture::type(m->txtComments, u"Nights only.\nSpeaks 日本語."_s);
        m->cmdUpdate->click();
        m->cmdNext->click();
        m->cmdFirst->click();
        m->cmdNext->click();
        QCOMPARE(m->txtComments->toPlainText(), u"Nights only.\nSpeaks 日本語."_s);
    }
};

CVD_TEST_MAIN(tst_MaintWindows)
#include "tst_maintwindows.moc"

// What each maintenance window has of its own: texts and order, its check,
// its find, the references that keep a record, its particular fields, and
// the Maintain menu's hand-over to and from the main window.  (Editing,
// adding, other desks and closing: tst_recordwindow.)
#include "base/globals.h"
#include "db/database.h"
#include "maintenance/frmcodesmaint.h"
#include "maintenance/frmcust.h"
#include "maintenance/maintmenu.h"
#include "support/maintfixture.h"
#include "support/testmain.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

using namespace cvd;
using namespace cvd::test;
using namespace Qt::StringLiterals;

static QString categories()
{
    return fileQuery(u"select group_concat(CatDesc, ',') from (select CatDesc from Categories order by CatDesc)"_s);
}

class tst_MaintWindows : public QObject {
    Q_OBJECT
private slots:
    // Each window's caption and first record; Find asks for the beginning
    // of the name (an apostrophe as typed), says when nothing matches and
    // stays, and goes to the first record when the question is cancelled.
    void textsOrderAndFind_data()
    {
        const QString notFound = u"That record was not found."_s;
        columns<int, QString, QString, QString, QString, QString, QString>("index", "caption", "first", "prompt", "typed",
                                                                            "found", "notFound");
        QTest::newRow("categories") << 1 << u"Maintain Categories"_s << u"Hardware"_s << u"Enter the category description to find:"_s
                                    << u"so"_s << u"Software"_s << notFound;
        QTest::newRow("customers") << 2 << u"Maintain Customers"_s << u"Ann"_s << u"Enter the last name of the customer to find: "_s
                                   << u"o'n"_s << u"Zoë"_s << u"That customer was not found."_s;
        QTest::newRow("departments") << 3 << u"Maintain Departments/Companies"_s << u"Accounting"_s
                                     << u"Enter the name of the department/company to find: "_s << u"ze"_s << u"Zeta Corp"_s
                                     << u"That Department or Company was not found."_s;
        QTest::newRow("priorities") << 4 << u"Maintain Priorities"_s << u"High"_s << u"Enter the priority description to find:"_s
                                    << u"me"_s << u"Medium"_s << notFound;
        QTest::newRow("staff") << 5 << u"Maintain Staff"_s << u"Anders"_s << u"Enter the last name of the staff member to find: "_s
                               << u"sm"_s << u"Jane"_s << u"That name was not found."_s;
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
        m->cmdFind->click();
        QTEST(f.messages(), "notFound");
        QCOMPARE(f.p.messages.last().title, u"No Records Match"_s);
        QTEST(MaintFixture::shown(m), "found");
        m->cmdFind->click();
        QVERIFY(MaintFixture::shown(m) == first && f.p.prompts == QStringList(3, prompt));
        QVERIFY(f.p.messages.size() == 1 && MaintFixture::browsing(m));
    }

    void checkBeforeSave_data()
    {
        columns<int, QString, QString, QString, QString>("index", "first", "second", "message", "title"); // message "": saved
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
        for (int i : {0, 1})
            if (const QString& typed = i ? second : first; !typed.isEmpty())
                MaintFixture::type(entries[i], typed);
        QWidget* left = index == 1 ? static_cast<QWidget*>(m->cmdCancel) : entries.last();
        focusInto(left);
        m->cmdUpdate->click();
        QCOMPARE(f.messages(), message);
        if (message.isEmpty()) {
            QVERIFY(MaintFixture::browsing(m) && MaintFixture::shown(m) == first);
            return;
        }
        QTEST(f.p.messages.last().title, "title");
        QVERIFY(f.p.messages.last().icon() == 0 && MaintFixture::adding(m));
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
        const QString byCustomer = u"This department/company is assigned to a customer record."_s;
        const QString custOfOps = u"insert into Customers (LastName, DeptID) select 'Kim', max(DeptID) from Dept;"_s;
        columns<int, QString, QString, QString>("index", "setup", "find", "messages"); // messages after the question; none: deleted
        QTest::newRow("category used") << 1 << QString() << u"hard"_s << u"This category is in use in a request record"_s;
        QTest::newRow("priority used") << 4 << QString() << u"hi"_s << u"This priority is in use in a request record"_s;
        QTest::newRow("customer used") << 2 << QString() << u"ad"_s << u"This customer is currently assigned to a request record."_s;
        QTest::newRow("customer free") << 2 << u"insert into Customers (LastName) values ('Free')"_s << u"fr"_s << QString();
        QTest::newRow("department by customers") << 3 << newDept + custOfOps.repeated(2) << u"ops"_s << byCustomer;
        QTest::newRow("department by both") << 3 << QString() << u"acc"_s
                                            << u"This department/company is assigned to a request record.\n"_s + byCustomer;
        QTest::newRow("department free") << 3 << newDept << u"ops"_s << QString();
        QTest::newRow("staff only assigned")
            << 5 << newStaff + u"insert into Req (ReqDate, AssignedTo) select '2000-01-01', max(StaffID) from Staff"_s
            << u"ed"_s << u"This staff member is in use in at least one request record."_s;
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
        QVERIFY(fileQuery(count).toInt() == before - int(messages.isEmpty()) && (MaintFixture::shown(m) == shown) != messages.isEmpty());
    }

    // The customers window: a department chosen while browsing starts an
    // edit and Delete takes it away; a state of two letters is put in
    // capitals on leaving its box; an address holds 128 characters.
    void customers()
    {
        MaintFixture f;
        auto* m = static_cast<frmCust*>(f.open(2));
        m->cmbDept->setCurrentIndex(2);
        QVERIFY(MaintFixture::editing(m) && focusInto(m->cmbDept));
        QTest::keyClick(m->cmbDept, Qt::Key_Delete);
        MaintFixture::type(m->findChild<QLineEdit*>(u"txtSt"_s), u"ny"_s);
        tabOut();
        MaintFixture::type(m->txtCountry, u"Ísland"_s);
        m->cmdUpdate->click();
        QCOMPARE(fileQuery(u"select typeof(DeptID) || ' ' || St || ' ' || Country from Customers where CustID = 1"_s),
                 u"null NY Ísland"_s);

        m->cmdAddNew->click();
        MaintFixture::type(m->txtLastName, u"é"_s);
        // An address holds 128 characters, a line break counting as stored.
        focusInto(m->txtAddress);
        m->txtAddress->insertPlainText(u"1 Long Road\n"_s + u"x"_s.repeated(200));
        QCOMPARE(m->txtAddress->toPlainText(), u"1 Long Road\n"_s + u"x"_s.repeated(116));
        QVERIFY(f.p.beeps > 0);
        m->cmdUpdate->click();
        QCOMPARE(fileQuery(u"select length(Address) from Customers where substr(LastName, 1, 1) = 'é'"_s), u"128"_s);
    }

    // What the window could not show as stored (a last name past its box's
    // 40 characters, a department that is not on the list) is written back
    // as the file holds it when the user changed another field.
    void untouchedFieldsKept()
    {
        MaintFixture f;
        const QString last = u"Longer-than-forty-characters-"_s.leftJustified(60, u'z');
        MainDb->Execute(u"update Customers set DeptID = 99, LastName = '%1' where CustID = 1"_s.arg(last));
        auto* m = static_cast<frmCust*>(f.open(2));
        f.p.inputs << u"Longer"_s;
        m->cmdFind->click();
        QVERIFY(m->cmbDept->currentIndex() < 0);
        MaintFixture::type(m->txtPhone, u"555-0199"_s);
        m->cmdUpdate->click();
        QVERIFY2(f.p.messages.isEmpty() && MaintFixture::browsing(m), qPrintable(f.messages()));
        QCOMPARE(fileQuery(u"select Phone || DeptID || LastName from Customers where CustID = 1"_s), u"555-0199"_s + u"99"_s + last);
    }

    // Find takes the typed text as it is: #, ? and [ are characters of the
    // name, not patterns; * still stands for any run of characters.
    void findTakesTextAsTyped()
    {
        MaintFixture f;
        MainDb->Execute(u"insert into Customers (FirstName, LastName) values ('Number', '#12 Corp'), "
                        "('Question', '?Marks'), ('Bracket', '[a] Team'), ('Digit', '7 Up')"_s);
        MaintWindow* m = f.open(2);
        const QString first = MaintFixture::shown(m);
        // typed=the first name found (none: not found, the first one stays)
        for (const QString& c : {u"#=Number"_s, u"O?N="_s, u"[a]=Bracket"_s, u"[o]="_s, u"o*l=Zoë"_s}) {
            m->cmdFirst->click();
            f.p.inputs << c.section(u'=', 0, 0);
            m->cmdFind->click();
            QCOMPARE(MaintFixture::shown(m), c.endsWith(u'=') ? first : c.section(u'=', 1));
        }
        QCOMPARE(f.p.messageTexts(), QStringList(2, u"That customer was not found."_s));
    }

    // Delete asks first, then shows the record that followed (the one before,
    // for the last).  On an empty list the buttons do nothing and Find finds
    // nothing; a record added to it is shown on Cancel.
    void deleteDownToEmpty()
    {
        MaintFixture f;
        MainDb->Execute(u"update Req set CatID = null"_s);
        MaintWindow* m = f.open(1);
        m->cmdNext->click(); // Network
        f.p.answers << Answer::No;
        m->cmdDelete->click();
        QCOMPARE(f.messages() + ' ' + categories(), u"Are you sure that you want to delete this Category? Hardware,Network,Software"_s);
        for (const QString& next : {u"Software"_s, u"Hardware"_s, QString()}) {
            m->cmdDelete->click();
            QCOMPARE(MaintFixture::shown(m), next);
        }
        QVERIFY(categories().isEmpty() && !m->entryControls().first()->isEnabled());
        f.p.messages.clear();
        m->cmdNext->click();
        m->cmdDelete->click();
        QVERIFY(f.p.beeps == 0 && f.p.messages.isEmpty());
        m->cmdAddNew->click();
        MaintFixture::type(m->entryControls().first(), u"Printers"_s);
        m->cmdAddNew->click();
        m->cmdCancel->click();
        QCOMPARE(MaintFixture::shown(m) + ' ' + categories(), u"Printers Printers"_s);
    }

    // The main window reloads its list when it is activated after the
    // maintenance window was; the menu brings an open window forward, or
    // reopens the codes window on the other list, asking about an unsaved
    // record first.
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

        MaintWindow* cats = f.open(1);
        QVERIFY(CatListChanged);
        cats->cmdLast->click();
        QVERIFY(f.open(1) == cats && MaintFixture::shown(cats) == u"Training"_s); // not reopened
        MaintFixture::type(cats->entryControls().first(), u"Softer"_s);
        f.p.answers << Answer::Cancel;
        QCOMPARE(f.open(4), nullptr);
        QCOMPARE(static_cast<frmCodesMaint*>(maintWindow(1))->mode(), 1);
        f.p.answers << Answer::No;
        auto* pris = static_cast<frmCodesMaint*>(f.open(4));
        QVERIFY(pris && pris->mode() == 2);
        QCOMPARE(pris->windowTitle() + ' ' + pris->lblDesc->text() + ' ' + MaintFixture::shown(pris),
                 u"Maintain Priorities Priority Description High"_s);
        QCOMPARE(categories(), u"Hardware,Network,Software,Training"_s);
    }

};

CVD_TEST_MAIN(tst_MaintWindows)
#include "tst_maintwindows.moc"

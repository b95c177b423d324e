// The main window's look-up lists after a reload that moves their entries,
// and typing into the customer list, which completes to a customer's name.
#include "base/globals.h"
#include "db/database.h"
#include "support/mainwindowfixture.h"
#include "support/testmain.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

using namespace cvd;

class tst_lookuplists : public QObject {
    Q_OBJECT
    std::unique_ptr<test::MainWindowFixture> f;

private slots:
    void init() { f = std::make_unique<test::MainWindowFixture>(); }
    void cleanup() { f.reset(); }

    // A record that sorts first moves every entry of its list; each request
    // still shows its own customer, department and staff members.
    void selectionsAfterReload_data()
    {
        QTest::addColumn<QString>("insert");
        QTest::addColumn<QString>("first"); // the new entry, first in its list
        QTest::newRow("customers") << "insert into Customers (FirstName, LastName) values ('Al', 'Aaberg')" << "cmbCust=Aaberg, Al";
        QTest::newRow("staff, both lists") << "insert into Staff (FirstName, LastName) values ('Al', 'Aaberg')" << "cmbEnteredBy=Aaberg, Al cmbAssignedTo=Aaberg, Al";
        QTest::newRow("departments") << "insert into Dept (DeptName) values ('Aardvark Inc.')" << "cmbDept=Aardvark Inc.";
    }
    void selectionsAfterReload()
    {
        QFETCH(QString, insert);
        const auto everyRequest = [this] { // as shown, from the first one on
            QList<QStringList> out;
            const qsizetype n = f->walk().size();
            f->w->cmdFirst->click();
            for (qsizetype i = 0; i < n; ++i, f->w->cmdNext->click())
                out << f->shownRecord();
            return out;
        };
        f->started();
        const QList<QStringList> before = everyRequest();
        QVERIFY(before.size() >= 8);
        MainDb->Execute(insert);
        CustListChanged = DeptListChanged = StaffListChanged = true;
        f->w->Form_Activate();
        QStringList firsts;
        for (QComboBox* list : {f->w->cmbCust, f->w->cmbDept, f->w->cmbEnteredBy, f->w->cmbAssignedTo})
            if (list->itemText(0).startsWith(QLatin1String("Aa")))
                firsts << list->objectName() + '=' + list->itemText(0);
        QTEST(firsts.join(' '), "first");
        QVERIFY(everyRequest() == before && f->browsing());
    }

    // Typing the beginning of a name, in any case, completes it from the
    // list (the typed letters stay as typed), also with a customer added and
    // the list reloaded; the request's customer is then the one completed to.
    void customerCompletion_data()
    {
        QTest::addColumn<QString>("added"); // a customer added before typing: first|last
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("key");
        QTest::newRow("prefix") << "" << "ad" << "adams, Ann" << 1;
        QTest::newRow("upper case, quote") << "" << "O'N" << "O'Neil, Zoë" << 3;
        QTest::newRow("not Latin") << "" << "李" << "李" << 4;
        QTest::newRow("added, first name only") << "Zed|" << "z" << "zed" << 5; // first in the list
        QTest::newRow("added, not Latin") << "Åsa|Ärlig" << "är" << "ärlig, Åsa" << 5;
    }
    void customerCompletion()
    {
        QFETCH(QString, added);
        QFETCH(QString, typed);
        frmMain& w = f->started();
        if (!added.isEmpty()) {
            MainDb->Execute(QStringLiteral("insert into Customers (FirstName, LastName) values ('%1', '%2')").arg(added.split('|')[0], added.split('|')[1]));
            CustListChanged = true;
            w.Form_Activate();
        }
        QVERIFY(test::typeInto(w.cmbCust, typed));
        QTEST(w.cmbCust->lineEdit()->text(), "shown");
        QTEST(int(w.typedCustomer().toLong()), "key");
        QVERIFY(f->editing());
    }
};

CVD_TEST_MAIN(tst_lookuplists)
#include "tst_lookuplists.moc"

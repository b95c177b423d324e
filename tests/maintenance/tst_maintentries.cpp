// What a maintenance window must not do to a record behind the user's back:
// access keys of hidden buttons typing their letter, fields the user did not
// touch written back cut or emptied, Find taking the user's text for a
// pattern; and long names shown from their first character.
#include "base/globals.h"
#include "db/database.h"
#include "maintenance/frmcust.h"
#include "support/maintfixture.h"
#include "support/testmain.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

using namespace cvd;
using namespace cvd::test;
using namespace Qt::StringLiterals;

namespace {

QString customer(int id, const QString& fields)
{
    return fileQuery(u"select quote(%1) from Customers where CustID = %2"_s
                         .arg(QString(fields).replace(u',', u") || ' ' || quote("_s))
                         .arg(id));
}

void altKey(Qt::Key key) { QTest::keyClick(QApplication::focusWidget(), key, Qt::AltModifier); }

// What each entry control shows.
QStringList entriesShown(MaintWindow* m)
{
    QStringList shown;
    for (QWidget* e : m->entryControls())
        shown << e->property(qobject_cast<QComboBox*>(e) ? "currentText" : qobject_cast<QPlainTextEdit*>(e) ? "plainText" : "text").toString();
    return shown;
}

} // namespace

class tst_MaintEntries : public QObject {
    Q_OBJECT
private slots:
    // Cancel and Update are hidden while browsing, the navigation buttons,
    // Find, Delete and OK while editing: their access keys type nothing and
    // pick nothing; Alt+U then saves what was typed.
    void hiddenButtonKeys_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<bool>("editing");
        QTest::addColumn<int>("key");
        QTest::newRow("browsing, Alt+U") << "txtLastName" << false << int(Qt::Key_U);
        QTest::newRow("browsing, address, Alt+C") << "txtAddress" << false << int(Qt::Key_C);
        QTest::newRow("browsing, department list, Alt+Z") << "cmbDept" << false << int(Qt::Key_Z);
        QTest::newRow("editing, Alt+N") << "txtLastName" << true << int(Qt::Key_N);
        QTest::newRow("editing, address, Alt+D") << "txtAddress" << true << int(Qt::Key_D);
    }
    void hiddenButtonKeys()
    {
        QFETCH(QString, box);
        QFETCH(bool, editing);
        QFETCH(int, key);
        MaintFixture f;
        auto* m = qobject_cast<frmCust*>(f.open(2)); // Ann Adams
        QVERIFY(m);
        if (editing)
            m->txtPhone->setText(u"555-0199"_s);
        auto* c = m->findChild<QWidget*>(box);
        QVERIFY(focusInto(c));
        if (!qobject_cast<QComboBox*>(c)) // in a list End picks the last entry
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_End);
        const QString fields = u"FirstName,LastName,Address,City,Phone,DeptID"_s;
        const QString before = customer(1, fields);
        const QStringList shown = entriesShown(m);
        altKey(Qt::Key(key));
        if (auto* line = qobject_cast<QLineEdit*>(QApplication::focusWidget()))
            line->selectAll();
        altKey(Qt::Key(key));
        QCOMPARE(entriesShown(m), shown);
        QCOMPARE(MaintFixture::editing(m), editing);
        QVERIFY(editing || MaintFixture::browsing(m));
        altKey(Qt::Key_U);
        QTRY_VERIFY(MaintFixture::browsing(m));
        QVERIFY2(f.p.messages.isEmpty(), qPrintable(f.messages()));
        QCOMPARE(customer(1, fields), editing ? QString(before).replace(u"'555-0101'"_s, u"'555-0199'"_s) : before);
    }

    // A customer written by another program: a department key that names
    // no department, a last name and an address longer than the boxes take.
    // Saving a change of the phone writes them back as they were.
    void untouchedFieldsKept()
    {
        MaintFixture f;
        const QString last = u"Longer-than-forty-characters-"_s.leftJustified(60, u'z');
        const QString address = u"Far away, "_s.repeated(20);
        MainDb->Execute(u"update Customers set DeptID = 99, LastName = '%1', Address = '%2' where CustID = 1"_s
                            .arg(last, address));
        auto* m = qobject_cast<frmCust*>(f.open(2));
        QVERIFY(m);
        f.p.inputs << u"Longer"_s;
        m->cmdFind->click();
        QCOMPARE(m->txtFirstName->text(), u"Ann"_s);
        QVERIFY(m->cmbDept->currentIndex() < 0);
        MaintFixture::type(m->txtPhone, u"555-0199"_s);
        m->cmdUpdate->click();
        QVERIFY2(f.p.messages.isEmpty(), qPrintable(f.messages()));
        QVERIFY(MaintFixture::browsing(m));
        QCOMPARE(customer(1, u"Phone,DeptID,LastName,Address"_s),
                 u"'555-0199' 99 '%1' '%2'"_s.arg(last, address));
        QCOMPARE(f.p.beeps, 0);
    }

    // Find takes the typed text as it is: #, ? and [ are characters of the
    // name, not patterns; * still stands for any run of characters.
    void findTakesTextAsTyped_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("found"); // the first name shown; empty: not found
        QTest::newRow("#") << u"#1"_s << u"Number"_s;
        QTest::newRow("# is no digit") << u"#"_s << u"Number"_s;
        QTest::newRow("?") << u"?"_s << u"Question"_s;
        QTest::newRow("? is no letter") << u"O?N"_s << QString();
        QTest::newRow("[") << u"[a"_s << u"Bracket"_s;
        QTest::newRow("[a] is no set") << u"[a]"_s << u"Bracket"_s;
        QTest::newRow("[o] finds no O'Neil") << u"[o]"_s << QString();
        QTest::newRow("* still any run") << u"o*l"_s << u"Zoë"_s;
    }
    void findTakesTextAsTyped()
    {
        QFETCH(QString, typed);
        QFETCH(QString, found);
        MaintFixture f;
        MainDb->Execute(u"insert into Customers (FirstName, LastName) values ('Number', '#12 Corp'), "
                        "('Question', '?Marks'), ('Bracket', '[a] Team'), ('Digit', '7 Up')"_s);
        MaintWindow* m = f.open(2);
        f.p.inputs << typed;
        m->cmdFind->click();
        QCOMPARE(f.messages(), found.isEmpty() ? u"That customer was not found."_s : QString());
        if (!found.isEmpty())
            QCOMPARE(MaintFixture::shown(m), found);
    }

    // A long name is shown from its first character, not from its end.
    void longNamesFromTheStart()
    {
        MaintFixture f;
        MainDb->Execute(u"update Customers set LastName = '%1' where CustID = 1"_s.arg(u"Adams-"_s.leftJustified(40, u'x')));
        auto* m = qobject_cast<frmCust*>(f.open(2));
        QVERIFY(m);
        m->cmdNext->click();
        m->cmdPrevious->click();
        QCOMPARE(m->txtLastName->text().size(), 40);
        QCOMPARE(m->txtLastName->cursorPosition(), 0);
    }
};

CVD_TEST_MAIN(tst_MaintEntries)
#include "tst_maintentries.moc"

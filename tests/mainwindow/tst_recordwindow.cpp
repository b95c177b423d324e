// The record window (ui/recordwindow.h) as its users see it, through each
// window that has it: the main window on its newest request ("Cable"), the
// categories window (Hardware, Network, Software) and the customers window
// (Ann Adams first).  Edit, Update and Cancel; Add New, Add Another and
// Cancel; a write refused or a record held at another desk; a record changed
// or deleted at another desk since it was shown; Refresh; and the question
// before the window closes.  Every write checked in the file.
#include "base/errorhandler.h"
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

// One record window, opened as the user opens it.
struct Window {
    MaintFixture f;
    RecordWindow* r = nullptr;
    QWidget* w = nullptr;
    QWidget* entry = nullptr; // the first entry: short description, description, first name
    QString names;            // every record's first entry: its field) from its table

    explicit Window(const QString& kind)
    {
        MaintWindow* m = kind == "request" ? nullptr : f.open(kind == "category" ? 1 : 2);
        r = m ? static_cast<RecordWindow*>(m) : f.w.get();
        w = m ? static_cast<QWidget*>(m) : f.w.get();
        entry = m ? m->entryControls().first() : f.w->txtShortDesc;
        names = kind == "request"    ? u"ShortDesc) from Req"_s
                : kind == "category" ? u"CatDesc) from Categories"_s
                                     : u"FirstName) from Customers"_s;
    }
    QString shown() const { return entry->property("text").toString(); }
    QString state() const { return test::state(*r); }
    QString stored() const { return storedWith(fileQuery("select group_concat(" + names), {}); }
    // What the file holds once `added` is added to `before` (and `was` renamed `now`), sorted.
    QString storedWith(const QString& before, const QStringList& added, const QString& was = {}, const QString& now = {}) const
    {
        QStringList all = before.split(u',') + added;
        if (!was.isEmpty())
            all.replace(all.indexOf(was), now);
        all.sort();
        return all.join(u',');
    }
    // The texts of the named controls, by '/'.
    QString texts(const QStringList& controls) const
    {
        QStringList out;
        for (const QString& name : controls) {
            QWidget* c = w->findChild<QWidget*>(name);
            out << c->property(qobject_cast<QComboBox*>(c) ? "currentText" : "text").toString();
        }
        return out.join(u'/');
    }
};

QString changedMessage(const QString& noun, const QString& storedNow)
{
    return u"This %1 was changed at another desk since you opened it.\n\nStored now:\n%2\n\nYour entries are still on "
           u"screen.  Choose Update to save them over the stored version, or Cancel to show the stored version."_s
        .arg(noun, storedNow);
}

} // namespace

class tst_recordwindow : public QObject {
    Q_OBJECT
private slots:
    // A change starts an edit; Cancel shows the record as stored, Update
    // stores it and shows it where the window stands after a save: the
    // request found again (the newest, Previous beeps), the category in its
    // sorted place.
    void editUpdateCancel_data()
    {
        columns<QString, QString>("kind", "previous");
        QTest::newRow("request") << "request" << "Wiring";
        QTest::newRow("category") << "category" << "Software";
    }
    void editUpdateCancel()
    {
        QFETCH(QString, kind);
        Window x(kind);
        const QString was = x.shown(), before = x.stored();
        MaintFixture::type(x.entry, u"Typed"_s);
        QCOMPARE(x.state(), u"editing"_s);
        x.r->cmdCancel->click();
        QCOMPARE(x.state() + ' ' + x.shown() + ' ' + x.stored(), "browsing " + was + ' ' + before);
        MaintFixture::type(x.entry, u"Wiring"_s);
        x.r->cmdUpdate->click();
        QCOMPARE(x.state() + ' ' + x.shown(), u"browsing Wiring"_s);
        QCOMPARE(x.stored(), x.storedWith(before, {}, was, u"Wiring"_s));
        x.r->cmdPrevious->click();
        QTEST(x.shown(), "previous");
        QCOMPARE(x.f.messages(), QString());
    }

    // Add New starts from empty entries with the focus in the first; Add
    // Another writes the record and starts the next one.  Cancel drops the
    // record being typed and shows the one shown before (the last).  (Add
    // New and Update: failedWriteKept, tst_requests, tst_maintwindows.)
    void addAnotherThenCancel_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("request") << "request";
        QTest::newRow("category") << "category";
    }
    void addAnotherThenCancel()
    {
        QFETCH(QString, kind);
        Window x(kind);
        x.r->cmdLast->click();
        const QString last = x.shown(), before = x.stored();
        x.r->cmdAddNew->click();
        QVERIFY(x.state() == "adding" && x.shown().isEmpty());
        QTRY_VERIFY(focusIsIn(x.entry));
        for (const QString& typed : {u"Backup"_s, u"Email"_s}) {
            MaintFixture::type(x.entry, typed);
            x.r->cmdAddNew->click();
            QVERIFY(x.state() == "adding" && x.shown().isEmpty());
        }
        MaintFixture::type(x.entry, u"Dropped"_s);
        x.r->cmdCancel->click();
        QCOMPARE(x.state() + ' ' + x.shown(), "browsing " + last);
        QCOMPARE(x.stored(), x.storedWith(before, {u"Backup"_s, u"Email"_s}));
        QCOMPARE(x.f.messages(), QString());
    }

    // A write that fails keeps what was typed on screen, still being edited
    // or added, and writes nothing: a record another desk holds throughout
    // (No to trying again), or a write the file refuses.  The next Update
    // stores it once.
    void failedWriteKept_data()
    {
        columns<QString, bool, int, QString>("kind", "adding", "error", "told");
        const QString locked = u"Could not update locked record.  Do you wish to try again?"_s;
        QTest::newRow("request edited, held") << "request" << false << int(ErrNo::RecordLockedByUser) << locked;
        QTest::newRow("request added, refused") << "request" << true << int(ErrNo::SqlError) << u"3001  "_s;
        QTest::newRow("category added, held") << "category" << true << int(ErrNo::RecordLockedByUser) << locked;
        QTest::newRow("category edited, refused") << "category" << false << int(ErrNo::SqlError) << u"3001  "_s;
    }
    void failedWriteKept()
    {
        QFETCH(QString, kind);
        QFETCH(bool, adding);
        QFETCH(int, error);
        QFETCH(QString, told);
        Window x(kind);
        const QString was = x.shown(), before = x.stored();
        if (adding)
            x.r->cmdAddNew->click();
        MaintFixture::type(x.entry, u"Typed"_s);
        if (error == ErrNo::RecordLockedByUser)
            x.f.p.answers << Answer::No;
        test::failNextWrites(*MainDb, 1000, error);
        x.r->cmdUpdate->click();
        test::failNextWrites(*MainDb, 0, 0);
        QVERIFY2(x.f.p.messages.size() == 1 && x.f.messages().startsWith(told), qPrintable(x.f.messages()));
        QCOMPARE(x.state() + ' ' + x.shown(), QString(adding ? "adding" : "editing") + " Typed");
        QCOMPARE(x.stored(), before);
        x.f.p.messages.clear();
        x.r->cmdUpdate->click();
        QCOMPARE(x.state() + ' ' + x.shown(), u"browsing Typed"_s);
        QCOMPARE(x.stored(), adding ? x.storedWith(before, {u"Typed"_s}) : x.storedWith(before, {}, was, u"Typed"_s));
        QCOMPARE(x.f.messages(), QString());
    }

    // Update of a record another desk changed since it was shown: what is
    // stored now where it differs from the screen, nothing written, the
    // typed entries kept.  A second Update writes them over the stored
    // version (fields left as shown keep what the other desk stored);
    // Cancel shows the stored version.  One deleted meanwhile: said so.
    void changedElsewhere_data()
    {
        // stored: request 8, Ann Adams, Hardware
        columns<QString, QString, QString, int, QString, bool, QStringList, QString, QString>(
            "kind", "box", "otherDesk", "error", "told", "saveAgain", "controls", "shown", "stored");
        const QString req = u"update Req set ShortDesc = 'Cable replaced', HoursTot = 3.5 where ReqID = 8"_s;
        const QString reqTold = changedMessage(u"request"_s, u"    Short Description: Cable replaced\n    Hours: 3.5\n"
                                                             u"    Miscellaneous: (empty)"_s);
        const QStringList reqBoxes{"txtShortDesc", "txtHoursTot", "txtMisc1"};
        QTest::newRow("request, Update again") << "request" << "txtMisc1" << req << int(ErrNo::ChangedElsewhere) << reqTold
                                               << true << reqBoxes << "Cable replaced/3.5/mine" << "Cable replaced/3.5/mine";
        QTest::newRow("request, Cancel") << "request" << "txtMisc1" << req << int(ErrNo::ChangedElsewhere) << reqTold
                                         << false << reqBoxes << "Cable replaced/3.5/" << "Cable replaced/3.5/";
        QTest::newRow("customer, Update again") << "customer" << "txtPhone"
            << u"update Customers set City = 'Shelbyville', DeptID = 3 where CustID = 1"_s << int(ErrNo::ChangedElsewhere)
            << changedMessage(u"customer"_s, u"    City: Shelbyville\n    Phone: 555-0101\n    Department/Company: Zeta Corp"_s)
            << true << QStringList{"txtCity", "txtPhone", "cmbDept"} << "Shelbyville/mine/Zeta Corp" << "Shelbyville/mine/3";
        QTest::newRow("category deleted") << "category" << "txtDesc" << QString() << int(ErrNo::RecordDeleted)
            << u"This category was deleted at another desk since you opened it.\n\nNothing was saved.  Your entries are "
               u"still on screen; Cancel goes on to the next record."_s
            << false << QStringList{"txtDesc"} << "Hardware" << "Hardware";
    }
    void changedElsewhere()
    {
        QFETCH(QString, kind);
        QFETCH(QString, box);
        QFETCH(QString, otherDesk);
        QFETCH(int, error);
        QFETCH(bool, saveAgain);
        QFETCH(QStringList, controls);
        Window x(kind);
        MaintFixture::type(x.w->findChild<QWidget*>(box), u"mine"_s);
        const QString typed = x.texts(controls);
        if (!otherDesk.isEmpty())
            MainDb->Execute(otherDesk);
        test::failNextWrites(*MainDb, 1, error);
        x.r->cmdUpdate->click();
        QTEST(x.f.messages(), "told");
        QCOMPARE(x.state() + ' ' + x.texts(controls), "editing " + typed);
        x.f.p.messages.clear();
        (saveAgain ? x.r->cmdUpdate : x.r->cmdCancel)->click();
        QCOMPARE(x.state() + ' ' + x.f.messages(), u"browsing "_s);
        QTEST(x.texts(controls), "shown");
        const QString stored = kind == "request"    ? u"ShortDesc || '/' || HoursTot || '/' || ifnull(Misc1, '') from Req where ReqID = 8"_s
                               : kind == "customer" ? u"City || '/' || Phone || '/' || DeptID from Customers where CustID = 1"_s
                                                    : u"CatDesc from Categories where CatID = 2"_s;
        QTEST(fileQuery("select " + stored), "stored");
    }

    // Refresh (File > Refresh, F5) reads the records again: another desk's
    // new record is listed and the shown one shows what is stored now.
    // While a record is edited or added, Refresh and closing the window (or
    // the main window, which closes the others) ask whether to save it: Yes
    // saves, No drops it, Cancel keeps the window and the record.  A new
    // category with nothing typed into it is dropped unasked.
    void asksBeforeLeaving_data()
    {
        // how: F5, close, close main; answer -1: not asked
        columns<QString, QString, bool, QString, int>("kind", "how", "adding", "typed", "answer");
        const int yes = int(Answer::Yes), no = int(Answer::No), cancel = int(Answer::Cancel);
        QTest::newRow("request, Refresh") << "request" << "F5" << false << "" << -1;
        QTest::newRow("request, Refresh, Cancel") << "request" << "F5" << false << "Typed" << cancel;
        QTest::newRow("request, Refresh, No") << "request" << "F5" << false << "Typed" << no;
        QTest::newRow("category, Refresh") << "category" << "F5" << false << "" << -1;
        QTest::newRow("category, Refresh, Yes") << "category" << "F5" << false << "Typed" << yes;
        QTest::newRow("request edited, Yes") << "request" << "close main" << false << "Typed" << yes;
        QTest::newRow("request edited, Cancel") << "request" << "close main" << false << "Typed" << cancel;
        QTest::newRow("request added, Yes") << "request" << "close main" << true << "Typed" << yes;
        QTest::newRow("request added, nothing typed, No") << "request" << "close main" << true << "" << no;
        QTest::newRow("category edited, Cancel") << "category" << "close" << false << "Typed" << cancel;
        QTest::newRow("category added, No") << "category" << "close" << true << "Typed" << no;
        QTest::newRow("category added, nothing typed") << "category" << "close" << true << "" << -1;
        QTest::newRow("category edited, main window closed, Yes") << "category" << "close main" << false << "Typed" << yes;
        QTest::newRow("category edited, main window closed, Cancel") << "category" << "close main" << false << "Typed" << cancel;
    }
    void asksBeforeLeaving()
    {
        QFETCH(QString, kind);
        QFETCH(QString, how);
        QFETCH(bool, adding);
        QFETCH(QString, typed);
        QFETCH(int, answer);
        Window x(kind);
        const QString was = x.shown(), before = x.stored();
        const bool request = kind == "request", refresh = how == "F5", yes = answer == int(Answer::Yes);
        if (adding)
            x.r->cmdAddNew->click();
        if (!typed.isEmpty())
            MaintFixture::type(x.entry, typed);
        if (answer >= 0)
            x.f.p.answers << Answer(answer);
        const QString added = request ? u"Newest"_s : u"Accounts"_s;
        bool closed = answer != int(Answer::Cancel);
        if (refresh) {
            MainDb->Execute(request ? u"insert into Req (ReqDate, ShortDesc) values ('2002-01-01', 'Newest')"_s
                                    : u"insert into Categories (CatDesc) values ('Accounts')"_s);
            if (typed.isEmpty())
                MainDb->Execute(request ? u"update Req set ShortDesc = 'Changed' where ReqID = 8"_s
                                        : u"update Categories set CatDesc = 'Changed' where CatID = 2"_s);
            typed = typed.isEmpty() ? u"Changed"_s : typed;
            QTest::keyClick(x.w, Qt::Key_F5);
        } else {
            QCOMPARE(how == "close main" ? x.f.w->close() : x.w->close(), closed);
        }
        QCOMPARE(x.f.messages(), answer < 0 ? QString() : "Save the changes to this " + (request ? kind : u"record"_s) + '?');
        QVERIFY(answer < 0 || x.f.p.messages[0].buttons() == Mb::YesNoCancel);
        QCOMPARE(x.f.p.ended, how == "close main" && closed);
        const bool renamed = !adding && (yes || (refresh && answer < 0));
        QStringList more{refresh ? added : typed};
        more = refresh || (adding && yes) ? more : QStringList();
        QCOMPARE(x.stored(), x.storedWith(before, more, renamed ? was : QString(), typed));
        if (!closed)
            QCOMPARE(x.state() + ' ' + x.shown(), QString(adding ? "adding " : "editing ") + typed);
        else if (refresh) {
            QCOMPARE(x.state() + ' ' + x.shown(), "browsing " + (renamed ? typed : was));
            x.r->cmdFirst->click();
            QCOMPARE(x.shown(), added);
        }
    }
};

CVD_TEST_MAIN(tst_recordwindow)
#include "tst_recordwindow.moc"

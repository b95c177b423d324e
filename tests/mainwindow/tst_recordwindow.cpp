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
    QString names;            // the query of every record's first entry

    explicit Window(const QString& kind)
    {
        if (kind == "request") {
            r = f.w.get();
            w = f.w.get();
            entry = f.w->txtShortDesc;
            names = u"select group_concat(ShortDesc, ',') from Req"_s;
            return;
        }
        MaintWindow* m = f.open(kind == "category" ? 1 : 2);
        r = m;
        w = m;
        entry = m->entryControls().first();
        names = kind == "category"
                    ? u"select group_concat(CatDesc, ',') from Categories"_s
                    : u"select group_concat(FirstName, ',') from Customers"_s;
    }
    QString shown() const { return entry->property("text").toString(); }
    QString state() const { return test::state(*r); }
    QString stored() const
    {
        QStringList all = fileQuery(names).split(u',');
        all.sort();
        return all.join(u',');
    }
    // What the file holds once `added` is added to `before` (and `was` renamed `now`).
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

void kinds(const char* name = nullptr)
{
    QTest::addColumn<QString>("kind");
    if (name)
        for (const char* kind : {"request", "category"})
            QTest::newRow((QByteArray(kind) + ", " + name).constData()) << QString::fromLatin1(kind);
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
        kinds();
        QTest::addColumn<QString>("previous");
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
    // Another writes the record and starts the next one, and a write the
    // file refuses keeps the typed record, still adding.  Cancel drops the
    // record being typed and shows the one shown before (the last); Update
    // shows the new record.
    void addAnotherThenCancel_data() { kinds("added"); }
    void addAnotherThenCancel()
    {
        QFETCH(QString, kind);
        Window x(kind);
        x.r->cmdLast->click();
        const QString last = x.shown(), before = x.stored();
        x.r->cmdAddNew->click();
        QVERIFY(x.state() == "adding" && x.shown().isEmpty());
        QTRY_VERIFY(focusIsIn(x.entry));
        MaintFixture::type(x.entry, u"Backup"_s);
        test::failNextWrites(*MainDb, 1, ErrNo::SqlError);
        x.r->cmdAddNew->click();
        QVERIFY2(x.f.p.messages.size() == 1 && x.f.messages().startsWith(u"3001  "_s), qPrintable(x.f.messages()));
        QCOMPARE(x.state() + ' ' + x.shown() + ' ' + x.stored(), "adding Backup " + before);
        x.f.p.messages.clear();
        for (const QString& typed : {u"Backup"_s, u"Email"_s}) {
            MaintFixture::type(x.entry, typed);
            x.r->cmdAddNew->click();
            QVERIFY(x.state() == "adding" && x.shown().isEmpty());
        }
        MaintFixture::type(x.entry, u"Dropped"_s);
        x.r->cmdCancel->click();
        QCOMPARE(x.state() + ' ' + x.shown(), "browsing " + last);
        QCOMPARE(x.stored(), x.storedWith(before, {u"Backup"_s, u"Email"_s}));
        x.r->cmdAddNew->click();
        MaintFixture::type(x.entry, u"Monitors"_s);
        x.r->cmdUpdate->click();
        QCOMPARE(x.state() + ' ' + x.shown(), u"browsing Monitors"_s);
        QCOMPARE(x.stored(), x.storedWith(before, {u"Backup"_s, u"Email"_s, u"Monitors"_s}));
        QCOMPARE(x.f.messages(), QString());
    }

    // A write that fails keeps what was typed on screen, still being edited
    // or added, and writes nothing: a record another desk holds throughout
    // (No to trying again), or a write the file refuses.  The next Update
    // stores it once.
    void failedWriteKept_data()
    {
        kinds();
        QTest::addColumn<bool>("adding");
        QTest::addColumn<int>("error");
        QTest::addColumn<QString>("told");
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
        QFETCH(QString, told);
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
        kinds();
        textColumns({"box", "otherDesk"});
        QTest::addColumn<int>("error");
        QTest::addColumn<QString>("told");
        QTest::addColumn<bool>("saveAgain");
        QTest::addColumn<QStringList>("controls");
        // stored: request 8, Ann Adams, Hardware
        textColumns({"shown", "stored"});
        const QString req = u"update Req set ShortDesc = 'Cable replaced', HoursTot = 3.5 where ReqID = 8"_s;
        const QString reqTold = changedMessage(u"request"_s, u"    Short Description: Cable replaced\n    Hours: 3.5\n"
                                                             u"    Miscellaneous: (empty)"_s);
        const QStringList reqBoxes{"txtShortDesc", "txtHoursTot", "txtMisc1"};
        QTest::newRow("request, Update again") << "request" << "txtMisc1" << req << int(ErrNo::ChangedElsewhere) << reqTold
                                               << true << reqBoxes << "Cable replaced/3.5/mine" << "Cable replaced/3.5/mine";
        QTest::newRow("request, Cancel") << "request" << "txtMisc1" << req << int(ErrNo::ChangedElsewhere) << reqTold
                                         << false << reqBoxes << "Cable replaced/3.5/" << "Cable replaced/3.5/";
        const QString cust = u"update Customers set City = 'Shelbyville', DeptID = 3 where CustID = 1"_s;
        const QString custTold = changedMessage(u"customer"_s, u"    City: Shelbyville\n    Phone: 555-0101\n"
                                                               u"    Department/Company: Zeta Corp"_s);
        const QStringList custBoxes{"txtCity", "txtPhone", "cmbDept"};
        QTest::newRow("customer, Update again") << "customer" << "txtPhone" << cust << int(ErrNo::ChangedElsewhere)
                                                << custTold << true << custBoxes << "Shelbyville/mine/Zeta Corp"
                                                << "Shelbyville/mine/3";
        QTest::newRow("customer, Cancel") << "customer" << "txtPhone" << cust << int(ErrNo::ChangedElsewhere) << custTold
                                          << false << custBoxes << "Shelbyville/555-0101/Zeta Corp" << "Shelbyville/555-0101/3";
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
        QWidget* typedInto = x.w->findChild<QWidget*>(box);
        MaintFixture::type(typedInto, u"mine"_s);
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
    // While a record is edited it asks first, as closing does: Cancel keeps
    // the edit, No drops it, Yes saves it.
    void refresh_data()
    {
        kinds();
        QTest::addColumn<int>("answer"); // -1: browsing, nothing asked
        QTest::addColumn<QString>("shown");
        QTest::newRow("request") << "request" << -1 << "Changed";
        QTest::newRow("request, Cancel") << "request" << int(Answer::Cancel) << "Typed";
        QTest::newRow("request, No") << "request" << int(Answer::No) << "Cable";
        QTest::newRow("request, Yes") << "request" << int(Answer::Yes) << "Typed";
        QTest::newRow("category") << "category" << -1 << "Changed";
        QTest::newRow("category, No") << "category" << int(Answer::No) << "Hardware";
        QTest::newRow("category, Yes") << "category" << int(Answer::Yes) << "Typed";
    }
    void refresh()
    {
        QFETCH(QString, kind);
        QFETCH(int, answer);
        QFETCH(QString, shown);
        Window x(kind);
        const QString was = x.shown(), before = x.stored();
        const bool request = kind == "request";
        const QString added = request ? u"Newest"_s : u"Accounts"_s;
        MainDb->Execute(request ? u"insert into Req (ReqDate, ShortDesc) values ('2002-01-01', 'Newest')"_s
                                : u"insert into Categories (CatDesc) values ('Accounts')"_s);
        if (answer < 0) {
            MainDb->Execute(request ? u"update Req set ShortDesc = 'Changed' where ReqID = 8"_s
                                    : u"update Categories set CatDesc = 'Changed' where CatID = 2"_s);
        } else {
            MaintFixture::type(x.entry, u"Typed"_s);
            x.f.p.answers << Answer(answer);
        }
        QTest::keyClick(x.w, Qt::Key_F5);
        QCOMPARE(x.f.messages(), answer < 0 ? QString() : "Save the changes to this " + (request ? kind : u"record"_s) + '?');
        QCOMPARE(x.state() + ' ' + x.shown(), QString(answer == int(Answer::Cancel) ? "editing " : "browsing ") + shown);
        const bool renamed = answer < 0 || answer == int(Answer::Yes);
        QCOMPARE(x.stored(), x.storedWith(before, {added}, renamed ? was : QString(), shown));
        if (answer == int(Answer::Cancel))
            return;
        x.r->cmdFirst->click();
        QCOMPARE(x.shown(), added);
    }

    // Closing the window (or the main window, which closes the others)
    // while a record is edited or added asks whether to save it: Yes saves
    // and closes, No drops it and closes, Cancel keeps the window and the
    // record.  A new category with nothing typed into it is dropped unasked.
    void closeAsks_data()
    {
        kinds();
        QTest::addColumn<bool>("closeMain");
        QTest::addColumn<bool>("adding");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("answer"); // -1: not asked
        const int yes = int(Answer::Yes), no = int(Answer::No), cancel = int(Answer::Cancel);
        QTest::newRow("request edited, Yes") << "request" << true << false << "Typed" << yes;
        QTest::newRow("request edited, No") << "request" << true << false << "Typed" << no;
        QTest::newRow("request edited, Cancel") << "request" << true << false << "Typed" << cancel;
        QTest::newRow("request added, Yes") << "request" << true << true << "Typed" << yes;
        QTest::newRow("request added, nothing typed, No") << "request" << true << true << "" << no;
        QTest::newRow("category edited, Yes") << "category" << false << false << "Typed" << yes;
        QTest::newRow("category edited, Cancel") << "category" << false << false << "Typed" << cancel;
        QTest::newRow("category added, No") << "category" << false << true << "Typed" << no;
        QTest::newRow("category added, nothing typed") << "category" << false << true << "" << -1;
        QTest::newRow("category edited, main window closed, Yes") << "category" << true << false << "Typed" << yes;
        QTest::newRow("category edited, main window closed, Cancel") << "category" << true << false << "Typed" << cancel;
    }
    void closeAsks()
    {
        QFETCH(QString, kind);
        QFETCH(bool, closeMain);
        QFETCH(bool, adding);
        QFETCH(QString, typed);
        QFETCH(int, answer);
        Window x(kind);
        const QString was = x.shown(), before = x.stored();
        if (adding)
            x.r->cmdAddNew->click();
        if (!typed.isEmpty())
            MaintFixture::type(x.entry, typed);
        if (answer >= 0)
            x.f.p.answers << Answer(answer);
        const bool closed = closeMain ? x.f.w->close() : x.w->close();
        const QString noun = kind == "request" ? kind : u"record"_s;
        QCOMPARE(x.f.messages(), answer < 0 ? QString() : "Save the changes to this " + noun + '?');
        QVERIFY(answer < 0 || x.f.p.messages[0].buttons() == Mb::YesNoCancel);
        QCOMPARE(closed, answer != int(Answer::Cancel));
        QCOMPARE(x.f.p.ended, closeMain && closed);
        const QString saved = adding ? x.storedWith(before, {typed}) : x.storedWith(before, {}, was, typed);
        QCOMPARE(x.stored(), answer == int(Answer::Yes) ? saved : before);
        if (!closed)
            QCOMPARE(x.state() + ' ' + x.shown(), QString(adding ? "adding " : "editing ") + typed);
    }
};

CVD_TEST_MAIN(tst_recordwindow)
#include "tst_recordwindow.moc"

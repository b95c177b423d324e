// Other desks on the main window: a request another desk holds (the lock
// loop's waits and its question), one changed or deleted at another desk
// since it was shown, File > Refresh, and the look-up lists following
// changes made elsewhere.  What another desk does is written straight into
// the file, and the engine made to answer as a server would.
#include "base/errorhandler.h"
#include "base/globals.h"
#include "db/database.h"
#include "support/mainwindowfixture.h"
#include "support/testmain.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QtTest>

using namespace cvd;
using namespace cvd::test;
using namespace Qt::StringLiterals;

class tst_otherdesks : public QObject {
    Q_OBJECT
    std::unique_ptr<MainWindowFixture> f;

private slots:
    void init() { f = std::make_unique<MainWindowFixture>(); }
    void cleanup() { f.reset(); }

    // A request another desk holds: every failed try waits a moment, the
    // 100th asks.  No gives that write up: the typed request stays on
    // screen, still being edited or added, nothing is written, and the next
    // Update saves it.  Yes tries again; a lock that clears saves silently.
    void lockedRequest_data()
    {
        QTest::addColumn<bool>("adding");
        QTest::addColumn<int>("failures");
        QTest::addColumn<QList<int>>("answers"); // 6 Yes, 7 No
        QTest::addColumn<int>("pauses");
        QTest::newRow("edit held throughout, No") << false << 1000 << QList<int>{7} << 99;
        QTest::newRow("new request held throughout, No") << true << 1000 << QList<int>{7} << 99;
        QTest::newRow("edit held for 150 tries, Yes") << false << 150 << QList<int>{6} << 150;
        QTest::newRow("edit freed after 3 tries") << false << 3 << QList<int>{} << 3;
    }
    void lockedRequest()
    {
        QFETCH(bool, adding);
        QFETCH(int, failures);
        QFETCH(QList<int>, answers);
        QFETCH(int, pauses);
        frmMain& w = f->started(); // request 8, "Cable"
        if (adding)
            w.cmdAddNew->click();
        QVERIFY(typeInto(w.txtShortDesc, u"Typed"_s));
        QVERIFY(typeInto(w.txtHoursTot, u"2"_s));
        for (int a : answers)
            f->p.answers << Answer(a);
        MainDb->failNextWrites(failures, ErrNo::RecordLockedByUser);
        w.cmdUpdate->click();
        MainDb->failNextWrites(0, 0);
        QCOMPARE(f->p.messageTexts(), QStringList(answers.size(), u"Could not update locked record.  Do you wish to try again?"_s));
        QCOMPARE(f->p.pauses, QList<int>(pauses, LockRetryPauseMs));
        const QString newest = u"select ShortDesc from Req order by ReqID desc"_s;
        if (answers != QList<int>{7}) {
            QVERIFY(f->browsing() && !f->p.ended);
            QCOMPARE(fileQuery(newest), u"Typed"_s);
            return;
        }
        QVERIFY(adding ? f->adding() : f->editing());
        QCOMPARE(w.txtShortDesc->text() + '/' + w.txtHoursTot->text(), u"Typed/2"_s);
        QCOMPARE(fileQuery(newest) + ' ' + QString::number(requestCount()), u"Cable 8"_s);
        f->p.messages.clear();
        QVERIFY(f->saved());
        QCOMPARE(fileQuery(newest) + ' ' + QString::number(requestCount()), adding ? u"Typed 9"_s : u"Typed 8"_s);
    }

    // Update of a request another desk changed since it was shown: the
    // user is told what is stored now where it differs from the screen, and
    // nothing is written; the typed entries stay.  A second Update writes
    // them over the stored version (fields left as shown keep what the
    // other desk stored); Cancel shows the stored version.
    void changedElsewhere_data()
    {
        QTest::addColumn<bool>("saveAgain");
        QTest::addColumn<QString>("shownAfter"); // short description, hours, note
        QTest::addColumn<QString>("storedAfter");
        QTest::newRow("Update again") << true << "Cable replaced/3.5/mine" << "text:Cable replaced/real:3.5/text:mine";
        QTest::newRow("Cancel") << false << "Cable replaced/3.5/" << "text:Cable replaced/real:3.5/null:";
    }
    void changedElsewhere()
    {
        QFETCH(bool, saveAgain);
        frmMain& w = f->started(); // request 8: "Cable", 1 hour, no note
        QVERIFY(typeInto(w.txtMisc1, u"mine"_s));
        MainDb->Execute(u"update Req set ShortDesc = 'Cable replaced', HoursTot = 3.5 where ReqID = 8"_s);
        MainDb->failNextWrites(1, ErrNo::ChangedElsewhere);
        w.cmdUpdate->click();
        QCOMPARE(f->messages(), u"This request was changed at another desk since you opened it.\n\nStored now:\n"
                                u"    Short Description: Cable replaced\n    Hours: 3.5\n    Miscellaneous: (empty)\n\n"
                                u"Your entries are still on screen.  Choose Update to save them over the stored "
                                u"version, or Cancel to show the stored version."_s);
        QVERIFY(f->editing());
        QCOMPARE(w.txtShortDesc->text() + '/' + w.txtMisc1->text(), u"Cable/mine"_s);
        QCOMPARE(stored(8, u"Misc1"_s), u"null:"_s);
        f->p.messages.clear();
        if (saveAgain)
            QVERIFY(f->saved());
        else
            w.cmdCancel->click();
        QVERIFY(f->browsing() && f->p.messages.isEmpty());
        QTEST(w.txtShortDesc->text() + '/' + w.txtHoursTot->text() + '/' + w.txtMisc1->text(), "shownAfter");
        QTEST(QStringList({stored(8, u"ShortDesc"_s), stored(8, u"HoursTot"_s), stored(8, u"Misc1"_s)}).join('/'),
              "storedAfter");
    }

    // Deleting a request another desk deleted first: it is gone all the
    // same, without a message; the window moves on as after its own delete.
    void deletedElsewhere_data()
    {
        QTest::addColumn<int>("reqId");
        QTest::addColumn<QString>("shownAfter");
        QTest::newRow("newest") << 8 << "7";
        QTest::newRow("oldest") << 1 << "2";
    }
    void deletedElsewhere()
    {
        QFETCH(int, reqId);
        frmMain& w = f->at(reqId);
        MainDb->Execute(u"delete from Req where ReqID = %1"_s.arg(reqId));
        MainDb->failNextWrites(1, ErrNo::RecordDeleted);
        w.cmdDelete->click();
        QCOMPARE(f->p.messageTexts(), QStringList{u"Are you sure that you want to delete this request?"_s});
        QTEST(w.txtReqID->text(), "shownAfter");
        QVERIFY(f->browsing());
        QStringList rest{"8", "7", "6", "5", "4", "3", "2", "1"};
        rest.removeOne(QString::number(reqId));
        QCOMPARE(f->walk(), rest);
        QCOMPARE(f->p.messages.size(), 1);
    }

    // File > Refresh (F5) reads the requests and the lists again and stays
    // on the shown request, showing what is stored now.
    void refresh()
    {
        frmMain& w = f->at(7);
        QCOMPARE(w.mnuRefresh->text() + ' ' + w.mnuRefresh->shortcut().toString(), u"&Refresh F5"_s);
        QVERIFY(w.mnuFile->actions().contains(w.mnuRefresh));
        MainDb->Execute(u"insert into Req (ReqDate, ShortDesc) values ('2002-01-01', 'Newest')"_s);
        MainDb->Execute(u"update Req set ShortDesc = 'Changed' where ReqID = 7"_s);
        MainDb->Execute(u"insert into Categories (CatDesc) values ('Accounts')"_s);
        QTest::keyClick(&w, Qt::Key_F5);
        QCOMPARE(w.txtReqID->text() + ' ' + w.txtShortDesc->text(), u"7 Changed"_s);
        QCOMPARE(w.cmbCat->itemText(0) + ' ' + w.cmbCat->currentText(), u"Accounts Hardware"_s);
        QVERIFY(f->browsing() && f->p.messages.isEmpty());
        QCOMPARE(f->walk().first(), u"9"_s);
    }

    // Refresh while a request is being edited asks first, as closing does:
    // Cancel keeps the edit, No drops it, Yes saves it.
    void refreshWhileEditing_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("storedAfter");
        QTest::newRow("Cancel") << int(Answer::Cancel) << "Typed" << "text:Cable";
        QTest::newRow("No") << int(Answer::No) << "Cable" << "text:Cable";
        QTest::newRow("Yes") << int(Answer::Yes) << "Typed" << "text:Typed";
    }
    void refreshWhileEditing()
    {
        QFETCH(int, answer);
        frmMain& w = f->started();
        QVERIFY(typeInto(w.txtShortDesc, u"Typed"_s));
        f->p.answers << Answer(answer);
        w.mnuRefresh->trigger();
        QCOMPARE(f->p.messageTexts(), QStringList{u"Save the changes to this request?"_s});
        QTEST(w.txtShortDesc->text(), "shown");
        QCOMPARE(f->editing(), answer == int(Answer::Cancel));
        QCOMPARE(f->browsing(), answer != int(Answer::Cancel));
        QTEST(stored(8, u"ShortDesc"_s), "storedAfter");
    }

    // A list whose table changed since it was read, at another desk or in
    // another window, is read again on activation without its flag; the
    // shown request keeps its selection.
    void listsFollowOtherDesks()
    {
        frmMain& w = f->started();
        auto rs = MainDb->OpenRecordset(u"Categories"_s);
        rs->AddNew();
        rs->SetField(u"CatDesc"_s, Value(u"Accounts"_s));
        rs->Update();
        QVERIFY(!CatListChanged);
        w.Form_Activate();
        QCOMPARE(w.cmbCat->itemText(0) + ' ' + w.cmbCat->currentText(), u"Accounts Network"_s);
    }
};

CVD_TEST_MAIN(tst_otherdesks)
#include "tst_otherdesks.moc"

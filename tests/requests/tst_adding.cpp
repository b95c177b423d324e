// Adding requests one after the other, deleting the shown one, and the
// hand-over of a find selection, on the main window; every write checked
// in the file.
#include "core/database.h"
#include "core/formats.h"
#include "core/frmmain.h"
#include "core/globals.h"
#include "core/startup.h"
#include "dates/datefield.h"
#include "support/fixturedb.h"
#include "support/scriptedplatform.h"
#include "support/testfiles.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <sqlite3.h>

using namespace cvd;

namespace {

// The first column of the first row of a query on the open file, as text.
QString fileQuery(const QString& sql)
{
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(MainDb->handle(), sql.toUtf8().constData(), -1, &st, nullptr) != SQLITE_OK)
        return QStringLiteral("(bad query)");
    QString out = QStringLiteral("(no row)");
    if (sqlite3_step(st) == SQLITE_ROW)
        out = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
    sqlite3_finalize(st);
    return out;
}

int requestCount() { return fileQuery(QStringLiteral("select count(*) from Req")).toInt(); }

// Short descriptions of the file's requests, by key.
QStringList storedShortDescs()
{
    QStringList out;
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(MainDb->handle(), "select ReqID, ShortDesc from Req order by ReqID", -1, &st, nullptr);
    while (sqlite3_step(st) == SQLITE_ROW)
        out << QString::number(sqlite3_column_int(st, 0)) + ' '
                   + QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 1)));
    sqlite3_finalize(st);
    return out;
}

} // namespace

class tst_adding : public QObject {
    Q_OBJECT
    QTemporaryDir* m_dir = nullptr;
    test::ScriptedPlatform* m_p = nullptr;
    frmMain* m_w = nullptr;

    frmMain& started()
    {
        frmMain& w = *m_w;
        startUp(w, QStringLiteral("-d ") + m_dir->path());
        w.show();
        w.activateWindow();
        if (!QTest::qWaitForWindowActive(&w))
            qWarning("the main window did not become active");
        return w;
    }
    QString dbPath() const { return m_dir->filePath(QStringLiteral("cvd.mdb")); }

    // The keys of the set from its first record on, as the user steps.
    QStringList walk()
    {
        frmMain& w = *m_w;
        w.cmdFirst->click();
        QStringList ids{w.txtReqID->text()};
        const int beeps = m_p->beeps;
        for (int i = 0; i < 20; ++i) {
            w.cmdNext->click();
            if (m_p->beeps > beeps)
                break;
            ids << w.txtReqID->text();
        }
        return ids;
    }
    bool browsing() const
    {
        const frmMain& w = *m_w;
        return !w.Editing && !w.Adding && w.cmdCancel->isHidden() && w.cmdUpdate->isHidden()
               && !w.cmdAddNew->isHidden() && !w.cmdDelete->isHidden() && !w.cmdNext->isHidden()
               && w.cmdAddNew->text() == QStringLiteral("&Add New") && w.mnuExit->isEnabled();
    }
    bool adding() const
    {
        const frmMain& w = *m_w;
        return w.Adding && !w.cmdCancel->isHidden() && !w.cmdUpdate->isHidden() && !w.cmdAddNew->isHidden()
               && w.cmdDelete->isHidden() && w.cmdNext->isHidden() && w.cmdFind->isHidden()
               && w.cmdAddNew->text() == QStringLiteral("&Add Another") && !w.mnuExit->isEnabled()
               && !w.mnuMaint[2]->isEnabled();
    }
    bool allEntriesEnabled(bool enabled) const
    {
        for (QWidget* c : m_w->entryControls())
            if (c->isEnabled() != enabled)
                return false;
        return true;
    }
    QString messages() const { return m_p->messageTexts().join(QLatin1Char('\n')); }

private slots:
    void initTestCase() { fmt::setLocale(QLocale(QLocale::English, QLocale::UnitedStates)); }
    void init()
    {
        resetProgramValues();
        m_dir = new QTemporaryDir;
        test::createFixtureDb(m_dir->path());
        m_p = new test::ScriptedPlatform;
        m_w = new frmMain;
    }
    void cleanup()
    {
        delete m_w;
        resetProgramValues();
        delete m_p;
        delete m_dir;
    }

    // Add New moves to the oldest request, so Cancel shows that one.
    void addNewThenCancelShowsOldest()
    {
        frmMain& w = started();
        QCOMPARE(w.txtReqID->text(), QStringLiteral("8"));
        QTest::mouseClick(w.cmdAddNew, Qt::LeftButton);
        QVERIFY(adding());
        QTest::mouseClick(w.cmdCancel, Qt::LeftButton);
        QVERIFY(browsing());
        QCOMPARE(w.txtReqID->text(), QStringLiteral("1"));
        QCOMPARE(w.txtShortDesc->text(), QStringLiteral("Printer jam"));
        QCOMPARE(requestCount(), 8);
        QVERIFY(m_p->messages.isEmpty());
    }

    void newRequestValues_data()
    {
        QTest::addColumn<qint64>("minCharge"); // ten-thousandths
        QTest::addColumn<QString>("cost");
        QTest::newRow("minimum 25") << qint64(250000) << "$25.00";
        QTest::newRow("minimum 0") << qint64(0) << "$0.00";
        QTest::newRow("minimum 12.5") << qint64(125000) << "$12.50";
    }
    void newRequestValues()
    {
        QFETCH(qint64, minCharge);
        QFETCH(QString, cost);
        frmMain& w = started();
        DefaultMinCharge = Currency::fromUnits(minCharge);
        w.cmdNext->click(); // request 7: every list has a selection
        QTest::mouseClick(w.cmdAddNew, Qt::LeftButton);
        const QStringList shown{w.txtShortDesc->text(), w.txtReqDesc->toPlainText(), w.txtResp->toPlainText(),
                                w.txtReqID->text(), w.dcReqDate->currentText(), w.dcDueDate->currentText(),
                                w.dcResDate->currentText(), w.chkResolved->isChecked() ? "yes" : "no",
                                w.txtHoursTot->text(), w.txtMinTot->text(), w.txtAddCharge->text(),
                                w.txtCostTot->text(), w.txtAmtPaid->text(), w.dcPaidDate->currentText(),
                                w.txtMisc1->text()};
        QCOMPARE(shown, (QStringList{"", "", "", "", fmt::shortDate(QDate::currentDate()), "", "", "no", "0", "0",
                                     "$0.00", cost, "$0.00", "", ""}));
        for (QComboBox* c : {w.cmbCust, w.cmbDept, w.cmbPri, w.cmbCat, w.cmbEnteredBy, w.cmbAssignedTo}) {
            QVERIFY2(c->currentIndex() == -1, qPrintable(c->objectName()));
            QVERIFY2(c->currentText().isEmpty(), qPrintable(c->objectName()));
        }
        QVERIFY(adding());
        QTRY_VERIFY(w.txtShortDesc->hasFocus());
    }

    // Two requests entered one after the other: both stored, the second
    // shown afterwards.
    void addAnotherThenUpdate()
    {
        frmMain& w = started();
        QTest::mouseClick(w.cmdAddNew, Qt::LeftButton);
        w.txtShortDesc->setText(QStringLiteral("First 'one' | ;"));
        w.cmbEnteredBy->setCurrentIndex(w.cmbEnteredBy->findText(QStringLiteral("Smith, Jane")));
        w.txtHoursTot->setFocus();
        QTRY_VERIFY(w.txtHoursTot->hasFocus());
        w.txtHoursTot->setText(QStringLiteral("1"));
        QTest::keyClick(w.txtHoursTot, Qt::Key_Tab);
        QCOMPARE(w.txtCostTot->text(), QStringLiteral("$40.00"));
        QTest::mouseClick(w.cmdAddNew, Qt::LeftButton);
        QVERIFY2(m_p->messages.isEmpty(), qPrintable(messages()));
        QCOMPARE(requestCount(), 9);
        const QString today = QDate::currentDate().toString(Qt::ISODate);
        QCOMPARE(fileQuery("select ShortDesc || '/' || ReqDate || '/' || EnteredBy || '/' || CostTot || '/' || "
                           "HoursTot || '/' || Resolved || '/' || ifnull(CustID, 'null') from Req where ReqID = 9"),
                 "First 'one' | ;/" + today + "/1/400000/1/0/null");
        // A fresh request on screen, still adding.
        QVERIFY(adding());
        QVERIFY(w.txtShortDesc->text().isEmpty());
        QCOMPARE(w.txtCostTot->text(), QStringLiteral("$25.00"));
        QCOMPARE(w.cmbEnteredBy->currentIndex(), -1);
        QTRY_VERIFY(w.txtShortDesc->hasFocus());

        w.txtReqDesc->setPlainText(QStringLiteral("Second, long only"));
        QTest::mouseClick(w.cmdUpdate, Qt::LeftButton);
        QVERIFY2(m_p->messages.isEmpty(), qPrintable(messages()));
        QCOMPARE(requestCount(), 10);
        QCOMPARE(fileQuery("select ShortDesc || '/' || ReqDesc || '/' || CostTot || '/' || ifnull(EnteredBy, 'null') "
                           "from Req where ReqID = 10"),
                 QStringLiteral("/Second, long only/250000/null"));
        QVERIFY(browsing());
        QCOMPARE(w.txtReqID->text(), QStringLiteral("10"));
        QCOMPARE(w.txtReqDesc->toPlainText(), QStringLiteral("Second, long only"));
        QCOMPARE(w.txtCostTot->text(), QStringLiteral("$25.00"));
        // Both can be browsed to.
        const QStringList ids = walk();
        QCOMPARE(ids.size(), 10);
        QVERIFY(ids.contains("9") && ids.contains("10"));
    }

    // Cancel throws away only the request on screen.
    void addAnotherThenCancel()
    {
        frmMain& w = started();
        w.cmdAddNew->click();
        w.txtShortDesc->setText(QStringLiteral("Kept"));
        w.cmdAddNew->click();
        w.txtShortDesc->setText(QStringLiteral("Thrown away"));
        w.cmdCancel->click();
        QVERIFY(browsing());
        QCOMPARE(requestCount(), 9);
        QCOMPARE(fileQuery("select ShortDesc from Req where ReqID = 9"), QStringLiteral("Kept"));
        QVERIFY(m_p->messages.isEmpty());
    }

    // A request added while a find selection is shown is shown after its
    // Update, though it does not meet the selection's criteria.
    void addWithinSelection()
    {
        frmMain& w = started();
        w.FindDialog = [](frmMain&) { FindSQL = QStringLiteral("Select * from Req where CustID = 1 order by ReqDate desc"); };
        w.cmdFind->click();
        QCOMPARE(w.txtReqID->text(), QStringLiteral("5"));
        w.cmdAddNew->click();
        w.txtShortDesc->setText(QStringLiteral("Not Ann's"));
        w.cmdUpdate->click();
        QVERIFY2(m_p->messages.isEmpty(), qPrintable(messages()));
        QCOMPARE(w.txtReqID->text(), QStringLiteral("9"));
        QCOMPARE(w.txtShortDesc->text(), QStringLiteral("Not Ann's"));
        QCOMPARE(fileQuery("select ShortDesc from Req where ReqID = 9"), QStringLiteral("Not Ann's"));
        QVERIFY(browsing());
    }

    void nothingWrittenWithoutDescription_data()
    {
        QTest::addColumn<bool>("viaUpdate");
        QTest::newRow("Add Another") << false;
        QTest::newRow("Update") << true;
    }
    void nothingWrittenWithoutDescription()
    {
        QFETCH(bool, viaUpdate);
        frmMain& w = started();
        w.cmdAddNew->click();
        w.txtHoursTot->setText(QStringLiteral("2"));
        (viaUpdate ? w.cmdUpdate : w.cmdAddNew)->click();
        QCOMPARE(m_p->messageTexts(), QStringList{"You must enter a short description or a long description."});
        QCOMPARE(requestCount(), 8);
        QVERIFY(adding());
        QCOMPARE(w.txtHoursTot->text(), QStringLiteral("2"));
    }

    // A write the file refuses is reported; the typed request stays on
    // screen and a second try stores it once.
    void refusedWriteKeepsRequest_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("Add Another") << "add another";
        QTest::newRow("Update of a new request") << "update";
        QTest::newRow("Update of an edit") << "edit";
    }
    void refusedWriteKeepsRequest()
    {
        QFETCH(QString, how);
        frmMain& w = started();
        if (how != "edit")
            w.cmdAddNew->click();
        w.txtShortDesc->setText(QStringLiteral("Typed"));
        QPushButton* save = how == "add another" ? w.cmdAddNew : w.cmdUpdate;
        MainDb->failNextWrites(1, ErrNo::SqlError);
        save->click();
        QCOMPARE(m_p->messages.size(), 1);
        QVERIFY2(m_p->messages[0].text.startsWith(QStringLiteral("3001  ")), qPrintable(messages()));
        QCOMPARE(w.txtShortDesc->text(), QStringLiteral("Typed"));
        QCOMPARE(requestCount(), 8);
        QCOMPARE(fileQuery("select ShortDesc from Req where ReqID = 8"), QStringLiteral("Cable"));
        QVERIFY(how == "edit" ? w.Editing && !w.cmdUpdate->isHidden() : adding());

        save->click();
        QCOMPARE(m_p->messages.size(), 1);
        QCOMPARE(requestCount(), how == "edit" ? 8 : 9);
        QCOMPARE(fileQuery(QStringLiteral("select ShortDesc from Req where ReqID = %1").arg(how == "edit" ? 8 : 9)),
                 QStringLiteral("Typed"));
    }

    // A locked record is retried without a word and written once.
    void lockedWriteRetried()
    {
        frmMain& w = started();
        w.cmdAddNew->click();
        w.txtShortDesc->setText(QStringLiteral("Retried"));
        MainDb->failNextWrites(5, ErrNo::RecordLocked);
        w.cmdUpdate->click();
        QVERIFY2(m_p->messages.isEmpty(), qPrintable(messages()));
        QCOMPARE(requestCount(), 9);
        QCOMPARE(w.txtReqID->text(), QStringLiteral("9"));
        QVERIFY(browsing());
    }

    void deleteShown_data()
    {
        QTest::addColumn<int>("nexts"); // -1: the last record
        QTest::addColumn<QString>("deleted");
        QTest::addColumn<QString>("shownAfter");
        QTest::newRow("newest") << 0 << "8" << "7";
        QTest::newRow("middle") << 2 << "6" << "5";
        QTest::newRow("oldest") << -1 << "1" << "2";
    }
    void deleteShown()
    {
        QFETCH(int, nexts);
        QFETCH(QString, deleted);
        QFETCH(QString, shownAfter);
        frmMain& w = started();
        if (nexts < 0)
            w.cmdLast->click();
        for (int i = 0; i < nexts; ++i)
            w.cmdNext->click();
        QCOMPARE(w.txtReqID->text(), deleted);
        QTest::mouseClick(w.cmdDelete, Qt::LeftButton);
        QCOMPARE(m_p->messageTexts(), QStringList{"Are you sure that you want to delete this request?"});
        QCOMPARE(m_p->messages[0].title, QStringLiteral("Delete Request"));
        QCOMPARE(m_p->messages[0].flags, Mb::YesNo);
        QCOMPARE(w.txtReqID->text(), shownAfter);
        QVERIFY(browsing());
        QCOMPARE(requestCount(), 7);
        QCOMPARE(fileQuery("select count(*) from Req where ReqID = " + deleted), QStringLiteral("0"));
        QStringList rest{"8", "7", "6", "5", "4", "3", "2", "1"};
        rest.removeOne(deleted);
        QCOMPARE(walk(), rest);
    }

    void deleteAnsweredNo()
    {
        frmMain& w = started();
        w.cmdNext->click();
        const QStringList before = storedShortDescs();
        m_p->answers << Answer::No;
        QTest::mouseClick(w.cmdDelete, Qt::LeftButton);
        QCOMPARE(m_p->messages.size(), 1);
        QCOMPARE(w.txtReqID->text(), QStringLiteral("7"));
        QCOMPARE(storedShortDescs(), before);
        QVERIFY(browsing());
        QCOMPARE(walk().size(), 8);
    }

    // Deleting the only request leaves an empty, disabled window that can
    // still add one.
    void deleteOnlyRequest()
    {
        QVERIFY(test::execSql(dbPath(), "delete from Req where ReqID <> 5"));
        frmMain& w = started();
        w.cmdDelete->click();
        QCOMPARE(requestCount(), 0);
        QVERIFY(browsing());
        QVERIFY(allEntriesEnabled(false));
        QVERIFY(w.txtShortDesc->text().isEmpty() && w.txtReqID->text().isEmpty());
        QVERIFY(w.cmdAddNew->isEnabled());
        for (QPushButton* b : {w.cmdFirst, w.cmdNext, w.cmdPrevious, w.cmdLast, w.cmdDelete})
            b->click();
        QCOMPARE(m_p->messages.size(), 1); // the one question
        QCOMPARE(m_p->beeps, 0);

        w.cmdAddNew->click();
        QVERIFY(allEntriesEnabled(true));
        w.txtShortDesc->setText(QStringLiteral("After the last"));
        w.cmdUpdate->click();
        QCOMPARE(requestCount(), 1);
        QVERIFY(browsing());
        QCOMPARE(w.txtShortDesc->text(), QStringLiteral("After the last"));
        QCOMPARE(w.txtReqID->text(), fileQuery("select ReqID from Req"));
    }

    void addNewOnEmptyTable()
    {
        test::createEmptyDb(m_dir->path());
        frmMain& w = started();
        QVERIFY(allEntriesEnabled(false));
        w.cmdAddNew->click();
        QVERIFY(adding());
        QVERIFY(allEntriesEnabled(true));
        QVERIFY(!w.txtReqID->isEnabled());
        w.cmdCancel->click();
        QVERIFY(browsing());
        QVERIFY(allEntriesEnabled(false));
        QCOMPARE(requestCount(), 0);
        QVERIFY(m_p->messages.isEmpty());
    }

    // Closing the window while adding asks first.
    void closeWhileAdding_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("count");
        QTest::newRow("Yes") << int(Answer::Yes) << 9;
        QTest::newRow("No") << int(Answer::No) << 8;
    }
    void closeWhileAdding()
    {
        QFETCH(int, answer);
        QFETCH(int, count);
        frmMain& w = started();
        w.cmdAddNew->click();
        w.txtShortDesc->setText(QStringLiteral("Typed before closing"));
        m_p->answers << Answer(answer);
        w.close();
        QCOMPARE(m_p->messageTexts(), QStringList{"Save the changes to this request?"});
        QVERIFY(m_p->ended);
        QCOMPARE(requestCount(), count);
    }

    void find_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QStringList>("ids");
        const QString selected = "Calvedon -- Selected Records";
        QTest::newRow("no match") << "Select * from Req where ShortDesc like '*zzz*' order by ReqDate desc"
                                  << QStringList{"No Records Found: No matching records were found."} << "Calvedon"
                                  << "8" << QStringList{"8", "7", "6", "5", "4", "3", "2", "1"};
        QTest::newRow("a match") << "Select * from Req where CustID = 1 order by ReqDate desc" << QStringList{}
                                 << selected << "5" << QStringList{"5", "2", "1"};
        QTest::newRow("apostrophe") << "Select * from Req where ReqDesc like '*O''Neil*' order by ReqDate desc"
                                    << QStringList{} << selected << "3" << QStringList{"3"};
        QTest::newRow("nothing asked") << "" << QStringList{} << "Calvedon"
                                       << "7" << QStringList{"8", "7", "6", "5", "4", "3", "2", "1"};
    }
    void find()
    {
        QFETCH(QString, sql);
        QFETCH(QStringList, messages);
        QFETCH(QString, caption);
        QFETCH(QString, shown);
        QFETCH(QStringList, ids);
        frmMain& w = started();
        w.cmdNext->click();
        w.FindDialog = [sql](frmMain& f) {
            FindSQL = sql;
            if (!sql.isEmpty())
                f.setWindowTitle(QStringLiteral("Calvedon -- Selected Records"));
        };
        QTest::mouseClick(w.cmdFind, Qt::LeftButton);
        QStringList seen;
        for (const auto& m : m_p->messages) {
            seen << m.title + ": " + m.text;
            QCOMPARE(m.flags, Mb::OkOnly);
        }
        QCOMPARE(seen, messages);
        QCOMPARE(w.windowTitle(), caption);
        if (!messages.isEmpty())
            QCOMPARE(FindSQL, QStringLiteral("Select * from Req order by ReqDate desc"));
        QCOMPARE(w.txtReqID->text(), shown);
        QVERIFY(browsing());
        QCOMPARE(walk(), ids);
    }

    void findOnEmptyTable()
    {
        test::createEmptyDb(m_dir->path());
        frmMain& w = started();
        w.FindDialog = [](frmMain&) { FindSQL = QStringLiteral("Select * from Req where CustID = 1"); };
        w.cmdFind->click();
        QCOMPARE(m_p->messageTexts(), QStringList{"No matching records were found."});
        QVERIFY(browsing());
        QVERIFY(allEntriesEnabled(false));
    }
};

QTEST_MAIN(tst_adding)
#include "tst_adding.moc"

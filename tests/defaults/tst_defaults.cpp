// The defaults window: what it shows, what OK and Cancel store and the main
// window's costing then uses, the money boxes' checks, the fonts of the
// bill heading, closing by the close box, and a row changed at another desk.
// The fixture's Settings row: minimum $25.00, rate $40.00, the company name
// in 18-point bold Times New Roman, the address in 10-point Times New Roman.
#include "base/formats.h"
#include "base/globals.h"
#include "db/database.h"
#include "db/errors.h"
#include "defaults/fontfields.h"
#include "defaults/frmdefault.h"
#include "support/mainwindowfixture.h"
#include "support/testbackend.h"
#include "support/testmain.h"

#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QtTest>

using namespace cvd;
using namespace cvd::test;

// Fields of the Settings row as SQL literals (text quoted, NULL), one blank apart.
static QString settings(const QStringList& fields)
{
    return fileQuery("select quote(" + fields.join(") || ' ' || quote(") + ") from Settings");
}

static QString fontsShown(const frmDefault& w)
{
    QStringList out;
    for (const FontChoice& c : {choiceOf(w.txtCompName->font()), choiceOf(w.txtCompAdd->font())})
        out << QStringLiteral("%1 %2%3%4%5").arg(c.name).arg(c.size).arg(c.bold ? " bold" : "")
                   .arg(c.italic ? " italic" : "").arg(c.underline ? " underline" : "");
    return out.join(", ");
}

class tst_defaults : public QObject {
    Q_OBJECT
    std::unique_ptr<MainWindowFixture> f;
    QPointer<frmDefault> d;

    // The defaults window opened from the main window (started if need be), and active.
    frmDefault& open()
    {
        if (!MainDb)
            f->started();
        d = showDefaultsWindow(f->w.get());
        (void)QTest::qWaitFor([this] { return QApplication::activeWindow() == d; }); // a test that needs it checks it
        return *d;
    }

private slots:
    void init() { f = std::make_unique<MainWindowFixture>(); }
    void cleanup() { f.reset(); QVERIFY(d.isNull()); } // the window closed with the main window

    // The amounts as shown once their boxes are left, as stored by OK, and as
    // used by the main window's next costing (request 8: 1 hour, no
    // additional charge).  A blank box stores an empty field; the costing
    // keeps the amount it held, with error 94 told once for each.
    void amounts_data()
    {
        QTest::addColumn<QString>("minimum"); // null: not typed into
        QTest::addColumn<QString>("rate");
        // Shown | the errors told | stored | minimum and rate in units, then the cost of request 8.
        QTest::addColumn<QString>("outcome");
        QTest::newRow("nothing typed") << QString() << QString() << "$25.00 $40.00||250000 400000|250000 400000 $40.00";
        QTest::newRow("plain numbers") << "12.5" << "50" << "$12.50 $50.00||125000 500000|125000 500000 $50.00";
        QTest::newRow("currency text") << QString() << "$12.50" << "$25.00 $12.50||250000 125000|250000 125000 $25.00";
        QTest::newRow("thousands") << "1,234.5" << QString() << "$1,234.50 $40.00||12345000 400000|12345000 400000 $1,234.50";
        QTest::newRow("zero, blanks only") << "0" << "   " << "$0.00 |94|0 NULL|0 400000 $40.00";
        QTest::newRow("both blank") << "" << "" << " |94,94|NULL NULL|250000 400000 $40.00";
    }
    void amounts()
    {
        QFETCH(QString, minimum);
        QFETCH(QString, rate);
        f->at(8);
        MainDb->Execute(QStringLiteral("update Settings set NFont = null, NSize = null"));
        const QString address = settings({"CompAdd"});
        frmDefault& w = open();
        QCOMPARE(w.txtCompName->text() + '|' + w.txtCompAdd->toPlainText() + '|' + w.txtCompName->font().family()
                     + QString::number(w.txtCompName->font().bold()), // no font stored: the program's own, bold
                 "Calvedon Service Desk|100 Main Street\nSpringfield, IL  62701|" + QApplication::font().family() + '1');
        for (QLineEdit* box : {w.txtMinCharge, w.txtHourlyRate})
            if (const QString& typed = box == w.txtMinCharge ? minimum : rate; !typed.isNull())
                QVERIFY(typeInto(box, typed));
        tabOut();
        QString outcome = w.txtMinCharge->text() + ' ' + w.txtHourlyRate->text() + '|';
        w.cmdOk->click();
        QTRY_VERIFY(d.isNull());
        outcome += f->p.messageTexts().join(',').replace(QStringLiteral("94  Invalid use of Null"), QStringLiteral("94")) + '|'
            + settings({"DefMinCharge", "DefHourlyRate"});
        QCOMPARE(settings({"CompAdd"}), address); // CR LF kept
        frmMain& m = *f->w;
        m.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&m) && focusInto(m.txtMinTot));
        tabOut();
        QTEST(outcome + QStringLiteral("|%1 %2 ").arg(DefaultMinCharge.units).arg(DefaultHourlyRate.units) + m.txtCostTot->text(), "outcome");
    }

    // The Font menu shows the chosen font at once; OK stores it, Cancel does
    // not, and a cancelled font dialog changes nothing.
    void fonts_data()
    {
        QTest::addColumn<bool>("chosen");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("shown"); // the name, then the address
        QTest::addColumn<QString>("stored"); // NFont to NUnder, then AFont to AUnder
        const QString asWas = "'Times New Roman' 180000 1 0 0 'Times New Roman' 100000 0 0 0";
        const QString chosenShown = "Arial 14 italic underline, Courier New 12 bold";
        QTest::newRow("Ok") << true << true << chosenShown << "'Arial' 140000 0 1 1 'Courier New' 120000 1 0 0";
        QTest::newRow("Cancel") << true << false << chosenShown << asWas;
        QTest::newRow("font dialog cancelled") << false << true << "Times New Roman 18 bold, Times New Roman 10" << asWas;
    }
    void fonts()
    {
        QFETCH(bool, chosen);
        QFETCH(bool, ok);
        frmDefault& w = open();
        if (chosen)
            f->p.fonts << FontChoice{"Arial", 14, false, true, true} << FontChoice{"Courier New", 12, true, false, false};
        w.mnuFont[1]->trigger();
        w.mnuFont[2]->trigger();
        QTEST(fontsShown(w), "shown");
        (ok ? w.cmdOk : w.cmdCancel)->click();
        QTRY_VERIFY(d.isNull());
        QTEST(settings({"NFont", "NSize", "NBold", "NItalic", "NUnder", "AFont", "ASize", "ABold", "AItalic", "AUnder"}), "stored");
        QCOMPARE(f->messages(), QString());
    }

    // Ways of closing the window after the minimum charge box was typed
    // into (or not): the messages, whether the window stays (with the
    // typed text, the focus back in the box) and what the file then holds.
    void closing_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("typed");    // null: nothing typed
        QTest::addColumn<int>("answer");       // to the question, if one comes
        QTest::addColumn<QString>("messages"); // Q: the question, N: not a number, M: a negative amount, O: too large
        QTest::addColumn<QString>("stored");   // empty: the window stays
        const int yes = int(Answer::Yes), no = int(Answer::No), cancel = int(Answer::Cancel);
        QTest::newRow("close box, nothing changed") << "close box" << QString() << 0 << "" << "250000";
        QTest::newRow("close box, Yes") << "close box" << "30" << yes << "Q" << "300000";
        QTest::newRow("close box, No") << "close box" << "30" << no << "Q" << "250000";
        QTest::newRow("close box, Cancel") << "close box" << "30" << cancel << "Q" << "";
        QTest::newRow("close box, Yes, not a number") << "close box" << "abc" << yes << "QN" << "";
        QTest::newRow("box left, negative") << "Tab" << "($1.00)" << 0 << "M" << "";
        QTest::newRow("box left, too large") << "Tab" << "1e300" << 0 << "O" << "";
        QTest::newRow("Ok by its key, not a number") << "Alt+O" << "abc" << 0 << "N" << "";
        QTest::newRow("Cancel, not a number") << "Cancel" << "abc" << 0 << "" << "250000";
    }
    void closing()
    {
        QFETCH(QString, how);
        QFETCH(QString, typed);
        QFETCH(int, answer);
        QFETCH(QString, messages);
        QFETCH(QString, stored);
        frmDefault& w = open();
        if (!typed.isNull())
            QVERIFY(typeInto(w.txtMinCharge, typed)); // and the focus stays there
        if (answer)
            f->p.answers.enqueue(Answer(answer));
        if (how == "close box")
            w.close();
        else if (how == "Tab")
            tabOut();
        else if (how == "Alt+O")
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_O, Qt::AltModifier);
        else
            QTest::mouseClick(how == "Ok" ? w.cmdOk : w.cmdCancel, Qt::LeftButton);
        QTRY_VERIFY(d.isNull() || !d->cmdOk->isDown()); // a button pressed by its key is released a moment later
        const QHash<QChar, QString> texts{{u'Q', QStringLiteral("Save the changes to this record?")},
                                          {u'N', QStringLiteral("You must enter a number for the 'Minimum Charge' or leave it blank")},
                                          {u'M', QStringLiteral("You must enter a positive number or zero.")},
                                          {u'O', QStringLiteral("6  Overflow")}};
        QStringList expected;
        for (const QChar m : messages)
            expected << texts[m];
        QCOMPARE(f->p.messageTexts(), expected);
        QVERIFY(!messages.startsWith(u'Q') || f->p.messages[0].flags == (Mb::YesNoCancel | Mb::Question));
        QTRY_COMPARE(d.isNull(), !stored.isEmpty());
        if (stored.isEmpty()) {
            QCOMPARE(w.txtMinCharge->text(), typed);
            QTRY_VERIFY(focusIsIn(w.txtMinCharge));
            QVERIFY(how != "Tab" || w.txtMinCharge->selectedText() == typed); // a box left is refused with its text selected
            w.cmdCancel->click();
        }
        QCOMPARE(settings({"DefMinCharge"}), stored.isEmpty() ? QStringLiteral("250000") : stored);
    }

    // OK when the row was changed at another desk since the window read it:
    // the user is told what is stored now, the window stays with the typed
    // entries, and costings keep the stored amounts.  OK again writes them.
    void changedElsewhere()
    {
        frmDefault& w = open();
        QVERIFY(typeInto(w.txtMinCharge, QStringLiteral("30")));
        MainDb->Execute(QStringLiteral("update Settings set DefHourlyRate = 600000, CompName = 'Other Co'"));
        test::failNextWrites(*MainDb, 1, ErrNo::ChangedElsewhere);
        w.cmdOk->click();
        QVERIFY(f->messages().startsWith("The program defaults were changed at another desk since you opened this window.\n\nStored now:\n"
                                         "    Minimum Charge: $25.00\n    Hourly Rate: $60.00\n    Company Name: Other Co\n\n"));
        QVERIFY(d && d->isVisible() && w.txtMinCharge->text() == "$30.00" && DefaultMinCharge.units == 250000);
        w.cmdOk->click();
        QTRY_VERIFY(d.isNull());
        QCOMPARE(settings({"DefMinCharge", "DefHourlyRate"}) + ' ' + fmt::currency(DefaultMinCharge), QStringLiteral("300000 400000 $30.00"));
    }
};

CVD_TEST_MAIN(tst_defaults)
#include "tst_defaults.moc"

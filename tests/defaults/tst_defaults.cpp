// The defaults window: what it shows, the money boxes' check, what OK and
// Cancel store, the fonts of the bill heading (a font that is not installed
// too), and closing it by its close box.
// The fixture's Settings row: minimum $25.00, rate $40.00, the company name
// in 18-point bold Times New Roman, the address in 10-point Times New Roman.
#include "base/formats.h"
#include "base/globals.h"
#include "db/database.h"
#include "db/errors.h"
#include "defaults/fontfields.h"
#include "defaults/frmdefault.h"
#include "mainwindow/modalboxes.h"
#include "support/mainwindowfixture.h"
#include "support/testfiles.h"
#include "support/testmain.h"
#include "ui/qtplatform.h"

#include <QAction>
#include <QApplication>
#include <QFontDatabase>
#include <QFontDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <optional>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

using namespace cvd;
using namespace cvd::test;

// Fields of the Settings row as SQL literals (text quoted, NULL), one blank apart.
static QString settings(const QStringList& fields)
{
    return fileQuery("select quote(" + fields.join(") || ' ' || quote(") + ") from Settings");
}

static QString fontShown(const QFont& font)
{
    const FontChoice c = choiceOf(font);
    return QStringLiteral("%1 %2%3%4%5").arg(c.name).arg(c.size).arg(c.bold ? " bold" : "").arg(c.italic ? " italic" : "")
        .arg(c.underline ? " underline" : "");
}

static const QString Refused = QStringLiteral("You must enter a number for the '%1' or leave it blank");
static const QString Negative = QStringLiteral("You must enter a positive number or zero.");

namespace {

// The font dialog's starting font, answered as the user's choice (OK
// without a change).
class FontStart : public ScriptedPlatform {
public:
    FontChoice start;
    FontChoice chooseFont(const FontChoice& font) override { return start = font; }
};

// Runs `script` on the program's own font dialog once it is up, then
// cancels it.
void onFontDialog(const std::function<void(QFontDialog&)>& script)
{
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, poll, [poll, script] {
        auto* d = qobject_cast<QFontDialog*>(QApplication::activeModalWidget());
        if (!d || !d->isVisible())
            return;
        poll->stop();
        poll->deleteLater();
        script(*d);
        d->reject();
    });
    poll->start(20);
}

} // namespace

class tst_defaults : public QObject {
    Q_OBJECT
    std::unique_ptr<MainWindowFixture> f;
    QPointer<frmDefault> d;

    // The defaults window opened from the main window (started if need be).
    frmDefault& open()
    {
        if (!MainDb)
            f->started();
        d = showDefaultsWindow(f->w.get());
        // A window opened from another may count as active with it: wait
        // until it is the active one itself.
        if (!QTest::qWaitFor([this] { return QApplication::activeWindow() == d; }))
            qWarning("the defaults window did not become active");
        return *d;
    }

private slots:
    void init() { f = std::make_unique<MainWindowFixture>(); }
    void cleanup()
    {
        f.reset();
        QVERIFY(d.isNull()); // closed with the main window
    }

    // What the window shows (the company name's empty font fields as the
    // application's font), and what OK stores when nothing was changed.
    void opening()
    {
        f->started();
        MainDb->Execute(QStringLiteral("update Settings set DefHourlyRate = 350000, NFont = null, NSize = null"));
        frmDefault& w = open();
        QCOMPARE(w.windowTitle(), QStringLiteral("Maintain Defaults"));
        QCOMPARE(showDefaultsWindow(f->w.get()), &w); // one at a time
        QCOMPARE(QStringList({w.txtMinCharge->text(), w.txtHourlyRate->text(), w.txtCompName->text(), w.txtCompAdd->toPlainText()}),
                 QStringList({"$25.00", "$35.00", "Calvedon Service Desk", "100 Main Street\nSpringfield, IL  62701"}));
        QFont boldApp = QApplication::font();
        boldApp.setBold(true);
        QCOMPARE(fontShown(w.txtCompName->font()) + ", " + fontShown(w.txtCompAdd->font()),
                 fontShown(boldApp) + ", Times New Roman 10");
        // Each label stands above its box, not over it.
        QStringList labels;
        for (QWidget* box : std::initializer_list<QWidget*>{w.txtMinCharge, w.txtHourlyRate, w.txtCompName, w.txtCompAdd}) {
            labels << w.labelOf(box)->text();
            QVERIFY(w.labelOf(box)->geometry().bottom() < box->geometry().top());
        }
        QCOMPARE(labels.join(','), QStringLiteral("Minimum Charge,Hourly Rate,Company Name,Company Address"));
        QVERIFY(focusIsIn(w.txtMinCharge));
        QCOMPARE(w.txtMinCharge->selectedText(), QStringLiteral("$25.00"));
        // Saved without a change, the row holds what it held, CR LF included.
        const QString address = settings({"CompAdd"});
        w.cmdOk->click();
        QTRY_VERIFY(d.isNull());
        QCOMPARE(f->messages(), QString());
        QCOMPARE(settings({"DefHourlyRate", "CompAdd"}), "350000 " + address);
    }

    // Leaving a money box with anything but a number is refused, and the
    // focus comes back into the box with its text selected: at once, and
    // with the activation leaving the window for the message box and coming
    // back after it, as on a desktop.  Nothing refused reaches the file.
    void refused_data()
    {
        QTest::addColumn<bool>("desktop");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message");
        for (const bool desktop : {false, true}) {
            const char* on = desktop ? ", desktop" : "";
            QTest::addRow("minimum, abc%s", on) << desktop << "txtMinCharge" << "abc" << Refused.arg("Minimum Charge");
            QTest::addRow("rate, abc%s", on) << desktop << "txtHourlyRate" << "abc" << Refused.arg("Hourly Rate");
            QTest::addRow("too large%s", on) << desktop << "txtHourlyRate" << "1e300" << "6  Overflow";
            QTest::addRow("negative rate%s", on) << desktop << "txtHourlyRate" << "-40" << Negative;
            QTest::addRow("negative minimum%s", on) << desktop << "txtMinCharge" << "($1.00)" << Negative;
        }
    }
    void refused()
    {
        QFETCH(bool, desktop);
        QFETCH(QString, box);
        QFETCH(QString, typed);
        frmDefault& w = open();
        auto* b = w.findChild<QLineEdit*>(box);
        QVERIFY(typeInto(b, typed));
        std::optional<ModalBoxes> boxes;
        if (desktop)
            boxes.emplace();
        ScriptedPlatform& p = desktop ? *boxes : f->p;
        tabOut();
        QTEST(p.messageTexts().join('\n'), "message");
        QVERIFY(typed == "1e300" || p.messages[0].flags == (Mb::OkOnly | Mb::Critical));
        QCOMPARE(p.messages[0].title, ProgramTitle);
        QCOMPARE(b->text(), typed);
        QTRY_VERIFY(w.isActiveWindow() && focusIsIn(b));
        QCoreApplication::processEvents();
        QCOMPARE(b->selectedText(), typed);
        d->cmdOk->click();
        QCOMPARE(p.messages.size(), 2);
        boxes.reset();
        setPlatform(&f->p);
        QCOMPARE(settings({"DefMinCharge", "DefHourlyRate"}), QStringLiteral("250000 400000"));
    }

    // A stored font that is not installed: the font dialog opens on the
    // family that stands in for it, at the stored size, bold and italic as
    // stored, and OK there keeps them so.
    void fontNotInstalled()
    {
        f->started();
        MainDb->Execute(QStringLiteral("update Settings set NFont = 'No Such Font Calvedon', NSize = 160000, NBold = 1, NItalic = 1"));
        frmDefault& w = open();
        FontChoice start;
        {
            FontStart p;
            w.mnuFont[1]->trigger();
            start = p.start;
        }
        setPlatform(&f->p);
        QVERIFY2(QFontDatabase::families().contains(start.name), qPrintable(start.name));
        QCOMPARE(QString::number(start.size) + (start.bold ? " bold" : "") + (start.italic ? " italic" : ""),
                 QStringLiteral("16 bold italic"));
        w.cmdOk->click();
        QTRY_VERIFY(d.isNull());
        QCOMPARE(settings({"NFont", "NSize", "NBold", "NItalic", "NUnder"}), "'" + start.name + "' 160000 1 1 0");

        // The program's own dialog opens on that family and style too.
        QtPlatform qt;
        QFont seen;
        onFontDialog([&](QFontDialog& dialog) { seen = dialog.currentFont(); });
        QCOMPARE(errorOf([&] { qt.chooseFont(FontChoice{"No Such Font Calvedon", 16, true, true, false}); }), 32755);
        QCOMPARE(QStringLiteral("%1 %2%3%4").arg(seen.family()).arg(seen.pointSize()).arg(seen.bold() ? " bold" : "")
                     .arg(seen.italic() ? " italic" : ""),
                 start.name + " 16 bold italic");
    }

    // The amounts as shown once their boxes are left, as stored by OK, and as
    // used by the main window's next costing at once (request 8: 1 hour, no
    // additional charge).  A blank box stores an empty field; the costing
    // value cannot be empty, so each blank box gets error 94 once and the
    // amount held is kept.
    void amounts_data()
    {
        QTest::addColumn<QString>("minimum"); // null: not typed into
        QTest::addColumn<QString>("rate");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("errors");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("used"); // minimum and rate in units, then the cost of request 8
        QTest::newRow("plain numbers") << "12.5" << "50" << "$12.50 $50.00" << 0 << "125000 500000" << "125000 500000 $50.00";
        QTest::newRow("currency text") << QString() << "$12.50" << "$25.00 $12.50" << 0 << "250000 125000" << "250000 125000 $25.00";
        QTest::newRow("thousands") << "1,234.5" << QString() << "$1,234.50 $40.00" << 0 << "12345000 400000"
                                   << "12345000 400000 $1,234.50";
        QTest::newRow("zero, blanks only") << "0" << "   " << "$0.00 " << 1 << "0 NULL" << "0 400000 $40.00";
        QTest::newRow("both blank") << "" << "" << " " << 2 << "NULL NULL" << "250000 400000 $40.00";
    }
    void amounts()
    {
        QFETCH(QString, minimum);
        QFETCH(QString, rate);
        QFETCH(QString, shown);
        QFETCH(int, errors);
        f->at(8);
        frmDefault& w = open();
        for (QLineEdit* box : {w.txtMinCharge, w.txtHourlyRate}) {
            const QString& typed = box == w.txtMinCharge ? minimum : rate;
            if (!typed.isNull())
                QVERIFY(typeInto(box, typed));
        }
        tabOut();
        QCOMPARE(w.txtMinCharge->text() + ' ' + w.txtHourlyRate->text(), shown);
        w.cmdOk->click();
        QTRY_VERIFY(d.isNull());
        QCOMPARE(f->p.messageTexts(), QStringList(errors, QStringLiteral("94  Invalid use of Null")));
        QTEST(settings({"DefMinCharge", "DefHourlyRate"}), "stored");
        frmMain& m = *f->w;
        m.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&m) && m.txtReqID->text() == QStringLiteral("8"));
        QVERIFY(focusInto(m.txtMinTot));
        tabOut();
        QTEST(QStringLiteral("%1 %2 ").arg(DefaultMinCharge.units).arg(DefaultHourlyRate.units) + m.txtCostTot->text(), "used");
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
        QTEST(fontShown(w.txtCompName->font()) + ", " + fontShown(w.txtCompAdd->font()), "shown");
        (ok ? w.cmdOk : w.cmdCancel)->click();
        QTRY_VERIFY(d.isNull());
        QTEST(settings({"NFont", "NSize", "NBold", "NItalic", "NUnder", "AFont", "ASize", "ABold", "AItalic", "AUnder"}), "stored");
        QCOMPARE(f->messages(), QString());
    }

    // Ways of closing the window, after the minimum charge box was typed
    // into (or not), and what the file then holds.
    void closing_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("typed");    // null: nothing typed
        QTest::addColumn<int>("answer");       // to the question, if one comes
        QTest::addColumn<QString>("messages"); // Q: the question, N: not a number
        QTest::addColumn<bool>("stays");
        QTest::addColumn<QString>("stored");
        const int yes = int(Answer::Yes), no = int(Answer::No), cancel = int(Answer::Cancel);
        QTest::newRow("close box, nothing changed") << "close box" << QString() << 0 << "" << false << "250000";
        QTest::newRow("close box, Yes") << "close box" << "30" << yes << "Q" << false << "300000";
        QTest::newRow("close box, No") << "close box" << "30" << no << "Q" << false << "250000";
        QTest::newRow("close box, Cancel") << "close box" << "30" << cancel << "Q" << true << "250000";
        QTest::newRow("close box, Yes, not a number") << "close box" << "abc" << yes << "QN" << true << "250000";
        QTest::newRow("Ok clicked, not a number") << "Ok" << "abc" << 0 << "N" << true << "250000";
        QTest::newRow("Ok by its key, not a number") << "Alt+O" << "abc" << 0 << "N" << true << "250000";
        QTest::newRow("Cancel, not a number") << "Cancel" << "abc" << 0 << "" << false << "250000";
    }
    void closing()
    {
        QFETCH(QString, how);
        QFETCH(QString, typed);
        QFETCH(int, answer);
        QFETCH(QString, messages);
        QFETCH(bool, stays);
        frmDefault& w = open();
        if (!typed.isNull())
            QVERIFY(typeInto(w.txtMinCharge, typed)); // and the focus stays there
        if (answer)
            f->p.answers.enqueue(Answer(answer));
        if (how == "close box")
            w.close();
        else if (how == "Alt+O")
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_O, Qt::AltModifier);
        else
            QTest::mouseClick(how == "Ok" ? w.cmdOk : w.cmdCancel, Qt::LeftButton);
        // A button pressed by its access key is released a moment later.
        QTRY_VERIFY(d.isNull() || !d->cmdOk->isDown());
        QStringList expected;
        for (const QChar m : messages)
            expected << (m == u'Q' ? QStringLiteral("Save the changes to this record?") : Refused.arg("Minimum Charge"));
        QCOMPARE(f->p.messageTexts(), expected);
        if (messages.startsWith(u'Q'))
            QVERIFY(f->p.messages[0].flags == (Mb::YesNoCancel | Mb::Question) && f->p.messages[0].title == ProgramTitle);
        QTRY_COMPARE(d.isNull(), !stays);
        if (stays) {
            QCOMPARE(w.txtMinCharge->text(), typed);
            QTRY_VERIFY(focusIsIn(w.txtMinCharge));
        }
        QTEST(settings({"DefMinCharge"}), "stored");
    }

    // OK when the row cannot be written (changed at another desk since the
    // window read it, or held by another desk and given up with No): the
    // user is told, the window stays open with the typed entries, and new
    // costings keep the stored amounts.  OK again writes the entries.
    void notWritten_data()
    {
        QTest::addColumn<int>("error");
        QTest::addColumn<QString>("message");
        QTest::newRow("changed at another desk") << int(ErrNo::ChangedElsewhere)
            << "The program defaults were changed at another desk since you opened this window.\n\nStored now:\n"
               "    Minimum Charge: $25.00\n    Hourly Rate: $60.00\n    Company Name: Other Co\n\nYour entries are "
               "still on screen.  Choose OK to save them over the stored defaults, or Cancel to close the window "
               "and keep the stored ones.";
        QTest::newRow("held by another desk, No") << int(ErrNo::RecordLockedByUser)
                                                  << "Could not update locked record.  Do you wish to try again?";
    }
    void notWritten()
    {
        QFETCH(int, error);
        frmDefault& w = open();
        QVERIFY(typeInto(w.txtMinCharge, QStringLiteral("30")));
        if (error == ErrNo::ChangedElsewhere)
            MainDb->Execute(QStringLiteral("update Settings set DefHourlyRate = 600000, CompName = 'Other Co'"));
        f->p.answers << Answer::No;
        MainDb->failNextWrites(error == ErrNo::ChangedElsewhere ? 1 : 1000, error);
        w.cmdOk->click();
        MainDb->failNextWrites(0, 0);
        QTEST(f->messages(), "message");
        QVERIFY(d && d->isVisible());
        QCOMPARE(w.txtMinCharge->text() + ' ' + fmt::currency(DefaultMinCharge), QStringLiteral("$30.00 $25.00"));
        QCOMPARE(settings({"DefMinCharge"}), QStringLiteral("250000"));
        f->p.messages.clear();
        w.cmdOk->click();
        QTRY_VERIFY(d.isNull());
        QCOMPARE(settings({"DefMinCharge", "DefHourlyRate"}) + ' ' + fmt::currency(DefaultMinCharge),
                 QStringLiteral("300000 400000 $30.00"));
        QVERIFY(f->p.messages.isEmpty());
    }
};

CVD_TEST_MAIN(tst_defaults)
#include "tst_defaults.moc"

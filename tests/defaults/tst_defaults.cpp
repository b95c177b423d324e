// The defaults window: what it shows, the money boxes' check, what OK and
// Cancel store, the fonts of the bill heading, and closing it by its close box.
// The fixture's Settings row: minimum $25.00, rate $40.00, the company name
// in 18-point bold Times New Roman, the address in 10-point Times New Roman.
#include "core/database.h"
#include "core/globals.h"
#include "defaults/fontfields.h"
#include "defaults/frmdefault.h"
#include "support/mainwindowfixture.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QtTest>

using namespace cvd;
using namespace cvd::test;

static QString setting(const QString& field)
{
    return fileQuery(QStringLiteral("select typeof(%1) || ':' || ifnull(%1, '') from Settings").arg(field));
}

static QString fontShown(const QWidget* box)
{
    const FontChoice c = choiceOf(box->font());
    return QStringLiteral("%1 %2%3%4%5").arg(c.name).arg(c.size).arg(c.bold ? " bold" : "").arg(c.italic ? " italic" : "")
        .arg(c.underline ? " underline" : "");
}

static const QString SaveQuestion = QStringLiteral("Save the changes to this record?");

class tst_defaults : public QObject {
    Q_OBJECT
    std::unique_ptr<MainWindowFixture> f;
    QPointer<frmDefault> d;

    // The main window started (on request `reqId`, if given), then the
    // defaults window opened from it.
    frmDefault& open(const QString& settingsUpdate = {}, int reqId = 0)
    {
        if (reqId)
            f->at(reqId);
        else
            f->started();
        if (!settingsUpdate.isEmpty())
            MainDb->Execute(settingsUpdate);
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

    void opening()
    {
        frmDefault& w = open(QStringLiteral("update Settings set DefHourlyRate = 350000"));
        QCOMPARE(w.windowTitle(), QStringLiteral("Maintain Defaults"));
        QCOMPARE(showDefaultsWindow(f->w.get()), &w); // one at a time
        QCOMPARE(w.txtMinCharge->text(), QStringLiteral("$25.00"));
        QCOMPARE(w.txtHourlyRate->text(), QStringLiteral("$35.00"));
        QCOMPARE(w.txtCompName->text(), QStringLiteral("Calvedon Service Desk"));
        QCOMPARE(w.txtCompAdd->toPlainText(), QStringLiteral("100 Main Street\nSpringfield, IL  62701"));
        QCOMPARE(fontShown(w.txtCompName), QStringLiteral("Times New Roman 18 bold"));
        QCOMPARE(fontShown(w.txtCompAdd), QStringLiteral("Times New Roman 10"));
        // Each label stands above its box, not over it.
        const QStringList labels{"Minimum Charge", "Hourly Rate", "Company Name", "Company Address"};
        const QList<QWidget*> boxes{w.txtMinCharge, w.txtHourlyRate, w.txtCompName, w.txtCompAdd};
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(w.labelOf(boxes[i])->text(), labels[i]);
            QVERIFY(w.labelOf(boxes[i])->geometry().bottom() < boxes[i]->geometry().top());
        }
        QVERIFY(focusIsIn(w.txtMinCharge));
        QCOMPARE(w.txtMinCharge->selectedText(), QStringLiteral("$25.00"));
        // Saved without a change, the row holds what it held, CR LF included.
        const QString address = setting("CompAdd");
        w.cmdOk->click();
        QCOMPARE(f->messages(), QString());
        QCOMPARE(setting("DefHourlyRate"), QStringLiteral("integer:350000"));
        QCOMPARE(setting("CompAdd"), address);
        QTRY_VERIFY(d.isNull());
    }

    // An empty font field shows the application's font.
    void emptyFontFields()
    {
        frmDefault& w = open(QStringLiteral("update Settings set NFont = null, NSize = null, CompName = null"));
        QCOMPARE(w.txtCompName->font().family(), QApplication::font().family());
        QCOMPARE(pointSize(w.txtCompName->font()), pointSize(QApplication::font()));
        QVERIFY(w.txtCompName->font().bold());
        QCOMPARE(w.txtCompName->text(), QString());
    }

    void moneyBoxLeft_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("message");
        const QString refused = "You must enter a number for the '%1' or leave it blank";
        QTest::newRow("minimum, abc") << "txtMinCharge" << "abc" << "abc" << refused.arg("Minimum Charge");
        QTest::newRow("rate, abc") << "txtHourlyRate" << "abc" << "abc" << refused.arg("Hourly Rate");
        QTest::newRow("currency text") << "txtHourlyRate" << "$12.50" << "$12.50" << "";
        QTest::newRow("plain number") << "txtHourlyRate" << "12.5" << "$12.50" << "";
        QTest::newRow("thousands") << "txtMinCharge" << "1,234.5" << "$1,234.50" << "";
        QTest::newRow("negative") << "txtMinCharge" << "-3" << "($3.00)" << "";
        QTest::newRow("blank") << "txtMinCharge" << "" << "" << "";
        QTest::newRow("blanks only") << "txtHourlyRate" << "   " << "" << "";
        QTest::newRow("too large") << "txtHourlyRate" << "1e300" << "1e300" << "6  Overflow";
    }
    void moneyBoxLeft()
    {
        QFETCH(QString, box);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QFETCH(QString, message);
        frmDefault& w = open();
        auto* b = w.findChild<QLineEdit*>(box);
        QVERIFY(typeInto(b, typed));
        tabOut();
        QCOMPARE(f->messages(), message);
        if (!message.isEmpty() && !message.startsWith('6')) {
            QCOMPARE(f->p.messages[0].flags, Mb::OkOnly | Mb::Critical);
            QCOMPARE(f->p.messages[0].title, ProgramTitle);
        }
        QCOMPARE(b->text(), shown);
        QTRY_COMPARE(focusIsIn(b), !message.isEmpty());
        // Coming back selects the whole text, so typing replaces it.
        if (message.isEmpty() && !shown.isEmpty()) {
            QVERIFY(focusInto(b));
            QCOMPARE(b->selectedText(), shown);
        }
    }

    // OK stores the amounts, and the main window's next costing uses them at once.
    void okStoresRates()
    {
        frmDefault& w = open({}, 8); // 1 hour, $40.00 at the old rate
        QVERIFY(typeInto(w.txtMinCharge, "12.5"));
        QVERIFY(typeInto(w.txtHourlyRate, "50"));
        QCOMPARE(w.txtMinCharge->text(), QStringLiteral("$12.50"));
        w.cmdOk->click();
        QTRY_VERIFY(d.isNull());
        QCOMPARE(setting("DefMinCharge") + ' ' + setting("DefHourlyRate"), QStringLiteral("integer:125000 integer:500000"));
        QCOMPARE(DefaultHourlyRate, Currency::fromWhole(50));
        QCOMPARE(DefaultMinCharge, Currency::fromUnits(125000));

        frmMain& m = *f->w;
        QCOMPARE(m.txtReqID->text(), QStringLiteral("8"));
        m.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&m));
        QVERIFY(focusInto(m.txtMinTot));
        tabOut();
        QCOMPARE(m.txtCostTot->text(), QStringLiteral("$50.00"));
    }

    // A blank box stores an empty field; the costing value cannot be empty,
    // so each blank box gets error 94 once and its value is kept.
    void blankStoresNull_data()
    {
        QTest::addColumn<bool>("minBlank");
        QTest::addColumn<bool>("rateBlank");
        QTest::newRow("minimum") << true << false;
        QTest::newRow("rate") << false << true;
        QTest::newRow("both") << true << true;
    }
    void blankStoresNull()
    {
        QFETCH(bool, minBlank);
        QFETCH(bool, rateBlank);
        frmDefault& w = open();
        if (minBlank)
            QVERIFY(typeInto(w.txtMinCharge, ""));
        if (rateBlank)
            QVERIFY(typeInto(w.txtHourlyRate, ""));
        w.cmdOk->click();
        QTRY_VERIFY(d.isNull());
        const QString null94 = QStringLiteral("94  Invalid use of Null");
        QCOMPARE(f->p.messageTexts(), QStringList(int(minBlank) + int(rateBlank), null94));
        QCOMPARE(setting("DefMinCharge"), minBlank ? "null:" : "integer:250000");
        QCOMPARE(setting("DefHourlyRate"), rateBlank ? "null:" : "integer:400000");
        QCOMPARE(DefaultMinCharge, Currency::fromWhole(25));
        QCOMPARE(DefaultHourlyRate, Currency::fromWhole(40));
    }

    // The Font menu shows the chosen font at once; OK stores it, Cancel does
    // not, and a cancelled font dialog changes nothing.
    void fonts_data()
    {
        QTest::addColumn<int>("item");
        QTest::addColumn<bool>("chosen");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QStringList>("fields"); // Font, Size, Bold, Italic, Under as stored
        const QStringList asWas{"text:Times New Roman", "integer:180000", "integer:1", "integer:0", "integer:0"};
        const QStringList arial{"text:Arial", "integer:140000", "integer:0", "integer:1", "integer:1"};
        const QString arialShown = "Arial 14 italic underline";
        QTest::newRow("name, Ok") << 1 << true << true << arialShown << arial;
        QTest::newRow("name, Cancel") << 1 << true << false << arialShown << asWas;
        QTest::newRow("name, dialog cancelled") << 1 << false << true << "Times New Roman 18 bold" << asWas;
        QTest::newRow("address, Ok") << 2 << true << true << arialShown << arial;
    }
    void fonts()
    {
        QFETCH(int, item);
        QFETCH(bool, chosen);
        QFETCH(bool, ok);
        QFETCH(QString, shown);
        QFETCH(QStringList, fields);
        frmDefault& w = open();
        if (chosen)
            f->p.fonts.enqueue(FontChoice{"Arial", 14, false, true, true});
        w.mnuFont[item]->trigger();
        QWidget* box = item == 1 ? static_cast<QWidget*>(w.txtCompName) : w.txtCompAdd;
        QCOMPARE(fontShown(box), shown);
        QCOMPARE(f->messages(), QString());
        (ok ? w.cmdOk : w.cmdCancel)->click();
        QTRY_VERIFY(d.isNull());
        const QString prefix = item == 1 ? "N" : "A";
        QStringList stored;
        for (const char* suffix : {"Font", "Size", "Bold", "Italic", "Under"})
            stored << setting(prefix + suffix);
        if (item == 2) // the address started as 10 points, not bold
            fields.replace(1, "integer:140000");
        QCOMPARE(stored, fields);
        QCOMPARE(f->messages(), QString());
    }

    // Ways of closing the window, after the minimum charge box was typed
    // into (or not), and what the file then holds.
    void closing_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("typed"); // null: nothing typed
        QTest::addColumn<int>("answer");    // to the question, if one comes
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<bool>("stays");
        QTest::addColumn<QString>("stored");
        const QString was = "integer:250000", refused = "You must enter a number for the 'Minimum Charge' or leave it blank";
        const QString q = SaveQuestion;
        const int yes = int(Answer::Yes), no = int(Answer::No), cancel = int(Answer::Cancel);
        QTest::newRow("close box, nothing changed") << "close box" << QString() << 0 << QStringList{} << false << was;
        QTest::newRow("close box, Yes") << "close box" << "30" << yes << QStringList{q} << false << "integer:300000";
        QTest::newRow("close box, No") << "close box" << "30" << no << QStringList{q} << false << was;
        QTest::newRow("close box, Cancel") << "close box" << "30" << cancel << QStringList{q} << true << was;
        QTest::newRow("close box, Yes, not a number")
            << "close box" << "abc" << yes << QStringList{q, refused} << true << was;
        QTest::newRow("Ok clicked, not a number") << "Ok" << "abc" << 0 << QStringList{refused} << true << was;
        QTest::newRow("Ok by its key, not a number") << "Alt+O" << "abc" << 0 << QStringList{refused} << true << was;
        QTest::newRow("Cancel, not a number") << "Cancel" << "abc" << 0 << QStringList{} << false << was;
    }
    void closing()
    {
        QFETCH(QString, how);
        QFETCH(QString, typed);
        QFETCH(int, answer);
        QFETCH(QStringList, messages);
        QFETCH(bool, stays);
        QFETCH(QString, stored);
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
        QCOMPARE(f->p.messageTexts(), messages);
        if (!messages.isEmpty() && messages[0] == SaveQuestion) {
            QCOMPARE(f->p.messages[0].flags, Mb::YesNoCancel | Mb::Question);
            QCOMPARE(f->p.messages[0].title, ProgramTitle);
        }
        if (stays) {
            QCoreApplication::processEvents();
            QVERIFY(!d.isNull() && d->isVisible());
            QCOMPARE(w.txtMinCharge->text(), typed);
            QTRY_VERIFY(focusIsIn(w.txtMinCharge));
        } else {
            QTRY_VERIFY(d.isNull());
        }
        QCOMPARE(setting("DefMinCharge"), stored);
    }
};

QTEST_MAIN(tst_defaults)
#include "tst_defaults.moc"

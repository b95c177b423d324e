// Every window of the program as a user without a mouse or without sight
// meets it: F1 opens the help file at the window's own topic, as the
// shipped help file titles it; each control a screen reader reaches reads
// a name of its own; Tab reaches every control that can hold the focus.
// And the help window's messages.
#include "base/globals.h"
#include "base/helpfile.h"
#include "dates/frmdateent.h"
#include "defaults/frmdefault.h"
#include "reports/frmoutput.h"
#include "search/frmfind.h"
#include "support/maintfixture.h"
#include "support/testfiles.h"
#include "support/testmain.h"
#include "reports/frmrptdateemp.h"
#include "ui/frmabout.h"
#include "ui/helpwindow.h"

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>

using namespace cvd;
using namespace cvd::test;

static QString shipped() { return qEnvironmentVariable("CVD_SOURCE_DIR") + QStringLiteral("/data/cvd.hlp"); }

// Opens `window` (a Maintain menu entry, or the window's name) over the main
// window of `f`, shown and active.
static QWidget* open(MaintFixture& f, const QString& window, std::unique_ptr<QWidget>& owned)
{
    ReportStartDate = ReportEndDate = QDate(1998, 3, 5);
    ShowLandscapeOption = true;
    auto* options = window == "options" ? new frmRptDateEmp(f.w.get()) : nullptr;
    owned.reset(options                ? options
                : window == "find"     ? static_cast<QWidget*>(new frmFind(*f.w))
                : window == "calendar" ? static_cast<QWidget*>(new frmDateEnt(f.w.get()))
                : window == "preview"  ? static_cast<QWidget*>(new frmOutput)
                : window == "about"    ? static_cast<QWidget*>(new frmAbout)
                                       : nullptr);
    if (options)
        options->Form_Load();
    QWidget* w = owned                 ? owned.get()
                 : window == "main"     ? static_cast<QWidget*>(f.w.get())
                 : window == "help"     ? (HelpWindow::instance()->execute(shipped(), Help::Context, 6), HelpWindow::instance())
                 : window == "defaults" ? static_cast<QWidget*>(showDefaultsWindow(f.w.get()))
                                        : f.open(window.toInt());
    w->show(), w->activateWindow();
    [&] { QTRY_VERIFY(QApplication::activeWindow() == w); }();
    return w;
}

// The controls of a window that take the focus and are on show, each with
// the name a screen reader reads for it, found through the accessibility
// tree.  A part that hands its focus to its control (a list's typing box, a
// tab page's tabs) is not a control of its own.
static void focusable(QAccessibleInterface* a, QList<QPair<QWidget*, QString>>& out)
{
    for (int i = 0; i < a->childCount(); ++i) {
        QAccessibleInterface* c = a->child(i);
        if (!c || c->state().invisible)
            continue;
        auto* w = qobject_cast<QWidget*>(c->object());
        if (c->state().focusable && w && !w->focusProxy())
            out.append({w, c->text(QAccessible::Name)});
        focusable(c, out);
    }
}

class tst_windows : public QObject {
    Q_OBJECT
private slots:
    // A file that cannot be read, or a fault in it, is reported once each
    // time, naming the file (and the line); no window opens.
    void window()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("cvd.hlp"));
        ScriptedPlatform p;
        HelpWindow w;
        QVERIFY(!w.execute(path, Help::Context, 6) && !w.isVisible());
        QVERIFY(writeFile(path, "@topic 6\n@title A\n@topic 6\n@title B\n"));
        QVERIFY(!w.execute(path, Help::Context, 6) && !w.isVisible());
        QStringList told; // the first line of each message
        for (const QString& m : p.messageTexts())
            told << m.section('\n', 0, 0).replace(path, "F");
        QCOMPARE(told, (QStringList{"The help file F was not found.",
                                    "The help file F is not in the expected form (line 3: context number 6 is used twice)."}));
    }

    // F1 opens the help at the topic of the window, or of the control with
    // the focus.  Every control that takes the focus reads a name, no two
    // alike but where the user sees them alike (`alike`); Tab reaches each
    // one that can hold the focus, in the window's tab order where one is
    // given (from the control it opens at); and a key closes the window.
    void keyboardAndNames_data()
    {
        test::columns<QString, QString, QString, QString>("window", "topic", "order", "alike");
        QTest::newRow("main") << "main" << "Describing the Request"
                              << "txtShortDesc txtReqDesc chkResolved dcResDate txtMisc1 txtResp dcReqDate dcDueDate "
                                 "cmbEnteredBy cmbAssignedTo cmbCust cmbDept cmbPri cmbCat txtHoursTot txtMinTot "
                                 "txtAddCharge cmdPaidToday txtAmtPaid dcPaidDate cmdFirst cmdPrevious cmdNext cmdLast "
                                 "cmdAddNew cmdDelete cmdFind cmdHelp"
                              << "";
        int entry = 0;
        for (const char* list : {"Categories", "Customers", "Departments/Companies", "Priorities", "Staff"})
            QTest::newRow(list) << QString::number(++entry) << QStringLiteral("Maintain ") + QLatin1String(list)
                                << (list[1] == 'u' ? "txtFirstName txtLastName txtAddress txtCity txtSt txtZip txtCountry "
                                                 "txtTitle txtPhone txtAltID cmbDept cmdFirst"
                                               : "")
                                << "";
        const QStringList topics{"Maintain Defaults", "Finding Requests (Find)", "Picking a Date from the Calendar",
                                 "Report Options", "Report Output (Preview)", "", ""};
        int at = 0;
        for (const char* window : {"defaults", "find", "calendar", "options", "preview", "about", "help"})
            QTest::newRow(window) << window << topics[at++] << "" << (window[0] == 'h' ? "Contents" : ""); // a tab, a button
    }
    void keyboardAndNames()
    {
        QFETCH(QString, window);
        QFETCH(QString, topic);
        QFETCH(QString, order);
        QFETCH(QString, alike);
        MaintFixture f;
        std::unique_ptr<QWidget> owned;
        QWidget* w = open(f, window, owned);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F1);
        const QList<HelpCall> help = f.p.helpCalls;
        const auto file = HelpFile::load(shipped());
        const HelpTopic* t = help.isEmpty() ? nullptr : file->topic(int(help[0].data));
        QCOMPARE(help.size() == 1 ? help[0].file + ' ' + QString::number(help[0].command) + ' ' + (t ? t->title : "?") : "",
                 topic.isEmpty() ? "" : f.dir.filePath(QStringLiteral("cvd.hlp")) + " 1 " + topic);
        QList<QPair<QWidget*, QString>> controls;
        focusable(QAccessible::queryAccessibleInterface(w), controls);
        QStringList nameless, twice, seen;
        for (const auto& [control, name] : controls) {
            if (name.trimmed().isEmpty())
                nameless << control->objectName();
            else if (seen.contains(name) && name != alike)
                twice << name;
            seen << name;
        }
        QCOMPARE(nameless.join(' ') + " | " + twice.join(", "), QStringLiteral(" | "));
        // A list reads its entry as its value, and as its text where it takes no typing.
        for (const auto& [control, name] : controls)
            if (auto* list = qobject_cast<QComboBox*>(control)) {
                QAccessibleInterface* a = QAccessible::queryAccessibleInterface(list);
                const QAccessibleTextInterface* t = a->textInterface();
                QCOMPARE(a->text(QAccessible::Value) + '|' + (t ? t->text(0, t->characterCount()) : "typed"),
                         list->currentText() + '|' + (list->isEditable() ? "typed" : list->currentText()));
            }
        QVERIFY(controls.size() > 0);

        // Tab from the control with the focus until it comes round again.
        QList<QWidget*> tabbed;
        for (QWidget* at = QApplication::focusWidget(); at && tabbed.size() < 100 && !tabbed.contains(at);
             at = QApplication::focusWidget()) {
            tabbed << at;
            QTest::keyClick(at, Qt::Key_Tab);
        }
        QCOMPARE(f.messages(), QString());
        // Missed: a control that can hold the focus, but for an option that
        // is not chosen (the arrow keys reach it from the chosen one).
        QStringList missed;
        for (const auto& [control, name] : controls) {
            const auto* option = qobject_cast<const QRadioButton*>(control);
            if (control->isEnabled() && (control->focusPolicy() & Qt::TabFocus) && !tabbed.contains(control)
                && !(option && !option->isChecked()) && (control->setFocus(), QApplication::focusWidget() == control))
                missed << control->objectName();
        }
        QCOMPARE(missed, QStringList());
        QStringList names;
        for (const QWidget* at : tabbed + tabbed)
            names << at->objectName();
        const QStringList want = order.split(' ', Qt::SkipEmptyParts);
        QCOMPARE(names.mid(0, want.size()), want); // from where the window opens
        // And a key closes the window (the main window's File menu is left out).
        const QKeyCombination close = QKeySequence::fromString(window.size() == 1 ? "Alt+O" : window == "defaults" ? "Alt+C" : "Esc")[0];
        QTest::keyClick(QApplication::focusWidget(), close.key(), close.keyboardModifiers());
        QTRY_COMPARE(w->isVisible(), window == "main");
    }
};

CVD_TEST_MAIN(tst_windows)
#include "tst_windows.moc"

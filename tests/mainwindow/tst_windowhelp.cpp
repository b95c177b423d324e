// The help window's messages, and F1 in each window the main window opens:
// the help file opens at the window's own topic, as the shipped help file
// titles it.
#include "base/helpfile.h"
#include "dates/frmdateent.h"
#include "defaults/frmdefault.h"
#include "reports/frmoutput.h"
#include "search/frmfind.h"
#include "support/maintfixture.h"
#include "support/testfiles.h"
#include "support/testmain.h"
#include "ui/helpwindow.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QtTest>

using namespace cvd;
using namespace cvd::test;

static QString shipped() { return qEnvironmentVariable("CVD_SOURCE_DIR") + QStringLiteral("/data/cvd.hlp"); }

class tst_windowhelp : public QObject {
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

    void f1_data()
    {
        test::columns<QString, QString>("window", "topic"); // window: a Maintain menu entry, or the window's name
        int entry = 0;
        for (const char* list : {"Categories", "Customers", "Departments/Companies", "Priorities", "Staff"})
            QTest::newRow(list) << QString::number(++entry) << QStringLiteral("Maintain ") + QLatin1String(list);
        QTest::newRow("defaults") << "defaults" << "Maintain Defaults";
        QTest::newRow("find") << "find" << "Finding Requests (Find)";
        QTest::newRow("calendar") << "calendar" << "Picking a Date from the Calendar";
        QTest::newRow("preview") << "preview" << "Report Output (Preview)";
    }
    void f1()
    {
        QFETCH(QString, window);
        MaintFixture f;
        std::unique_ptr<QWidget> owned(window == "find"       ? static_cast<QWidget*>(new frmFind(*f.w))
                                       : window == "calendar" ? static_cast<QWidget*>(new frmDateEnt(f.w.get()))
                                       : window == "preview"  ? new frmOutput
                                                              : nullptr);
        QWidget* w = owned ? owned.get() : window == "defaults" ? static_cast<QWidget*>(showDefaultsWindow(f.w.get()))
                                                                : f.open(window.toInt());
        w->show(), w->activateWindow();
        QTRY_VERIFY(QApplication::activeWindow() == w);
        QWidget* focus = QApplication::focusWidget();
        QTest::keyClick(focus && focus->window() == w ? focus : w, Qt::Key_F1);
        QCOMPARE(f.p.helpCalls.size(), 1);
        const HelpCall call = f.p.helpCalls[0];
        QCOMPARE(call.file + ' ' + QString::number(call.command), f.dir.filePath(QStringLiteral("cvd.hlp")) + " 1");
        const auto file = HelpFile::load(shipped());
        const HelpTopic* t = file->topic(int(call.data));
        QTEST(t ? t->title : QString::number(call.data), "topic");
    }
};

CVD_TEST_MAIN(tst_windowhelp)
#include "tst_windowhelp.moc"

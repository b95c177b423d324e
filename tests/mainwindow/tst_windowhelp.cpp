// The help file format, the help text shipped with the program, the help
// window, and F1 in each window the main window opens: the help file opens
// at the window's own topic, as the shipped help file titles it.
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
#include <QLineEdit>
#include <QTemporaryDir>
#include <QtTest>

using namespace cvd;
using namespace cvd::test;

static QString shipped() { return qEnvironmentVariable("CVD_SOURCE_DIR") + QStringLiteral("/data/cvd.hlp"); }

class tst_windowhelp : public QObject {
    Q_OBJECT
private slots:
    void parsesTopics()
    {
        const QString text = QStringLiteral("# comment\n@help Test Help\n\n@topic 6\n@title Main Window\n@keywords main; Browsing\n"
                                            "First line\nsame paragraph.\n\n- item one\n- item <two>\n\n@topic 7\n@title Zoë's topic\n"
                                            "@keywords browsing; add\nSee [[6]] and [[6|there]], not [[8]].\n");
        QString err;
        auto f = HelpFile::parse(text, &err);
        QVERIFY2(f, qPrintable(err));
        // Search: every keyword once, case-insensitive on the beginning.
        QCOMPARE(f->keywords(), (QStringList{"add", "Browsing", "main"}));
        QCOMPARE(f->keywordsStartingWith(QStringLiteral("BR")), QStringList{"Browsing"});
        const QString html6 = f->bodyHtml(*f->topic(6));
        QVERIFY(html6.contains(QStringLiteral("<p>First line same paragraph.</p>")));
        QVERIFY(html6.contains(QStringLiteral("<li>item &lt;two&gt;</li>")));
        QVERIFY(f->bodyHtml(*f->topic(7)).contains(QStringLiteral("<a href=\"topic:6\">Main Window</a>")));
        QCOMPARE(f->brokenLinks(), QList<int>{8});
    }

    // The shipped file: every link leads somewhere, and every help context
    // number of the program (f1 below: the windows' own) has a topic
    // with real text.
    void shippedFileCoversTheProgram()
    {
        QString err;
        auto f = HelpFile::load(shipped(), &err);
        QVERIFY2(f && f->brokenLinks().isEmpty(), qPrintable(err));
        for (int n : {0, 6, 7, 8, 9, 11, 13, 15, 16, 17, 18, 19, 20, 21, 22, 43, 105, 109, 110, 111, 112, 113}) {
            const HelpTopic* t = f->topic(n);
            QVERIFY2(t && !t->keywords.isEmpty() && t->body.size() >= 150, qPrintable(QString::number(n)));
        }
    }

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
        p.messages.clear();

        QVERIFY(w.execute(shipped(), Help::Context, 22));
        QCOMPARE(w.pageTitle(), QStringLiteral("Time, Cost and Payment"));
        // A number without a topic shows the contents with a note; Back
        // returns to the topic read before.
        QVERIFY(w.execute(shipped(), Help::Context, 999));
        QVERIFY(w.pageText().contains(QStringLiteral("no help topic number 999"))
                && w.pageText().contains(QStringLiteral("Maintain Customers")));
        w.goBack();
        QCOMPARE(w.currentTopic(), 22);
        // Search by the beginning of a keyword.
        QVERIFY(w.execute(shipped(), Help::PartialKey, 0));
        auto* edit = w.findChild<QLineEdit*>(QStringLiteral("txtSearch"));
        QVERIFY(edit);
        QTest::keyClicks(edit, QStringLiteral("hou"));
        QCOMPARE(w.shownKeywords(), w.file()->keywordsStartingWith(QStringLiteral("hou")));
        QTest::keyClick(edit, Qt::Key_Return);
        QVERIFY(!w.shownSearchTopics().isEmpty());
        // Help on help needs no file.
        QVERIFY(w.execute(QString(), Help::HelpOnHelp, 0));
        QCOMPARE(w.pageTitle(), QStringLiteral("How to Use Help"));
        QVERIFY(p.messages.isEmpty());
    }

    void f1_data()
    {
        QTest::addColumn<QString>("window"); // a Maintain menu entry, or the window's name
        QTest::addColumn<QString>("topic");
        QTest::newRow("categories") << "1" << "Maintain Categories";
        QTest::newRow("customers") << "2" << "Maintain Customers";
        QTest::newRow("departments") << "3" << "Maintain Departments/Companies";
        QTest::newRow("priorities") << "4" << "Maintain Priorities";
        QTest::newRow("staff") << "5" << "Maintain Staff";
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
        QWidget* w = owned                  ? owned.get()
                     : window == "defaults" ? static_cast<QWidget*>(showDefaultsWindow(f.w.get()))
                                            : f.open(window.toInt());
        w->show();
        w->activateWindow();
        QTRY_VERIFY(QApplication::activeWindow() == w);
        QWidget* focus = QApplication::focusWidget();
        QTest::keyClick(focus && focus->window() == w ? focus : w, Qt::Key_F1);
        QCOMPARE(f.p.helpCalls.size(), 1);
        const HelpCall call = f.p.helpCalls[0];
        QCOMPARE(call.file + ' ' + QString::number(call.command), f.dir.filePath(QStringLiteral("cvd.hlp")) + " 1");
        const auto file = HelpFile::load(shipped());
        QVERIFY(file);
        const HelpTopic* t = file->topic(int(call.data));
        QTEST(t ? t->title : QString::number(call.data), "topic");
    }
};

CVD_TEST_MAIN(tst_windowhelp)
#include "tst_windowhelp.moc"

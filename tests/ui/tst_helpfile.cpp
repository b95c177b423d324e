// The help file format, the help text shipped with the program, and the help window.
#include "base/helpfile.h"
#include "support/scriptedplatform.h"
#include "support/testfiles.h"
#include "support/testmain.h"
#include "ui/helpwindow.h"

#include <QLineEdit>
#include <QTemporaryDir>
#include <QtTest>

using namespace cvd;

static QString shippedPath() { return qEnvironmentVariable("CVD_SOURCE_DIR") + QStringLiteral("/data/cvd.hlp"); }

class tst_helpfile : public QObject {
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

    // Every help context number of the program has a topic with real text,
    // and so has every window without a number of its own (the calendar,
    // the defaults, the report options and the report output: 102 to 107);
    // every link leads somewhere.
    void shippedFileCoversTheProgram()
    {
        QString err;
        auto f = HelpFile::load(shippedPath(), &err);
        QVERIFY2(f, qPrintable(err));
        QVERIFY(f->brokenLinks().isEmpty());
        for (int n : {0, 6, 7, 8, 9, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 28, 31, 32, 33, 43, 102, 104,
                      106, 107}) {
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
        test::ScriptedPlatform p;
        HelpWindow w;
        QVERIFY(!w.execute(path, Help::Context, 6) && !w.isVisible());
        QVERIFY(test::writeFile(path, "@topic 6\n@title A\n@topic 6\n@title B\n"));
        QVERIFY(!w.execute(path, Help::Context, 6) && !w.isVisible());
        QCOMPARE(p.messages.size(), 2);
        QVERIFY2(p.messages[0].text.startsWith(QStringLiteral("The help file %1 was not found.").arg(path)),
                 qPrintable(p.messages[0].text));
        QVERIFY2(p.messages[1].text.startsWith(QStringLiteral("The help file %1 is not in the expected form "
                                                              "(line 3: context number 6 is used twice).").arg(path)),
                 qPrintable(p.messages[1].text));
        p.messages.clear();

        QVERIFY(w.execute(shippedPath(), Help::Context, 22));
        QCOMPARE(w.pageTitle(), QStringLiteral("Time, Cost and Payment"));
        // A number without a topic shows the contents with a note; Back
        // returns to the topic read before.
        QVERIFY(w.execute(shippedPath(), Help::Context, 999));
        QVERIFY(w.pageText().contains(QStringLiteral("no help topic number 999"))
                && w.pageText().contains(QStringLiteral("Maintain Customers")));
        w.goBack();
        QCOMPARE(w.currentTopic(), 22);
        // Search by the beginning of a keyword.
        QVERIFY(w.execute(shippedPath(), Help::PartialKey, 0));
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
};

CVD_TEST_MAIN(tst_helpfile)
#include "tst_helpfile.moc"

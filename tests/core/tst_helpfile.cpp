// The help file format, the help text shipped with the program, and the help window.
#include "core/helpfile.h"
#include "core/helpwindow.h"
#include "support/scriptedplatform.h"

#include <QLineEdit>
#include <QTemporaryDir>
#include <QtTest>

using namespace cvd;

class tst_helpfile : public QObject {
    Q_OBJECT
private:
    static QString shippedPath() { return qEnvironmentVariable("CVD_SOURCE_DIR") + QStringLiteral("/data/cvd.hlp"); }

private slots:
    void parsesTopics()
    {
        const QString text = QStringLiteral("# comment\n@help Test Help\n\n@topic 6\n@title Main Window\n@keywords main; Browsing\n"
                                            "First line\nsame paragraph.\n\n- item one\n- item <two>\n\n@topic 7\n@title Zoë's topic\n"
                                            "@keywords browsing; add\nSee [[6]] and [[6|there]], not [[8]].\n");
        QString err;
        auto f = HelpFile::parse(text, &err);
        QVERIFY2(f, qPrintable(err));
        QCOMPARE(f->title(), QStringLiteral("Test Help"));
        QCOMPARE(f->topic(7)->title, QStringLiteral("Zoë's topic"));
        QCOMPARE(f->topic(6)->keywords, (QStringList{"main", "Browsing"}));
        // Search: every keyword once, case-insensitive on the beginning.
        QCOMPARE(f->keywords(), (QStringList{"add", "Browsing", "main"}));
        QCOMPARE(f->keywordsStartingWith(QStringLiteral("BR")), QStringList{"Browsing"});
        QCOMPARE(f->topicsWithKeyword(QStringLiteral("browsing")).size(), 2);
        const QString html6 = f->bodyHtml(*f->topic(6));
        QVERIFY(html6.contains(QStringLiteral("<p>First line same paragraph.</p>")));
        QVERIFY(html6.contains(QStringLiteral("<li>item &lt;two&gt;</li>")));
        const QString html7 = f->bodyHtml(*f->topic(7));
        QVERIFY(html7.contains(QStringLiteral("<a href=\"topic:6\">Main Window</a>")));
        QCOMPARE(f->brokenLinks(), QList<int>{8});
    }

    void refusesFaults_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        QTest::newRow("duplicate") << "@topic 6\n@title A\n@topic 6\n@title B\n" << "line 3: context number 6 is used twice";
        QTest::newRow("not a number") << "@topic six\n@title A\n" << "line 1: \"six\" is not a context number";
        QTest::newRow("no title at end") << "@topic 6\nbody\n" << "line 3: topic 6 has no @title";
        QTest::newRow("unknown directive") << "@topic 6\n@title A\n@colour red\n" << "line 3: unknown directive @colour";
    }
    void refusesFaults()
    {
        QFETCH(QString, text);
        QFETCH(QString, message);
        QString err;
        QVERIFY(!HelpFile::parse(text, &err));
        QCOMPARE(err, message);
    }

    // Every window and every help context number of the program has a topic
    // with real text, and every link leads somewhere.
    void shippedFileCoversTheProgram_data()
    {
        QTest::addColumn<int>("context");
        for (int n : {0, 6, 7, 8, 9, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 28, 31, 32, 33, 43})
            QTest::addRow("%d", n) << n;
    }
    void shippedFileCoversTheProgram()
    {
        QFETCH(int, context);
        QString err;
        auto f = HelpFile::load(shippedPath(), &err);
        QVERIFY2(f, qPrintable(err));
        const HelpTopic* t = f->topic(context);
        QVERIFY2(t, qPrintable(QStringLiteral("no topic %1").arg(context)));
        QVERIFY(!t->keywords.isEmpty());
        QVERIFY2(t->body.size() >= 150, qPrintable(t->title));
    }

    void shippedFileDescribesEveryWindow()
    {
        auto f = HelpFile::load(shippedPath());
        QVERIFY(f);
        QVERIFY(f->brokenLinks().isEmpty());
        for (const char* c : {"Calvedon", "Maintain Categories", "Maintain Priorities", "Maintain Customers",
                              "Maintain Departments/Companies", "Maintain Staff", "Find Request", "calendar",
                              "Maintain Defaults", "Report Options", "Report Output", "About the Calvedon Program"}) {
            bool found = false;
            for (const auto& t : f->topics())
                found = found || t.title.contains(QString::fromUtf8(c), Qt::CaseInsensitive)
                        || t.body.contains(QString::fromUtf8(c), Qt::CaseInsensitive);
            QVERIFY2(found, c);
        }
    }

    void windowOpensAtContextNumber()
    {
        test::ScriptedPlatform p;
        HelpWindow w;
        QVERIFY(w.execute(shippedPath(), Help::Context, 22));
        QCOMPARE(w.currentTopic(), 22);
        QCOMPARE(w.pageTitle(), QStringLiteral("Time, Cost and Payment"));
        QVERIFY(w.pageText().contains(QStringLiteral("minimum charge")));
        QVERIFY(w.execute(shippedPath(), Help::Context, 0));
        QCOMPARE(w.currentTopic(), -1);
        QVERIFY(w.pageText().contains(QStringLiteral("Maintain Customers")));
        // A number without a topic shows the contents with a note.
        QVERIFY(w.execute(shippedPath(), Help::Context, 999));
        QVERIFY(w.pageText().contains(QStringLiteral("no help topic number 999")));
        QVERIFY(p.messages.isEmpty());
        // Back returns to the topic read before the contents.
        w.goBack();
        QCOMPARE(w.currentTopic(), 22);
    }

    void windowSearchesByPartialKey()
    {
        test::ScriptedPlatform p;
        HelpWindow w;
        QVERIFY(w.execute(shippedPath(), Help::PartialKey, 0));
        QVERIFY(w.shownKeywords().size() > 20);
        auto* edit = w.findChild<QLineEdit*>(QStringLiteral("txtSearch"));
        QVERIFY(edit);
        QTest::keyClicks(edit, QStringLiteral("hou"));
        const QStringList shown = w.shownKeywords();
        QVERIFY(!shown.isEmpty());
        for (const QString& k : shown)
            QVERIFY2(k.startsWith(QStringLiteral("hou"), Qt::CaseInsensitive), qPrintable(k));
        QTest::keyClick(edit, Qt::Key_Return);
        QVERIFY(!w.shownSearchTopics().isEmpty());
    }

    void usingHelpNeedsNoFile()
    {
        test::ScriptedPlatform p;
        HelpWindow w;
        QVERIFY(w.execute(QString(), Help::HelpOnHelp, 0));
        QCOMPARE(w.pageTitle(), QStringLiteral("How to Use Help"));
        QVERIFY(w.pageText().contains(QStringLiteral("F1")));
        QVERIFY(p.messages.isEmpty());
    }

    void missingOrBadFileIsReported_data()
    {
        QTest::addColumn<QByteArray>("content"); // empty: no file
        QTest::addColumn<QString>("expected");
        QTest::newRow("missing") << QByteArray() << "was not found";
        QTest::newRow("not a help file") << QByteArray("\x7f" "ELF binary stuff\n") << "not in the expected form";
    }
    void missingOrBadFileIsReported()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("cvd.hlp"));
        if (!content.isEmpty()) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(content);
        }
        test::ScriptedPlatform p;
        HelpWindow w;
        QVERIFY(!w.execute(path, Help::Context, 6));
        QVERIFY(!w.isVisible());
        QCOMPARE(p.messages.size(), 1);
        QVERIFY(p.messages[0].text.contains(path));
        QVERIFY2(p.messages[0].text.contains(expected), qPrintable(p.messages[0].text));
    }
};

QTEST_MAIN(tst_helpfile)
#include "tst_helpfile.moc"

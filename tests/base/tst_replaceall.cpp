// ReplaceAll: every occurrence replaced, left to right, never looking into
// an inserted replacement; the caller's text changed in place, at any length.
#include "base/mwfunctions.h"
#include "support/testmain.h"

#include <QtTest>

using namespace cvd;

class tst_replaceall : public QObject {
    Q_OBJECT
private slots:
    void replaces_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("search");
        QTest::addColumn<QString>("replacement");
        QTest::addColumn<QString>("expected");
        QTest::newRow("apostrophe doubled") << "O'Brien" << "'" << "''" << "O''Brien";
        QTest::newRow("two apostrophes become four") << "''" << "'" << "''" << "''''";
        QTest::newRow("separators removed") << "a|b|c" << "|" << "" << "abc";
        QTest::newRow("not found") << "Printer jam" << "x" << "y" << "Printer jam";
        QTest::newRow("empty search") << "a'b" << "" << "x" << "a'b";
        QTest::newRow("case-sensitive") << "Printer printer" << "printer" << "P" << "Printer P";
        QTest::newRow("odd run, no overlap") << "aaa" << "aa" << "b" << "ba";
        QTest::newRow("replacement not searched again") << "ab" << "a" << "aa" << "aab";
        QTest::newRow("replacement forms a new match") << "aab" << "ab" << "b" << "ab";
        QTest::newRow("unicode, surrogate pairs kept") << "Zoë|李|😀" << "|" << " · " << "Zoë · 李 · 😀";
        // Occurrences beyond character 32,767 and right at the end.
        for (const int length : {32768, 1000000}) {
            const QString text = QStringLiteral("xxxxxxxxx'").repeated(length / 10 + 1).left(length - 1) + '\'';
            QTest::addRow("%d characters", length) << text << "'" << "''" << QString(text).replace(u'\'', QStringLiteral("''"));
        }
    }
    void replaces()
    {
        QFETCH(QString, text);
        QFETCH(QString, search);
        QFETCH(QString, replacement);
        QFETCH(QString, expected);
        QCOMPARE(ReplaceAll(text, search, replacement), expected);
        QCOMPARE(text, expected); // the caller's variable holds the result too
    }
};

CVD_TEST_GUILESS_MAIN(tst_replaceall)
#include "tst_replaceall.moc"

// ReplaceAll: every occurrence replaced, left to right, never looking into
// an inserted replacement; the caller's text changed in place.
#include "requests/mwfunctions.h"

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
        QTest::newRow("separators removed") << "a|b|c" << "|" << "" << "abc";
        QTest::newRow("not found") << "Printer jam" << "x" << "y" << "Printer jam";
        QTest::newRow("empty text") << "" << "'" << "''" << "";
        QTest::newRow("adjacent commas") << "a,,b" << "," << ";" << "a;;b";
        QTest::newRow("two apostrophes become four") << "''" << "'" << "''" << "''''";
        QTest::newRow("apostrophes at both ends") << "'x'" << "'" << "''" << "''x''";
        QTest::newRow("whole text") << "abc" << "abc" << "z" << "z";
        QTest::newRow("case-sensitive") << "Printer printer" << "printer" << "P" << "Printer P";
        QTest::newRow("longer search, no overlap") << "aaaa" << "aa" << "b" << "bb";
        QTest::newRow("odd run, no overlap") << "aaa" << "aa" << "b" << "ba";
        QTest::newRow("replacement not searched again") << "ab" << "a" << "aa" << "aab";
        QTest::newRow("replacement forms a new match") << "aab" << "ab" << "b" << "ab";
        QTest::newRow("columns and rows to tabs") << "Name|Hours;Smith|3;" << "|" << "\t"
                                                  << "Name\tHours;Smith\t3;";
        QTest::newRow("unicode") << "Zoë|李|Ångström" << "|" << " · " << "Zoë · 李 · Ångström";
        QTest::newRow("surrogate pair kept") << "a😀b😀" << "😀" << "-" << "a-b-";
    }
    void replaces()
    {
        QFETCH(QString, text);
        QFETCH(QString, search);
        QFETCH(QString, replacement);
        QFETCH(QString, expected);
        QString s = search, r = replacement;
        const QString result = ReplaceAll(text, s, r);
        QCOMPARE(result, expected);
        QCOMPARE(text, expected); // the caller's variable holds the result too
        QCOMPARE(s, search);
        QCOMPARE(r, replacement);
    }

    // An empty search text ends and changes nothing.
    void emptySearchEnds()
    {
        QString text = QStringLiteral("a'b");
        QCOMPARE(ReplaceAll(text, QString(), QStringLiteral("x")), QStringLiteral("a'b"));
        QCOMPARE(text, QStringLiteral("a'b"));
    }

    // Texts of any length, with occurrences beyond character 32,767 and
    // right at the end.
    void longTexts_data()
    {
        QTest::addColumn<int>("length");
        QTest::newRow("32,767") << 32767;
        QTest::newRow("32,768") << 32768;
        QTest::newRow("100,000") << 100000;
        QTest::newRow("1,000,000") << 1000000;
    }
    void longTexts()
    {
        QFETCH(int, length);
        QString text(length, QLatin1Char('x'));
        for (int i = 9; i < length; i += 10)
            text[i] = QLatin1Char('\'');
        text[length - 1] = QLatin1Char('\'');
        const qsizetype quotes = text.count(QLatin1Char('\''));
        QString expected = text;
        expected.replace(QStringLiteral("'"), QStringLiteral("''"));

        const QString result = ReplaceAll(text, QStringLiteral("'"), QStringLiteral("''"));
        QCOMPARE(result.size(), qsizetype(length) + quotes);
        QVERIFY(result == expected);
        QVERIFY(text == expected);
        QVERIFY(result.endsWith(QStringLiteral("x''")));

        // and back
        ReplaceAll(text, QStringLiteral("''"), QStringLiteral("'"));
        QCOMPARE(text.size(), qsizetype(length));
        QCOMPARE(text.count(QLatin1Char('\'')), quotes);
    }
};

QTEST_APPLESS_MAIN(tst_replaceall)
#include "tst_replaceall.moc"

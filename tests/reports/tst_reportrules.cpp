// The rules of the report rows: carrying minutes into hours, the running
// sums with empty amounts, the subtotal and totals lines, names, the postal
// lines of a bill, the cells, and how a row becomes a line of the file.
#include "support/testmain.h"
#include "base/formats.h"
#include "reports/reportoutput.h"
#include "reports/reportrules.h"

#include <QtTest>

using namespace cvd;

class tst_reportrules : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { fmt::setLocale(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void carrying_data()
    {
        QTest::addColumn<double>("hours");
        QTest::addColumn<double>("minutes");
        QTest::addColumn<QString>("shown");
        QTest::newRow("2 h 130 min") << 2.0 << 130.0 << "4 10";
        QTest::newRow("0 h 61 min") << 0.0 << 61.0 << "1 1";
        QTest::newRow("59 min stay") << 0.0 << 59.0 << "0 59";
        QTest::newRow("60 min") << 0.0 << 60.0 << "1 0";
        QTest::newRow("120 min") << 1.5 << 120.0 << "3.5 0";
        QTest::newRow("fraction of a minute") << 0.0 << 90.5 << "1 30.5";
        QTest::newRow("nothing") << 0.0 << 0.0 << "0 0";
    }
    void carrying()
    {
        QFETCH(double, hours);
        QFETCH(double, minutes);
        QFETCH(QString, shown);
        carryMinutes(hours, minutes);
        QCOMPARE(fmt::numberText(hours) + u' ' + fmt::numberText(minutes), shown);
    }

    // Empty amounts add nothing, and no error is raised for them; hours
    // and minutes add the number shown.
    void sums()
    {
        TimeSums t;
        t.add(Value(1.5f), Value(130.0f), Value(Currency::fromWhole(50)), Value(Currency::fromUnits(125000)));
        t.add(Value(), Value(), Value(), Value());
        t.add(Value(0.1f), Value(0.2f), Value(), Value(Currency::fromWhole(1)));
        t.add(Value(0.5f), Value(), Value(Currency::fromUnits(393300)), Value());
        QCOMPARE(sumsLine(QStringLiteral("Totals:"), t), QStringLiteral("|Totals:|4.1|10.2|$89.33|$13.50|"));
        QCOMPARE(t.minutes, 130.2); // the sums themselves are not carried
        t.clear();
        QCOMPARE(sumsLine(QStringLiteral("Subtotal:"), t), QStringLiteral("|Subtotal:|0|0|$0.00|$0.00|"));
    }

    void names()
    {
        QCOMPARE(personName(Value("Ann"), Value("Adams")), QStringLiteral("Ann Adams"));
        QCOMPARE(personName(Value(), Value("李")), QStringLiteral(" 李"));
        QCOMPARE(personName(Value("Ann"), Value()), QStringLiteral("Ann "));
        QCOMPARE(personName(Value(), Value()), QStringLiteral(" "));
    }

    void recipient_data()
    {
        QTest::addColumn<QStringList>("fields"); // address, city, st, zip, country; "-" for Null
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("full") << QStringList{"1 Elm Street", "Springfield", "IL", "62701", "USA"}
                              << QStringList{"Ann Adams", "1 Elm Street", "Springfield, IL  62701", "USA"};
        QTest::newRow("nothing") << QStringList{"-", "-", "-", "-", "-"} << QStringList{"Ann Adams", ""};
        QTest::newRow("blanks only") << QStringList{"", " ", "", " ", "   "} << QStringList{"Ann Adams", ""};
        QTest::newRow("zip only") << QStringList{"-", "-", "-", "751 05", "Sweden"}
                                  << QStringList{"Ann Adams", "", ",   751 05", "Sweden"};
        QTest::newRow("no state") << QStringList{"Box 7", "Uppsala", "-", "751 05", "  Sweden  "}
                                  << QStringList{"Ann Adams", "Box 7", "Uppsala,   751 05", "  Sweden  "};
    }
    void recipient()
    {
        QFETCH(QStringList, fields);
        QFETCH(QStringList, lines);
        auto v = [&](int i) { return fields[i] == QLatin1String("-") ? Value() : Value(fields[i]); };
        QCOMPARE(recipientLines(QStringLiteral("Ann Adams"), v(0), v(1), v(2), v(3), v(4)), lines);
    }

    void cells()
    {
        CellTexts c;
        QCOMPARE(c.date(Value(QDate(2031, 6, 15))), QStringLiteral("6/15/2031"));
        QCOMPARE(c.date(Value(QDate(1925, 3, 4))), QStringLiteral("3/4/1925"));
        QCOMPARE(c.date(Value()), QString());
        QCOMPARE(c.money(Value(Currency::fromUnits(12345678))), QStringLiteral("$1,234.57"));
        QCOMPARE(c.money(Value(Currency::fromUnits(-30000))), QStringLiteral("($3.00)"));
        QCOMPARE(c.money(Value()), QString());
        QCOMPARE(c.number(Value(0.1f)), QStringLiteral("0.1"));
        QCOMPARE(c.number(Value(130.0f)), QStringLiteral("130"));
        QCOMPARE(c.number(Value(1234567.0f)), QStringLiteral("1234567"));
        QCOMPARE(c.number(Value()), QString());
        // Remembered texts follow the value, not the first one asked for.
        QCOMPARE(c.money(Value(Currency::fromUnits(12345678))), QStringLiteral("$1,234.57"));
        QCOMPARE(c.money(Value(Currency::fromWhole(5))), QStringLiteral("$5.00"));
    }

    // Rows as the reports compose them (tableRow), and as lines of the text
    // file: the separators become tabs, a field's own marks stay as typed,
    // its tabs and line breaks become blanks.
    void fileLines_data()
    {
        QTest::addColumn<QString>("row");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("line");
        QTest::newRow("data") << tableRow({u"1/5/2026", u"Fix it", u"1", u"0", u"$40.00", u"$40.00", u"Jane Smith"})
                              << int(FileRow::Data) << "1/5/2026\tFix it\t1\t0\t$40.00\t$40.00\tJane Smith\t";
        QTest::newRow("data, marks in fields") << tableRow({u"1/5/2026", u"Fix | it; now", u"|", u";", u"Ann; Lee|Jr"})
                                               << int(FileRow::Data) << "1/5/2026\tFix | it; now\t|\t;\tAnn; Lee|Jr\t";
        QTest::newRow("total") << "|Totals:|4|10|$1.00|$0.00|" << int(FileRow::Total) << "\tTotals:\t4\t10\t$1.00\t$0.00\t";
        QTest::newRow("bill") << tableRow({u"1/5/2026", u"Fix it", u"$40.00"}) << int(FileRow::Bill) << "1/5/2026\tFix it\t$40.00";
        QTest::newRow("bill, marks in fields") << tableRow({u"1/5/2026", u"Printer; toner low | now", u"$40.00"})
                                               << int(FileRow::Bill) << "1/5/2026\tPrinter; toner low | now\t$40.00";
        QTest::newRow("multi-line text") << tableRow({u"1/5/2026", u"No", u"Ann Adams", u"", u"", u"x", u"line 1\r\nline 2\nline 3\rline 4", u""})
                                         << int(FileRow::Data) << "1/5/2026\tNo\tAnn Adams\t\t\tx\tline 1 line 2 line 3 line 4\t\t";
        QTest::newRow("tabs in a field") << tableRow({u"1/5/2026", u"Tab\tbed\t", u"$1.00"}) << int(FileRow::Bill)
                                         << "1/5/2026\tTab bed \t$1.00";
        QTest::newRow("bill total") << "Total Amount Due:|$75.00;" << int(FileRow::Bill) << "Total Amount Due:\t$75.00";
    }
    void fileLines()
    {
        QFETCH(QString, row);
        QFETCH(int, kind);
        QFETCH(QString, line);
        QCOMPARE(fileLine(row, FileRow(kind)), line);
    }
};

CVD_TEST_GUILESS_MAIN(tst_reportrules)
#include "tst_reportrules.moc"

// The rules of the report rows: carrying minutes into hours, the running
// sums with empty amounts, the subtotal and totals lines, names, the postal
// lines of a bill, the cells.  How rows become lines of the text file shows
// in the golden files and tst_reportmarks.
#include "support/testmain.h"
#include "base/formats.h"
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
};

CVD_TEST_GUILESS_MAIN(tst_reportrules)
#include "tst_reportrules.moc"

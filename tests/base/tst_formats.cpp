// Money, numbers and dates as the user types and sees them, under United
// States conventions, and the conversions of field values.  (The cost of a
// request is computed in tst_editing, from what is typed into the boxes.)
#include "base/formats.h"
#include "db/currency.h"
#include "db/errors.h"
#include "db/value.h"
#include "support/testfiles.h"
#include "support/testmain.h"

#include <QTest>
#include <limits>

using cvd::Currency;
using cvd::Value;
namespace fmt = cvd::fmt;
using cvd::test::errorOf;

Q_DECLARE_METATYPE(Value)

// One of a value's conversions, by name.
static QVariant convert(const Value& v, const QString& what)
{
    if (what == "bool") return v.toBool();
    if (what == "long") return v.toLong();
    if (what == "single") return v.toSingle();
    if (what == "double") return v.toDouble();
    if (what == "currency") return qlonglong(v.toCurrency().units);
    if (what == "date") return v.toDate();
    return what == "text" ? v.toText() : v.displayText();
}

constexpr qlonglong maxUnits = std::numeric_limits<qlonglong>::max();
constexpr qlonglong minUnits = std::numeric_limits<qlonglong>::min();

class TestFormats : public QObject {
    Q_OBJECT

private slots:
    void init() { fmt::setLocale(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void currencyFrom_data()
    {
        QTest::addColumn<QVariant>("input"); // a double, or a text as typed
        QTest::addColumn<qlonglong>("units");
        QTest::addColumn<int>("error");
        // Exact halves of a ten-thousandth go to the even neighbour.
        QTest::newRow("1.03125 half down to even") << QVariant(1.03125) << 10312LL << 0;
        QTest::newRow("0.21875 half up to even") << QVariant(0.21875) << 2188LL << 0;
        // Decimal-looking halves are not exact in binary: the double's own value decides.
        QTest::newRow("0.00005 lies above the half") << QVariant(0.00005) << 1LL << 0;
        QTest::newRow("lowest half") << QVariant(-922337203685477.5) << -9223372036854775000LL << 0;
        QTest::newRow("beyond the top") << QVariant(922337203685478.0) << 0LL << 6;
        QTest::newRow("nan") << QVariant(std::numeric_limits<double>::quiet_NaN()) << 0LL << 6;
        // Text is read as the decimal number it shows, so halves are exact.
        QTest::newRow("text 0.00005 half to even") << QVariant("0.00005") << 0LL << 0;
        QTest::newRow("text 0.00015 half to even") << QVariant("0.00015") << 2LL << 0;
        QTest::newRow("text largest") << QVariant("922,337,203,685,477.5807") << maxUnits << 0;
        QTest::newRow("text one above the largest") << QVariant("922337203685477.5808") << 0LL << 6;
    }
    void currencyFrom()
    {
        QFETCH(QVariant, input);
        QFETCH(qlonglong, units);
        QFETCH(int, error);
        Currency c;
        if (input.typeId() == QMetaType::QString)
            QCOMPARE(errorOf([&] { c = fmt::toCurrency(input.toString()); }), error);
        else
            QCOMPARE(errorOf([&] { c = Currency::fromDouble(input.toDouble()); }), error);
        if (!error)
            QCOMPARE(c.units, units);
    }

    void currencyFormat_data()
    {
        QTest::addColumn<qlonglong>("units");
        QTest::addColumn<QString>("text");
        QTest::newRow("thousands") << 12345000LL << "$1,234.50";
        QTest::newRow("negative") << -30000LL << "($3.00)";
        QTest::newRow("half a cent rounds up") << 50LL << "$0.01";
        QTest::newRow("lowest") << minUnits << "($922,337,203,685,477.58)";
    }
    void currencyFormat()
    {
        QFETCH(qlonglong, units);
        QFETCH(QString, text);
        QCOMPARE(fmt::currency(Currency::fromUnits(units)), text);
        QCOMPARE(fmt::toCurrency(text).units % 100, 0); // reads back in whole cents
    }

    // The numeric and date tests on what a user types, and what it reads as.
    void typedText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QVariant>("reads"); // a double, a date, or nothing
        for (const char* t : {"abc", "12a", "--3", "1,,234", "tomorrow", "31/31/99", "2/30/2001", "13/5/98", "3//5/98",
                              "March 32, 1998"})
            QTest::newRow(t) << t << QVariant();
        const std::pair<const char*, double> numbers[] = {{"$12.50", 12.5}, {"1,234.5", 1234.5}, {".25", 0.25},
                                                          {"($3.00)", -3.0}, {"-$3.00", -3.0}, {"12.50$", 12.5},
                                                          {"1E3", 1000.0}, {"1e-400", 0.0}, {"35859", 35859.0}};
        for (const auto& [t, n] : numbers)
            QTest::newRow(t) << t << QVariant(n);
        for (const char* t :
             {"3/5/98", "03/05/98", "March 5, 1998", "5 March 1998", "1998-03-05", "Thursday, March 5, 1998"})
            QTest::newRow(t) << t << QVariant(QDate(1998, 3, 5));
        QTest::newRow("two-digit 29") << "1/2/29" << QVariant(QDate(2029, 1, 2));
        QTest::newRow("two-digit 30") << "1/2/30" << QVariant(QDate(1930, 1, 2));
        QTest::newRow("leap day 2000") << "2/29/2000" << QVariant(QDate(2000, 2, 29));
        // Four-digit years are taken as written: below 100 there are none.
        for (const char* t : {"01/05/0026", "3/5/0050", "12/31/0099", "0050-03-05", "March 5, 0099", "1/5/0000"})
            QTest::newRow(t) << t << QVariant();
        QTest::newRow("the year 100") << "1/5/0100" << QVariant(QDate(100, 1, 5));
    }
    void typedText()
    {
        QFETCH(QString, text);
        QFETCH(QVariant, reads);
        const bool number = reads.typeId() == QMetaType::Double, date = reads.typeId() == QMetaType::QDate;
        QCOMPARE(fmt::isNumeric(text), number);
        QCOMPARE(fmt::isDate(text), date);
        double d = 0;
        QDate day;
        QCOMPARE(errorOf([&] { d = fmt::toDouble(text); }), number ? 0 : 13);
        QCOMPARE(errorOf([&] { (void)fmt::toSingle(text); }), number ? 0 : 13);
        QCOMPARE(errorOf([&] { fmt::toCurrency(text); }), number ? 0 : 13);
        QCOMPARE(errorOf([&] { day = fmt::toDate(text); }), date ? 0 : 13);
        QCOMPARE(d, number ? reads.toDouble() : 0.0);
        QCOMPARE(day, date ? reads.toDate() : QDate());
    }

    void conversions_data()
    {
        QTest::addColumn<Value>("value");
        QTest::addColumn<QString>("what"); // a conversion, or "display"
        QTest::addColumn<QVariant>("expected");
        QTest::addColumn<int>("error");
        for (const char* what : {"bool", "long", "single", "double", "currency", "date", "text"})
            QTest::addRow("Null to %s", what) << Value() << what << QVariant() << 94;
        QTest::newRow("invalid date is Null") << Value(QDate()) << "date" << QVariant() << 94;
        for (const char* what : {"bool", "long", "single", "double", "currency", "date"})
            QTest::addRow("abc to %s", what) << Value("abc") << what << QVariant() << 13;
        QTest::newRow("3e9 to long") << Value(3e9) << "long" << QVariant() << 6;
        QTest::newRow("currency to long") << Value(Currency::fromWhole(3000000000)) << "long" << QVariant() << 6;
        QTest::newRow("1e40 to single") << Value(1e40) << "single" << QVariant() << 6;
        QTest::newRow("text 1e400 to double") << Value("1e400") << "double" << QVariant() << 6;
        // Long rounds halves to even.
        QTest::newRow("2.5 long") << Value(2.5) << "long" << QVariant(2) << 0;
        QTest::newRow("-2147483648.5 long fits") << Value(-2147483648.5) << "long" << QVariant(-2147483647 - 1) << 0;
        QTest::newRow("date long") << Value(QDate(1998, 3, 5)) << "long" << QVariant(35859) << 0;
        // Numbers as text: no separators, 15 digits (7 for a single), exponents.
        QTest::newRow("text 1234567") << Value(1234567.0) << "text" << QVariant("1234567") << 0;
        QTest::newRow("text 0.1 + 0.2") << Value(0.1 + 0.2) << "text" << QVariant("0.3") << 0;
        QTest::newRow("text 1E+15") << Value(1e15) << "text" << QVariant("1E+15") << 0;
        QTest::newRow("text single 8 digits") << Value(12345678.0f) << "text" << QVariant("1.234568E+07") << 0;
        QTest::newRow("show currency") << Value(Currency::fromUnits(125000)) << "display" << QVariant("12.5") << 0;
        QTest::newRow("show Null") << Value() << "display" << QVariant("") << 0;
    }
    void conversions()
    {
        QFETCH(Value, value);
        QFETCH(QString, what);
        QFETCH(QVariant, expected);
        QFETCH(int, error);
        QVariant got;
        QCOMPARE(errorOf([&] { got = convert(value, what); }), error);
        if (!error)
            QCOMPARE(got, expected);
    }

    // The program follows the system locale; a German one reads and writes
    // its own separators and day-first dates.
    void otherLocale()
    {
        fmt::setLocale(QLocale(QLocale::German, QLocale::Germany));
        QCOMPARE(fmt::toDouble(QStringLiteral("1.234,5")), 1234.5);
        QVERIFY(!fmt::isNumeric(QStringLiteral("1,234.5")));
        QCOMPARE(fmt::numberText(2.5), QStringLiteral("2,5"));
        QCOMPARE(fmt::shortDate(QDate(1998, 3, 5)), QStringLiteral("05.03.1998"));
        QCOMPARE(fmt::toDate(QStringLiteral("5.3.98")), QDate(1998, 3, 5));
        QCOMPARE(fmt::sqlDate(QDate(1998, 3, 5)), QStringLiteral("03/05/1998"));
        const QString money = fmt::currency(Currency::fromUnits(12345000));
        QVERIFY2(money.contains(u"1.234,50") && money.contains(u"€"), qPrintable(money));
        QCOMPARE(fmt::toCurrency(money).units, 12345000LL);
    }
};

CVD_TEST_GUILESS_MAIN(TestFormats)
#include "tst_formats.moc"

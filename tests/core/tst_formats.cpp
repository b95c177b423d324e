// Money, numbers and dates as the user types and sees them, under United
// States conventions, and the conversions of field values.
#include "core/currency.h"
#include "core/errors.h"
#include "core/formats.h"
#include "core/value.h"
#include "support/testfiles.h"

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
        QTest::newRow("text ($1,234.56)") << QVariant("($1,234.56)") << -12345600LL << 0;
        QTest::newRow("text largest") << QVariant("922,337,203,685,477.5807") << maxUnits << 0;
        QTest::newRow("text lowest") << QVariant("-922337203685477.5808") << minUnits << 0;
        QTest::newRow("text one above the largest") << QVariant("922337203685477.5808") << 0LL << 6;
    }
    void currencyFrom()
    {
        QFETCH(QVariant, input);
        QFETCH(qlonglong, units);
        QFETCH(int, error);
        Currency c;
        QCOMPARE(errorOf([&] {
                     c = input.typeId() == QMetaType::QString ? fmt::toCurrency(input.toString())
                                                              : Currency::fromDouble(input.toDouble());
                 }),
                 error);
        if (!error)
            QCOMPARE(c.units, units);
    }

    void currencyArithmeticOverflow()
    {
        const Currency top = Currency::fromUnits(maxUnits), bottom = Currency::fromUnits(minUnits), one = Currency::fromUnits(1);
        QCOMPARE((top - one + one).units, maxUnits);
        QCOMPARE(errorOf([&] { (void)(top + one); }), 6);
        QCOMPARE(errorOf([&] { (void)(bottom - one); }), 6);
        QCOMPARE(errorOf([&] { (void)(Currency::fromWhole(0) - bottom); }), 6);
    }

    void currencyFormat_data()
    {
        QTest::addColumn<qlonglong>("units");
        QTest::addColumn<QString>("text");
        QTest::newRow("thousands") << 12345000LL << "$1,234.50";
        QTest::newRow("negative") << -30000LL << "($3.00)";
        QTest::newRow("half a cent rounds up") << 50LL << "$0.01";
        QTest::newRow("negative half a cent") << -50LL << "($0.01)";
        QTest::newRow("lowest") << minUnits << "($922,337,203,685,477.58)";
    }
    void currencyFormat()
    {
        QFETCH(qlonglong, units);
        QFETCH(QString, text);
        QCOMPARE(fmt::currency(Currency::fromUnits(units)), text);
        QCOMPARE(fmt::toCurrency(text).units % 100, 0); // reads back in whole cents
    }

    void dateFormats()
    {
        for (const QDate d : {QDate(1998, 3, 5), QDate(2001, 12, 31), QDate(2000, 1, 1)}) {
            const QString shortDate = QStringLiteral("%1/%2/%3").arg(d.month()).arg(d.day()).arg(d.year());
            QCOMPARE(fmt::shortDate(d), shortDate);
            QCOMPARE(fmt::mmddyy(d), d.toString(QStringLiteral("MM/dd/yy")));
            QCOMPARE(fmt::toDate(shortDate), d);
            QCOMPARE(fmt::toDate(fmt::mmddyy(d)), d);
        }
        QVERIFY(fmt::shortDate(QDate()).isEmpty() && fmt::mmddyy(QDate()).isEmpty());
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
            {"($3.00)", -3.0}, {"-$3.00", -3.0}, {"12.50$", 12.5}, {"1E3", 1000.0}, {"1e-400", 0.0}, {"35859", 35859.0}};
        for (const auto& [t, n] : numbers)
            QTest::newRow(t) << t << QVariant(n);
        for (const char* t : {"3/5/98", "03/05/98", "March 5, 1998", "5 March 1998", "1998-03-05", "Thursday, March 5, 1998"})
            QTest::newRow(t) << t << QVariant(QDate(1998, 3, 5));
        QTest::newRow("two-digit 29") << "1/2/29" << QVariant(QDate(2029, 1, 2));
        QTest::newRow("two-digit 30") << "1/2/30" << QVariant(QDate(1930, 1, 2));
        QTest::newRow("two-digit 00") << "12/31/00" << QVariant(QDate(2000, 12, 31));
        QTest::newRow("leap day 2000") << "2/29/2000" << QVariant(QDate(2000, 2, 29));
    }
    void typedText()
    {
        QFETCH(QString, text);
        QFETCH(QVariant, reads);
        const bool number = reads.typeId() == QMetaType::Double, date = reads.typeId() == QMetaType::QDate;
        QCOMPARE(fmt::isNumeric(text), number);
        QCOMPARE(fmt::isDate(text), date);
        double d = 0;
        float f = 0;
        QDate day, valueDay;
        QCOMPARE(errorOf([&] { d = fmt::toDouble(text); }), number ? 0 : 13);
        QCOMPARE(errorOf([&] { f = fmt::toSingle(text); }), number ? 0 : 13);
        QCOMPARE(errorOf([&] { fmt::toCurrency(text); }), number ? 0 : 13);
        QCOMPARE(errorOf([&] { day = fmt::toDate(text); }), date ? 0 : 13);
        QCOMPARE(errorOf([&] { valueDay = Value(text).toDate(); }), date ? 0 : 13);
        QCOMPARE(d, number ? reads.toDouble() : 0.0);
        QCOMPARE(f, float(d));
        QCOMPARE(day, date ? reads.toDate() : QDate());
        QCOMPARE(valueDay, day);
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
        QTest::newRow("-2147483648.5 to long fits") << Value(-2147483648.5) << "long" << QVariant(std::numeric_limits<int>::min()) << 0;
        QTest::newRow("text 1,234.5 long") << Value("1,234.5") << "long" << QVariant(1234) << 0;
        QTest::newRow("True long") << Value(true) << "long" << QVariant(-1) << 0;
        QTest::newRow("date long") << Value(QDate(1998, 3, 5)) << "long" << QVariant(35859) << 0;
        QTest::newRow("serial date") << Value(35859) << "date" << QVariant(QDate(1998, 3, 5)) << 0;
        // Numbers as text: no separators, 15 digits (7 for a single), exponents.
        QTest::newRow("text 1234567") << Value(1234567.0) << "text" << QVariant("1234567") << 0;
        QTest::newRow("text 0.1 + 0.2") << Value(0.1 + 0.2) << "text" << QVariant("0.3") << 0;
        QTest::newRow("text 1E+15") << Value(1e15) << "text" << QVariant("1E+15") << 0;
        QTest::newRow("text 1E-05") << Value(0.00001) << "text" << QVariant("1E-05") << 0;
        QTest::newRow("text single 1.1") << Value(1.1f) << "text" << QVariant("1.1") << 0;
        QTest::newRow("text single 8 digits") << Value(12345678.0f) << "text" << QVariant("1.234568E+07") << 0;
        QTest::newRow("show True") << Value(true) << "display" << QVariant("True") << 0;
        QTest::newRow("show currency") << Value(Currency::fromUnits(125000)) << "display" << QVariant("12.5") << 0;
        QTest::newRow("show date") << Value(QDate(1998, 3, 5)) << "display" << QVariant("3/5/1998") << 0;
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

    void costing_data()
    {
        QTest::addColumn<QString>("hours");
        QTest::addColumn<QString>("minutes");
        QTest::addColumn<QString>("addCharge");
        QTest::addColumn<qlonglong>("rateUnits");
        QTest::addColumn<QString>("total");
        QTest::newRow("1 h 15 min at $40") << "1" << "15" << "0" << 400000LL << "$50.00";
        QTest::newRow("1.5 h 20 min + 5 at $35") << "1.5" << "20" << "5" << 350000LL << "$69.17";
        QTest::newRow("7 h + $1,000.00 at $40") << "7" << "0" << "$1,000.00" << 400000LL << "$1,280.00";
    }

    // The cost of a request: hours and minutes read as single-precision
    // numbers, each product converted to money, then added as money.
    void costing()
    {
        QFETCH(QString, hours);
        QFETCH(QString, minutes);
        QFETCH(QString, addCharge);
        QFETCH(qlonglong, rateUnits);
        QFETCH(QString, total);
        const double rate = Currency::fromUnits(rateUnits).toDouble();
        const Currency sum = Currency::fromDouble(double(fmt::toSingle(hours)) * rate)
                             + Currency::fromDouble(double(fmt::toSingle(minutes)) * rate / 60.0)
                             + Currency::fromDouble(double(fmt::toSingle(addCharge)));
        QCOMPARE(fmt::currency(sum), total);
        // Stored as the double that the box shows, read back as the same money.
        QCOMPARE(fmt::toCurrency(fmt::currency(sum)), Currency::fromDouble(fmt::toDouble(total)));
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
        QCOMPARE(fmt::toDate(QStringLiteral("5. März 1998")), QDate(1998, 3, 5));
        QCOMPARE(fmt::mmddyy(QDate(1998, 3, 5)), QStringLiteral("03/05/98"));
        const QString money = fmt::currency(Currency::fromUnits(12345000));
        QVERIFY2(money.contains(QStringLiteral("1.234,50")) && money.contains(QStringLiteral("€")), qPrintable(money));
        QCOMPARE(fmt::toCurrency(money).units, 12345000LL);
    }
};

QTEST_GUILESS_MAIN(TestFormats)
#include "tst_formats.moc"

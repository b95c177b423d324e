// Money, numbers and dates as the user types and sees them, under United
// States conventions, and the conversions of field values.
#include "core/currency.h"
#include "core/errors.h"
#include "core/formats.h"
#include "core/value.h"

#include <QTest>
#include <limits>

using cvd::Currency;
using cvd::Value;
namespace fmt = cvd::fmt;

Q_DECLARE_METATYPE(Value)

namespace {

// The number of the error a call raises, or 0.
int errorOf(const std::function<void()>& f)
{
    try {
        f();
    } catch (const cvd::Error& e) {
        return e.number();
    }
    return 0;
}

// One of a value's conversions, by name.
QVariant convert(const Value& v, const QString& what)
{
    if (what == QLatin1String("bool"))
        return v.toBool();
    if (what == QLatin1String("long"))
        return v.toLong();
    if (what == QLatin1String("single"))
        return v.toSingle();
    if (what == QLatin1String("double"))
        return v.toDouble();
    if (what == QLatin1String("currency"))
        return qlonglong(v.toCurrency().units);
    if (what == QLatin1String("date"))
        return v.toDate();
    if (what == QLatin1String("text"))
        return v.toText();
    qFatal("unknown conversion %s", qPrintable(what));
}

constexpr qlonglong maxUnits = std::numeric_limits<qlonglong>::max();
constexpr qlonglong minUnits = std::numeric_limits<qlonglong>::min();

} // namespace

class TestFormats : public QObject {
    Q_OBJECT

private slots:
    void init() { fmt::setLocale(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void currencyFromDouble_data();
    void currencyFromDouble();
    void currencyArithmeticOverflow();

    void currencyFormat_data();
    void currencyFormat();
    void dateFormats_data();
    void dateFormats();
    void numberText_data();
    void numberText();

    void numeric_data();
    void numeric();
    void currencyFromText_data();
    void currencyFromText();
    void dates_data();
    void dates();
    void twoDigitYears_data();
    void twoDigitYears();

    void conversionErrors_data();
    void conversionErrors();
    void conversions_data();
    void conversions();
    void valueText_data();
    void valueText();

    void costing_data();
    void costing();

    void otherLocale();
};

void TestFormats::currencyFromDouble_data()
{
    QTest::addColumn<double>("input");
    QTest::addColumn<qlonglong>("units");
    QTest::addColumn<int>("error");

    // Exact halves of a ten-thousandth go to the even neighbour.
    QTest::newRow("1.03125 half down to even") << 1.03125 << 10312LL << 0;
    QTest::newRow("0.09375 half up to even") << 0.09375 << 938LL << 0;
    QTest::newRow("0.15625 half down to even") << 0.15625 << 1562LL << 0;
    QTest::newRow("0.21875 half up to even") << 0.21875 << 2188LL << 0;
    QTest::newRow("-1.03125") << -1.03125 << -10312LL << 0;
    QTest::newRow("-0.09375") << -0.09375 << -938LL << 0;
    // Decimal-looking halves are not exact in binary: the double's own
    // value decides.
    QTest::newRow("0.00005 lies above the half") << 0.00005 << 1LL << 0;
    QTest::newRow("0.00015 lies below the half") << 0.00015 << 1LL << 0;
    QTest::newRow("0.00025 lies above the half") << 0.00025 << 3LL << 0;
    QTest::newRow("0.00035 lies below the half") << 0.00035 << 3LL << 0;
    QTest::newRow("2.00005 lies below the half") << 2.00005 << 20000LL << 0;
    QTest::newRow("0.1") << 0.1 << 1000LL << 0;
    QTest::newRow("0.1 + 0.2") << 0.1 + 0.2 << 3000LL << 0;
    QTest::newRow("zero") << 0.0 << 0LL << 0;
    QTest::newRow("negative zero") << -0.0 << 0LL << 0;
    QTest::newRow("tiny") << 1e-300 << 0LL << 0;
    QTest::newRow("fifty") << 50.0 << 500000LL << 0;
    QTest::newRow("largest whole") << 922337203685477.0 << 9223372036854770000LL << 0;
    QTest::newRow("lowest half") << -922337203685477.5 << -9223372036854775000LL << 0;
    QTest::newRow("beyond the top") << 922337203685478.0 << 0LL << 6;
    QTest::newRow("beyond the bottom") << -922337203685478.0 << 0LL << 6;
    QTest::newRow("1e300") << 1e300 << 0LL << 6;
    QTest::newRow("infinity") << std::numeric_limits<double>::infinity() << 0LL << 6;
    QTest::newRow("nan") << std::numeric_limits<double>::quiet_NaN() << 0LL << 6;
}

void TestFormats::currencyFromDouble()
{
    QFETCH(double, input);
    QFETCH(qlonglong, units);
    QFETCH(int, error);
    Currency c;
    QCOMPARE(errorOf([&] { c = Currency::fromDouble(input); }), error);
    if (!error)
        QCOMPARE(c.units, units);
}

void TestFormats::currencyArithmeticOverflow()
{
    const Currency top = Currency::fromUnits(maxUnits);
    const Currency bottom = Currency::fromUnits(minUnits);
    const Currency one = Currency::fromUnits(1);
    QCOMPARE((top - one + one).units, maxUnits);
    QCOMPARE((bottom + one - one).units, minUnits);
    QCOMPARE(errorOf([&] { (void)(top + one); }), 6);
    QCOMPARE(errorOf([&] { (void)(bottom - one); }), 6);
    QCOMPARE(errorOf([&] { (void)(Currency::fromWhole(0) - bottom); }), 6);
}

void TestFormats::currencyFormat_data()
{
    QTest::addColumn<qlonglong>("units");
    QTest::addColumn<QString>("text");

    QTest::newRow("thousands") << 12345000LL << "$1,234.50";
    QTest::newRow("negative") << -30000LL << "($3.00)";
    QTest::newRow("zero") << 0LL << "$0.00";
    QTest::newRow("twelve and a half") << 125000LL << "$12.50";
    QTest::newRow("millions") << 12345678912LL << "$1,234,567.89";
    QTest::newRow("half a cent rounds up") << 50LL << "$0.01";
    QTest::newRow("below half a cent") << 49LL << "$0.00";
    QTest::newRow("negative below half a cent") << -40LL << "$0.00";
    QTest::newRow("negative half a cent") << -50LL << "($0.01)";
    QTest::newRow("largest") << maxUnits << "$922,337,203,685,477.58";
    QTest::newRow("lowest") << minUnits << "($922,337,203,685,477.58)";
}

void TestFormats::currencyFormat()
{
    QFETCH(qlonglong, units);
    QFETCH(QString, text);
    QCOMPARE(fmt::currency(Currency::fromUnits(units)), text);
    // What is shown reads back as the same amount in cents.
    const std::int64_t cents = fmt::toCurrency(text).units;
    QCOMPARE(cents % 100, 0);
}

void TestFormats::dateFormats_data()
{
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QString>("shortDate");
    QTest::addColumn<QString>("mmddyy");

    QTest::newRow("1998-03-05") << QDate(1998, 3, 5) << "3/5/1998" << "03/05/98";
    QTest::newRow("2001-12-31") << QDate(2001, 12, 31) << "12/31/2001" << "12/31/01";
    QTest::newRow("2005-11-30") << QDate(2005, 11, 30) << "11/30/2005" << "11/30/05";
    QTest::newRow("2000-01-01") << QDate(2000, 1, 1) << "1/1/2000" << "01/01/00";
    QTest::newRow("invalid") << QDate() << "" << "";
}

void TestFormats::dateFormats()
{
    QFETCH(QDate, date);
    QFETCH(QString, shortDate);
    QFETCH(QString, mmddyy);
    QCOMPARE(fmt::shortDate(date), shortDate);
    QCOMPARE(fmt::mmddyy(date), mmddyy);
    if (date.isValid()) {
        QCOMPARE(fmt::toDate(shortDate), date);
        QCOMPARE(fmt::toDate(mmddyy), date);
    }
}

void TestFormats::numberText_data()
{
    QTest::addColumn<double>("number");
    QTest::addColumn<bool>("single");
    QTest::addColumn<QString>("text");

    QTest::newRow("1.5") << 1.5 << false << "1.5";
    QTest::newRow("0") << 0.0 << false << "0";
    QTest::newRow("12") << 12.0 << false << "12";
    QTest::newRow("0.25") << 0.25 << false << "0.25";
    QTest::newRow("-2.75") << -2.75 << false << "-2.75";
    QTest::newRow("no separators") << 1234567.0 << false << "1234567";
    QTest::newRow("0.1 + 0.2 in 15 digits") << 0.1 + 0.2 << false << "0.3";
    QTest::newRow("15 digits") << 123456789012345.0 << false << "123456789012345";
    QTest::newRow("1E+15") << 1e15 << false << "1E+15";
    QTest::newRow("1E-05") << 0.00001 << false << "1E-05";
    QTest::newRow("0.0001") << 0.0001 << false << "0.0001";
    QTest::newRow("single 1.1") << double(1.1f) << true << "1.1";
    QTest::newRow("single 0.1") << double(0.1f) << true << "0.1";
    QTest::newRow("single 7 digits") << double(1234567.0f) << true << "1234567";
    QTest::newRow("single 8 digits") << double(12345678.0f) << true << "1.234568E+07";
    QTest::newRow("single 1.25") << 1.25 << true << "1.25";
}

void TestFormats::numberText()
{
    QFETCH(double, number);
    QFETCH(bool, single);
    QFETCH(QString, text);
    QCOMPARE(single ? fmt::numberText(float(number)) : fmt::numberText(number), text);
    QCOMPARE(single ? Value(float(number)).toText() : Value(number).toText(), text);
}

void TestFormats::numeric_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("numeric");
    QTest::addColumn<double>("value");

    QTest::newRow("abc") << "abc" << false << 0.0;
    QTest::newRow("empty") << "" << false << 0.0;
    QTest::newRow("blanks") << "   " << false << 0.0;
    QTest::newRow("12a") << "12a" << false << 0.0;
    QTest::newRow("1.2.3") << "1.2.3" << false << 0.0;
    QTest::newRow("point only") << "." << false << 0.0;
    QTest::newRow("sign only") << "-" << false << 0.0;
    QTest::newRow("symbol only") << "$" << false << 0.0;
    QTest::newRow("two signs") << "--3" << false << 0.0;
    QTest::newRow("leading separator") << ",5" << false << 0.0;
    QTest::newRow("double separator") << "1,,234" << false << 0.0;
    QTest::newRow("exponent without digits") << "1E" << false << 0.0;
    QTest::newRow("empty parentheses") << "()" << false << 0.0;
    QTest::newRow("date") << "3/5/98" << false << 0.0;

    QTest::newRow("$12.50") << "$12.50" << true << 12.5;
    QTest::newRow("1,234.5") << "1,234.5" << true << 1234.5;
    QTest::newRow("-3") << "-3" << true << -3.0;
    QTest::newRow("+7") << "+7" << true << 7.0;
    QTest::newRow("blanks around") << "  42 " << true << 42.0;
    QTest::newRow("12.5") << "12.5" << true << 12.5;
    QTest::newRow(".25") << ".25" << true << 0.25;
    QTest::newRow("5.") << "5." << true << 5.0;
    QTest::newRow("($3.00)") << "($3.00)" << true << -3.0;
    QTest::newRow("(3)") << "(3)" << true << -3.0;
    QTest::newRow("-$3.00") << "-$3.00" << true << -3.0;
    QTest::newRow("$-3.00") << "$-3.00" << true << -3.0;
    QTest::newRow("symbol after") << "12.50$" << true << 12.5;
    QTest::newRow("$1,234,567.89") << "$1,234,567.89" << true << 1234567.89;
    QTest::newRow("1E3") << "1E3" << true << 1000.0;
    QTest::newRow("2.5e-2") << "2.5e-2" << true << 0.025;
    QTest::newRow("0") << "0" << true << 0.0;
    QTest::newRow("too small to tell from 0") << "1e-400" << true << 0.0;
}

void TestFormats::numeric()
{
    QFETCH(QString, text);
    QFETCH(bool, numeric);
    QFETCH(double, value);
    QCOMPARE(fmt::isNumeric(text), numeric);
    if (numeric) {
        QCOMPARE(fmt::toDouble(text), value);
        QCOMPARE(fmt::toSingle(text), float(value));
    } else {
        QCOMPARE(errorOf([&] { fmt::toDouble(text); }), 13);
        QCOMPARE(errorOf([&] { fmt::toSingle(text); }), 13);
        QCOMPARE(errorOf([&] { fmt::toCurrency(text); }), 13);
    }
}

void TestFormats::currencyFromText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<qlonglong>("units");
    QTest::addColumn<int>("error");

    // Text is read as the decimal number it shows, so halves are exact.
    QTest::newRow("0.00005 half to even") << "0.00005" << 0LL << 0;
    QTest::newRow("0.00015 half to even") << "0.00015" << 2LL << 0;
    QTest::newRow("0.000151") << "0.000151" << 2LL << 0;
    QTest::newRow("-0.00025") << "-0.00025" << -2LL << 0;
    QTest::newRow("$12.50") << "$12.50" << 125000LL << 0;
    QTest::newRow("($1,234.56)") << "($1,234.56)" << -12345600LL << 0;
    QTest::newRow("1E3") << "1E3" << 10000000LL << 0;
    QTest::newRow("1.5e-3") << "1.5e-3" << 15LL << 0;
    QTest::newRow("largest") << "922,337,203,685,477.5807" << maxUnits << 0;
    QTest::newRow("lowest") << "-922337203685477.5808" << minUnits << 0;
    QTest::newRow("one above the largest") << "922337203685477.5808" << 0LL << 6;
    QTest::newRow("rounds above the largest") << "922337203685477.58075" << 0LL << 6;
    QTest::newRow("1E20") << "1E20" << 0LL << 6;
    QTest::newRow("abc") << "abc" << 0LL << 13;
}

void TestFormats::currencyFromText()
{
    QFETCH(QString, text);
    QFETCH(qlonglong, units);
    QFETCH(int, error);
    Currency c;
    QCOMPARE(errorOf([&] { c = fmt::toCurrency(text); }), error);
    if (!error)
        QCOMPARE(c.units, units);
}

void TestFormats::dates_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QDate>("date"); // invalid: not a date

    const QDate march5(1998, 3, 5);
    QTest::newRow("3/5/98") << "3/5/98" << march5;
    QTest::newRow("3/5/1998") << "3/5/1998" << march5;
    QTest::newRow("03/05/98") << "03/05/98" << march5;
    QTest::newRow("March 5, 1998") << "March 5, 1998" << march5;
    QTest::newRow("Mar 5 1998") << "Mar 5 1998" << march5;
    QTest::newRow("5 March 1998") << "5 March 1998" << march5;
    QTest::newRow("5-Mar-98") << "5-Mar-98" << march5;
    QTest::newRow("march 5, 1998") << "march 5, 1998" << march5;
    QTest::newRow("ISO") << "1998-03-05" << march5;
    QTest::newRow("3-5-98") << "3-5-98" << march5;
    QTest::newRow("long format") << "Thursday, March 5, 1998" << march5;
    QTest::newRow("blanks around") << "  3/5/98 " << march5;
    QTest::newRow("two-digit 29") << "1/2/29" << QDate(2029, 1, 2);
    QTest::newRow("two-digit 30") << "1/2/30" << QDate(1930, 1, 2);
    QTest::newRow("two-digit 00") << "12/31/00" << QDate(2000, 12, 31);
    QTest::newRow("leap day 2000") << "2/29/2000" << QDate(2000, 2, 29);

    QTest::newRow("31/31/99") << "31/31/99" << QDate();
    QTest::newRow("tomorrow") << "tomorrow" << QDate();
    QTest::newRow("empty") << "" << QDate();
    QTest::newRow("2/30/2001") << "2/30/2001" << QDate();
    QTest::newRow("2/29/1900") << "2/29/1900" << QDate();
    QTest::newRow("day first") << "13/5/98" << QDate();
    QTest::newRow("a number") << "35859" << QDate();
    QTest::newRow("a decimal") << "1.5" << QDate();
    QTest::newRow("four parts") << "3/5/98/1" << QDate();
    QTest::newRow("double separator") << "3//5/98" << QDate();
    QTest::newRow("month alone") << "March" << QDate();
    QTest::newRow("March 32, 1998") << "March 32, 1998" << QDate();
    QTest::newRow("3/5/98x") << "3/5/98x" << QDate();
    QTest::newRow("money") << "$12.50" << QDate();
}

void TestFormats::dates()
{
    QFETCH(QString, text);
    QFETCH(QDate, date);
    QCOMPARE(fmt::isDate(text), date.isValid());
    if (date.isValid()) {
        QCOMPARE(fmt::toDate(text), date);
        QCOMPARE(Value(text).toDate(), date);
    } else {
        QCOMPARE(errorOf([&] { fmt::toDate(text); }), 13);
        QCOMPARE(errorOf([&] { Value(text).toDate(); }), 13);
    }
}

void TestFormats::twoDigitYears_data()
{
    QTest::addColumn<int>("yy");
    QTest::addColumn<int>("year");
    QTest::newRow("00") << 0 << 2000;
    QTest::newRow("29") << 29 << 2029;
    QTest::newRow("30") << 30 << 1930;
    QTest::newRow("99") << 99 << 1999;
}

void TestFormats::twoDigitYears()
{
    QFETCH(int, yy);
    QFETCH(int, year);
    QCOMPARE(fmt::expandTwoDigitYear(yy), year);
    // The same rule for dates typed as text.
    const QString text = QStringLiteral("6/15/%1").arg(yy, 2, 10, QChar(u'0'));
    QCOMPARE(fmt::toDate(text), QDate(year, 6, 15));
}

void TestFormats::conversionErrors_data()
{
    QTest::addColumn<Value>("value");
    QTest::addColumn<QString>("what");
    QTest::addColumn<int>("error");

    for (const char* what : {"bool", "long", "single", "double", "currency", "date", "text"})
        QTest::addRow("Null to %s", what) << Value() << what << 94;
    QTest::newRow("invalid date is Null") << Value(QDate()) << "date" << 94;

    for (const char* what : {"bool", "long", "single", "double", "currency", "date"})
        QTest::addRow("abc to %s", what) << Value("abc") << what << 13;
    QTest::newRow("empty text to currency") << Value("") << "currency" << 13;
    QTest::newRow("date text to double") << Value("3/5/98") << "double" << 13;

    QTest::newRow("3e9 to long") << Value(3e9) << "long" << 6;
    QTest::newRow("2147483647.5 to long") << Value(2147483647.5) << "long" << 6;
    QTest::newRow("-2147483648.5 to long fits") << Value(-2147483648.5) << "long" << 0;
    QTest::newRow("text 99999999999 to long") << Value("99999999999") << "long" << 6;
    QTest::newRow("currency to long") << Value(Currency::fromWhole(3000000000)) << "long" << 6;
    QTest::newRow("1e40 to single") << Value(1e40) << "single" << 6;
    QTest::newRow("text 1e40 to single") << Value("1e40") << "single" << 6;
    QTest::newRow("text 1e400 to double") << Value("1e400") << "double" << 6;
    QTest::newRow("1e16 to currency") << Value(1e16) << "currency" << 6;
    QTest::newRow("1e8 to date") << Value(1e8) << "date" << 6;
}

void TestFormats::conversionErrors()
{
    QFETCH(Value, value);
    QFETCH(QString, what);
    QFETCH(int, error);
    QCOMPARE(errorOf([&] { convert(value, what); }), error);
}

void TestFormats::conversions_data()
{
    QTest::addColumn<Value>("value");
    QTest::addColumn<QString>("what");
    QTest::addColumn<QVariant>("expected");

    // Long rounds halves to even.
    QTest::newRow("2.5 long") << Value(2.5) << "long" << QVariant(2);
    QTest::newRow("3.5 long") << Value(3.5) << "long" << QVariant(4);
    QTest::newRow("-2.5 long") << Value(-2.5) << "long" << QVariant(-2);
    QTest::newRow("2.6 long") << Value(2.6) << "long" << QVariant(3);
    QTest::newRow("single 0.5 long") << Value(0.5f) << "long" << QVariant(0);
    QTest::newRow("currency 2.5 long") << Value(Currency::fromUnits(25000)) << "long" << QVariant(2);
    QTest::newRow("currency -3.5 long") << Value(Currency::fromUnits(-35000)) << "long" << QVariant(-4);
    QTest::newRow("text 1,234.5 long") << Value("1,234.5") << "long" << QVariant(1234);
    QTest::newRow("True long") << Value(true) << "long" << QVariant(-1);
    QTest::newRow("date long") << Value(QDate(1998, 3, 5)) << "long" << QVariant(35859);

    QTest::newRow("text True") << Value("True") << "bool" << QVariant(true);
    QTest::newRow("text false") << Value("false") << "bool" << QVariant(false);
    QTest::newRow("text 0") << Value("0") << "bool" << QVariant(false);
    QTest::newRow("text -1") << Value("-1") << "bool" << QVariant(true);
    QTest::newRow("double 0.1") << Value(0.1) << "bool" << QVariant(true);
    QTest::newRow("currency 0") << Value(Currency{}) << "bool" << QVariant(false);

    QTest::newRow("double 1.03125 currency") << Value(1.03125) << "currency" << QVariant(10312LL);
    QTest::newRow("single 0.1 currency") << Value(0.1f) << "currency" << QVariant(1000LL);
    QTest::newRow("text $12.50 currency") << Value("$12.50") << "currency" << QVariant(125000LL);
    QTest::newRow("long currency") << Value(40) << "currency" << QVariant(400000LL);

    QTest::newRow("text $1,234.50 double") << Value("$1,234.50") << "double" << QVariant(1234.5);
    QTest::newRow("currency double") << Value(Currency::fromUnits(125)) << "double" << QVariant(0.0125);
    QTest::newRow("text single") << Value("1.1") << "single" << QVariant(1.1f);

    QTest::newRow("serial date") << Value(35859) << "date" << QVariant(QDate(1998, 3, 5));
    QTest::newRow("serial with time") << Value(35859.75) << "date" << QVariant(QDate(1998, 3, 5));
    QTest::newRow("text date") << Value("March 5, 1998") << "date" << QVariant(QDate(1998, 3, 5));
}

void TestFormats::conversions()
{
    QFETCH(Value, value);
    QFETCH(QString, what);
    QFETCH(QVariant, expected);
    QCOMPARE(convert(value, what), expected);
}

void TestFormats::valueText_data()
{
    QTest::addColumn<Value>("value");
    QTest::addColumn<QString>("text");

    QTest::newRow("True") << Value(true) << "True";
    QTest::newRow("False") << Value(false) << "False";
    QTest::newRow("long") << Value(1234567) << "1234567";
    QTest::newRow("negative long") << Value(-5) << "-5";
    QTest::newRow("currency 12.5") << Value(Currency::fromUnits(125000)) << "12.5";
    QTest::newRow("currency whole") << Value(Currency::fromWhole(1234567)) << "1234567";
    QTest::newRow("currency -0.0001") << Value(Currency::fromUnits(-1)) << "-0.0001";
    QTest::newRow("currency 0") << Value(Currency{}) << "0";
    QTest::newRow("date") << Value(QDate(1998, 3, 5)) << "3/5/1998";
    QTest::newRow("text") << Value("O'Neil") << "O'Neil";
    QTest::newRow("Null display") << Value() << "";
}

void TestFormats::valueText()
{
    QFETCH(Value, value);
    QFETCH(QString, text);
    QCOMPARE(value.displayText(), text);
}

void TestFormats::costing_data()
{
    QTest::addColumn<QString>("hours");
    QTest::addColumn<QString>("minutes");
    QTest::addColumn<QString>("addCharge");
    QTest::addColumn<qlonglong>("rateUnits");
    QTest::addColumn<QString>("total");

    QTest::newRow("1.25 h at $40") << "1.25" << "0" << "$0.00" << 400000LL << "$50.00";
    QTest::newRow("15 min at $40") << "0" << "15" << "$0.00" << 400000LL << "$10.00";
    QTest::newRow("1 h 15 min at $40") << "1" << "15" << "0" << 400000LL << "$50.00";
    QTest::newRow("0.1 h at $40") << "0.1" << "0" << "0" << 400000LL << "$4.00";
    QTest::newRow("1.5 h 20 min + 5 at $35") << "1.5" << "20" << "5" << 350000LL << "$69.17";
    QTest::newRow("7 h + $1,000.00 at $40") << "7" << "0" << "$1,000.00" << 400000LL << "$1,280.00";
    QTest::newRow("1 min at $40") << "0" << "1" << "0" << 400000LL << "$0.67";
}

// The cost of a request: hours and minutes read as single-precision
// numbers, each product converted to money, then added as money.
void TestFormats::costing()
{
    QFETCH(QString, hours);
    QFETCH(QString, minutes);
    QFETCH(QString, addCharge);
    QFETCH(qlonglong, rateUnits);
    QFETCH(QString, total);

    const Currency rate = Currency::fromUnits(rateUnits);
    const float h = fmt::toSingle(hours);
    const float m = fmt::toSingle(minutes);
    const float a = fmt::toSingle(addCharge);
    const Currency part1 = Currency::fromDouble(double(h) * rate.toDouble());
    const Currency part2 = Currency::fromDouble(double(m) * rate.toDouble() / 60.0);
    const Currency part3 = Currency::fromDouble(double(a));
    const Currency sum = part1 + part2 + part3;
    QCOMPARE(fmt::currency(sum), total);
    // Stored as the double that the box shows, read back as the same money.
    QCOMPARE(fmt::toCurrency(fmt::currency(sum)), Currency::fromDouble(fmt::toDouble(total)));
}

// The program follows the system locale; a German one reads and writes
// its own separators and day-first dates.
void TestFormats::otherLocale()
{
    fmt::setLocale(QLocale(QLocale::German, QLocale::Germany));
    QVERIFY(fmt::isNumeric(QStringLiteral("1.234,5")));
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

QTEST_GUILESS_MAIN(TestFormats)
#include "tst_formats.moc"

// Money, numbers and dates as the user types and sees them, under United
// States conventions, and the cost of a request from its time, its
// additional charge, the hourly rate and the minimum charge (as typed into
// the boxes: tst_editing).
#include "base/costing.h"
#include "base/formats.h"
#include "db/currency.h"
#include "db/errors.h"
#include "support/testfiles.h"
#include "support/testmain.h"

#include <QTest>
#include <limits>

using cvd::Currency;
namespace fmt = cvd::fmt;
using cvd::test::errorOf;
namespace ErrNo = cvd::ErrNo;

constexpr qlonglong maxUnits = std::numeric_limits<qlonglong>::max();

class TestFormats : public QObject {
    Q_OBJECT

private slots:
    void init() { fmt::setLocale(QLocale(QLocale::English, QLocale::UnitedStates)); }

    // Money read from a double or from typed text, and shown.
    void money_data()
    {
        QTest::addColumn<QVariant>("input"); // a double, or a text as typed
        QTest::addColumn<qlonglong>("units");
        QTest::addColumn<int>("error");
        QTest::addColumn<QString>("shown"); // empty: not checked
        // Exact halves of a ten-thousandth go to the even neighbour.
        QTest::newRow("1.03125 half down to even") << QVariant(1.03125) << 10312LL << 0 << "$1.03";
        QTest::newRow("0.21875 half up to even") << QVariant(0.21875) << 2188LL << 0 << "$0.22";
        // Decimal-looking halves are not exact in binary: the double's own value decides.
        QTest::newRow("0.00005 lies above the half") << QVariant(0.00005) << 1LL << 0 << "$0.00";
        QTest::newRow("beyond the top") << QVariant(922337203685478.0) << 0LL << ErrNo::Overflow << "";
        // Text is read as the decimal number it shows, so halves are exact.
        QTest::newRow("text 0.00005 half to even") << QVariant("0.00005") << 0LL << 0 << "";
        QTest::newRow("text 0.00015 half to even") << QVariant("0.00015") << 2LL << 0 << "";
        QTest::newRow("text largest") << QVariant("922,337,203,685,477.5807") << maxUnits << 0 << "$922,337,203,685,477.58";
        QTest::newRow("thousands") << QVariant("1234.5") << 12345000LL << 0 << "$1,234.50";
        QTest::newRow("negative") << QVariant("-3") << -30000LL << 0 << "($3.00)";
        QTest::newRow("half a cent rounds up") << QVariant(".005") << 50LL << 0 << "$0.01";
    }
    void money()
    {
        QFETCH(QVariant, input);
        QFETCH(int, error);
        QFETCH(QString, shown);
        const bool typed = input.typeId() == QMetaType::QString;
        Currency c;
        QCOMPARE(errorOf([&] { c = typed ? fmt::toCurrency(input.toString()) : Currency::fromDouble(input.toDouble()); }), error);
        if (!error)
            QTEST(qlonglong(c.units), "units");
        if (!shown.isEmpty()) {
            QCOMPARE(fmt::currency(c), shown);
            QCOMPARE(fmt::toCurrency(shown).units % 100, 0); // reads back in whole cents
        }
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
        QCOMPARE(errorOf([&] { d = fmt::toDouble(text); }), number ? 0 : ErrNo::TypeMismatch);
        QCOMPARE(errorOf([&] { (void)fmt::toSingle(text); }), number ? 0 : ErrNo::TypeMismatch);
        QCOMPARE(errorOf([&] { fmt::toCurrency(text); }), number ? 0 : ErrNo::TypeMismatch);
        QCOMPARE(errorOf([&] { day = fmt::toDate(text); }), date ? 0 : ErrNo::TypeMismatch);
        QCOMPARE(d, number ? reads.toDouble() : 0.0);
        QCOMPARE(day, date ? reads.toDate() : QDate());
    }

    // Dates in SQL texts are month first whatever the locale.
    void sqlDateInAnyLocale()
    {
        fmt::setLocale(QLocale(QLocale::German, QLocale::Germany));
        QCOMPARE(fmt::sqlDate(QDate(1998, 3, 5)), QStringLiteral("03/05/1998"));
    }

    void cost_data()
    {
        QTest::addColumn<float>("hours");
        QTest::addColumn<float>("minutes");
        QTest::addColumn<float>("addCharge");
        QTest::addColumn<qlonglong>("minimum"); // ten-thousandths; the rate is 40.00
        QTest::addColumn<qlonglong>("cost");    // ten-thousandths; -1: Overflow
        QTest::newRow("1 h 15 min") << 1.0f << 15.0f << 0.0f << 250000LL << 500000LL;
        QTest::newRow("15 min raised to the minimum") << 0.0f << 15.0f << 0.0f << 250000LL << 250000LL;
        QTest::newRow("no time at all") << 0.0f << 0.0f << 0.0f << 250000LL << 250000LL;
        QTest::newRow("minimum applies after the additional charge") << 0.0f << 15.0f << 5.0f << 250000LL << 250000LL;
        QTest::newRow("additional charge lifts it over the minimum") << 0.0f << 15.0f << 20.0f << 250000LL << 300000LL;
        QTest::newRow("minutes to the nearest ten-thousandth") << 2.0f << 1.0f << 0.0f << 0LL << 806667LL;
        QTest::newRow("a charge of cents stays exact") << 0.0f << 30.0f << 1234.5f << 250000LL << 12545000LL;
        QTest::newRow("hours with a fraction") << 1.5f << 0.0f << 0.0f << 0LL << 600000LL;
        QTest::newRow("minutes past the hour") << 0.0f << 90.0f << 0.0f << 0LL << 600000LL;
        QTest::newRow("a negative charge (a credit)") << 2.0f << 0.0f << -10.0f << 0LL << 700000LL;
        QTest::newRow("out of range") << 1e30f << 0.0f << 0.0f << 0LL << -1LL;
    }
    void cost()
    {
        QFETCH(float, hours);
        QFETCH(float, minutes);
        QFETCH(float, addCharge);
        QFETCH(qlonglong, minimum);
        QFETCH(qlonglong, cost);
        qlonglong units = -1;
        QCOMPARE(errorOf([&] {
                     units = cvd::requestCost(hours, minutes, addCharge, Currency::fromWhole(40), Currency::fromUnits(minimum)).units;
                 }),
                 cost < 0 ? ErrNo::Overflow : 0);
        QCOMPARE(units, cost);
    }
};

CVD_TEST_GUILESS_MAIN(TestFormats)
#include "tst_formats.moc"

// The cost of a request from its time, its additional charge, the hourly
// rate and the minimum charge.
#include "base/costing.h"
#include "db/errors.h"
#include "support/testfiles.h"
#include "support/testmain.h"

#include <QTest>

using cvd::Currency;

class TestCosting : public QObject {
    Q_OBJECT

private slots:
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
        QCOMPARE(cvd::test::errorOf([&] {
                     units = cvd::requestCost(hours, minutes, addCharge, Currency::fromWhole(40), Currency::fromUnits(minimum)).units;
                 }),
                 cost < 0 ? cvd::ErrNo::Overflow : 0);
        QCOMPARE(units, cost);
    }
};

CVD_TEST_GUILESS_MAIN(TestCosting)
#include "tst_costing.moc"

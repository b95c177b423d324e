// The report queries: what each finds, in which order, on the report
// fixture (four-digit years in the date literals, requests alike in every
// sort item in the order of their numbers, on the file and on a server).
#include "support/testmain.h"
#include "reports/reportqueries.h"
#include "reportfixture.h"

using namespace cvd;
using namespace cvd::test;

namespace {


ReportAnswers with(StateFilterKind state, long id, QDate start = {2026, 1, 1}, QDate end = {2026, 12, 31})
{
    return ReportAnswers{start, end, state, id};
}

} // namespace

class tst_reportqueries : public QObject {
    Q_OBJECT
    std::unique_ptr<ReportSession> s;
    QHash<QString, int> idOf; // ShortDesc and ReqDesc to ReqID

    // The requests a query finds, in its order, told apart by their texts.
    QList<int> found(const QString& sql)
    {
        QList<int> ids;
        auto rs = MainDb->OpenRecordset(sql, RecordsetType::Snapshot);
        const bool listing = rs->FieldNames().contains(QStringLiteral("ReqDesc"));
        for (; !rs->Eof(); rs->MoveNext())
            ids << idOf.value(rs->Field(listing ? QStringLiteral("ReqDesc") : QStringLiteral("ShortDesc")).toText(), -1);
        return ids;
    }

private slots:
    void init()
    {
        s = std::make_unique<ReportSession>();
        auto rs = MainDb->OpenRecordset(QStringLiteral("select ReqID, ShortDesc, ReqDesc from Req"), RecordsetType::Snapshot);
        for (; !rs->Eof(); rs->MoveNext()) {
            idOf.insert(rs->Field(QStringLiteral("ShortDesc")).toText(), rs->Field(QStringLiteral("ReqID")).toLong());
            idOf.insert(rs->Field(QStringLiteral("ReqDesc")).toText(), rs->Field(QStringLiteral("ReqID")).toLong());
        }
    }
    void cleanup() { s.reset(); }

    void found_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QList<int>>("ids");
        const auto open = StateFilterKind::OpenOnly;
        const auto resolved = StateFilterKind::ResolvedOnly;
        const auto both = StateFilterKind::Both;
        // Every report's full run shows in its golden file; here the
        // groupings narrowed to one record or by their resolved flag.
        QTest::newRow("listing by staff, one") << listingQuery(0, with(both, 2)) << QList<int>{2, 4, 5};
        QTest::newRow("listing by customer, open") << listingQuery(1, with(open, 0)) << QList<int>{6, 13, 2, 4, 9, 8, 14};
        QTest::newRow("listing by customer, one") << listingQuery(1, with(both, 4)) << QList<int>{7, 10};
        QTest::newRow("listing by department, one, resolved") << listingQuery(2, with(resolved, 1)) << QList<int>{1, 3};
        QTest::newRow("listing by category, one") << listingQuery(3, with(both, 3)) << QList<int>{3, 7, 14};
        QTest::newRow("charges by customer, one") << chargesQuery(1, with(both, 1)) << QList<int>{1, 3};
        QTest::newRow("charges by department, one") << chargesQuery(2, with(both, 3)) << QList<int>{5, 8, 14};
        // An empty amount paid (4) is billed.
        QTest::newRow("bills by customer, one") << billsQuery(1, with(both, 2)) << QList<int>{2, 4};
        QTest::newRow("bills by department, one, open") << billsQuery(2, with(open, 2)) << QList<int>{2, 4};
        // Four-digit years: after 2029 and before 1930.
        QTest::newRow("2031") << hoursQuery(with(both, 0, {2031, 1, 1}, {2031, 12, 31})) << QList<int>{11};
        QTest::newRow("1925") << listingQuery(1, with(both, 0, {1925, 1, 1}, {1925, 12, 31})) << QList<int>{12};
        QTest::newRow("1925 to 2031") << chargesQuery(1, with(both, 1, {1925, 1, 1}, {2031, 12, 31}))
                                      << QList<int>{12, 1, 3, 11};
        QTest::newRow("start after end") << billsQuery(2, with(both, 0, {2026, 12, 31}, {2026, 1, 1})) << QList<int>{};
    }
    void found()
    {
        QFETCH(QString, sql);
        QFETCH(QList<int>, ids);
        QCOMPARE(this->found(sql), ids);
    }

    // Requests alike in every sort item (one staff member, one day) come in
    // the order of their numbers, whichever was written first.
    void tiesByRequestNumber()
    {
        for (int id : {21, 20}) {
            MainDb->Execute(QStringLiteral("Insert into Req (ReqID, ShortDesc, ReqDesc, ReqDate, AssignedTo, CustID, CostTot) "
                                           "values (%1, 'Tie %1', 'Tie %1', #01/06/2026#, 2, 2, 10000)").arg(id));
            idOf.insert(QStringLiteral("Tie %1").arg(id), id);
        }
        const ReportAnswers day = with(StateFilterKind::Both, 2, {2026, 1, 6}, {2026, 1, 6});
        QCOMPARE(found(hoursQuery(day)), (QList<int>{2, 20, 21}));
        QCOMPARE(found(listingQuery(0, day)), (QList<int>{2, 20, 21}));
        QCOMPARE(found(chargesQuery(1, day)), (QList<int>{2, 20, 21}));
        QCOMPARE(found(billsQuery(1, day)), (QList<int>{2, 20, 21}));
    }
};

CVD_TEST_GUILESS_MAIN(tst_reportqueries)
#include "tst_reportqueries.moc"

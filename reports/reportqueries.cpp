#include "reports/reportqueries.h"

#include "base/formats.h"

namespace cvd {

namespace {

// The request joined with its references, as the listings read it.
const char kListingJoins[] =
    " from ((Req left join Dept on Req.DeptID = Dept.DeptID) left join Customers on Req.CustID = Customers.CustID)"
    " left join Categories on Req.CatID = Categories.CatID where ReqDate >= #";

// Start date, "# and ReQDate <= #", end date, "#".
QString range(const ReportAnswers& a)
{
    return fmt::sqlDate(a.start) + QStringLiteral("# and ReQDate <= #") + fmt::sqlDate(a.end) + QLatin1Char('#');
}

// The open/resolved condition; `openText` is the report's own spelling.
QString stateCondition(StateFilterKind state, const char* openText = " and not resolved")
{
    switch (state) {
    case StateFilterKind::OpenOnly: return QLatin1String(openText);
    case StateFilterKind::ResolvedOnly: return QStringLiteral(" and Resolved");
    case StateFilterKind::Both: break;
    }
    return {};
}

// All: `allOrder`; one: `condition`, the key and `oneOrder`.  The
// request's number comes last in either order, so that requests alike in
// every other sort item come in one order, the same from a file and from a
// server.
QString selection(long id, const char* allOrder, const char* condition, const char* oneOrder)
{
    const QLatin1String lastly(", Req.ReqID");
    if (id == 0)
        return QLatin1String(allOrder) + lastly;
    return QLatin1String(condition) + QString::number(id) + QLatin1String(oneOrder) + lastly;
}

} // namespace

ReportAnswers currentAnswers()
{
    return ReportAnswers{ReportStartDate, ReportEndDate, StateFilter, SelectedID};
}

QString listingQuery(int mode, const ReportAnswers& a)
{
    switch (mode) {
    case 0:
        return QStringLiteral("Select CatDesc, Resolved, ReqDate, ReqDesc, Resp, AssignedTo, Req.CustID as CustID, "
                              "DeptName, Customers.LastName as LastName, Customers.FirstName as FirstName, "
                              "Staff.LastName as StaffLast, Staff.FirstName as StaffFirst from "
                              "(((Req left join Dept on Req.DeptID = Dept.DeptID) left join Customers on "
                              "Req.CustID = Customers.CustID) left join Staff on Req.AssignedTo = Staff.StaffID) "
                              "left join Categories on Req.CatID = Categories.CatID where ReqDate >= #")
               + range(a) + stateCondition(a.state)
               + selection(a.selectedId,
                           " order by Staff.LastName, Staff.FirstName, AssignedTo, ReqDate, Customers.LastName, Customers.FirstName",
                           " and AssignedTo = ", " order by ReqDate, Customers.LastName, Customers.FirstName");
    case 1:
    case 2: {
        const QString base = QStringLiteral("Select CatDesc, Resolved, ReqDate, ReqDesc, Resp, AssignedTo, "
                                            "Req.CustID as CustID, DeptName, LastName, FirstName")
                             + QLatin1String(kListingJoins) + range(a);
        if (mode == 1)
            return base + stateCondition(a.state, " and not Resolved")
                   + selection(a.selectedId, " order by LastName, FirstName, Req.CustID, ReqDate", " and Req.CustID = ",
                               " order by LastName, FirstName, ReqDate");
        return base + stateCondition(a.state)
               + selection(a.selectedId, " order by DeptName, Req.DeptID, ReqDate", " and Req.DeptID = ",
                           " order by DeptName, ReqDate");
    }
    default:
        return QStringLiteral("Select Resolved, CatDesc, DeptName, ReqDate, ReqDesc, Resp, AssignedTo, "
                              "Req.CustID as CustID, DeptName, LastName, FirstName")
               + QLatin1String(kListingJoins) + range(a) + stateCondition(a.state)
               + selection(a.selectedId, " order by CatDesc, Req.CatID, ReqDate, DeptName", " and Req.CatID = ",
                           " order by CatDesc, ReqDate, DeptName");
    }
}

QString hoursQuery(const ReportAnswers& a)
{
    return QStringLiteral("Select AmtPaid, ReqDate, ShortDesc, AssignedTo, HoursTot, MinTot, CostTot, "
                          "Staff.LastName as StaffLast, Staff.FirstName as StaffFirst from Req left join Staff on "
                          "Req.AssignedTo = Staff.StaffID where ReqDate >= #")
           + range(a) + stateCondition(a.state)
           + selection(a.selectedId, " order by Staff.LastName, Staff.FirstName, AssignedTo, ReqDate", " and AssignedTo = ",
                       " order by ReqDate");
}

QString chargesQuery(int mode, const ReportAnswers& a)
{
    const QString base = QStringLiteral("Select AmtPaid, Req.DeptID as DeptID, Req.CustID as CustID, DeptName, "
                                        "ReqDate, ShortDesc, AssignedTo, HoursTot, MinTot, CostTot, "
                                        "Customers.LastName as LastName, Customers.FirstName as FirstName from "
                                        "(Req left join Customers on Req.CustID = Customers.CustID) left join Dept "
                                        "on Req.DeptID = Dept.DeptID where ReqDate >= #")
                         + range(a) + stateCondition(a.state);
    if (mode == 1)
        return base + selection(a.selectedId, " order by Customers.LastName, Customers.FirstName, Req.CustID, ReqDate",
                                " and CustID = ", " order by ReqDate");
    return base + selection(a.selectedId, " order by DeptName, Req.DeptID, ReqDate", " and DeptID = ", " order by ReqDate");
}

QString billsQuery(int mode, const ReportAnswers& a)
{
    // An empty amount paid is nothing paid: such a request is billed when
    // it costs anything.
    const QString owing = QStringLiteral(" and (AmtPaid < CostTot or (AmtPaid is null and CostTot > 0))");
    if (mode == 1)
        return QStringLiteral("Select AmtPaid, Req.CustID as CustID, ReqDate, ShortDesc, AssignedTo, CostTot, "
                              "LastName, FirstName, Address, City, St, Zip, Country from Req left join Customers "
                              "on Req.CustID = Customers.CustID where ReqDate >= #")
               + range(a) + owing + stateCondition(a.state)
               + selection(a.selectedId, " order by Customers.LastName, Customers.FirstName, Req.CustID, ReqDate",
                           " and CustID = ", " order by ReqDate");
    return QStringLiteral("Select AmtPaid, Req.DeptID as DeptID, Address, City, St, Zip, Country, DeptName, ReqDate, "
                          "ShortDesc, AssignedTo, CostTot from Req left join Dept on Req.DeptID = Dept.DeptID "
                          "where ReqDate >= #")
           + range(a) + owing + stateCondition(a.state)
           + selection(a.selectedId, " order by DeptName, Req.DeptID, ReqDate", " and DeptID = ", " order by ReqDate");
}

} // namespace cvd

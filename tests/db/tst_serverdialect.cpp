// The program's SQL as the PostgreSQL server is given it: the program's own
// texts and the dialect's corners translated exactly, texts the server
// cannot be given refused, like patterns that mean on the server what they
// mean on the file, the key appended to an order, and the names a result's
// columns are spelled by.
#include "db/errors.h"
#include "db/serverdialect.h"
#include "db/sqldialect.h"
#include "support/testfiles.h"
#include "support/testmain.h"

#include <QRegularExpression>
#include <QTest>

using namespace cvd;
using namespace Qt::StringLiterals;

namespace {

// Where a row's text is spelled as the program builds it, the date ranges
// and keys are examples.
void row(const char* name, const char* dialect, const char* server)
{
    QTest::newRow(name) << QString::fromUtf8(dialect) << QString::fromUtf8(server);
}

// The server's like condition (ILIKE or ~*) as a regular expression over
// the whole value, read the way PostgreSQL reads it.
QRegularExpression serverMeaning(const QString& translated)
{
    static const QRegularExpression shape(uR"(^\(.*::text COLLATE "und-x-icu"\) (ILIKE|~\*) '(.*)'$)"_s,
                                          QRegularExpression::DotMatchesEverythingOption);
    const auto m = shape.match(translated);
    if (!m.hasMatch())
        return QRegularExpression(u"(?!)"_s);
    QString literal = m.captured(2).replace(u"''"_s, u"'"_s);
    QString re;
    if (m.captured(1) == u"ILIKE") {
        for (qsizetype i = 0; i < literal.size(); ++i) {
            const QChar c = literal[i];
            if (c == u'\\' && i + 1 < literal.size())
                re += QRegularExpression::escape(QString(literal[++i]));
            else if (c == u'%')
                re += u".*"_s;
            else if (c == u'_')
                re += u'.';
            else
                re += QRegularExpression::escape(QString(c));
        }
    } else {
        if (!literal.startsWith(u"(?s)^") || !literal.endsWith(u'$'))
            return QRegularExpression(u"(?!)"_s);
        re = literal.mid(5, literal.size() - 6);
    }
    return QRegularExpression(QRegularExpression::anchoredPattern(re),
                              QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
}

} // namespace

class TestServerDialect : public QObject {
    Q_OBJECT

private slots:
    void translate_data();
    void translate()
    {
        QFETCH(QString, dialect);
        QFETCH(QString, server);
        QCOMPARE(sql::translateForServer(dialect), server);
    }

    // Texts that would mean something else on the server, or nothing.
    void refused_data()
    {
        QTest::addColumn<QString>("dialect");
        QTest::newRow("pattern is a column") << u"LastName like FirstName"_s;
        QTest::newRow("pattern is built") << u"LastName like 'Sm' || '*'"_s;
        QTest::newRow("pattern with escape") << u"LastName like 'a!*' escape '!'"_s;
        QTest::newRow("pattern is a date") << u"ReqDate like #1/1/98#"_s;
        QTest::newRow("no pattern") << u"LastName like"_s;
        QTest::newRow("no operand") << u"Select * from Customers where like 'a*'"_s;
        QTest::newRow("unclosed pattern") << u"LastName like 'Sm*"_s;
        QTest::newRow("no such day") << u"ReqDate = #2/30/98#"_s;
        QTest::newRow("no month 13") << u"ReqDate = #2026-13-01#"_s;
        QTest::newRow("unclosed name") << u"Select [LastName from Customers"_s;
    }
    void refused()
    {
        QFETCH(QString, dialect);
        QString text;
        QCOMPARE(test::errorOf([&] { sql::translateForServer(dialect); }, &text), ErrNo::SqlError);
        QVERIFY(!text.isEmpty());
    }

    // A value matches the server's condition exactly when the file's own
    // matcher says it matches the pattern.
    void likeMeaning_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QStringList>("values");
        const QStringList common{u""_s,          u"Smith"_s, u"SMYTH"_s,   u"sm"_s,     u"O'Brien"_s, u"O'B#1 Ltd"_s,
                                 u"OB21 Ltd"_s,  u"100%"_s,  u"100 %x"_s,  u"a_b"_s,    u"axb"_s,     u"back\\slash"_s,
                                 u"a.b"_s,       u"a+b"_s,   u"Room 42"_s, u"Room 4x"_s, u"Room [7]"_s, u"What? Really*"_s,
                                 u"Zoë Ångström"_s, u"ÅNGSTRÖM"_s, u"line one\r\nline two"_s, u"tab\there"_s,
                                 u"(x)"_s,       u"{2}"_s,   u"a^b$"_s,    u"a|b"_s,    u"a-b"_s,     u"]"_s,
                                 u"R2D2"_s,      u"r2d2"_s,  u"李"_s};
        for (const char* p : {"Sm*", "sm?th", "O'B*", "O'B[#]1*", "100%", "100%*", "a_b", "back\\*", "*\\*", "a.b",
                              "a+b", "Room ##", "Room 4[!0-9]", "Room 4[a-Z]", "Room [[]#]", "What[?] Really[*]",
                              "*ångström*", "ångström", "*one*two", "*one?*two", "tab?here", "tab[\t]here", "(x)",
                              "{2}", "a^b$", "a|b", "a[-]b", "a[!-]b", "[]]", "]", "R#D#", "[a-c]*", "[!a-c]*",
                              "*[%]*", "[\\]*", "*[.]*", "[^]*", "[!]*", "a[]b", "[l]*", "*", "?", "李", "[李]"})
            QTest::newRow(p) << QString::fromUtf8(p) << common;
    }
    void likeMeaning()
    {
        QFETCH(QString, pattern);
        QFETCH(QStringList, values);
        QString quoted = pattern;
        quoted.replace(u'\'', u"''"_s);
        const QString translated = sql::translateForServer(u"Name like '"_s + quoted + u'\'');
        const QRegularExpression re = serverMeaning(translated);
        QVERIFY2(re.isValid(), qPrintable(translated + u": "_s + re.errorString()));
        for (const QString& v : values)
            QVERIFY2(re.match(v).hasMatch() == sql::likeMatches(pattern, v),
                     qPrintable(translated + u" on \""_s + v + u'"'));
    }

    void keyOrder_data()
    {
        QTest::addColumn<QString>("orderBy");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("expected");
        QTest::newRow("none") << u""_s << u"reqid"_s << u"reqid"_s;
        QTest::newRow("blank") << u"  "_s << u"reqid"_s << u"reqid"_s;
        QTest::newRow("desc, as translated") << u"ReqDate desc NULLS LAST"_s << u"reqid"_s
                                             << u"ReqDate desc NULLS LAST, reqid desc"_s;
        QTest::newRow("desc, as written") << u"ReqDate DESC"_s << u"ReqID"_s << u"ReqDate DESC, ReqID desc"_s;
        QTest::newRow("ascending") << u"LastName COLLATE pg_temp.cvd_order NULLS FIRST, FirstName COLLATE pg_temp.cvd_order NULLS FIRST"_s << u"custid"_s
                                   << u"LastName COLLATE pg_temp.cvd_order NULLS FIRST, FirstName COLLATE pg_temp.cvd_order NULLS FIRST, custid"_s;
        QTest::newRow("only the last item counts") << u"LastName desc, FirstName asc"_s << u"staffid"_s
                                                   << u"LastName desc, FirstName asc, staffid"_s;
        QTest::newRow("last item desc") << u"LastName, FirstName desc"_s << u"staffid"_s
                                        << u"LastName, FirstName desc, staffid desc"_s;
        QTest::newRow("desc inside an expression") << u"coalesce(a, (select b from t order by c desc))"_s
                                                   << u"id"_s << u"coalesce(a, (select b from t order by c desc)), id"_s;
        QTest::newRow("a column named like desc") << u"[desc]"_s << u"id"_s << u"[desc], id"_s;
    }
    void keyOrder()
    {
        QFETCH(QString, orderBy);
        QFETCH(QString, key);
        QFETCH(QString, expected);
        QCOMPARE(sql::appendKeyOrder(orderBy, key), expected);
    }

    void spellings_data()
    {
        QTest::addColumn<QString>("dialect");
        QTest::addColumn<QString>("reported"); // as PostgreSQL names the column
        QTest::addColumn<QString>("spelling");
        const QString hours = u"Select AmtPaid, ReqDate, Staff.LastName as StaffLast, Staff.FirstName as StaffFirst "
                              "from Req left join Staff on Req.AssignedTo = Staff.StaffID order by Staff.lastname"_s;
        QTest::newRow("alias") << hours << u"stafflast"_s << u"StaffLast"_s;
        QTest::newRow("column") << hours << u"amtpaid"_s << u"AmtPaid"_s;
        QTest::newRow("first spelling wins") << hours << u"lastname"_s << u"LastName"_s;
        QTest::newRow("written in lower case")
            << u"Select CustID, FirstName, LastName from Customers order by Lastname, Firstname"_s << u"custid"_s
            << u"CustID"_s;
        QTest::newRow("the first spelling, in lower case")
            << u"select lastname from Customers where LastName like 'a*'"_s << u"lastname"_s << u"lastname"_s;
        QTest::newRow("bracketed name") << u"Select [Misc1] from Req"_s << u"misc1"_s << u"Misc1"_s;
        QTest::newRow("texts are no names") << u"Select 'Total' as Label from Req"_s << u"total"_s << QString();
        QTest::newRow("non-ASCII letters keep their case") << u"Select Größe as ÄB from T"_s << u"Äb"_s << u"ÄB"_s;
    }
    void spellings()
    {
        QFETCH(QString, dialect);
        QFETCH(QString, reported);
        QFETCH(QString, spelling);
        QCOMPARE(sql::nameSpellings(dialect).value(reported), spelling);
    }
};

void TestServerDialect::translate_data()
{
    QTest::addColumn<QString>("dialect");
    QTest::addColumn<QString>("server");

    // The request list, the look-up lists, the maintenance windows, the
    // report options' lists: Null first, or last when descending.
    row("requests, newest first", "Select * from Req order by ReqDate desc",
        "Select * from Req order by ReqDate desc NULLS LAST");
    row("categories list", "Select * from categories order by CatDesc",
        "Select * from categories order by CatDesc COLLATE pg_temp.cvd_order NULLS FIRST");
    row("customers list", "Select CustID, FirstName, LastName from Customers order by Lastname, Firstname",
        "Select CustID, FirstName, LastName from Customers order by Lastname COLLATE pg_temp.cvd_order NULLS FIRST, Firstname COLLATE pg_temp.cvd_order NULLS FIRST");
    row("departments list", "Select DeptName, DeptID from Dept order by Deptname",
        "Select DeptName, DeptID from Dept order by Deptname COLLATE pg_temp.cvd_order NULLS FIRST");
    row("priorities list", "Select PriID, PriDesc from Priorities order by PriDesc",
        "Select PriID, PriDesc from Priorities order by PriDesc COLLATE pg_temp.cvd_order NULLS FIRST");
    row("staff list", "Select FirstName, LastName, StaffID from Staff order by LastName, FirstName",
        "Select FirstName, LastName, StaffID from Staff order by LastName COLLATE pg_temp.cvd_order NULLS FIRST, FirstName COLLATE pg_temp.cvd_order NULLS FIRST");
    row("customers window", "Select * from Customers order by LastName, FirstName",
        "Select * from Customers order by LastName COLLATE pg_temp.cvd_order NULLS FIRST, FirstName COLLATE pg_temp.cvd_order NULLS FIRST");
    row("departments window", "Select * from Dept order by DeptName",
        "Select * from Dept order by DeptName COLLATE pg_temp.cvd_order NULLS FIRST");
    row("report options, categories", "Select * from Categories order by Catdesc",
        "Select * from Categories order by Catdesc COLLATE pg_temp.cvd_order NULLS FIRST");

    // In-use checks and the report tool's names: as written.
    row("priority in use", "Select * from Req where PriID= 2", "Select * from Req where PriID= 2");
    row("staff member in use", "Select ReqID from Req where EnteredBy = 2 or AssignedTo = 2",
        "Select ReqID from Req where EnteredBy = 2 or AssignedTo = 2");
    row("department in use by a customer", "Select CustID from Customers where DeptID = 1",
        "Select CustID from Customers where DeptID = 1");
    row("report tool's staff name", "Select FirstName, LastName from Staff where StaffID = 2",
        "Select FirstName, LastName from Staff where StaffID = 2");

    // FindFirst criteria: the maintenance windows' Find, the key after a save.
    row("find a customer", "LastName like 'Sm*'", R"((LastName::text COLLATE "und-x-icu") ILIKE 'Sm%')");
    row("find typed with ' and #", "DeptName like 'O''B[#]1*'",
        R"((DeptName::text COLLATE "und-x-icu") ILIKE 'O''B#1%')");
    row("find typed with ? and [", "CatDesc like 'What[?] [[]x]*'",
        R"((CatDesc::text COLLATE "und-x-icu") ILIKE 'What? [x]%')");
    row("find typed with % _ \\", R"(LastName like '100%_\*')", R"((LastName::text COLLATE "und-x-icu") ILIKE '100\%\_\\%')");
    row("the key after a save", "ReqID = 9", "ReqID = 9");

    // The find dialog: texts in the request and the response, either text,
    // a date bound, a department and a staff member.
    row("find, everything", "Select * from Req where ((ReqDesc like '*a*' or Resp like '*a*') or (ReqDesc like '*b*' or "
        "Resp like '*b*')) and  ReqDate < #03/05/1998# and  DeptID = 7 and  AssignedTo = 2 order by ReqDate desc",
        R"(Select * from Req where (((ReqDesc::text COLLATE "und-x-icu") ILIKE '%a%' or (Resp::text COLLATE )"
        R"("und-x-icu") ILIKE '%a%') or ((ReqDesc::text COLLATE "und-x-icu") ILIKE '%b%' or (Resp::text COLLATE )"
        R"("und-x-icu") ILIKE '%b%')) and  ReqDate < DATE '1998-03-05' and  DeptID = 7 and  AssignedTo = 2 order )"
        R"(by ReqDate desc NULLS LAST)");
    row("find, both texts, a digit typed", "Select * from Req where ReqDesc like '*Room [#]4*' and ReqDesc like "
        "'*it''s*' order by ReqDate desc",
        R"(Select * from Req where (ReqDesc::text COLLATE "und-x-icu") ILIKE '%Room #4%' and (ReqDesc::text )"
        R"(COLLATE "und-x-icu") ILIKE '%it''s%' order by ReqDate desc NULLS LAST)");
    row("find, a date only", "Select * from Req where  ReqDate >= #12/31/2031# order by ReqDate desc",
        "Select * from Req where  ReqDate >= DATE '2031-12-31' order by ReqDate desc NULLS LAST");

    // The reports, one of each form: nested joins, Yes/No conditions, the
    // alias rule (required on the server: CustID alone is ambiguous there).
    row("listing by staff, one, open",
        "Select CatDesc, Resolved, ReqDate, ReqDesc, Resp, AssignedTo, Req.CustID as CustID, DeptName, "
        "Customers.LastName as LastName, Customers.FirstName as FirstName, Staff.LastName as StaffLast, "
        "Staff.FirstName as StaffFirst from (((Req left join Dept on Req.DeptID = Dept.DeptID) left join "
        "Customers on Req.CustID = Customers.CustID) left join Staff on Req.AssignedTo = Staff.StaffID) left "
        "join Categories on Req.CatID = Categories.CatID where ReqDate >= #01/01/2026# and ReQDate <= "
        "#12/31/2026# and not resolved and AssignedTo = 3 order by ReqDate, Customers.LastName, Customers.FirstName",
        "Select CatDesc, Resolved, ReqDate, ReqDesc, Resp, AssignedTo, Req.CustID as CustID, DeptName, "
        "Customers.LastName as LastName, Customers.FirstName as FirstName, Staff.LastName as StaffLast, "
        "Staff.FirstName as StaffFirst from (((Req left join Dept on Req.DeptID = Dept.DeptID) left join "
        "Customers on Req.CustID = Customers.CustID) left join Staff on Req.AssignedTo = Staff.StaffID) left "
        "join Categories on Req.CatID = Categories.CatID where ReqDate >= DATE '2026-01-01' and ReQDate <= "
        "DATE '2026-12-31' and not resolved and AssignedTo = 3 order by ReqDate NULLS FIRST, Customers.LastName COLLATE pg_temp.cvd_order "
        "NULLS FIRST, Customers.FirstName COLLATE pg_temp.cvd_order NULLS FIRST");
    row("listing by customer, one, open",
        "Select CatDesc, Resolved, ReqDate, ReqDesc, Resp, AssignedTo, Req.CustID as CustID, DeptName, LastName, "
        "FirstName from ((Req left join Dept on Req.DeptID = Dept.DeptID) left join Customers on Req.CustID = "
        "Customers.CustID) left join Categories on Req.CatID = Categories.CatID where ReqDate >= #01/01/2026# "
        "and ReQDate <= #12/31/2026# and not Resolved and Req.CustID = 2 order by LastName, FirstName, ReqDate",
        "Select CatDesc, Resolved, ReqDate, ReqDesc, Resp, AssignedTo, Req.CustID as CustID, DeptName, LastName, "
        "FirstName from ((Req left join Dept on Req.DeptID = Dept.DeptID) left join Customers on Req.CustID = "
        "Customers.CustID) left join Categories on Req.CatID = Categories.CatID where ReqDate >= DATE '2026-01-01' "
        "and ReQDate <= DATE '2026-12-31' and not Resolved and Req.CustID = 2 order by LastName COLLATE pg_temp.cvd_order NULLS FIRST, "
        "FirstName COLLATE pg_temp.cvd_order NULLS FIRST, ReqDate NULLS FIRST");
    row("listing by category, all (DeptName twice)",
        "Select Resolved, CatDesc, DeptName, ReqDate, ReqDesc, Resp, AssignedTo, Req.CustID as CustID, DeptName, "
        "LastName, FirstName from ((Req left join Dept on Req.DeptID = Dept.DeptID) left join Customers on "
        "Req.CustID = Customers.CustID) left join Categories on Req.CatID = Categories.CatID where ReqDate >= "
        "#01/01/2026# and ReQDate <= #12/31/2026# order by CatDesc, ReqDate, DeptName",
        "Select Resolved, CatDesc, DeptName, ReqDate, ReqDesc, Resp, AssignedTo, Req.CustID as CustID, DeptName, "
        "LastName, FirstName from ((Req left join Dept on Req.DeptID = Dept.DeptID) left join Customers on "
        "Req.CustID = Customers.CustID) left join Categories on Req.CatID = Categories.CatID where ReqDate >= "
        "DATE '2026-01-01' and ReQDate <= DATE '2026-12-31' order by CatDesc COLLATE pg_temp.cvd_order NULLS FIRST, ReqDate NULLS FIRST, "
        "DeptName COLLATE pg_temp.cvd_order NULLS FIRST");
    row("hours, all, resolved",
        "Select AmtPaid, ReqDate, ShortDesc, AssignedTo, HoursTot, MinTot, CostTot, Staff.LastName as StaffLast, "
        "Staff.FirstName as StaffFirst from Req left join Staff on Req.AssignedTo = Staff.StaffID where ReqDate "
        ">= #01/01/1925# and ReQDate <= #12/31/2031# and Resolved order by Staff.LastName, Staff.FirstName, "
        "ReqDate",
        "Select AmtPaid, ReqDate, ShortDesc, AssignedTo, HoursTot, MinTot, CostTot, Staff.LastName as StaffLast, "
        "Staff.FirstName as StaffFirst from Req left join Staff on Req.AssignedTo = Staff.StaffID where ReqDate "
        ">= DATE '1925-01-01' and ReQDate <= DATE '2031-12-31' and Resolved order by Staff.LastName COLLATE pg_temp.cvd_order NULLS FIRST, "
        "Staff.FirstName COLLATE pg_temp.cvd_order NULLS FIRST, ReqDate NULLS FIRST");
    row("charges by customer, one",
        "Select AmtPaid, Req.DeptID as DeptID, Req.CustID as CustID, DeptName, ReqDate, ShortDesc, AssignedTo, "
        "HoursTot, MinTot, CostTot, Customers.LastName as LastName, Customers.FirstName as FirstName from (Req "
        "left join Customers on Req.CustID = Customers.CustID) left join Dept on Req.DeptID = Dept.DeptID where "
        "ReqDate >= #01/01/2026# and ReQDate <= #12/31/2026# and Resolved and CustID = 2 order by ReqDate",
        "Select AmtPaid, Req.DeptID as DeptID, Req.CustID as CustID, DeptName, ReqDate, ShortDesc, AssignedTo, "
        "HoursTot, MinTot, CostTot, Customers.LastName as LastName, Customers.FirstName as FirstName from (Req "
        "left join Customers on Req.CustID = Customers.CustID) left join Dept on Req.DeptID = Dept.DeptID where "
        "ReqDate >= DATE '2026-01-01' and ReQDate <= DATE '2026-12-31' and Resolved and Req.CustID = 2 order by "
        "ReqDate NULLS FIRST");
    row("bills by customer, all, open",
        "Select AmtPaid, Req.CustID as CustID, ReqDate, ShortDesc, AssignedTo, CostTot, LastName, FirstName, "
        "Address, City, St, Zip, Country from Req left join Customers on Req.CustID = Customers.CustID where "
        "ReqDate >= #01/01/2026# and ReQDate <= #12/31/2026# and (AmtPaid < CostTot or (AmtPaid is null and "
        "CostTot > 0)) and not resolved order by Customers.LastName, Customers.FirstName, Req.CustID, ReqDate",
        "Select AmtPaid, Req.CustID as CustID, ReqDate, ShortDesc, AssignedTo, CostTot, LastName, FirstName, "
        "Address, City, St, Zip, Country from Req left join Customers on Req.CustID = Customers.CustID where "
        "ReqDate >= DATE '2026-01-01' and ReQDate <= DATE '2026-12-31' and (AmtPaid < CostTot or (AmtPaid is "
        "null and CostTot > 0)) and not resolved order by Customers.LastName COLLATE pg_temp.cvd_order NULLS FIRST, Customers.FirstName COLLATE pg_temp.cvd_order "
        "NULLS FIRST, Req.CustID NULLS FIRST, ReqDate NULLS FIRST");
    row("bills by department, one",
        "Select AmtPaid, Req.DeptID as DeptID, Address, City, St, Zip, Country, DeptName, ReqDate, ShortDesc, "
        "AssignedTo, CostTot from Req left join Dept on Req.DeptID = Dept.DeptID where ReqDate >= #01/01/2026# "
        "and ReQDate <= #12/31/2026# and (AmtPaid < CostTot or (AmtPaid is null and CostTot > 0)) and Resolved "
        "and DeptID = 2 order by ReqDate",
        "Select AmtPaid, Req.DeptID as DeptID, Address, City, St, Zip, Country, DeptName, ReqDate, ShortDesc, "
        "AssignedTo, CostTot from Req left join Dept on Req.DeptID = Dept.DeptID where ReqDate >= DATE "
        "'2026-01-01' and ReQDate <= DATE '2026-12-31' and (AmtPaid < CostTot or (AmtPaid is null and CostTot > "
        "0)) and Resolved and Req.DeptID = 2 order by ReqDate NULLS FIRST");

    // like: the operand's forms, not like, the wildcards and classes.
    row("like, literal operand", "Select 1 from Settings where 'Zoë needs Ångström units' like '*ångström*'",
        R"(Select 1 from Settings where ('Zoë needs Ångström units'::text COLLATE "und-x-icu") ILIKE '%ångström%')");
    row("like, qualified, any case", "Customers.LastName LIKE 'J?nes'",
        R"((Customers.LastName::text COLLATE "und-x-icu") ILIKE 'J_nes')");
    row("like, bracketed names", "[Req].[Short Desc] like 'a*'",
        R"(("req"."short desc"::text COLLATE "und-x-icu") ILIKE 'a%')");
    row("like, in parentheses", "(FirstName || ' ' || LastName) like '*Smith'",
        R"(((FirstName || ' ' || LastName)::text COLLATE "und-x-icu") ILIKE '%Smith')");
    row("like, function call", "upper(LastName) like 'SM*'",
        R"((upper(LastName)::text COLLATE "und-x-icu") ILIKE 'SM%')");
    row("like, number", "42 like '4?'", R"((42::text COLLATE "und-x-icu") ILIKE '4_')");
    row("not like", "LastName not like 'Sm*' and not LastName like 'Jo*'",
        R"((LastName::text COLLATE "und-x-icu") NOT ILIKE 'Sm%' and not (LastName::text COLLATE "und-x-icu") ILIKE 'Jo%')");
    row("like, digits", "Phone like '555-####'", R"((Phone::text COLLATE "und-x-icu") ~* '(?s)^555-[0-9][0-9][0-9][0-9]$')");
    row("not like, digits", "Zip Not Like '*#*'", R"((Zip::text COLLATE "und-x-icu") !~* '(?s)^.*[0-9].*$')");
    row("like, classes", "LastName like '[a-c]*[!x-z]'",
        R"((LastName::text COLLATE "und-x-icu") ~* '(?s)^[a-c].*[^x-z]$')");
    row("like, a class of several", "St like '[IW][LA]'", R"((St::text COLLATE "und-x-icu") ~* '(?s)^[IW][LA]$')");
    row("like, range ends folded", "St like '[A-Z]#'", R"((St::text COLLATE "und-x-icu") ~* '(?s)^[a-z][0-9]$')");
    row("like, class characters escaped", R"(Misc1 like '[-.^\]]#')", R"((Misc1::text COLLATE "und-x-icu") ~* '(?s)^[\-\.\^\\]\][0-9]$')");
    row("like, regex characters escaped", "Misc1 like '(a.b)+{2}|^$\\#'",
        R"((Misc1::text COLLATE "und-x-icu") ~* '(?s)^\(a\.b\)\+\{2\}\|\^\$\\[0-9]$')");
    row("like, one-character classes in a regex", "Misc1 like '[*][?][[][#]#'",
        R"((Misc1::text COLLATE "und-x-icu") ~* '(?s)^\*\?\[#[0-9]$')");
    row("like, quote in a regex", "LastName like 'O''B#'", R"((LastName::text COLLATE "und-x-icu") ~* '(?s)^O''B[0-9]$')");
    row("like, a run of stars", "LastName like 'a**b'", R"((LastName::text COLLATE "und-x-icu") ILIKE 'a%b')");
    row("like, [] and [!]", "LastName like 'a[]b[!]'", R"((LastName::text COLLATE "und-x-icu") ILIKE 'ab_')");
    row("like, unclosed [", "LastName like 'a[b'", R"((LastName::text COLLATE "und-x-icu") ILIKE 'a[b')");
    row("like, double-quoted pattern", R"(LastName like "O'B*")", R"((LastName::text COLLATE "und-x-icu") ILIKE 'O''B%')");
    row("like in a text is text", "Select 'x like y' from Req", "Select 'x like y' from Req");

    // Dates, names, texts, and what passes through.
    row("dates, every form", "ReqDate in (#3/5/98#, #03/05/1998#, #1998-03-05#, #1/1/29#, #1/1/30#)",
        "ReqDate in (DATE '1998-03-05', DATE '1998-03-05', DATE '1998-03-05', DATE '2029-01-01', DATE '1930-01-01')");
    row("a date in a text stays", "Select 'O''Neil #1/1/98#' from Req", "Select 'O''Neil #1/1/98#' from Req");
    row("bracketed and backquoted names", "Select [ReqID], `Short Desc`, [Odd\"Name] from [Req]",
        R"(Select "reqid", "short desc", "odd""name" from "req")");
    row("double quotes are a text", R"(Select * from Customers where LastName = "O'Neil")",
        "Select * from Customers where LastName = 'O''Neil'");
    row("backslash stays", R"(Select * from Customers where LastName = 'a\b')",
        R"(Select * from Customers where LastName = 'a\b')");
    row("alias rule with brackets",
        "Select [Req].[CustID] as CustID from Req left join Customers on Req.CustID = Customers.CustID where CustID = 2",
        R"(Select "req"."custid" as CustID from Req left join Customers on Req.CustID = Customers.CustID where )"
        R"("req"."custid" = 2)");
    row("update", "Update Req set Resolved = true, ResDate = #6/30/2026# where LastName like 'x*'",
        R"(Update Req set Resolved = true, ResDate = DATE '2026-06-30' where (LastName::text COLLATE "und-x-icu") ILIKE 'x%')");
    row("insert", R"(Insert into Categories (CatDesc) values ("New"))", "Insert into Categories (CatDesc) values ('New')");
    row("delete", "Delete from Req where ReqDate < #1/1/1990#", "Delete from Req where ReqDate < DATE '1990-01-01'");

    // Order: only the statement's own, each item once.
    row("order, directions", "Select * from Customers order by LastName DESC, FirstName asc, 3",
        "Select * from Customers order by LastName COLLATE pg_temp.cvd_order DESC NULLS LAST, FirstName COLLATE "
        "pg_temp.cvd_order asc NULLS FIRST, 3 NULLS FIRST");
    row("order, NULLS already said", "Select * from Customers order by LastName nulls last, FirstName",
        "Select * from Customers order by LastName COLLATE pg_temp.cvd_order nulls last, FirstName COLLATE "
        "pg_temp.cvd_order NULLS FIRST");
    row("order, expressions",
        "Select * from Req order by coalesce(AmtPaid, 0) desc, (HoursTot * 60 + MinTot) , ReqDate limit 5",
        "Select * from Req order by coalesce(AmtPaid, 0) desc NULLS LAST, (HoursTot * 60 + MinTot) NULLS FIRST , "
        "ReqDate NULLS FIRST limit 5");
    row("order, inside parentheses left alone",
        "Select * from (select * from Req order by ReqDate desc) as r where ReqID in (select ReqID from Req order by "
        "ReqID) order by r.ReqID",
        "Select * from (select * from Req order by ReqDate desc) as r where ReqID in (select ReqID from Req order by "
        "ReqID) order by r.ReqID NULLS FIRST");
    row("order, two statements", "Select 1 from Req order by 1; Select 2 from Req order by 1 desc;",
        "Select 1 from Req order by 1 NULLS FIRST; Select 2 from Req order by 1 desc NULLS LAST;");
    row("order, before locking", "Select * from Req order by ReqID for update",
        "Select * from Req order by ReqID NULLS FIRST for update");
}

CVD_TEST_GUILESS_MAIN(TestServerDialect)
#include "tst_serverdialect.moc"

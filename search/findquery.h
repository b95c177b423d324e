#pragma once
// The query of the find dialog: its criteria turned into one SQL text over
// the request table, newest request date first.
//
//   FindCriteria c;
//   c.search1 = QStringLiteral("printer");
//   c.deptId = 7;
//   findSql(c); // Select * from Req where ReqDesc like '*printer*' and  DeptID = 7 order by ReqDate desc
#include <QDate>
#include <QString>
#include <optional>

namespace cvd {

// Every request, newest first: the main window's set when no search applies.
inline const QString AllRequestsSql = QStringLiteral("Select * from Req order by ReqDate desc");

struct FindCriteria {
    QString search1;
    QString search2;
    bool eitherText = false;  // "Or" between the two texts; "And" otherwise
    bool inResponse = false;  // "Request and Response"; "Request Only" otherwise
    std::optional<QDate> date;
    bool before = false;      // "Less Than"; otherwise "Greater Than or Equal To"
    std::optional<long> deptId;
    std::optional<long> staffId;
};

// Whether any criterion is given: a search text, a date, a department or a
// staff member.
bool hasCriteria(const FindCriteria& c);

// The query for the criteria.  A second text without a first stands as the
// first.  The texts match as typed (ui/liketext.h: apostrophes doubled, #, ?
// and [ in brackets); two texts joined by "or" stand in brackets together,
// as in "(ReqDesc like '*a*' or ReqDesc like '*b*') and  DeptID = 7".  Dates
// are written #mm/dd/yyyy#, so that every year is read as written.  Pieces
// after the first are joined by " and " and each brings its own leading
// blank, as in "ReqDesc like '*a*' and  DeptID = 7".
QString findSql(const FindCriteria& c);

} // namespace cvd

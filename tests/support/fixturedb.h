#pragma once
// A small database with known rows, for tests that read and write records.
//
//   Categories  1 Software, 2 Hardware, 3 Network
//   Priorities  1 High, 2 Low, 3 Medium
//   Dept        1 Accounting (Springfield), 2 Ångström Labs (Uppsala), 3 Zeta Corp (no address)
//   Customers   1 Ann Adams (dept 1), 2 Bob Baker (dept 2, no city/state/zip),
//               3 Zoë O'Neil (dept 1), 4 李 (last name only, dept 3)
//   Staff       1 Jane Smith, 2 Tom Jones, 3 Anders Ångström
//   Req         ReqID date        res cust dept cat pri ent asg cost   paid
//               1     1997-12-15  yes 1    1    2   1   1   1   50.00  50.00
//               2     1998-01-05  no  1    1    1   2   1   2   50.00   0.00
//               3     1998-01-20  yes 2    2    3   1   2   1   40.00   0.00
//               4     1998-02-10  no  3    1    2   3   2   -   25.00  25.00
//               5     1998-03-05  yes 1    2    1   2   3   3  100.00  30.00
//               6     1998-03-31  no  4    3    -   -   -   2   -      -
//               7     1999-06-01  no  2    2    2   1   1   1   75.00   0.00
//               8     2001-07-04  yes -    -    3   3   1   3   40.00   0.00
//   Settings    the row schema::createTables writes (rate 40, minimum 25) with
//               a heading: "Calvedon Service Desk", "100 Main Street" CR LF
//               "Springfield, IL  62701" (a new file's heading is empty)
//
// On the server (testbackend.h) the same rows go into a schema of their own,
// and the folder gets a cvd.conn naming it instead of a cvd.mdb.
#include "support/testbackend.h"

#include <QString>

namespace cvd::test {

// Creates `folder`/cvd.mdb holding the rows above and returns its path; in
// server mode the schema and `folder`/cvd.conn, whose path it returns.
QString createFixtureDb(const QString& folder, Engine engine = testEngine());

// The same with the tables, the Settings row and the rows `rowsSql` writes
// (written so that both engines take it: Yes/No as TRUE and FALSE, tabs and
// line ends as the characters themselves).  Rows written with their keys
// leave the next AutoNumber past the largest key.
QString newDatabase(const QString& folder, const QString& rowsSql, Engine engine = testEngine());
// The tables and the Settings row only.
inline QString createEmptyDb(const QString& folder, Engine engine = testEngine()) { return newDatabase(folder, {}, engine); }

} // namespace cvd::test

#include "support/fixturedb.h"

#include "db/errors.h"
#include "db/schema.h"
#include "support/testfiles.h"

#include <QDir>
#include <QFile>
#include <sqlite3.h>

namespace cvd::test {

namespace {

const char* const fixtureRows = R"SQL(
BEGIN;
INSERT INTO Categories (CatID, CatDesc) VALUES (1, 'Software'), (2, 'Hardware'), (3, 'Network');
INSERT INTO Priorities (PriID, PriDesc) VALUES (1, 'High'), (2, 'Low'), (3, 'Medium');
INSERT INTO Dept (DeptID, DeptName, Address, City, St, Zip, Country, Phone) VALUES
 (1, 'Accounting', '12 Ledger Lane', 'Springfield', 'IL', '62701', 'USA', '555-0100'),
 (2, 'Ångström Labs', 'Box 7', 'Uppsala', NULL, '751 05', 'Sweden', NULL),
 (3, 'Zeta Corp', NULL, NULL, NULL, NULL, NULL, NULL);
INSERT INTO Customers (CustID, FirstName, LastName, Title, Address, City, St, Zip, Country, Phone, AltID, DeptID) VALUES
 (1, 'Ann', 'Adams', 'Clerk', '1 Elm Street', 'Springfield', 'IL', '62701', 'USA', '555-0101', 'A1', 1),
 (2, 'Bob', 'Baker', NULL, '9 Oak Road', NULL, NULL, NULL, NULL, NULL, NULL, 2),
 (3, 'Zoë', 'O''Neil', NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, 1),
 (4, NULL, '李', NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, 3);
INSERT INTO Staff (StaffID, FirstName, LastName, Phone, AltID, Comments) VALUES
 (1, 'Jane', 'Smith', '555-0201', NULL, NULL),
 (2, 'Tom', 'Jones', NULL, NULL, 'Works nights'),
 (3, 'Anders', 'Ångström', NULL, NULL, NULL);
INSERT INTO Req (ReqID, ShortDesc, ReqDesc, Resp, ReqDate, DueDate, ResDate, Resolved, HoursTot, MinTot,
                 AddCharge, CostTot, AmtPaid, PaidDate, CustID, DeptID, PriID, CatID, EnteredBy, AssignedTo, Misc1) VALUES
 (1, 'Printer jam', 'The printer jams on every page', 'Cleared the paper path', '1997-12-15', '1997-12-16', '1997-12-15', TRUE,
  1, 0, 0, 500000, 500000, '1997-12-20', 1, 1, 1, 2, 1, 1, NULL),
 (2, 'Spreadsheet crash', 'Excel crashes when printing', NULL, '1998-01-05', NULL, NULL, FALSE,
  1, 15, 0, 500000, 0, NULL, 1, 1, 2, 1, 1, 2, 'urgent'),
 (3, 'Network down', 'No network for O''Neil in the lab', 'Replaced the switch', '1998-01-20', NULL, '1998-01-21', TRUE,
  0, 45, 0, 400000, 0, NULL, 2, 2, 1, 3, 2, 1, NULL),
 (4, 'New mouse', 'Mouse needed', NULL, '1998-02-10', NULL, NULL, FALSE,
  0, 30, 0, 250000, 250000, '1998-02-11', 3, 1, 3, 2, 2, NULL, NULL),
 (5, 'Upgrade', 'Upgrade the PRINTER driver', 'Installed the driver', '1998-03-05', NULL, '1998-03-06', TRUE,
  2, 0, 200000, 1000000, 300000, '1998-03-10', 1, 2, 2, 1, 3, 3, NULL),
 (6, '李 request', 'Zoë needs Ångström units', NULL, '1998-03-31', NULL, NULL, FALSE,
  0, 0, NULL, NULL, NULL, NULL, 4, 3, NULL, NULL, NULL, 2, NULL),
 (7, 'Server', 'Server room is hot', NULL, '1999-06-01', NULL, NULL, FALSE,
  3, 0, 0, 750000, 0, NULL, 2, 2, 1, 2, 1, 1, NULL),
 (8, 'Cable', 'Cable#5 loose', 'Fixed', '2001-07-04', NULL, '2001-07-04', TRUE,
  1, 0, 0, 400000, 0, NULL, NULL, NULL, 3, 3, 1, 3, NULL);
COMMIT;
)SQL";

// A new file has no heading on its bills; the fixture has one of its own,
// its address on two lines ended by CR LF.
const char* const fixtureHeading = "UPDATE Settings SET CompName = 'Calvedon Service Desk', "
                                   "CompAdd = '100 Main Street\r\nSpringfield, IL  62701';";

} // namespace

QString newDatabase(const QString& folder, const QString& rowsSql, Engine engine)
{
    if (engine == Engine::Server)
        return createServerDb(folder, rowsSql);
    const QString path = QDir(folder).filePath(QStringLiteral("cvd.mdb"));
    QFile::remove(path);
    sqlite3* db = nullptr;
    sqlite3_open(QFile::encodeName(path).constData(), &db);
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    QString why;
    const int error = errorOf([&] { schema::createTables(db); }, &why);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    if (error)
        raise(error, QStringLiteral("cannot create %1: %2").arg(path, why));
    if (!rowsSql.isEmpty())
        execOnTestDb(path, rowsSql);
    return path;
}

QString createFixtureDb(const QString& folder, Engine engine)
{
    return newDatabase(folder, QString::fromUtf8(fixtureRows) + QString::fromUtf8(fixtureHeading), engine);
}

} // namespace cvd::test

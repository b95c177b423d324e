#pragma once
// The references between the program's tables: a request names its
// customer, department/company, priority, category and two staff members,
// and a customer its department/company.  A reference names an existing
// row or none (Null), and a row that something names is not deleted:
//  - on a server the database keeps this itself (foreign keys), whoever
//    writes, so that no two desks can break it between them;
//  - in a file, which the program holds for itself alone, the engine checks
//    each row it writes or deletes.
// Either way a write that would break a reference is refused with 3201, a
// delete with 3200, in the same words.  Rows that already name a missing
// row (copied from an older file, say) are kept as they are; only a change
// of such a reference is checked.
#include <QList>
#include <QString>
#include <QStringList>

namespace cvd {

class Database;

struct Reference {
    QString table;  // the table whose column names a row: Req, Customers
    QString column; // CustID, ..., EnteredBy, AssignedTo
    QString target; // the table named: Customers, Dept, Staff, Categories, Priorities
    QString role;   // the list's label where the target is named twice ("Assigned To")

    // The server's name of the constraint: req_custid_ref.
    QString constraintName() const;
    // The statement that makes the constraint on a server; `checkRows`
    // false leaves the rows already there unchecked (NOT VALID).
    QString serverAddStatement(bool checkRows = true) const;
    QString serverDropStatement() const;
    // The rows of `table` whose reference names no row, in the program's
    // dialect (select count(*) as n ...).
    QString countBrokenSql() const;
};

const QList<Reference>& references();
// The reference a server constraint enforces; null for another name.
const Reference* referenceByConstraint(const QString& constraintName);

// The refusals, in the user's words.  `key` is the row named (or deleted).
// 3201: "This request names customer number 12, which no longer exists: ..."
[[noreturn]] void raiseMissingReference(const Reference& r, qint64 key);
// 3200: "This customer cannot be deleted: a request names it."
[[noreturn]] void raiseRowInUse(const Reference& r);

// A reference that some rows break, and how many.
struct BrokenReferences {
    Reference reference;
    qint64 rows = 0;
    // "Req: 3 records name a customer (CustID) that does not exist"
    QString describe() const;
};

} // namespace cvd

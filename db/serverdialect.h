#pragma once
// The program's SQL dialect as PostgreSQL is to run it.  The server's tables
// and columns were created unquoted (so their names are in lower case), text
// columns are citext COLLATE "C" (case-insensitive equality, NOCASE order),
// Yes/No columns boolean; what differs from the file's SQLite is rewritten
// here: quoted names, date literals, `like` patterns and where Null sorts.
#include <QHash>
#include <QString>

namespace cvd::sql {

// The text PostgreSQL runs for a dialect text: a whole statement or a bare
// criterion (a FindFirst condition).
//  - [Name] and `Name` become "name" (lower case, as the tables were made);
//    unquoted names stay as written.  A text between double quotes is a
//    text literal, as on the file: "O'Neil" becomes 'O''Neil'.
//  - #3/5/98#, #03/05/1998#, #1998-03-05# become DATE '1998-03-05' (error
//    3001 for a date that is no date).
//  - x like 'pattern' (and not like) becomes a case-insensitive match over
//    all of Unicode: ILIKE when the pattern has only * and ? wildcards,
//    else an anchored regular expression (~*) for # and [..] [!..] classes.
//    x is a name, T.C, a literal, a function call or (...); the pattern
//    must be a quoted literal (else error 3001).
//  - The statement's own ORDER BY items get NULLS FIRST (ascending) or
//    NULLS LAST (desc), so that Null sorts lowest as on the file.
//  - An unqualified name in the WHERE clause that is a select-list alias
//    of a qualified column stands for that column (as on the file).
// The rest passes through as written.  Translate a text once: its output
// is server SQL, no longer the dialect.
QString translateForServer(const QString& dialectSql);

// Whether the last item of an ORDER BY clause (without "order by") sorts
// descending: "ReqDate desc NULLS LAST" yes, "LastName, FirstName" no.
bool lastOrderItemDescending(const QString& orderByClause);

// The clause with `key` as its last item, in the direction of the clause's
// last item, so that rows the clause leaves tied keep the key's order:
// ("ReqDate desc NULLS LAST", "reqid") gives "ReqDate desc NULLS LAST,
// reqid desc"; an empty clause gives just the key.
QString appendKeyOrder(const QString& orderByClause, const QString& key);

// Each name in the text as PostgreSQL reports it in a result (its ASCII
// letters in lower case, as it folds unquoted names) to its spelling where
// the text first writes it: "Staff.LastName as StaffLast" maps "stafflast"
// to "StaffLast", "lastname" to "LastName".  Words in quotes count, texts
// between quotes do not.
QHash<QString, QString> nameSpellings(const QString& dialectSql);

// A name as PostgreSQL folds an unquoted one: ASCII letters to lower case.
QString serverFolded(const QString& name);

} // namespace cvd::sql

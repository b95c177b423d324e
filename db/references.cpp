#include "db/references.h"

#include "db/errors.h"
#include "db/schema.h"

using namespace Qt::StringLiterals;

namespace cvd {

namespace {

// What one row of a table is, in the user's words.
QString rowNoun(const QString& table)
{
    static const QList<std::pair<QString, QString>> nouns{
        {u"Req"_s, u"request"_s},       {u"Customers"_s, u"customer"_s},   {u"Dept"_s, u"department/company"_s},
        {u"Staff"_s, u"staff member"_s}, {u"Categories"_s, u"category"_s}, {u"Priorities"_s, u"priority"_s}};
    for (const auto& [t, noun] : nouns)
        if (t.compare(table, Qt::CaseInsensitive) == 0)
            return noun;
    return u"record"_s;
}

QString article(const QString& noun)
{
    return QStringLiteral("aeiou").contains(noun.front()) ? u"an "_s + noun : u"a "_s + noun;
}

} // namespace

const QList<Reference>& references()
{
    static const QList<Reference> all{
        {u"Req"_s, u"CustID"_s, u"Customers"_s, {}},
        {u"Req"_s, u"DeptID"_s, u"Dept"_s, {}},
        {u"Req"_s, u"PriID"_s, u"Priorities"_s, {}},
        {u"Req"_s, u"CatID"_s, u"Categories"_s, {}},
        {u"Req"_s, u"EnteredBy"_s, u"Staff"_s, u"Entered By"_s},
        {u"Req"_s, u"AssignedTo"_s, u"Staff"_s, u"Assigned To"_s},
        {u"Customers"_s, u"DeptID"_s, u"Dept"_s, {}},
    };
    return all;
}

const Reference* referenceByConstraint(const QString& constraintName)
{
    for (const Reference& r : references())
        if (r.constraintName().compare(constraintName, Qt::CaseInsensitive) == 0)
            return &r;
    return nullptr;
}

QString Reference::constraintName() const { return (table + u'_' + column + u"_ref"_s).toLower(); }

QString Reference::serverAddStatement(bool checkRows) const
{
    return QStringLiteral("ALTER TABLE %1 ADD CONSTRAINT %2 FOREIGN KEY (%3) REFERENCES %4 (%5)%6")
        .arg(table, constraintName(), column, target, schema::keyColumn(target),
             checkRows ? QString() : u" NOT VALID"_s);
}

QString Reference::serverDropStatement() const
{
    return QStringLiteral("ALTER TABLE %1 DROP CONSTRAINT IF EXISTS %2").arg(table, constraintName());
}

QString Reference::countBrokenSql() const
{
    const QString key = schema::keyColumn(target);
    return QStringLiteral("Select count(*) as n from %1 where %1.%2 is not null and not exists "
                          "(select %3.%4 from %3 where %3.%4 = %1.%2)")
        .arg(table, column, target, key);
}

void raiseMissingReference(const Reference& r, qint64 key)
{
    const QString noun = rowNoun(r.target);
    const QString role = r.role.isEmpty() ? QString() : u" in "_s + r.role;
    raise(ErrNo::MissingReference,
          QStringLiteral("This %1 names %2 number %3%4, which no longer exists: it was deleted, perhaps at another "
                         "desk.  Choose another %2, or none, and save again.")
              .arg(rowNoun(r.table), noun)
              .arg(key)
              .arg(role));
}

void raiseRowInUse(const Reference& r)
{
    raise(ErrNo::RowInUse, QStringLiteral("This %1 cannot be deleted: %2 names it.")
                               .arg(rowNoun(r.target), article(rowNoun(r.table))));
}

QString BrokenReferences::describe() const
{
    const QString noun = rowNoun(reference.target);
    return QStringLiteral("%1: %2 %3 %4 %5 (%6) that does not exist")
        .arg(reference.table)
        .arg(rows)
        .arg(rows == 1 ? u"record"_s : u"records"_s, rows == 1 ? u"names"_s : u"name"_s, article(noun), reference.column);
}

} // namespace cvd

#include "db/schema.h"

#include "db/errors.h"
#include "db/references.h"

#include <sqlite3.h>
#include <utility>
#include <variant>
#include <vector>

using namespace Qt::StringLiterals;

namespace cvd::schema {

namespace {

// One column with the type the file declares.  The key is the INTEGER column.
struct Column {
    QString name, type;
    bool serverOnly = false; // a column the file has no need of
};

// One index: its columns in the file, and on a server in the order the
// program reads them (ascending with missing values first, then the key, as
// the server's queries order), so that a list is read along the index.
struct Index {
    QString name, fileColumns, serverColumns;
};

struct Table {
    QString name;
    std::vector<Column> columns;
    std::vector<Index> indexes;
    bool versioned; // other desks' look-up lists follow its changes
};

const std::vector<Table>& tables()
{
    static const std::vector<Table> all{
        {u"Req"_s,
         {{u"ReqID"_s, u"INTEGER"_s},       {u"ShortDesc"_s, u"LONGTEXT"_s},    {u"ReqDesc"_s, u"LONGTEXT"_s},
          {u"Resp"_s, u"LONGTEXT"_s},       {u"ReqDate"_s, u"DATE"_s},          {u"DueDate"_s, u"DATE"_s},
          {u"ResDate"_s, u"DATE"_s},        {u"Resolved"_s, u"YESNO"_s},        {u"HoursTot"_s, u"SINGLE"_s},
          {u"MinTot"_s, u"SINGLE"_s},       {u"AddCharge"_s, u"CURRENCY"_s},    {u"CostTot"_s, u"CURRENCY"_s},
          {u"AmtPaid"_s, u"CURRENCY"_s},    {u"PaidDate"_s, u"DATE"_s},         {u"CustID"_s, u"LONG"_s},
          {u"DeptID"_s, u"LONG"_s},         {u"PriID"_s, u"LONG"_s},            {u"CatID"_s, u"LONG"_s},
          {u"EnteredBy"_s, u"LONG"_s},      {u"AssignedTo"_s, u"LONG"_s},       {u"Misc1"_s, u"VARCHAR(50)"_s}},
         // The request list is read newest first; every reference is
         // searched by the in-use checks and the reports.
         {{u"ReqReqDate"_s, u"ReqDate"_s, u"ReqDate NULLS FIRST, ReqID"_s},
          {u"ReqCustID"_s, u"CustID"_s, u"CustID"_s},
          {u"ReqDeptID"_s, u"DeptID"_s, u"DeptID"_s},
          {u"ReqPriID"_s, u"PriID"_s, u"PriID"_s},
          {u"ReqCatID"_s, u"CatID"_s, u"CatID"_s},
          {u"ReqEnteredBy"_s, u"EnteredBy"_s, u"EnteredBy"_s},
          {u"ReqAssignedTo"_s, u"AssignedTo"_s, u"AssignedTo"_s}},
         false},
        {u"Customers"_s,
         {{u"CustID"_s, u"INTEGER"_s},      {u"FirstName"_s, u"VARCHAR(40)"_s}, {u"LastName"_s, u"VARCHAR(40)"_s},
          {u"Title"_s, u"VARCHAR(50)"_s},   {u"Address"_s, u"VARCHAR(128)"_s},  {u"City"_s, u"VARCHAR(30)"_s},
          {u"St"_s, u"VARCHAR(20)"_s},      {u"Zip"_s, u"VARCHAR(20)"_s},       {u"Country"_s, u"VARCHAR(30)"_s},
          {u"Phone"_s, u"VARCHAR(20)"_s},   {u"AltID"_s, u"VARCHAR(20)"_s},     {u"DeptID"_s, u"LONG"_s}},
         {{u"CustomersName"_s, u"LastName, FirstName"_s, u"LastName NULLS FIRST, FirstName NULLS FIRST, CustID"_s},
          {u"CustomersDeptID"_s, u"DeptID"_s, u"DeptID"_s}},
         true},
        {u"Dept"_s,
         {{u"DeptID"_s, u"INTEGER"_s},      {u"DeptName"_s, u"VARCHAR(80)"_s},  {u"Address"_s, u"VARCHAR(128)"_s},
          {u"City"_s, u"VARCHAR(30)"_s},    {u"St"_s, u"VARCHAR(20)"_s},        {u"Zip"_s, u"VARCHAR(20)"_s},
          {u"Country"_s, u"VARCHAR(30)"_s}, {u"Phone"_s, u"VARCHAR(20)"_s}},
         {{u"DeptName"_s, u"DeptName"_s, u"DeptName NULLS FIRST, DeptID"_s}},
         true},
        {u"Staff"_s,
         {{u"StaffID"_s, u"INTEGER"_s},     {u"FirstName"_s, u"VARCHAR(40)"_s}, {u"LastName"_s, u"VARCHAR(40)"_s},
          {u"Phone"_s, u"VARCHAR(20)"_s},   {u"AltID"_s, u"VARCHAR(20)"_s},     {u"Comments"_s, u"LONGTEXT"_s}},
         {{u"StaffName"_s, u"LastName, FirstName"_s, u"LastName NULLS FIRST, FirstName NULLS FIRST, StaffID"_s}},
         true},
        {u"Categories"_s, {{u"CatID"_s, u"INTEGER"_s}, {u"CatDesc"_s, u"VARCHAR(40)"_s}}, {}, true},
        {u"Priorities"_s, {{u"PriID"_s, u"INTEGER"_s}, {u"PriDesc"_s, u"VARCHAR(40)"_s}}, {}, true},
        {u"Settings"_s,
         {{u"DefHourlyRate"_s, u"CURRENCY"_s}, {u"DefMinCharge"_s, u"CURRENCY"_s}, {u"CompName"_s, u"LONGTEXT"_s},
          {u"CompAdd"_s, u"LONGTEXT"_s},       {u"NFont"_s, u"VARCHAR(255)"_s},    {u"NSize"_s, u"CURRENCY"_s},
          {u"NBold"_s, u"YESNO"_s},            {u"NItalic"_s, u"YESNO"_s},         {u"NUnder"_s, u"YESNO"_s},
          {u"AFont"_s, u"VARCHAR(255)"_s},     {u"ASize"_s, u"CURRENCY"_s},        {u"ABold"_s, u"YESNO"_s},
          {u"AItalic"_s, u"YESNO"_s},          {u"AUnder"_s, u"YESNO"_s},
          // Last, so that the other columns keep the file's places.
          {u"SettingsID"_s, u"INTEGER"_s, true}},
         {},
         true},
    };
    return all;
}

// The one Settings row a new database gets: hourly rate 40, minimum charge
// 25 (in ten-thousandths), no heading (the user types the organisation's
// own in the defaults window; the first bill run offers to) in the fonts it
// will have.
using SettingValue = std::variant<qint64, bool, QString>;
const std::vector<std::pair<QString, SettingValue>>& settingsRow()
{
    static const std::vector<std::pair<QString, SettingValue>> row{
        {u"DefHourlyRate"_s, qint64(400000)},
        {u"DefMinCharge"_s, qint64(250000)},
        {u"CompName"_s, QString()},
        {u"CompAdd"_s, QString()},
        {u"NFont"_s, u"Times New Roman"_s},
        {u"NSize"_s, qint64(180000)},
        {u"NBold"_s, true},
        {u"NItalic"_s, false},
        {u"NUnder"_s, false},
        {u"AFont"_s, u"Times New Roman"_s},
        {u"ASize"_s, qint64(100000)},
        {u"ABold"_s, false},
        {u"AItalic"_s, false},
        {u"AUnder"_s, false},
    };
    return row;
}

enum class Dialect { File, Server };

const Table* findTable(const QString& name)
{
    for (const Table& t : tables())
        if (t.name.compare(name, Qt::CaseInsensitive) == 0)
            return &t;
    return nullptr;
}

bool isKey(const Column& c) { return c.type == QLatin1String("INTEGER"); }
bool isText(const Column& c) { return c.type == QLatin1String("LONGTEXT") || c.type.startsWith(QLatin1String("VARCHAR(")); }

QString fileColumn(const Column& c)
{
    QString s = c.name + u' ' + c.type;
    if (isKey(c))
        s += QLatin1String(" PRIMARY KEY AUTOINCREMENT");
    else if (isText(c))
        s += QLatin1String(" COLLATE NOCASE");
    else if (c.type == QLatin1String("YESNO"))
        s += QLatin1String(" NOT NULL DEFAULT 0");
    return s;
}

QString serverColumn(const Column& c)
{
    // citext ordered by bytes: the letters' case folded, then code points,
    // as the file's NOCASE orders.
    static const QString text = QStringLiteral("citext COLLATE \"C\"");
    static const QHash<QString, QString> types{
        {u"INTEGER"_s, u"integer GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY"_s},
        {u"LONG"_s, u"integer"_s},
        {u"SINGLE"_s, u"real"_s},
        {u"DOUBLE"_s, u"double precision"_s},
        {u"CURRENCY"_s, u"bigint"_s},
        {u"DATE"_s, u"date"_s},
        {u"YESNO"_s, u"boolean NOT NULL DEFAULT false"_s},
        {u"LONGTEXT"_s, text},
    };
    QString type = types.value(c.type);
    if (c.type.startsWith(QLatin1String("VARCHAR("))) {
        const QString length = c.type.mid(8, c.type.size() - 9);
        type = QStringLiteral("%1 CHECK (char_length(%2) <= %3)").arg(text, c.name, length);
    }
    Q_ASSERT(!type.isEmpty());
    return c.name + u' ' + type;
}

QString createTable(const Table& t, Dialect d)
{
    QStringList columns;
    for (const Column& c : t.columns)
        if (d == Dialect::Server)
            columns << serverColumn(c);
        else if (!c.serverOnly)
            columns << fileColumn(c);
    return QStringLiteral("CREATE TABLE %1 ( %2)").arg(t.name, columns.join(QLatin1String(", ")));
}

// A text with line ends as the SQL of each engine writes the two characters.
QString textLiteral(const QString& text, Dialect d)
{
    const QString lineEnd = d == Dialect::File ? QStringLiteral("' || char(13) || char(10) || '")
                                               : QStringLiteral("' || chr(13) || chr(10) || '");
    QString quoted = text;
    quoted.replace(u'\'', QLatin1String("''"));
    quoted.replace(QLatin1String("\r\n"), lineEnd);
    return u'\'' + quoted + u'\'';
}

QString insertSettings(Dialect d)
{
    QStringList columns, values;
    for (const auto& [column, value] : settingsRow()) {
        columns << column;
        if (const auto* n = std::get_if<qint64>(&value))
            values << QString::number(*n);
        else if (const auto* b = std::get_if<bool>(&value))
            values << (d == Dialect::File ? QString::number(int(*b)) : QString::fromLatin1(*b ? "true" : "false"));
        else
            values << textLiteral(std::get<QString>(value), d);
    }
    return QStringLiteral("INSERT INTO Settings (%1) VALUES (%2)")
        .arg(columns.join(QLatin1String(", ")), values.join(QLatin1String(", ")));
}

// Other desks learn of changes to a table from its version, which every
// statement that changes the table counts up.
QStringList versionStatements()
{
    QStringList names, stmts;
    for (const Table& t : tables())
        if (t.versioned)
            names << t.name;
    QStringList rows;
    for (const QString& name : std::as_const(names))
        rows << QStringLiteral("('%1')").arg(name.toLower());
    stmts << QStringLiteral("CREATE TABLE cvd_versions (tablename text PRIMARY KEY, version bigint NOT NULL DEFAULT 0)")
          << QStringLiteral("INSERT INTO cvd_versions (tablename) VALUES ") + rows.join(QLatin1String(", "))
          << QStringLiteral(
                 "CREATE FUNCTION cvd_bump_version() RETURNS trigger LANGUAGE plpgsql AS $$\n"
                 "BEGIN\n"
                 "  EXECUTE format('UPDATE %I.cvd_versions SET version = version + 1 WHERE tablename = %L',\n"
                 "                 TG_TABLE_SCHEMA, TG_TABLE_NAME);\n"
                 "  RETURN NULL;\n"
                 "END\n"
                 "$$");
    for (const QString& name : std::as_const(names))
        stmts << QStringLiteral("CREATE TRIGGER %1_version AFTER INSERT OR UPDATE OR DELETE OR TRUNCATE ON %2"
                                " FOR EACH STATEMENT EXECUTE FUNCTION cvd_bump_version()")
                     .arg(name.toLower(), name);
    return stmts;
}

QStringList statementsFor(Dialect d)
{
    QStringList stmts;
    if (d == Dialect::Server)
        stmts << QStringLiteral("CREATE EXTENSION IF NOT EXISTS citext");
    for (const Table& t : tables())
        stmts << createTable(t, d);
    for (const Table& t : tables())
        for (const Index& i : t.indexes)
            stmts << QStringLiteral("CREATE INDEX %1 ON %2 (%3)")
                         .arg(i.name, t.name, d == Dialect::File ? i.fileColumns : i.serverColumns);
    if (d == Dialect::Server) {
        stmts << insertSettings(d) << versionStatements();
        for (const Reference& r : references())
            stmts << r.serverAddStatement();
    }
    return stmts;
}

} // namespace

const QStringList& tableNames()
{
    static const QStringList names = [] {
        QStringList n;
        for (const Table& t : tables())
            n << t.name;
        return n;
    }();
    return names;
}

const QStringList& createStatements()
{
    static const QStringList stmts = statementsFor(Dialect::File);
    return stmts;
}

const QStringList& serverCreateStatements()
{
    static const QStringList stmts = statementsFor(Dialect::Server);
    return stmts;
}

QStringList serverResyncStatements()
{
    QStringList stmts;
    for (const Table& t : tables()) {
        const QString table = t.name.toLower(), key = keyColumn(t.name).toLower();
        stmts << QStringLiteral("SELECT setval(pg_get_serial_sequence('%1','%2'), coalesce(max(%2),0)+1, false) FROM %1")
                     .arg(table, key);
    }
    return stmts;
}

bool isVersioned(const QString& table)
{
    const Table* t = findTable(table);
    return t && t->versioned;
}

QString keyColumn(const QString& table)
{
    if (const Table* t = findTable(table))
        for (const Column& c : t->columns)
            if (isKey(c))
                return c.name;
    return {};
}

QString declaredType(const QString& table, const QString& column)
{
    if (const Table* t = findTable(table))
        for (const Column& c : t->columns)
            if (c.name.compare(column, Qt::CaseInsensitive) == 0)
                return c.type;
    return {};
}

void createTables(sqlite3* db)
{
    QStringList all = createStatements();
    all << insertSettings(Dialect::File);
    for (const QString& s : all) {
        char* msg = nullptr;
        if (sqlite3_exec(db, s.toUtf8().constData(), nullptr, nullptr, &msg) != SQLITE_OK) {
            const QString text = QString::fromUtf8(msg ? msg : "unknown error");
            sqlite3_free(msg);
            raise(ErrNo::SqlError, text);
        }
    }
}

int readFileTables(sqlite3* db, QHash<QString, QStringList>& tables)
{
    sqlite3_stmt* s = nullptr;
    int rc = sqlite3_prepare_v2(db, "SELECT m.name, p.name FROM sqlite_master m, pragma_table_info(m.name) p"
                                    " WHERE m.type = 'table' ORDER BY m.name, p.cid", -1, &s, nullptr);
    while (rc == SQLITE_OK || rc == SQLITE_ROW) {
        rc = sqlite3_step(s);
        if (rc == SQLITE_ROW)
            tables[QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s, 0))).toCaseFolded()]
                << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s, 1)));
    }
    sqlite3_finalize(s);
    return rc == SQLITE_DONE ? SQLITE_OK : rc;
}

bool isTextColumnName(const QString& column)
{
    for (const Table& t : tables())
        for (const Column& c : t.columns)
            if (isText(c) && c.name.compare(column, Qt::CaseInsensitive) == 0)
                return true;
    return false;
}

QStringList columnNames(const QString& table)
{
    QStringList names;
    if (const Table* t = findTable(table))
        for (const Column& c : t->columns)
            if (!c.serverOnly)
                names << c.name;
    return names;
}

QStringList missingParts(const QHash<QString, QStringList>& tables)
{
    QStringList missing;
    for (const QString& table : tableNames()) {
        const auto present = tables.constFind(table.toCaseFolded());
        if (present == tables.cend()) {
            missing << QStringLiteral("the table %1").arg(table);
            continue;
        }
        for (const QString& column : columnNames(table))
            if (!present->contains(column, Qt::CaseInsensitive))
                missing << QStringLiteral("the column %1 of the table %2").arg(column, table);
    }
    return missing;
}

} // namespace cvd::schema

#include "tools/demodata.h"

#include "db/database.h"
#include "db/errors.h"
#include "db/sqlvalues.h"
#include "tools/createdb.h"
#include "tools/demolists.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>
#include <sqlite3.h>
#include <string>
#include <vector>

namespace cvd::tools {

using namespace demo;

namespace {

// A small generator of our own, so that a seed gives the same records with
// every compiler and library.
class Rng {
public:
    explicit Rng(std::uint64_t seed) : m_s(seed) {}
    std::uint64_t next()
    {
        std::uint64_t z = (m_s += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    int below(int n) { return n <= 0 ? 0 : int(((next() >> 32) * std::uint64_t(n)) >> 32); }
    bool percent(int p) { return below(100) < p; }
    template <typename T, std::size_t N> const T& pick(const T (&a)[N]) { return a[below(int(N))]; }

private:
    std::uint64_t m_s;
};

// First names, last names and titles of the fixed customers and staff.
struct NamePools {
    std::vector<const char*> first, last, titles;
};

NamePools namePools()
{
    NamePools p;
    auto add = [](std::vector<const char*>& pool, const char* name) {
        if (name && std::find_if(pool.begin(), pool.end(), [name](const char* s) { return std::strcmp(s, name) == 0; })
                        == pool.end())
            pool.push_back(name);
    };
    for (const Customer& c : kCustomers)
        add(p.first, c.first), add(p.last, c.last), add(p.titles, c.title);
    for (const Staff& s : kStaff)
        add(p.first, s.first), add(p.last, s.last);
    return p;
}

// Where the demo rows go: a loader for each table.
using LoaderFor = std::function<std::unique_ptr<Database::BulkLoader>(const QString& table, const QStringList& columns)>;

// The rows of one table: each row's values set by place, then added.
class TableRows {
public:
    TableRows(const LoaderFor& loaderFor, const char* table, const char* columns)
        : m_columns(QString::fromLatin1(columns).split(QStringLiteral(", "))),
          m_loader(loaderFor(QString::fromLatin1(table), m_columns)), m_row(std::size_t(m_columns.size()))
    {
    }
    Value& operator[](int place) { return m_row[std::size_t(place)]; }
    void add() { m_loader->add(m_row); }
    void finish() { m_loader->finish(); }

private:
    QStringList m_columns;
    std::unique_ptr<Database::BulkLoader> m_loader;
    std::vector<Value> m_row;
};

Value text(const char* s) { return s ? Value(QString::fromUtf8(s)) : Value(); }
Value text(const std::string& s) { return Value(QString::fromUtf8(s.data(), qsizetype(s.size()))); }
Value idOrNull(int id) { return id ? Value(id) : Value(); }
Value money(std::int64_t units) { return Value(Currency::fromUnits(units)); }

template <std::size_t N>
std::vector<Value> texts(const char* const (&a)[N])
{
    std::vector<Value> v;
    for (const char* s : a)
        v.push_back(text(s));
    return v;
}

std::string join(const char* a, const char* b)
{
    std::string s = a;
    if (b) {
        s += "\r\n";
        s += b;
    }
    return s;
}

// The customers: with `wanted` below zero the fixed list; otherwise that
// many, the fixed ones first and the rest made up from the name pools.
// Returns each customer's department (1-based, 0 for none) by CustID - 1.
std::vector<int> addCustomers(const LoaderFor& loaderFor, Rng& rng, int wanted)
{
    TableRows cust(loaderFor, "Customers", "CustID, FirstName, LastName, Title, Address, City, St, Zip, Country, Phone, AltID, DeptID");
    const int nFixed = int(std::size(kCustomers));
    const int n = wanted < 0 ? nFixed : wanted;
    std::vector<int> deptOf;
    deptOf.reserve(std::size_t(n));
    for (int i = 0; i < std::min(n, nFixed); ++i) {
        const Customer& c = kCustomers[i];
        cust[0] = i + 1;
        cust[1] = text(c.first), cust[2] = text(c.last), cust[3] = text(c.title), cust[4] = text(c.address);
        cust[5] = text(c.city), cust[6] = text(c.st), cust[7] = text(c.zip), cust[8] = text(c.country);
        cust[9] = text(c.phone), cust[10] = text(c.altId), cust[11] = idOrNull(c.dept);
        cust.add();
        deptOf.push_back(c.dept);
    }
    if (n > nFixed) {
        const NamePools pools = namePools();
        const int nDept = int(std::size(kDepts));
        std::string last, address, phone, altId;
        for (int i = nFixed; i < n; ++i) {
            const int kind = rng.below(100);
            const char* first = kind < 3 ? nullptr : pools.first[std::size_t(rng.below(int(pools.first.size())))];
            if (kind >= 99) {
                last.clear(); // a first name alone
            } else if (rng.percent(35)) {
                last = pools.last[std::size_t(rng.below(int(pools.last.size())))];
            } else {
                last = rng.pick(kSurnameStems);
                last += rng.pick(kSurnameEndings);
            }
            const Town& town = rng.pick(kTowns);
            address = std::to_string(1 + rng.below(9999)) + ' ' + rng.pick(kStreets);
            if (rng.percent(10))
                address += "\r\nApt. " + std::to_string(1 + rng.below(40)) + char('A' + rng.below(6));
            phone = std::string(town.area) + " 555-" + std::to_string(1000 + rng.below(9000));
            const int dept = rng.percent(70) ? 1 + rng.below(nDept) : 0;
            const bool hasAlt = rng.percent(30);
            altId = "C" + std::to_string(100000 + i);

            cust[0] = i + 1;
            cust[1] = text(first);
            cust[2] = last.empty() ? Value() : text(last);
            cust[3] = text(rng.percent(50) ? pools.titles[std::size_t(rng.below(int(pools.titles.size())))] : nullptr);
            cust[4] = text(address), cust[5] = text(town.city), cust[6] = text(town.st), cust[7] = text(town.zip);
            cust[8] = text(town.country), cust[9] = text(phone);
            cust[10] = hasAlt ? text(altId) : Value();
            cust[11] = idOrNull(dept);
            cust.add();
            deptOf.push_back(dept);
        }
    }
    cust.finish();
    return deptOf;
}

// A list of descriptions with its keys from 1.
template <std::size_t N>
void addCodes(const LoaderFor& loaderFor, const char* table, const char* columns, const char* const (&descs)[N])
{
    TableRows rows(loaderFor, table, columns);
    for (std::size_t i = 0; i < N; ++i) {
        rows[0] = int(i) + 1;
        rows[1] = text(descs[i]);
        rows.add();
    }
    rows.finish();
}

// The reference lists; returns each customer's department as addCustomers.
std::vector<int> addReferenceLists(const LoaderFor& loaderFor, Rng& rng, int customers)
{
    TableRows dept(loaderFor, "Dept", "DeptID, DeptName, Address, City, St, Zip, Country, Phone");
    for (std::size_t i = 0; i < std::size(kDepts); ++i) {
        const Dept& d = kDepts[i];
        dept[0] = int(i) + 1;
        dept[1] = text(d.name), dept[2] = text(d.address), dept[3] = text(d.city), dept[4] = text(d.st);
        dept[5] = text(d.zip), dept[6] = text(d.country), dept[7] = text(d.phone);
        dept.add();
    }
    dept.finish();
    std::vector<int> deptOf = addCustomers(loaderFor, rng, customers);
    TableRows staff(loaderFor, "Staff", "StaffID, FirstName, LastName, Phone, AltID, Comments");
    for (std::size_t i = 0; i < std::size(kStaff); ++i) {
        const Staff& s = kStaff[i];
        staff[0] = int(i) + 1;
        staff[1] = text(s.first), staff[2] = text(s.last), staff[3] = text(s.phone), staff[4] = text(s.altId);
        staff[5] = text(s.comments);
        staff.add();
    }
    staff.finish();
    addCodes(loaderFor, "Categories", "CatID, CatDesc", kCategories);
    addCodes(loaderFor, "Priorities", "PriID, PriDesc", kPriorities);
    return deptOf;
}

// The total cost as the main window computes and stores it: hours and
// minutes at the hourly rate plus the additional charge, at least the
// minimum charge, kept with the two decimals it is shown with.
std::int64_t costOf(int halfHours, int minutes, std::int64_t addCharge, std::int64_t rate, std::int64_t minimum)
{
    const std::int64_t perMinute = rate * minutes; // divided by 60 below, halves to even
    std::int64_t part2 = perMinute / 60;
    const std::int64_t rest = perMinute % 60;
    if (rest * 2 > 60 || (rest * 2 == 60 && (part2 & 1)))
        ++part2;
    std::int64_t total = rate * halfHours / 2 + part2 + addCharge;
    total = std::max(total, minimum);
    return (total + 50) / 100 * 100; // to whole cents, as shown
}

// Every demo record, priced with the rate and minimum charge given (in
// ten-thousandths).
void fillRows(const LoaderFor& loaderFor, std::int64_t rate, std::int64_t minimum, const DemoOptions& options)
{
    Rng rng(options.seed);
    const QDate today = options.today.isValid() ? options.today : QDate::currentDate();
    const QDate first = today.addYears(-3).addDays(1);
    const int span = int(first.daysTo(today)) + 1;
    constexpr int ahead = 64; // due dates may lie after today

    const std::vector<int> custDept = addReferenceLists(loaderFor, rng, options.customers);

    // Every value that repeats, made once.
    std::vector<Value> days(std::size_t(span + ahead));
    for (int i = 0; i < span + ahead; ++i)
        days[std::size_t(i)] = first.addDays(i);
    constexpr int variants = 16;
    constexpr int nTemplates = int(std::size(kTemplates));
    std::vector<Value> shortDescs, requests, responses;
    for (const Template& t : kTemplates) {
        shortDescs.push_back(text(t.shortDesc));
        for (int k = 0; k < variants; ++k) {
            requests.push_back(text(join(t.request, kRequestExtras[k % std::size(kRequestExtras)])));
            responses.push_back(text(join(t.response, kResponseExtras[k % std::size(kResponseExtras)])));
        }
    }
    const std::vector<Value> openResponses = texts(kOpenResponses), misc = texts(kMisc);
    const Value noCharge = money(0);

    const int n = std::max(0, options.requests);
    std::vector<int> dayOf(static_cast<std::size_t>(n));
    for (int& d : dayOf)
        d = rng.below(span);
    std::sort(dayOf.begin(), dayOf.end());

    const int nCust = int(custDept.size()), nDept = int(std::size(kDepts)), nStaff = int(std::size(kStaff));
    TableRows ins(loaderFor, "Req", "ReqID, ShortDesc, ReqDesc, Resp, ReqDate, DueDate, ResDate, Resolved, HoursTot, "
                                    "MinTot, AddCharge, CostTot, AmtPaid, PaidDate, CustID, DeptID, PriID, CatID, "
                                    "EnteredBy, AssignedTo, Misc1");
    for (int i = 0; i < n; ++i) {
        const int day = dayOf[std::size_t(i)];
        const int age = span - 1 - day;
        const int t = rng.below(nTemplates);
        const Template& tpl = kTemplates[t];
        const int variant = t * variants + rng.below(variants);

        const bool resolved = age >= 3 && rng.percent(age < 14 ? 40 : age < 60 ? 85 : 97);
        const int resDay = resolved ? day + std::min(age, rng.below(4) * rng.below(4)) : -1;

        ins[0] = i + 1;
        ins[1] = shortDescs[std::size_t(t)];
        ins[2] = requests[std::size_t(variant)];
        if (resolved)
            ins[3] = responses[std::size_t(variant)];
        else
            ins[3] = openResponses[std::size_t(rng.below(int(openResponses.size())))];
        ins[4] = days[std::size_t(day)];
        if (rng.percent(60))
            ins[5] = days[std::size_t(day + rng.pick(kDueDays))];
        else
            ins[5] = Value();
        ins[6] = resolved ? days[std::size_t(resDay)] : Value();
        ins[7] = resolved;

        int halfHours = 0, minutes = 0;
        if (resolved || rng.percent(30)) {
            halfHours = 2 * rng.pick(kHours) + (rng.percent(10) ? 1 : 0);
            minutes = rng.pick(kMinutes);
        }
        ins[8] = halfHours / 2.0;
        ins[9] = double(minutes);
        std::int64_t add = 0;
        const int addKind = rng.below(100);
        if (addKind < 15)
            add = rng.pick(kAddCharges), ins[10] = money(add);
        else if (addKind < 30)
            ins[10] = Value();
        else
            ins[10] = noCharge;
        const std::int64_t cost = costOf(halfHours, minutes, add, rate, minimum);
        ins[11] = money(cost);

        // Payments: most resolved requests are paid in full, some in part,
        // the rest are still open (0, now and then Null).
        const int payKind = rng.below(100);
        if (resolved && payKind < 78) {
            const std::int64_t paid = payKind < 70 ? cost : cost / 200 * 100; // half, in whole cents
            ins[12] = money(paid);
            const int paidDay = std::min(span - 1, resDay + rng.below(45));
            ins[13] = days[std::size_t(paidDay)];
        } else {
            if (payKind >= 96)
                ins[12] = Value();
            else
                ins[12] = noCharge;
            ins[13] = Value();
        }

        const int cust = rng.percent(5) || nCust == 0 ? 0 : 1 + rng.below(nCust);
        ins[14] = idOrNull(cust);
        int dept = 0;
        const int deptKind = rng.below(100);
        if (cust && custDept[std::size_t(cust - 1)] && deptKind < 85)
            dept = custDept[std::size_t(cust - 1)];
        else if (deptKind < 50)
            dept = 1 + rng.below(nDept);
        ins[15] = idOrNull(dept);
        ins[16] = idOrNull(rng.percent(5) ? 0 : rng.pick(kPriorityPick));
        ins[17] = idOrNull(rng.percent(3) ? 0 : tpl.cat);
        ins[18] = 1 + rng.below(nStaff);
        ins[19] = idOrNull(!resolved && rng.percent(30) ? 0 : 1 + rng.below(nStaff));
        ins[20] = rng.percent(20) ? misc[std::size_t(rng.below(int(misc.size())))] : Value();
        ins.add();
    }
    ins.finish();
}

// Rows written with SQLite itself, for a fill that runs inside
// createDatabase's own transaction.
class SqliteInsert final : public Database::BulkLoader {
public:
    SqliteInsert(sqlite3* db, const QString& table, const QStringList& columns) : m_db(db)
    {
        const QStringList marks(columns.size(), QStringLiteral("?"));
        const QByteArray sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                   .arg(table, columns.join(QStringLiteral(", ")), marks.join(u','))
                                   .toUtf8();
        if (sqlite3_prepare_v3(db, sql.constData(), -1, SQLITE_PREPARE_PERSISTENT, &m_s, nullptr) != SQLITE_OK)
            raise(ErrNo::SqlError, QString::fromUtf8(sqlite3_errmsg(db)));
    }
    ~SqliteInsert() override { sqlite3_finalize(m_s); }
    void add(const std::vector<Value>& row) override
    {
        for (std::size_t i = 0; i < row.size(); ++i)
            sql::bindValue(m_s, int(i) + 1, row[i]);
        if (sqlite3_step(m_s) != SQLITE_DONE)
            raise(ErrNo::SqlError, QString::fromUtf8(sqlite3_errmsg(m_db)));
        sqlite3_reset(m_s);
    }
    void finish() override {}

private:
    sqlite3* m_db;
    sqlite3_stmt* m_s = nullptr;
};

// Rate and minimum charge of the Settings row, in ten-thousandths.
constexpr std::int64_t DefaultRate = 400000, DefaultMinimum = 250000;

} // namespace

void fillDemo(Database& db, const DemoOptions& options)
{
    std::int64_t rate = DefaultRate, minimum = DefaultMinimum;
    // The demo's own made-up heading on the bills, where a new file has none.
    auto settings = db.OpenRecordset(QStringLiteral("Settings"), RecordsetType::Table);
    if (!settings->Eof()) {
        const Value r = settings->Field(QStringLiteral("DefHourlyRate")),
                    m = settings->Field(QStringLiteral("DefMinCharge"));
        rate = r.isNull() ? 0 : r.toCurrency().units;
        minimum = m.isNull() ? 0 : m.toCurrency().units;
        settings->Edit();
        settings->SetField(QStringLiteral("CompName"), Value(QString::fromUtf8(kDemoCompName)));
        settings->SetField(QStringLiteral("CompAdd"), Value(QString::fromUtf8(kDemoCompAdd)));
        settings->Update();
    }
    settings->Close();
    fillRows([&](const QString& table, const QStringList& columns) { return db.loader(table, columns); }, rate, minimum,
             options);
}

void fillDemo(sqlite3* db, const DemoOptions& options)
{
    std::int64_t rate = DefaultRate, minimum = DefaultMinimum;
    sqlite3_stmt* q = nullptr;
    if (sqlite3_prepare_v2(db, "SELECT DefHourlyRate, DefMinCharge FROM Settings", -1, &q, nullptr) == SQLITE_OK
        && sqlite3_step(q) == SQLITE_ROW) {
        rate = sqlite3_column_int64(q, 0);
        minimum = sqlite3_column_int64(q, 1);
    }
    sqlite3_finalize(q);
    fillRows([db](const QString& table, const QStringList& columns) { return std::make_unique<SqliteInsert>(db, table, columns); },
             rate, minimum, options);
}

QString createDemoDatabase(const QString& folder, const DemoOptions& options)
{
    return createDatabase(folder, [&](Database& db) { fillDemo(db, options); });
}

QString createDemoDatabaseAt(const QString& argument, const DemoOptions& options)
{
    return createDatabaseAt(argument, [&](Database& db) { fillDemo(db, options); });
}

} // namespace cvd::tools

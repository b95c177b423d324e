#include "db/collation.h"

#include "db/locale.h"

#include <sqlite3.h>
#include <unicode/ucol.h>
#include <unicode/uloc.h>

namespace cvd::sql {

namespace {

// The collator of the locale in force, made again when the locale changes.
// One per connection: a UCollator is not shared between threads.
struct Collator {
    UCollator* coll = nullptr;
    int serial = -1;

    ~Collator()
    {
        if (coll)
            ucol_close(coll);
    }
    UCollator* get()
    {
        if (coll && serial == fmt::localeSerial())
            return coll;
        if (coll)
            ucol_close(coll);
        serial = fmt::localeSerial();
        // The tag read as the server reads it, so that both order alike.
        char id[ULOC_FULLNAME_CAPACITY];
        UErrorCode status = U_ZERO_ERROR;
        uloc_forLanguageTag(orderCollationTag().toLatin1().constData(), id, sizeof id, nullptr, &status);
        status = U_ZERO_ERROR;
        coll = ucol_open(U_SUCCESS(status) ? id : "en_US", &status);
        if (U_FAILURE(status)) {
            status = U_ZERO_ERROR;
            coll = ucol_open("", &status);
        }
        ucol_setStrength(coll, UCOL_SECONDARY);
        return coll;
    }
};

int compare(void* arg, int lenA, const void* a, int lenB, const void* b)
{
    UErrorCode status = U_ZERO_ERROR;
    const UCollationResult r = ucol_strcollUTF8(static_cast<Collator*>(arg)->get(), static_cast<const char*>(a), lenA,
                                                static_cast<const char*>(b), lenB, &status);
    return r == UCOL_LESS ? -1 : r == UCOL_GREATER ? 1 : 0;
}

} // namespace

QString orderCollationTag()
{
    return fmt::locale().name().replace(u'_', u'-') + QStringLiteral("-u-ks-level2");
}

void registerOrderCollation(sqlite3* db)
{
    sqlite3_create_collation_v2(db, FileOrderCollation, SQLITE_UTF8, new Collator, &compare,
                                [](void* arg) { delete static_cast<Collator*>(arg); });
}

QString serverOrderCollationStatement()
{
    return QStringLiteral("CREATE COLLATION IF NOT EXISTS %1 (provider = icu, locale = '%2', deterministic = false)")
        .arg(QLatin1String(ServerOrderCollation), orderCollationTag());
}

} // namespace cvd::sql

#include "db/sqlvalues.h"

#include <cmath>
#include <limits>
#include <sqlite3.h>

namespace cvd::sql {

ColumnType columnType(const char* declType)
{
    ColumnType ct;
    if (!declType)
        return ct;
    const QByteArray d = QByteArray(declType).trimmed().toUpper();
    auto starts = [&](const char* p) { return d.startsWith(p); };
    if (starts("INTEGER") || (starts("LONG") && !starts("LONGTEXT")) || starts("INT") || starts("BIGINT")
        || starts("SMALLINT") || starts("COUNTER") || starts("AUTOINCREMENT"))
        ct.type = ColType::Long;
    else if (starts("SINGLE") || starts("FLOAT4"))
        ct.type = ColType::Single;
    else if (starts("DOUBLE") || starts("REAL") || starts("FLOAT") || starts("NUMERIC"))
        ct.type = ColType::Double;
    else if (starts("CURRENCY") || starts("MONEY"))
        ct.type = ColType::Currency;
    else if (starts("DATE"))
        ct.type = ColType::Date;
    else if (starts("YESNO") || starts("BOOL") || starts("BIT"))
        ct.type = ColType::Boolean;
    else if (starts("VARCHAR") || starts("CHAR") || starts("NVARCHAR") || starts("TEXT") || starts("LONGTEXT")
             || starts("MEMO")) {
        ct.type = ColType::Text;
        const int open = d.indexOf('(');
        const int close = d.indexOf(')', open + 1);
        if (open > 0 && close > open)
            ct.maxLength = d.mid(open + 1, close - open - 1).trimmed().toInt();
    }
    return ct;
}

namespace {

Value fromInteger(sqlite3_int64 i) { return Value(qint64(i)); } // a Long, or a BigInt beyond it

QString textOf(sqlite3_stmt* stmt, int i)
{
    const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(stmt, i));
    return QString::fromUtf8(p, sqlite3_column_bytes(stmt, i));
}

Value byStorage(sqlite3_stmt* stmt, int i)
{
    switch (sqlite3_column_type(stmt, i)) {
    case SQLITE_INTEGER: return fromInteger(sqlite3_column_int64(stmt, i));
    case SQLITE_FLOAT: return Value(sqlite3_column_double(stmt, i));
    case SQLITE_NULL: return Value();
    default: return Value(textOf(stmt, i));
    }
}

} // namespace

Value readColumn(sqlite3_stmt* stmt, int i, ColType type)
{
    const int storage = sqlite3_column_type(stmt, i);
    if (storage == SQLITE_NULL)
        return Value();
    switch (type) {
    case ColType::Long:
        if (storage == SQLITE_INTEGER)
            return fromInteger(sqlite3_column_int64(stmt, i));
        break;
    case ColType::Single:
        if (storage == SQLITE_INTEGER || storage == SQLITE_FLOAT)
            return Value(float(sqlite3_column_double(stmt, i)));
        break;
    case ColType::Double:
        if (storage == SQLITE_INTEGER || storage == SQLITE_FLOAT)
            return Value(sqlite3_column_double(stmt, i));
        break;
    case ColType::Currency:
        if (storage == SQLITE_INTEGER)
            return Value(Currency::fromUnits(sqlite3_column_int64(stmt, i)));
        if (storage == SQLITE_FLOAT)
            return Value(Currency::fromUnits(std::llround(sqlite3_column_double(stmt, i))));
        break;
    case ColType::Date:
        if (storage == SQLITE_TEXT) {
            const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(stmt, i));
            const int n = sqlite3_column_bytes(stmt, i);
            if (n >= 10) {
                const QDate d = QDate::fromString(QString::fromLatin1(p, 10), Qt::ISODate);
                if (d.isValid())
                    return Value(d);
            }
        }
        break;
    case ColType::Boolean:
        if (storage == SQLITE_INTEGER || storage == SQLITE_FLOAT)
            return Value(sqlite3_column_double(stmt, i) != 0.0);
        break;
    case ColType::Text:
        if (storage == SQLITE_TEXT)
            return Value(textOf(stmt, i));
        break;
    case ColType::Unknown: break;
    }
    return byStorage(stmt, i);
}

Value convertFor(const Value& v, ColType type)
{
    if (v.isNull())
        return v;
    switch (type) {
    case ColType::Long: return v.type() == VType::BigInt ? v : Value(int(v.toLong())); // a key past 2^31 stays
    case ColType::Single: return Value(v.toSingle());
    case ColType::Double: return Value(v.toDouble());
    case ColType::Currency: return Value(v.toCurrency());
    case ColType::Date: return Value(v.toDate());
    case ColType::Boolean: return Value(v.toBool());
    case ColType::Text: return Value(v.toText());
    case ColType::Unknown: break;
    }
    return v;
}

Value declaredDefault(const QString& expr)
{
    QString d = expr.trimmed();
    const qsizetype cast = d.lastIndexOf(QLatin1String("::"));
    if (cast > 0 && !d.mid(cast).contains(u'\''))
        d = d.left(cast);
    if (d == QLatin1String("false") || d == QLatin1String("true"))
        return Value(d == QLatin1String("true"));
    bool ok = false;
    const int i = d.toInt(&ok);
    if (ok)
        return Value(i);
    const double f = d.toDouble(&ok);
    if (ok)
        return Value(f);
    if (d.size() >= 2 && d.startsWith(u'\'') && d.endsWith(u'\''))
        return Value(d.mid(1, d.size() - 2).replace(QLatin1String("''"), QLatin1String("'")));
    return Value();
}

void bindValue(sqlite3_stmt* stmt, int index, const Value& v)
{
    switch (v.type()) {
    case VType::Null: sqlite3_bind_null(stmt, index); break;
    case VType::Boolean: sqlite3_bind_int(stmt, index, v.toBool() ? 1 : 0); break;
    case VType::Long:
    case VType::BigInt: sqlite3_bind_int64(stmt, index, v.toBigInt()); break;
    case VType::Single:
    case VType::Double: sqlite3_bind_double(stmt, index, v.toDouble()); break;
    case VType::Currency: sqlite3_bind_int64(stmt, index, v.toCurrency().units); break;
    case VType::Date: {
        const QByteArray iso = v.toDate().toString(Qt::ISODate).toLatin1();
        sqlite3_bind_text(stmt, index, iso.constData(), int(iso.size()), SQLITE_TRANSIENT);
        break;
    }
    case VType::Text: {
        const QByteArray utf8 = v.toText().toUtf8();
        sqlite3_bind_text(stmt, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
        break;
    }
    }
}

} // namespace cvd::sql

#pragma once
// The value of a record field or of a converted text: Null or one of the
// field types the program uses.  Conversions follow the program's rules:
// Null raises error 94, a text that is no number or date error 13, a value
// out of range error 6.
#include "db/currency.h"

#include <QDate>
#include <QString>
#include <variant>

namespace cvd {

enum class VType { Null, Boolean, Long, Single, Double, Currency, Date, Text, BigInt };

class Value {
public:
    Value() = default; // Null
    static Value null() { return Value(); }
    Value(bool b) : m_v(b) {}
    Value(int i) : m_v(std::int32_t(i)) {}
    // A whole number of 64 bits (a key past 2^31): a Long when it is within
    // a Long's range, a BigInt beyond it.
    Value(qint64 i)
    {
        if (i >= -2147483648LL && i <= 2147483647LL)
            m_v = std::int32_t(i);
        else
            m_v = std::int64_t(i);
    }
    Value(float f) : m_v(f) {}
    Value(double d) : m_v(d) {}
    Value(Currency c) : m_v(c) {}
    Value(QDate d) : m_v(d) { if (!d.isValid()) m_v = std::monostate{}; }
    Value(const QString& s) : m_v(s) {}
    Value(const char* s) : m_v(QString::fromUtf8(s)) {}

    VType type() const { return VType(m_v.index()); }
    bool isNull() const { return m_v.index() == 0; }

    // Conversions, each as the program's conversion functions do it.
    bool toBool() const;           // numbers: non-zero is true; texts "True"/"False" or a number
    std::int32_t toLong() const;   // rounds halves to even; 6 when out of range
    std::int64_t toBigInt() const; // the same within 64 bits (a key)
    float toSingle() const;
    double toDouble() const;
    Currency toCurrency() const;   // doubles round to the nearest ten-thousandth, halves to even
    QDate toDate() const;
    QString toText() const;        // a number or date as the system shows it by default

    // Text as shown in a text box: Null gives the empty text.
    QString displayText() const { return isNull() ? QString() : toText(); }

    friend bool operator==(const Value& a, const Value& b) { return a.m_v == b.m_v; }

private:
    std::variant<std::monostate, bool, std::int32_t, float, double, Currency, QDate, QString, std::int64_t> m_v;
};

} // namespace cvd

#include "db/locale.h"

#include <atomic>

namespace cvd::fmt {

namespace {

QLocale& current()
{
    static QLocale l = systemLocale();
    return l;
}

std::atomic<int> serial{0};

} // namespace

const QLocale& locale() { return current(); }

void setLocale(const QLocale& l)
{
    current() = l;
    ++serial;
}

int localeSerial() { return serial.load(); }


QLocale systemLocale()
{
    const QLocale sys = QLocale::system();
    if (sys.language() == QLocale::C || sys.name() == QLatin1String("C"))
        return QLocale(QLocale::English, QLocale::UnitedStates);
    return sys;
}

bool isBlank(QChar c)
{
    return c.isSpace() || c == QChar(0x00A0) || c == QChar(0x202F);
}

QString trimmedBlanks(const QString& s)
{
    qsizetype b = 0, e = s.size();
    while (b < e && isBlank(s[b]))
        ++b;
    while (e > b && isBlank(s[e - 1]))
        --e;
    return s.mid(b, e - b);
}

} // namespace cvd::fmt

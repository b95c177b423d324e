#include "defaults/fontfields.h"

#include "db/currency.h"
#include "db/database.h"

#include <QApplication>
#include <QFontInfo>

namespace cvd {

FontFields readFontFields(Recordset& rs, const QString& prefix)
{
    auto field = [&](const char* suffix) { return rs.Field(prefix + QLatin1String(suffix)); };
    return FontFields{field("Font"), field("Size"), field("Bold"), field("Italic"), field("Under")};
}

double pointSize(const QFont& f)
{
    return f.pointSizeF() > 0 ? f.pointSizeF() : QFontInfo(f).pointSizeF();
}

QFont fontOf(const FontChoice& c)
{
    // Every attribute set on its own, so that a box showing the font does
    // not take any of them from the window around it.
    const QFont app = QApplication::font();
    QFont f;
    f.setFamilies({c.name.isEmpty() ? app.family() : c.name});
    f.setPointSizeF(c.size > 0 ? c.size : pointSize(app));
    f.setBold(c.bold);
    f.setItalic(c.italic);
    f.setUnderline(c.underline);
    return f;
}

QFont fontFromFields(const FontFields& f)
{
    auto yes = [](const Value& v) { return !v.isNull() && v.toBool(); };
    FontChoice c;
    c.name = f.name.displayText();
    c.size = f.size.isNull() ? 0.0 : f.size.toDouble();
    c.bold = yes(f.bold);
    c.italic = yes(f.italic);
    c.underline = yes(f.under);
    return fontOf(c);
}

FontChoice choiceOf(const QFont& f) { return FontChoice{f.family(), pointSize(f), f.bold(), f.italic(), f.underline()}; }

QString fontKey(const QFont& f)
{
    const FontChoice c = choiceOf(f);
    // The size as it would be stored: to the ten-thousandth.
    return QStringLiteral("%1|%2|%3%4%5")
        .arg(c.name)
        .arg(Currency::fromDouble(c.size).units)
        .arg(int(c.bold))
        .arg(int(c.italic))
        .arg(int(c.underline));
}

} // namespace cvd

#include "reports/pagedocument.h"

namespace cvd {

namespace {

QString quoted(const QString& text)
{
    QString out;
    out.reserve(text.size() + 2);
    out += u'"';
    for (QChar c : text) {
        switch (c.unicode()) {
        case '"': out += QLatin1String("\\\""); break;
        case '\\': out += QLatin1String("\\\\"); break;
        case '\r': out += QLatin1String("\\r"); break;
        case '\n': out += QLatin1String("\\n"); break;
        case '\t': out += QLatin1String("\\t"); break;
        default:
            if (c.unicode() < 0x20 || c.unicode() == 0x7f)
                out += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
            else
                out += c;
        }
    }
    out += u'"';
    return out;
}

QString rectText(const QRect& r)
{
    return QStringLiteral("%1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

QString alignText(Qt::Alignment a)
{
    if (a & Qt::AlignRight)
        return QStringLiteral("right");
    if (a & Qt::AlignHCenter)
        return QStringLiteral("centre");
    return QStringLiteral("left");
}

QString fontText(const PageFont& f)
{
    const QString style = f.bold && f.italic ? QStringLiteral("bold-italic")
                          : f.bold           ? QStringLiteral("bold")
                          : f.italic         ? QStringLiteral("italic")
                                             : QStringLiteral("regular");
    return QStringLiteral("%1 %2 %3").arg(quoted(f.name), QString::number(f.size, 'g', 6), style);
}

} // namespace

// For example:
//   paper 12240x15840 portrait, 2 pages
//   page 1
//     box 720,1229 10460x319 rgb(200,200,200)
//     text 780,1259 980x259 left "Times New Roman" 11.25 regular "Req. Date"
QString dumpDocument(const PageDocument& doc)
{
    QString out;
    out += QStringLiteral("paper %1x%2 %3, %4 page%5\n")
               .arg(doc.paperWidth)
               .arg(doc.paperHeight)
               .arg(doc.landscape ? QStringLiteral("landscape") : QStringLiteral("portrait"))
               .arg(doc.pages.size())
               .arg(doc.pages.size() == 1 ? QString() : QStringLiteral("s"));
    for (qsizetype i = 0; i < doc.pages.size(); ++i) {
        const Page& p = doc.pages.at(i);
        out += QStringLiteral("page %1\n").arg(i + 1);
        for (const PageBox& b : p.boxes)
            out += QStringLiteral("  box %1 rgb(%2,%3,%4)\n")
                       .arg(rectText(b.rect))
                       .arg(b.shade.red)
                       .arg(b.shade.green)
                       .arg(b.shade.blue);
        for (const PageText& t : p.texts)
            out += QStringLiteral("  text %1 %2 %3 %4\n")
                       .arg(rectText(t.rect), alignText(t.align), fontText(t.font), quoted(t.text));
    }
    return out;
}

} // namespace cvd

#include "reports/pagefonts.h"

#include <QFontDatabase>
#include <QHash>
#include <QSet>
#include <cmath>
#include <memory>

namespace cvd {

namespace {

constexpr double BodySize = 11.25;
constexpr double SmallestSize = 4;
constexpr double LargestSize = 144;
// Characters below this are measured one by one from a table; a text with
// any other character (combining marks, scripts that join or reorder,
// surrogates) is measured whole, as Qt shapes it.
constexpr char16_t SimpleLimit = 0x0300;

// Installed families to try for a name, best first.  The Windows faces the
// database names come first in their own list, then their metric-compatible
// stand-ins, so that a document lays out the same with either installed.
const QStringList& serifFamilies()
{
    static const QStringList f{QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif"),
                               QStringLiteral("Tinos"), QStringLiteral("Nimbus Roman"),
                               QStringLiteral("DejaVu Serif"), QStringLiteral("FreeSerif")};
    return f;
}
const QStringList& sansFamilies()
{
    static const QStringList f{QStringLiteral("Arial"), QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"),
                               QStringLiteral("Nimbus Sans"), QStringLiteral("DejaVu Sans"),
                               QStringLiteral("FreeSans")};
    return f;
}
const QStringList& monoFamilies()
{
    static const QStringList f{QStringLiteral("Courier New"), QStringLiteral("Liberation Mono"),
                               QStringLiteral("Cousine"), QStringLiteral("Nimbus Mono PS"),
                               QStringLiteral("DejaVu Sans Mono"), QStringLiteral("FreeMono")};
    return f;
}

const QStringList* aliasesOf(const QString& key)
{
    static const QHash<QString, const QStringList*> map{
        {QStringLiteral("times new roman"), &serifFamilies()},
        {QStringLiteral("times"), &serifFamilies()},
        {QStringLiteral("tms rmn"), &serifFamilies()},
        {QStringLiteral("arial"), &sansFamilies()},
        {QStringLiteral("helvetica"), &sansFamilies()},
        {QStringLiteral("ms sans serif"), &sansFamilies()},
        {QStringLiteral("microsoft sans serif"), &sansFamilies()},
        {QStringLiteral("courier new"), &monoFamilies()},
        {QStringLiteral("courier"), &monoFamilies()},
    };
    return map.value(key);
}

// Installed scalable families, by their lower-case names.
const QHash<QString, QString>& installedFamilies()
{
    static const QHash<QString, QString> families = [] {
        QHash<QString, QString> h;
        for (const QString& f : QFontDatabase::families())
            if (QFontDatabase::isSmoothlyScalable(f))
                h.insert(f.toLower(), f);
        return h;
    }();
    return families;
}

QString firstInstalled(const QStringList& candidates)
{
    for (const QString& c : candidates) {
        const QString found = installedFamilies().value(c.toLower());
        if (!found.isEmpty())
            return found;
    }
    return {};
}

bool isSimple(QStringView s)
{
    for (QChar c : s)
        if (c.unicode() >= SimpleLimit)
            return false;
    return true;
}

} // namespace

QString resolvedFamily(const QString& requested)
{
    static QHash<QString, QString> cache;
    const QString key = requested.simplified().toLower();
    auto it = cache.constFind(key);
    if (it != cache.constEnd())
        return *it;
    QString family;
    if (const QStringList* aliases = aliasesOf(key))
        family = firstInstalled(*aliases);
    if (family.isEmpty())
        family = installedFamilies().value(key);
    if (family.isEmpty())
        family = firstInstalled(serifFamilies());
    if (family.isEmpty())
        family = QStringLiteral("serif"); // fontconfig's own choice of a serif
    cache.insert(key, family);
    return family;
}

double effectiveFontSize(double points)
{
    if (!std::isfinite(points) || points < SmallestSize || points > LargestSize)
        return BodySize;
    return points;
}

namespace {

QFont makeFont(const PageFont& f)
{
    QFont font(resolvedFamily(f.name));
    font.setStyleHint(QFont::Serif, QFont::StyleStrategy(QFont::ForceOutline | QFont::PreferQuality));
    font.setPixelSize(std::max(1, int(std::lround(effectiveFontSize(f.size) * 20))));
    font.setBold(f.bold);
    font.setItalic(f.italic);
    font.setKerning(false);
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

} // namespace

PageFontMetrics::PageFontMetrics(const PageFont& f)
    : m_font(makeFont(f)), m_metrics(m_font), m_advances(SimpleLimit, -1.0f)
{
    m_ascent = m_metrics.ascent();
    m_lineHeight = int(std::ceil(std::max(m_metrics.lineSpacing(), m_metrics.height())));
}

double PageFontMetrics::advance(char16_t c) const
{
    float& a = m_advances[c];
    if (a < 0)
        a = float(m_metrics.horizontalAdvance(QChar(c)));
    return a;
}

double PageFontMetrics::width(QStringView text) const
{
    if (!isSimple(text))
        return m_metrics.horizontalAdvance(text.toString());
    double w = 0;
    for (QChar c : text)
        w += advance(c.unicode());
    return w;
}

QString PageFontMetrics::elided(const QString& text, double room) const
{
    if (width(text) <= room)
        return text;
    return m_metrics.elidedText(text, Qt::ElideRight, room);
}

const PageFontMetrics& pageFontMetrics(const PageFont& f)
{
    static QHash<QString, std::shared_ptr<PageFontMetrics>> cache;
    static PageFont last;
    static const PageFontMetrics* lastMetrics = nullptr;
    if (lastMetrics && f == last)
        return *lastMetrics;
    const QString key = QStringLiteral("%1\x1f%2\x1f%3%4")
                            .arg(resolvedFamily(f.name))
                            .arg(std::lround(effectiveFontSize(f.size) * 20))
                            .arg(int(f.bold))
                            .arg(int(f.italic));
    auto& slot = cache[key];
    if (!slot)
        slot = std::make_shared<PageFontMetrics>(f);
    last = f;
    lastMetrics = slot.get();
    return *slot;
}

// ---- Line breaking -------------------------------------------------------

namespace {

// Tabs become blanks; other control characters are dropped.
QString cleaned(QStringView s)
{
    QString out;
    out.reserve(s.size());
    for (QChar c : s) {
        if (c == u'\t')
            out += u' ';
        else if (c.unicode() >= 0x20 && c.unicode() != 0x7f)
            out += c;
    }
    return out;
}

bool hasControls(QStringView s)
{
    for (QChar c : s)
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            return true;
    return false;
}

// Width of `s` when it is at most `limit`; otherwise any value above it
// (a long run is not measured to its end).
double widthUpTo(const PageFontMetrics& m, QStringView s, double limit)
{
    constexpr qsizetype Probe = 256;
    if (s.size() > Probe) {
        const double head = m.width(s.first(Probe));
        if (head > limit)
            return head;
    }
    return m.width(s);
}

// How many characters of `s` (at least one, never half a surrogate pair)
// fit in `room`.
qsizetype charsThatFit(const PageFontMetrics& m, QStringView s, double room)
{
    qsizetype fit = 0;
    if (isSimple(s)) {
        double used = 0;
        while (fit < s.size() && (used += m.width(s.sliced(fit, 1))) <= room)
            ++fit;
    } else {
        qsizetype lo = 0, hi = std::min<qsizetype>(s.size(), 1024);
        while (lo < hi) {
            const qsizetype mid = (lo + hi + 1) / 2;
            if (m.width(s.first(mid)) <= room)
                lo = mid;
            else
                hi = mid - 1;
        }
        fit = lo;
        if (fit > 0 && fit < s.size() && s.at(fit).isLowSurrogate())
            --fit;
    }
    if (fit == 0) // not even one character fits: it goes on the line alone
        fit = s.size() > 1 && s.at(0).isHighSurrogate() ? 2 : 1;
    return std::min(fit, s.size());
}

// Where a word broken after `fit` characters breaks best: after the last
// slash, hyphen or similar mark in its first line ("12/31/" and "2026"),
// else where the line is full.
qsizetype breakInWord(QStringView word, qsizetype fit)
{
    if (fit >= word.size())
        return fit;
    for (qsizetype i = fit; i > fit / 3 && i > 1; --i)
        if (QStringView(u"/-\\_.,;:").contains(word[i - 1]))
            return i;
    return fit;
}

void wrapParagraph(const PageFontMetrics& m, QStringView para, double width, double& room, std::vector<QStringView>& out,
                   QStringList& keep)
{
    if (hasControls(para)) {
        keep << cleaned(para);
        para = keep.last();
    }
    const qsizetype n = para.size();
    if (n == 0) {
        out.push_back(QStringView());
        room = width;
        return;
    }
    qsizetype start = 0;
    while (start < n) {
        double used = 0;
        qsizetype end = start; // the line so far: [start, end)
        while (end < n) {
            qsizetype e = end;
            while (e < n && para[e] == u' ')
                ++e;
            while (e < n && para[e] != u' ')
                ++e;
            const double w = widthUpTo(m, para.sliced(end, e - end), room - used);
            if (used + w > room)
                break;
            used += w;
            end = e;
        }
        if (end == start) // a word longer than the line: break it
            end = start + breakInWord(para.sliced(start), charsThatFit(m, para.sliced(start), room));
        qsizetype shown = end;
        while (shown > start && para[shown - 1] == u' ')
            --shown;
        out.push_back(para.sliced(start, shown - start));
        start = end;
        while (start < n && para[start] == u' ')
            ++start;
        room = width;
    }
}

} // namespace

void wrapLines(const PageFontMetrics& m, QStringView text, double width, double firstWidth, std::vector<QStringView>& out,
               QStringList& keep)
{
    double room = firstWidth;
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (true) {
        qsizetype end = i;
        while (end < n && text[end] != u'\r' && text[end] != u'\n')
            ++end;
        wrapParagraph(m, text.sliced(i, end - i), width, room, out, keep);
        if (end >= n)
            break;
        end += (text[end] == u'\r' && end + 1 < n && text[end + 1] == u'\n') ? 2 : 1;
        if (end >= n) // a final line ending ends the last line; no empty line after it
            break;
        i = end;
    }
}

QStringList wrapText(const PageFontMetrics& m, QStringView text, double width, double firstWidth)
{
    std::vector<QStringView> lines;
    QStringList keep;
    wrapLines(m, text, width, firstWidth, lines, keep);
    QStringList out;
    out.reserve(qsizetype(lines.size()));
    for (QStringView l : lines)
        out << l.toString();
    return out;
}

} // namespace cvd

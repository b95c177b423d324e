// The page engine: settings, pages, the header and footer, and text.
// Tables are in reports/pagetable.cpp.
#include "reports/pageengine_impl.h"
#include "reports/tabletext.h"

#include <algorithm>
#include <cmath>

namespace cvd {

// ---- Pages ---------------------------------------------------------------

int PageEngine::Impl::left() const
{
    const int right = begun ? bodyRight : paperWidth() - Margin;
    return std::clamp(leftMargin, 0, std::max(0, right - 1440));
}

void PageEngine::Impl::begin()
{
    doc = PageDocument{};
    doc.landscape = orientation == Landscape;
    doc.paperWidth = paperWidth();
    doc.paperHeight = paperHeight();
    // The header and footer lines lie inside the margins; the body between them.
    const int band = pageFontMetrics(headerFont).lineHeight();
    bodyTop = Margin + band + BandGap;
    bodyBottom = doc.paperHeight - Margin - band - BandGap;
    bodyRight = doc.paperWidth - Margin;
    begun = true;
    decorated = 0;
    shared.clear();
    doc.pages.append(Page{});
    y = bodyTop;
    x = left();
    lineHeight = 0;
    keep = {};
}

QString PageEngine::Impl::shareText(QStringView text)
{
    constexpr qsizetype Longest = 32;
    constexpr qsizetype Most = 50000;
    if (text.size() > Longest)
        return text.toString();
    const auto it = shared.constFind(QString::fromRawData(text.data(), text.size()));
    if (it != shared.constEnd())
        return *it;
    QString s = text.toString();
    if (shared.size() < Most)
        shared.insert(s, s);
    return s;
}

void PageEngine::Impl::ensureBegun()
{
    if (!begun)
        begin();
}

void PageEngine::Impl::newPage()
{
    // A finished page keeps little spare room: a long report holds many
    // pages.  The next is made ready for about as much as this one held.
    Page& done = page();
    const qsizetype texts = done.texts.size();
    if (done.texts.capacity() > texts + BandTexts) {
        QList<PageText> fitted;
        fitted.reserve(texts + BandTexts);
        fitted.append(std::move(done.texts));
        done.texts = std::move(fitted);
    }
    if (done.boxes.capacity() > done.boxes.size() + 8)
        done.boxes.squeeze();
    doc.pages.append(Page{});
    page().texts.reserve(texts + texts / 16 + BandTexts);
    y = bodyTop;
    x = left();
    lineHeight = 0;
    keep = {};
}

bool PageEngine::Impl::breakPage()
{
    // Titles taller than a third of a page stay where they are.
    if (!keep.open || keep.top <= bodyTop || y - keep.top > bodyHeight() / 3) {
        newPage();
        return false;
    }
    Page& from = page();
    QList<PageBox> boxes = from.boxes.mid(keep.boxes);
    QList<PageText> texts = from.texts.mid(keep.texts);
    from.boxes.resize(keep.boxes);
    from.texts.resize(keep.texts);
    const int height = y - keep.top;
    const int dy = bodyTop - keep.top;
    newPage();
    for (PageBox& b : boxes)
        b.rect.translate(0, dy);
    for (PageText& t : texts)
        t.rect.translate(0, dy);
    page().boxes = std::move(boxes);
    page().texts = std::move(texts);
    y = bodyTop + height;
    keep = {true, 0, 0, bodyTop};
    return true;
}

void PageEngine::Impl::end()
{
    ensureBegun();
    finishLine();
    for (int i = decorated; i < doc.pages.size(); ++i)
        decorate(i);
    decorated = int(doc.pages.size());
    keep = {};
    shared.clear();
}

// ---- Header and footer ---------------------------------------------------

namespace {

// Left, centre and right parts; a "|" beyond the second stays in the right
// part.  A part shows its own "|" and ";" as typed (reports/tabletext.h).
QStringList bandParts(const QString& text)
{
    QString flat = text;
    for (QChar& c : flat)
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            c = u' ';
    QStringList parts;
    const qsizetype a = flat.indexOf(u'|');
    const qsizetype b = a < 0 ? -1 : flat.indexOf(u'|', a + 1);
    if (a < 0)
        parts = {flat, {}, {}};
    else if (b < 0)
        parts = {flat.left(a), flat.mid(a + 1), {}};
    else
        parts = {flat.left(a), flat.mid(a + 1, b - a - 1), flat.mid(b + 1)};
    for (QString& p : parts)
        p = typedText(p);
    return parts;
}

} // namespace

void PageEngine::Impl::decorate(int index)
{
    const PageFontMetrics& m = pageFontMetrics(headerFont);
    const int h = m.lineHeight();
    const int width = doc.paperWidth - 2 * Margin;
    const Qt::Alignment aligns[3] = {Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight};
    const QString number = QString::number(index + 1);
    auto band = [&](const QString& text, int top) {
        QList<PageText> out;
        const QStringList parts = bandParts(text);
        for (int i = 0; i < 3; ++i) {
            QString s = parts.at(i);
            s.replace(QLatin1String("%d"), number);
            s = s.trimmed();
            if (!s.isEmpty())
                out.append(PageText{QRect(Margin, top, width, h), m.elided(s, width), headerFont, aligns[i]});
        }
        return out;
    };
    // The header and footer come last on the page, in room kept for them,
    // so that they do not move the page's texts to a new block.
    Page& p = doc.pages[index];
    p.texts += band(headerText, Margin);
    p.texts += band(footerText, doc.paperHeight - Margin - h);
}

// ---- Text ----------------------------------------------------------------

void PageEngine::Impl::finishLine()
{
    if (lineHeight > 0 || x != left()) {
        y += lineHeight;
        x = left();
        lineHeight = 0;
    }
}

void PageEngine::Impl::addText(const QString& text)
{
    ensureBegun();
    keep = {};
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n) {
        qsizetype end = i;
        while (end < n && text[end] != u'\r' && text[end] != u'\n')
            ++end;
        if (end > i)
            placeTextRun(text.mid(i, end - i));
        if (end >= n)
            break;
        // A line ending: an empty line is one line of the current font.
        if (lineHeight == 0)
            lineHeight = pageFontMetrics(font).lineHeight();
        y += lineHeight;
        x = left();
        lineHeight = 0;
        i = end + ((text[end] == u'\r' && end + 1 < n && text[end + 1] == u'\n') ? 2 : 1);
    }
}

void PageEngine::Impl::placeTextRun(const QString& run)
{
    const PageFontMetrics& m = pageFontMetrics(font);
    const int h = m.lineHeight();
    const double full = bodyRight - left();
    // Too little room left on this line for a word: go on on the next.
    if (x > left() && bodyRight - x < full / 20)
        finishLine();
    const QStringList lines = wrapText(m, run, full, bodyRight - x);
    for (qsizetype k = 0; k < lines.size(); ++k) {
        if (k > 0)
            finishLine();
        if (y + h > bodyBottom) {
            newPage();
        }
        const QString& line = lines.at(k);
        const int w = int(std::ceil(m.width(line)));
        if (!line.isEmpty())
            page().texts.append(PageText{QRect(x, y, std::max(1, w), h), line, font, Qt::AlignLeft});
        x += w;
        lineHeight = std::max(lineHeight, h);
    }
    // Blanks at the end of the text stay as room before what follows on the line.
    qsizetype blanks = 0;
    while (blanks < run.size() && run.at(run.size() - 1 - blanks) == u' ')
        ++blanks;
    if (blanks > 0 && blanks < run.size())
        x = std::min(bodyRight, x + int(std::ceil(m.width(QStringView(run).last(blanks)))));
}

// ---- The interface -------------------------------------------------------

PageEngine::PageEngine() : d(std::make_unique<Impl>()) {}
PageEngine::~PageEngine() = default;

void PageEngine::setOrientation(int orientation) { d->orientation = orientation == Landscape ? Landscape : Portrait; }
int PageEngine::orientation() const { return d->orientation; }
int PageEngine::PaperWidth() const { return d->paperWidth(); }
int PageEngine::PaperHeight() const { return d->paperHeight(); }

void PageEngine::BeginDocument() { d->begin(); }
void PageEngine::EndDocument() { d->end(); }

void PageEngine::AddTable(const QString& format, const QString& header, const QString& body,
                          std::optional<Shade> headerShade, std::optional<Shade> bodyShade, bool addBelow)
{
    d->addTable(format, header, body, headerShade, bodyShade, addBelow);
}

void PageEngine::setHeaderText(const QString& text) { d->headerText = text; }
void PageEngine::setFooterText(const QString& text) { d->footerText = text; }

void PageEngine::AddText(const QString& text) { d->addText(text); }

void PageEngine::NewPage()
{
    d->ensureBegun();
    d->newPage();
}

void PageEngine::setFontName(const QString& name) { d->font.name = name; }
void PageEngine::setFontSize(double points) { d->font.size = effectiveFontSize(points); }
void PageEngine::setFontBold(bool bold) { d->font.bold = bold; }
void PageEngine::setFontItalic(bool italic) { d->font.italic = italic; }
QString PageEngine::FontName() const { return d->font.name; }
double PageEngine::FontSize() const { return d->font.size; }
bool PageEngine::FontBold() const { return d->font.bold; }
bool PageEngine::FontItalic() const { return d->font.italic; }

void PageEngine::setLeftMargin(int twips)
{
    const bool lineEmpty = d->lineHeight == 0 && d->x == d->left();
    d->leftMargin = twips;
    if (lineEmpty)
        d->x = d->left();
}

int PageEngine::LeftMargin() const { return d->leftMargin; }

int PageEngine::VerticalPosition() const { return d->y; }

void PageEngine::setVerticalPosition(int twips)
{
    d->ensureBegun();
    d->keep = {};
    d->y = std::clamp(twips, d->bodyTop, d->bodyBottom);
    d->x = d->left();
    d->lineHeight = 0;
}

int PageEngine::PageCount() const { return int(d->doc.pages.size()); }

const PageDocument& PageEngine::document() const { return d->doc; }

PageDocument PageEngine::takeDocument()
{
    PageDocument doc = std::move(d->doc);
    d->doc = PageDocument{};
    d->begun = false;
    d->decorated = 0;
    d->shared.clear();
    return doc;
}

} // namespace cvd

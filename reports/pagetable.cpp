// The page engine's tables: formats, rows and cells, wrapping inside the
// cells, shading, and page breaks between rows (or inside a row taller
// than a page).
#include "reports/pageengine_impl.h"
#include "reports/tabletext.h"

#include "base/formats.h"

#include <QVarLengthArray>
#include <algorithm>
#include <array>
#include <cmath>
#include <functional>

namespace cvd {

namespace {

constexpr int DefaultColumnWidth = 1440;

struct Column {
    int x = 0;
    int width = 0;
    Qt::Alignment align = Qt::AlignLeft;
};

// "+1100|>1140;": a mark (">" right, "^" centred, "+" "<" or none left)
// and a width in twips per column.  Columns wider together than the room
// on the paper are narrowed in proportion.
QList<Column> parseFormat(const QString& format, int left, int room)
{
    QStringView f = QStringView(format).trimmed();
    if (f.endsWith(u';'))
        f.chop(1);
    QList<Column> cols;
    if (f.trimmed().isEmpty()) {
        cols.append(Column{left, room, Qt::AlignLeft});
        return cols;
    }
    qint64 total = 0;
    for (QStringView spec : f.split(u'|')) {
        spec = spec.trimmed();
        Column c;
        while (!spec.isEmpty() && QStringView(u"+<>^").contains(spec.front())) {
            c.align = spec.front() == u'>' ? Qt::AlignRight : spec.front() == u'^' ? Qt::AlignHCenter : Qt::AlignLeft;
            spec = spec.sliced(1).trimmed();
        }
        bool ok = false;
        c.width = spec.toInt(&ok);
        if (!ok || c.width <= 0)
            c.width = DefaultColumnWidth;
        total += c.width;
        cols.append(c);
    }
    const double k = total > room ? double(room) / double(total) : 1.0;
    int at = left;
    for (Column& c : cols) {
        c.width = std::max(1, int(c.width * k));
        c.x = at;
        at += c.width;
    }
    return cols;
}

// The parsed columns of the formats in use (a report repeats a few).
const QList<Column>& columnsOf(const QString& format, int left, int room)
{
    struct Entry {
        QString format;
        int left = 0, room = 0;
        QList<Column> cols;
    };
    static std::array<Entry, 4> cache;
    static std::size_t next = 0;
    for (const Entry& e : cache)
        if (e.left == left && e.room == room && e.format == format && !e.cols.isEmpty())
            return e.cols;
    Entry& e = cache[next++ % cache.size()];
    e = Entry{format, left, room, parseFormat(format, left, room)};
    return e.cols;
}

// Calls f for each piece of `text` between separators.
template <typename F> void forEachPiece(QStringView text, QChar separator, F&& f)
{
    qsizetype start = 0;
    while (true) {
        const qsizetype at = text.indexOf(separator, start);
        if (at < 0) {
            f(text.sliced(start));
            return;
        }
        f(text.sliced(start, at - start));
        start = at + 1;
    }
}

// Rows end with ";" (a final one ends the last row).
template <typename F> void forEachRow(const QString& text, F&& f)
{
    if (text.isEmpty())
        return;
    QStringView t(text);
    if (t.endsWith(u';'))
        t.chop(1);
    forEachPiece(t, u';', f);
}

// Inside a cell, so that neighbouring cells' texts never touch.
constexpr int CellPadX = 40;

int padOf(const Column& c) { return std::min(CellPadX, c.width / 4); }

// The lines of a row's cells: views into the row's text.  A row's columns
// are the table's, but where a figure needs more room (figureFits).
struct RowLayout {
    std::vector<QStringView> lines;
    QStringList keep;                     // cleaned copies the views may point into
    QVarLengthArray<qsizetype, 16> first; // per cell where its lines start, and the end
    QVarLengthArray<Column, 16> cols;     // per cell its place in this row
    QVarLengthArray<double, 16> scale;    // per cell the size of its text, 1 as the table's
    QVarLengthArray<bool, 16> figure;     // per cell whether it holds a figure (one line)
    int height = 1;                       // in lines

    qsizetype cells() const { return first.size() - 1; }
    QStringView line(qsizetype cell, int i) const { return lines[std::size_t(first[cell] + i)]; }
    int lineCount(qsizetype cell) const { return int(first[cell + 1] - first[cell]); }
};

// A number, an amount or a date: digits with the marks and blanks of their
// formats ($1,234.56, (3.00), 11/19/2026, 1 234,56 €), no word and no
// ordinary blank.  It is never broken inside.
bool isFigure(QStringView text)
{
    static int serial = -1;
    static QString symbol;
    if (serial != fmt::localeSerial()) {
        serial = fmt::localeSerial();
        symbol = fmt::locale().currencySymbol(QLocale::CurrencySymbol);
    }
    bool digit = false;
    for (const QChar c : text) {
        if (c.isDigit())
            digit = true;
        else if (!(QStringView(u"$+-()/.,:'%").contains(c) || c == QChar(0x2212) || c == QChar(0x00A0)
                   || c == QChar(0x202F) || c.category() == QChar::Symbol_Currency || symbol.contains(c)))
            return false;
    }
    return digit;
}

// A figure at most this much too wide for its column is set that much
// smaller (a hair: a date like 11/19/2026 in its column); a wider one
// takes the room it needs from a text column beside it, and is set
// smaller only for what that column cannot give, down to SmallestFigure of
// the size.
constexpr double SlightlySmaller = 0.95;
constexpr double SmallestFigure = 0.7;
// What a text column keeps at the least when it gives room to a figure
// (less when its own text is shorter).
constexpr int NarrowestTextColumn = 720;

int innerWidth(const Column& c) { return std::max(1, c.width - 2 * padOf(c)); }

// Figures stay whole on one line, at the size of the table where they
// fit.  One a little too wide is set a little smaller.  One wider still
// takes room from the text column beside it on the side it is not aligned
// to, in this row (the line between them moves; the text there wraps as
// ever), so that its aligned edge and the other columns stay where they
// are, and is set smaller for what that column cannot give (all of it when
// that neighbour is a figure too).
void figureFits(const PageFontMetrics& m, QVarLengthArray<QStringView, 16>& cells, RowLayout& r)
{
    const qsizetype n = cells.size();
    for (qsizetype i = 0; i < n; ++i)
        r.figure.append(isFigure(cells[i]));
    for (qsizetype i = 0; i < n; ++i) {
        if (!r.figure[i])
            continue;
        const double needed = m.width(cells[i]);
        if (needed <= innerWidth(r.cols[i]))
            continue;
        // The neighbour on the side the figure is not aligned to: a
        // right-aligned amount grows to the left, a date to the right.
        const Qt::Alignment align = r.cols[i].align;
        qsizetype donor = -1;
        for (const qsizetype k : {i - 1, i + 1})
            if (k >= 0 && k < n && !r.figure[k] && !(k < i && align == Qt::AlignLeft)
                && !(k > i && align == Qt::AlignRight) && (donor < 0 || r.cols[k].width > r.cols[donor].width))
                donor = k;
        if (needed * SlightlySmaller > innerWidth(r.cols[i]) && donor >= 0) {
            const int more = int(std::ceil(needed)) - innerWidth(r.cols[i]);
            // The text column keeps room for its own text on one line, up to
            // NarrowestTextColumn.
            const int keep = std::min(int(std::ceil(m.width(cells[donor]))), NarrowestTextColumn) + 2 * padOf(r.cols[donor]);
            const int given = std::clamp(r.cols[donor].width - keep, 0, more);
            r.cols[i].width += given;
            r.cols[donor].width -= given;
            if (donor < i)
                r.cols[i].x -= given;
            else
                r.cols[donor].x += given;
        }
        if (needed > innerWidth(r.cols[i]))
            r.scale[i] = std::max(SmallestFigure, innerWidth(r.cols[i]) / needed);
    }
}

// Cells are separated by "|"; cells beyond the last column go into the
// last column, "|" and all, so that no text is lost.  A cell shows its own
// "|" and ";" as typed (reports/tabletext.h).
void layoutRow(const PageFontMetrics& m, const QList<Column>& cols, QStringView row, RowLayout& r)
{
    r.lines.clear();
    r.keep.clear();
    r.first.clear();
    r.cols.clear();
    r.scale.clear();
    r.figure.clear();
    r.height = 1;
    QVarLengthArray<QStringView, 16> cells;
    forEachPiece(row, u'|', [&](QStringView c) { cells.append(c); });
    if (cells.size() > cols.size()) {
        const QStringView from = cells[cols.size() - 1];
        cells[cols.size() - 1] = QStringView(from.data(), row.data() + row.size() - from.data());
        cells.resize(cols.size());
    }
    for (qsizetype i = 0; i < cells.size(); ++i) {
        if (hasStandIns(cells[i])) {
            r.keep << typedText(cells[i]);
            cells[i] = r.keep.last();
        }
        r.cols.append(cols.at(i));
        r.scale.append(1.0);
    }
    figureFits(m, cells, r);
    r.first.append(0);
    for (qsizetype i = 0; i < cells.size(); ++i) {
        if (r.figure[i]) {
            r.lines.push_back(cells[i]); // one line, measured to fit
        } else {
            const int width = innerWidth(r.cols[i]);
            wrapLines(m, cells[i], width, width, r.lines, r.keep);
        }
        r.first.append(qsizetype(r.lines.size()));
        r.height = std::max(r.height, r.lineCount(i));
    }
}

} // namespace

void PageEngine::Impl::addTable(const QString& format, const QString& header, const QString& body,
                                std::optional<Shade> headerShade, std::optional<Shade> bodyShade, bool addBelow)
{
    ensureBegun();
    finishLine();
    const QList<Column>& cols = columnsOf(format, left(), bodyRight - left());
    const int tableLeft = cols.first().x;
    const int tableWidth = cols.last().x + cols.last().width - tableLeft;
    const PageFontMetrics& m = pageFontMetrics(font);
    const int lh = m.lineHeight();

    std::vector<RowLayout> headerRows;
    int headerHeight = 0;
    forEachRow(header, [&](QStringView row) {
        headerRows.emplace_back();
        layoutRow(m, cols, row, headerRows.back());
        headerHeight += headerRows.back().height * lh + 2 * CellPadY;
    });

    // Draws lines [first, first + count) of a row at the current position.
    auto drawChunk = [&](const RowLayout& r, int first, int count, const std::optional<Shade>& shade) {
        const int h = count * lh + 2 * CellPadY;
        Page& p = page();
        if (shade)
            p.boxes.append(PageBox{QRect(tableLeft, y, tableWidth, h), *shade});
        for (qsizetype c = 0; c < r.cells(); ++c) {
            const Column& col = r.cols[c];
            const int pad = padOf(col);
            PageFont cellFont = font;
            int lower = 0; // a smaller figure stands on the row's baseline
            if (r.scale[c] < 1.0) {
                cellFont.size = std::floor(font.size * r.scale[c] * 100.0) / 100.0;
                lower = int(std::lround(m.ascent() - pageFontMetrics(cellFont).ascent()));
            }
            const int last = std::min(first + count, r.lineCount(c));
            for (int i = first; i < last; ++i) {
                const QStringView line = r.line(c, i);
                if (!line.isEmpty())
                    p.texts.append(PageText{QRect(col.x + pad, y + CellPadY + (i - first) * lh + lower, innerWidth(col), lh),
                                            shareText(line), cellFont, col.align});
            }
        }
        y += h;
    };

    // Places a row: on this page when it fits, else whole on the next (with
    // the titles kept with it and the table's header again), and split over
    // pages only when it is taller than a page.
    std::function<void()> repeatHeader;
    auto placeRow = [&](const RowLayout& r, const std::optional<Shade>& shade) {
        const int height = r.height * lh + 2 * CellPadY;
        const int oneLine = lh + 2 * CellPadY;
        if (y + height > bodyBottom && (height <= bodyHeight() || bodyBottom - y < oneLine)) {
            if (!breakPage()) {
                if (repeatHeader)
                    repeatHeader();
            } else if (y + height > bodyBottom && height <= bodyHeight()) {
                newPage(); // the titles and the row do not fit on one page together
            }
        }
        int first = 0;
        while (true) {
            const int fit = (bodyBottom - y - 2 * CellPadY) / lh;
            if (fit < 1 && y > bodyTop) {
                keep = {};
                newPage();
                if (repeatHeader)
                    repeatHeader();
                continue;
            }
            const int count = std::clamp(fit, 1, r.height - first);
            drawChunk(r, first, count, shade);
            first += count;
            if (first >= r.height)
                break;
            keep = {}; // the part already placed stays where it is
            newPage();
            if (repeatHeader)
                repeatHeader();
        }
    };

    // Column titles (shaded rows given with add-below) and a table's own
    // header stay with the rows that follow them.
    const bool titles = addBelow && bodyShade.has_value();
    if ((titles || !headerRows.empty()) && !keep.open)
        keep = {true, page().boxes.size(), page().texts.size(), y};
    for (const RowLayout& r : headerRows)
        placeRow(r, headerShade);
    if (!headerRows.empty() && headerHeight <= bodyHeight() / 2)
        repeatHeader = [&] {
            for (const RowLayout& r : headerRows)
                drawChunk(r, 0, r.height, headerShade);
        };
    static RowLayout row; // reused, so that a row costs no allocation of its own
    forEachRow(body, [&](QStringView text) {
        layoutRow(m, cols, text, row);
        placeRow(row, bodyShade);
        if (!titles)
            keep = {};
    });
    if (!titles)
        keep = {};
}

} // namespace cvd

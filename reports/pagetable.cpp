// The page engine's tables: formats, rows and cells, wrapping inside the
// cells, shading, and page breaks between rows (or inside a row taller
// than a page).
#include "reports/pageengine_impl.h"
#include "reports/tabletext.h"

#include <QVarLengthArray>
#include <algorithm>
#include <array>
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

// The lines of a row's cells: views into the row's text.
struct RowLayout {
    std::vector<QStringView> lines;
    QStringList keep;                     // cleaned copies the views may point into
    QVarLengthArray<qsizetype, 16> first; // per cell where its lines start, and the end
    int height = 1;                       // in lines

    qsizetype cells() const { return first.size() - 1; }
    QStringView line(qsizetype cell, int i) const { return lines[std::size_t(first[cell] + i)]; }
    int lineCount(qsizetype cell) const { return int(first[cell + 1] - first[cell]); }
};

// Cells are separated by "|"; cells beyond the last column go into the
// last column, "|" and all, so that no text is lost.  A cell shows its own
// "|" and ";" as typed (reports/tabletext.h).
void layoutRow(const PageFontMetrics& m, const QList<Column>& cols, QStringView row, RowLayout& r)
{
    r.lines.clear();
    r.keep.clear();
    r.first.clear();
    r.height = 1;
    QVarLengthArray<QStringView, 16> cells;
    forEachPiece(row, u'|', [&](QStringView c) { cells.append(c); });
    if (cells.size() > cols.size()) {
        const QStringView from = cells[cols.size() - 1];
        cells[cols.size() - 1] = QStringView(from.data(), row.data() + row.size() - from.data());
        cells.resize(cols.size());
    }
    r.first.append(0);
    for (qsizetype i = 0; i < cells.size(); ++i) {
        const Column& c = cols.at(i);
        const int width = std::max(1, c.width - 2 * padOf(c));
        if (hasStandIns(cells[i])) {
            r.keep << typedText(cells[i]);
            cells[i] = r.keep.last();
        }
        wrapLines(m, cells[i], width, width, r.lines, r.keep);
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
            p.boxes.append(PageBox{QRect(tableLeft, y, tableWidth, h), shade->red, shade->green, shade->blue});
        for (qsizetype c = 0; c < r.cells(); ++c) {
            const Column& col = cols.at(c);
            const int pad = padOf(col);
            const int last = std::min(first + count, r.lineCount(c));
            for (int i = first; i < last; ++i) {
                const QStringView line = r.line(c, i);
                if (!line.isEmpty())
                    p.texts.append(PageText{QRect(col.x + pad, y + CellPadY + (i - first) * lh, std::max(1, col.width - 2 * pad), lh),
                                            shareText(line), font, col.align});
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

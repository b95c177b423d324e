// The page engine's tables: formats, rows and cells, wrapping inside the
// cells, shading, and page breaks between rows (or inside a row taller
// than a page).
#include "reports/pageengine_impl.h"

#include <algorithm>
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

// Rows end with ";" (a final one ends the last row), cells are separated
// by "|".  Cells beyond the last column go into the last column, "|" and
// all, so that no text is lost.
QList<QList<QStringView>> parseRows(const QString& text, qsizetype columns)
{
    QList<QList<QStringView>> rows;
    if (text.isEmpty())
        return rows;
    QStringView t(text);
    if (t.endsWith(u';'))
        t.chop(1);
    for (QStringView row : t.split(u';')) {
        QList<QStringView> cells = row.split(u'|');
        if (cells.size() > columns) {
            const QStringView first = cells.at(columns - 1);
            const QStringView last = cells.last();
            cells.resize(columns);
            cells.last() = QStringView(first.data(), last.data() + last.size() - first.data());
        }
        rows.append(cells);
    }
    return rows;
}

struct RowLayout {
    QList<QStringList> cells; // lines per cell
    int lines = 1;
};

// Inside a cell, so that neighbouring cells' texts never touch.
constexpr int CellPadX = 60;

int padOf(const Column& c) { return std::min(CellPadX, c.width / 4); }

RowLayout layoutRow(const PageFontMetrics& m, const QList<Column>& cols, const QList<QStringView>& cells)
{
    RowLayout r;
    r.cells.reserve(cells.size());
    for (qsizetype i = 0; i < cells.size(); ++i) {
        const Column& c = cols.at(i);
        r.cells.append(wrapText(m, cells.at(i), std::max(1, c.width - 2 * padOf(c))));
        r.lines = std::max(r.lines, int(r.cells.last().size()));
    }
    return r;
}

} // namespace

void PageEngine::Impl::addTable(const QString& format, const QString& header, const QString& body,
                                std::optional<Shade> headerShade, std::optional<Shade> bodyShade, bool addBelow)
{
    ensureBegun();
    finishLine();
    const QList<Column> cols = parseFormat(format, left(), bodyRight - left());
    const int tableLeft = cols.first().x;
    const int tableWidth = cols.last().x + cols.last().width - tableLeft;
    const PageFontMetrics& m = pageFontMetrics(font);
    const int lh = m.lineHeight();

    QList<RowLayout> headerRows;
    for (const auto& cells : parseRows(header, cols.size()))
        headerRows.append(layoutRow(m, cols, cells));
    int headerHeight = 0;
    for (const RowLayout& r : headerRows)
        headerHeight += r.lines * lh + 2 * CellPadY;

    // Draws lines [first, first + count) of a row at the current position.
    auto drawChunk = [&](const RowLayout& r, int first, int count, const std::optional<Shade>& shade) {
        const int h = count * lh + 2 * CellPadY;
        Page& p = page();
        if (shade)
            p.boxes.append(PageBox{QRect(tableLeft, y, tableWidth, h), shade->red, shade->green, shade->blue});
        for (qsizetype c = 0; c < r.cells.size(); ++c) {
            const Column& col = cols.at(c);
            const int pad = padOf(col);
            const QStringList& lines = r.cells.at(c);
            const int last = std::min<int>(first + count, int(lines.size()));
            for (int i = first; i < last; ++i)
                if (!lines.at(i).isEmpty())
                    p.texts.append(PageText{QRect(col.x + pad, y + CellPadY + (i - first) * lh,
                                                  std::max(1, col.width - 2 * pad), lh),
                                            shareText(lines.at(i)), font, col.align});
        }
        y += h;
    };

    // Places a row: on this page when it fits, else whole on the next (with
    // the titles kept with it and the table's header again), and split over
    // pages only when it is taller than a page.
    std::function<void()> repeatHeader;
    auto placeRow = [&](const RowLayout& r, const std::optional<Shade>& shade) {
        const int height = r.lines * lh + 2 * CellPadY;
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
            const int count = std::clamp(fit, 1, r.lines - first);
            drawChunk(r, first, count, shade);
            first += count;
            if (first >= r.lines)
                break;
            keep = {}; // the part already placed stays where it is
            newPage();
            if (repeatHeader)
                repeatHeader();
        }
    };

    // Column titles given with add-below, and a table's own header, stay
    // with the rows that follow them.
    if ((addBelow || !headerRows.isEmpty()) && !keep.open)
        keep = {true, page().boxes.size(), page().texts.size(), y};
    for (const RowLayout& r : headerRows)
        placeRow(r, headerShade);
    if (!headerRows.isEmpty() && headerHeight <= bodyHeight() / 2)
        repeatHeader = [&] {
            for (const RowLayout& r : headerRows)
                drawChunk(r, 0, r.lines, headerShade);
        };
    for (const auto& cells : parseRows(body, cols.size())) {
        placeRow(layoutRow(m, cols, cells), bodyShade);
        if (!addBelow)
            keep = {};
    }
    if (!addBelow)
        keep = {};
}

} // namespace cvd

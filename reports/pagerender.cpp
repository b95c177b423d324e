#include "reports/pagerender.h"

#include "reports/pagefonts.h"

#include <QPageLayout>
#include <QPaintEngine>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QSaveFile>
#include <cmath>

namespace cvd {

namespace {

constexpr double TwipsPerInch = 1440.0;

// Text lying on a dark box is drawn white, so that it stays readable.
QColor inkFor(const QList<PageBox>& boxes, const QRect& textRect)
{
    const QPoint centre = textRect.center();
    for (qsizetype i = boxes.size() - 1; i >= 0; --i) {
        const PageBox& b = boxes.at(i);
        if (b.rect.contains(centre))
            return 299 * b.shade.red + 587 * b.shade.green + 114 * b.shade.blue < 128000 ? Qt::white : Qt::black;
    }
    return Qt::black;
}

// A line drawn a word at a time, each where it lies in the whole line.  In
// a PDF the blanks are then gaps between words rather than glyphs, which
// the PDF writer would name as tabs in the text that viewers copy out.
void drawWords(QPainter& painter, const PageFontMetrics& m, QPointF at, const QString& text)
{
    const QStringView line(text);
    qsizetype i = 0;
    double x = at.x();
    while (i < line.size()) {
        qsizetype start = i;
        while (start < line.size() && line[start] == u' ')
            ++start;
        x += m.width(line.sliced(i, start - i));
        qsizetype end = start;
        while (end < line.size() && line[end] != u' ')
            ++end;
        if (end > start) {
            const QStringView word = line.sliced(start, end - start);
            painter.drawText(QPointF(x, at.y()), word.toString());
            x += m.width(word);
        }
        i = end;
    }
}

QPageLayout layoutOf(const PageDocument& doc)
{
    const int w = std::min(doc.paperWidth, doc.paperHeight);
    const int h = std::max(doc.paperWidth, doc.paperHeight);
    const QPageSize size(QSizeF(w / TwipsPerInch, h / TwipsPerInch), QPageSize::Inch, QString(), QPageSize::FuzzyMatch);
    return QPageLayout(size, doc.landscape ? QPageLayout::Landscape : QPageLayout::Portrait, QMarginsF(0, 0, 0, 0));
}

// Twips on the painter's device.
void scaleToTwips(QPainter& painter)
{
    painter.resetTransform();
    painter.scale(painter.device()->logicalDpiX() / TwipsPerInch, painter.device()->logicalDpiY() / TwipsPerInch);
}

} // namespace

void drawPage(QPainter& painter, const PageDocument& doc, int index)
{
    if (index < 0 || index >= doc.pages.size())
        return;
    const Page& page = doc.pages.at(index);
    painter.save();
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    for (const PageBox& b : page.boxes)
        painter.fillRect(b.rect, QColor(b.shade.red, b.shade.green, b.shade.blue));
    const bool byWord = painter.paintEngine() && painter.paintEngine()->type() == QPaintEngine::Pdf;
    const PageFontMetrics* current = nullptr;
    QColor ink = Qt::black;
    painter.setPen(ink);
    for (const PageText& t : page.texts) {
        const PageFontMetrics& m = pageFontMetrics(t.font);
        if (&m != current) {
            painter.setFont(m.font());
            current = &m;
        }
        if (!page.boxes.isEmpty()) {
            const QColor want = inkFor(page.boxes, t.rect);
            if (want != ink)
                painter.setPen(ink = want);
        }
        const double w = m.width(t.text);
        double x = t.rect.x();
        const bool overflows = w > t.rect.width() + 1;
        if (!overflows && (t.align & Qt::AlignRight))
            x += t.rect.width() - w;
        else if (!overflows && (t.align & Qt::AlignHCenter))
            x += (t.rect.width() - w) / 2;
        if (overflows) { // only a single character wider than its column
            painter.save();
            painter.setClipRect(t.rect);
        }
        if (byWord)
            drawWords(painter, m, QPointF(x, t.rect.y() + m.ascent()), t.text);
        else
            painter.drawText(QPointF(x, t.rect.y() + m.ascent()), t.text);
        if (overflows)
            painter.restore();
    }
    painter.restore();
}

void paintPage(QImage& image, const PageDocument& doc, int index, double pixelsPerTwip)
{
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.scale(pixelsPerTwip, pixelsPerTwip);
    drawPage(painter, doc, index);
}

QImage renderPage(const PageDocument& doc, int index, double pixelsPerTwip, double devicePixelRatio)
{
    const double k = pixelsPerTwip * devicePixelRatio;
    const QSize size(std::max(1, int(std::lround(doc.paperWidth * k))), std::max(1, int(std::lround(doc.paperHeight * k))));
    QImage image(size, QImage::Format_RGB32);
    image.setDevicePixelRatio(devicePixelRatio);
    paintPage(image, doc, index, pixelsPerTwip);
    return image;
}

void setUpPrinter(const PageDocument& doc, QPrinter& printer)
{
    printer.setFullPage(true);
    const QPageLayout layout = layoutOf(doc);
    printer.setPageSize(layout.pageSize());
    printer.setPageOrientation(layout.orientation());
}

bool printDocument(const PageDocument& doc, QPrinter& printer, const PageProgress& progress)
{
    setUpPrinter(doc, printer);
    const int count = int(doc.pages.size());
    int from = 1, to = count;
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        from = std::max(1, printer.fromPage());
        to = std::min(count, printer.toPage() > 0 ? printer.toPage() : count);
    }
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    for (int i = from; i <= to; ++i) {
        if (i > from)
            printer.newPage();
        scaleToTwips(painter);
        drawPage(painter, doc, i - 1);
        if (progress && !progress(i - from + 1, to - from + 1)) {
            printer.abort();
            break;
        }
    }
    painter.end();
    return true;
}

bool writePdf(const PageDocument& doc, const QString& path, QString* error, const PageProgress& progress)
{
    auto fail = [error](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return fail(file.errorString());
    {
        QPdfWriter writer(&file);
        writer.setCreator(QStringLiteral("Calvedon"));
        writer.setResolution(int(TwipsPerInch));
        writer.setPageLayout(layoutOf(doc));
        QPainter painter;
        if (!painter.begin(&writer)) {
            file.cancelWriting();
            return fail(QStringLiteral("The PDF writer could not be started."));
        }
        const int count = int(doc.pages.size());
        for (int i = 0; i < count; ++i) {
            if (i > 0)
                writer.newPage();
            scaleToTwips(painter);
            drawPage(painter, doc, i);
            if (progress && !progress(i + 1, count)) {
                painter.end();
                file.cancelWriting();
                return fail(QString());
            }
        }
        painter.end();
    }
    if (file.error() != QFileDevice::NoError) {
        const QString why = file.errorString();
        file.cancelWriting();
        return fail(why);
    }
    if (!file.commit())
        return fail(file.errorString());
    return true;
}

} // namespace cvd

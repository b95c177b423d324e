// The page engine and its renderer: page breaks that keep rows whole and
// never touch the footer, a row taller than a page split without losing
// text, wrapping inside cells, alignment, text with CR LF, fonts that
// always draw something, landscape paper, the vertical position, the
// header and footer on every page, the document dump and the PDF.
#include "reports/pageengine.h"
#include "reports/pagefonts.h"
#include "reports/pagerender.h"
#include "reportfixture.h"
#include "pdfreader.h"

#include <QFontDatabase>
#include <QFontInfo>

using namespace cvd;
using namespace cvd::test;

namespace {

const Shade Black{0, 0, 0};
const Shade Grey{200, 200, 200};
const PageFont kTimes{QStringLiteral("Times New Roman"), 11.25};

// The footer's top on a page (the footer text "|Page %d|" must be set).
int footerTop(const Page& p)
{
    for (const PageText& t : p.texts)
        if (t.text.startsWith(QLatin1String("Page ")) && t.rect.y() > 10000)
            return t.rect.y();
    return -1;
}

// Nothing on any page lies over its footer or outside the paper.
void verifyInsideBody(const PageDocument& doc)
{
    const QRect paper(0, 0, doc.paperWidth, doc.paperHeight);
    for (const Page& p : doc.pages) {
        const int foot = footerTop(p);
        QVERIFY2(foot > 0, "a page without its footer");
        for (const PageBox& b : p.boxes)
            QVERIFY2(paper.contains(b.rect) && b.rect.bottom() < foot, "a box over the footer");
        for (const PageText& t : p.texts)
            QVERIFY2(paper.contains(t.rect) && (t.rect.y() == foot || t.rect.bottom() < foot), qPrintable(t.text));
    }
}

// Dark pixels of an image (text drawn on it).
int inkOf(const QImage& image)
{
    int n = 0;
    const QImage img = image.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (qGray(img.pixel(x, y)) < 128)
                ++n;
    return n;
}

// Words "w<row>.<n>" for a cell that wraps to several lines.
QString words(int row, int count)
{
    QStringList w;
    for (int i = 0; i < count; ++i)
        w << QStringLiteral("w%1.%2").arg(row).arg(i);
    return w.join(u' ');
}

} // namespace

class tst_pageengine : public QObject {
    Q_OBJECT

private slots:
    // Rows of one to many lines over many pages, on portrait and landscape
    // paper: each row lies on one page, nothing reaches the footer or the
    // paper's edge, and every page carries the header and footer with its
    // own number, the first page included although the header was set after
    // its first rows.
    void rowsMoveWholeToTheNextPage_data()
    {
        QTest::addColumn<bool>("landscape");
        QTest::addColumn<QString>("format");
        QTest::newRow("portrait") << false << "+1000|+3000;";
        QTest::newRow("landscape") << true << "+1000|+600|+1480|+1480|+1600|+1480|3100|3100;";
    }
    void rowsMoveWholeToTheNextPage()
    {
        QFETCH(bool, landscape);
        QFETCH(QString, format);
        PageEngine e;
        e.setOrientation(landscape ? PageEngine::Landscape : PageEngine::Portrait);
        e.setFooterText(QStringLiteral("|Page %d|"));
        e.BeginDocument();
        const int columns = int(format.count(u'|'));
        e.AddTable(format, {}, QStringLiteral("Row|Text;"), Black, Grey, true);
        e.setHeaderText(QStringLiteral("Left|Middle|Sheet %d"));
        const int rows = 200;
        for (int r = 0; r < rows; ++r)
            e.AddTable(format, {}, QStringLiteral("r%1|").arg(r) + QStringLiteral("x|").repeated(columns - 1)
                                       + words(r, 1 + (r * 7) % 40) + u';');
        e.EndDocument();
        const PageDocument& doc = e.document();
        QCOMPARE(doc.landscape, landscape);
        QCOMPARE(QSize(doc.paperWidth, doc.paperHeight), landscape ? QSize(15840, 12240) : QSize(12240, 15840));
        QVERIFY(doc.pages.size() > 5);
        verifyInsideBody(doc);
        QHash<int, int> pageOfRow;
        int right = 0;
        for (qsizetype i = 0; i < doc.pages.size(); ++i) {
            const QStringList t = textsOf(doc.pages.at(i));
            QVERIFY(t.contains(QStringLiteral("Left")) && t.contains(QStringLiteral("Middle")));
            QVERIFY2(t.contains(QStringLiteral("Sheet %1").arg(i + 1)), qPrintable(t.join(u',')));
            QVERIFY(t.contains(QStringLiteral("Page %1").arg(i + 1)));
            static const QRegularExpression rowOf(QStringLiteral("^[rw](\\d+)"));
            for (const PageText& text : doc.pages.at(i).texts) {
                right = std::max(right, text.rect.right());
                const auto m = rowOf.match(text.text);
                if (!m.hasMatch())
                    continue;
                const int r = m.captured(1).toInt();
                QVERIFY2(pageOfRow.value(r, int(i)) == i, qPrintable(QStringLiteral("row %1 split between pages").arg(r)));
                pageOfRow.insert(r, int(i));
            }
        }
        QCOMPARE(pageOfRow.size(), rows);
        if (landscape)
            QVERIFY(right > 12240); // uses the wide paper
    }

    // A cell of 20,000 words, far taller than a page, goes on over as many
    // pages as it needs; read in order, its lines hold every word once.
    void aRowTallerThanAPageIsSplitWithoutLoss()
    {
        PageEngine e;
        e.setFooterText(QStringLiteral("|Page %d|"));
        e.BeginDocument();
        e.AddText(QStringLiteral("Before\r\n"));
        const QString text = words(7, 20000);
        QVERIFY(text.size() > 100000);
        e.AddTable(QStringLiteral("+1100|+5230|+1000;"), {}, QStringLiteral("date|%1|end;").arg(text), {}, Grey);
        e.EndDocument();
        const PageDocument& doc = e.document();
        QVERIFY(doc.pages.size() > 10);
        verifyInsideBody(doc);
        QStringList lines;
        for (const Page& p : doc.pages)
            for (const PageText& t : p.texts)
                if (t.text.startsWith(QLatin1String("w7."))) {
                    QVERIFY(t.rect.x() >= 720 + 1100 && t.rect.right() < 720 + 1100 + 5230);
                    QVERIFY(pageFontMetrics(t.font).width(t.text) <= t.rect.width());
                    lines << t.text;
                }
        QCOMPARE(lines.join(u' '), text);
        QCOMPARE(textsOf(doc.pages.at(0)).count(QStringLiteral("date")), 1);
        QCOMPARE(textsOf(doc.pages.at(0)).count(QStringLiteral("end")), 1);
    }

    // A cell's text wraps inside its column: each line fits inside the
    // cell's padding and, read in order, the lines give back the text
    // (joined by `glue`); a word wider than the column breaks between
    // characters; CR LF starts a line, an empty one included.
    void cellTextWrapsWithinItsColumn_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("glue");
        QTest::addColumn<int>("minLines");
        QTest::addColumn<QList<int>>("lineNumbers"); // empty: not checked
        QTest::newRow("long text") << words(1, 120) << " " << 11 << QList<int>{};
        QTest::newRow("a word wider than the column") << QString(300, u'x') << "" << 2 << QList<int>{};
        QTest::newRow("CR LF") << "first line\r\nsecond line\r\n\r\nafter a blank" << "\r\n" << 3 << QList<int>{0, 1, 3};
    }
    void cellTextWrapsWithinItsColumn()
    {
        QFETCH(QString, text);
        QFETCH(QString, glue);
        QFETCH(int, minLines);
        QFETCH(QList<int>, lineNumbers);
        PageEngine e;
        e.BeginDocument();
        e.AddTable(QStringLiteral("+1500|+2000|>1500;"), {}, QStringLiteral("left|%1|right;").arg(text));
        const int colLeft = 720 + 1500, colRight = colLeft + 2000;
        QStringList lines;
        QList<int> at;
        int firstY = -1;
        for (const PageText& t : e.document().pages.at(0).texts) {
            if (t.text == u"left" || t.text == u"right")
                continue;
            QVERIFY2(t.rect.x() > colLeft && t.rect.right() < colRight - 1, qPrintable(t.text)); // inside the padding
            QVERIFY2(pageFontMetrics(t.font).width(t.text) <= t.rect.width(), qPrintable(t.text));
            firstY = lines.isEmpty() ? t.rect.y() : firstY;
            lines << t.text;
            at << (t.rect.y() - firstY) / t.rect.height();
        }
        QVERIFY(lines.size() >= minLines);
        QCOMPARE(lines.join(glue), QString(text).replace(QStringLiteral("\r\n\r\n"), QStringLiteral("\r\n")));
        if (!lineNumbers.isEmpty())
            QCOMPARE(at, lineNumbers);
    }

    void aDateTooWideForItsColumnBreaksAfterASlash()
    {
        const PageFontMetrics& m = pageFontMetrics(kTimes);
        QCOMPARE(wrapText(m, u"12/31/2026", m.width(u"12/31/20")), QStringList({"12/31/", "2026"}));
    }

    // A number, an amount or a date wider than its column is never broken:
    // it stays whole on one line inside its cell, with a gap to its
    // neighbours, a hair smaller, or with room from the text column on the
    // side it is not aligned to, or smaller still.
    void figuresStayWhole_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("row");
        QTest::addColumn<double>("smallest"); // of the figures' sizes, as a part of the table's
        QTest::newRow("a date a hair too wide") << "+1000|+3000;" << "11/19/2026|Printer jam" << 0.95;
        QTest::newRow("an amount beside a text") << "+3000|>1140;" << "Total Amount Due:|$999,999,999.99" << 1.0;
        QTest::newRow("a date beside a short text") << "+1000|+600|+3000;" << "12/28/2026|No|Jams" << 1.0;
        QTest::newRow("amounts side by side")
            << "+1100|>1140|>1140|+2000;" << "1/1/2026|$999,999,999.99|$1,234,567.89|Jane Smith" << 0.7;
        QTest::newRow("negative amounts") << ">1140|>1140;" << "($1,234,567.89)|($3.00)" << 0.7;
    }
    void figuresStayWhole()
    {
        QFETCH(QString, format);
        QFETCH(QString, row);
        QFETCH(double, smallest);
        PageEngine e;
        e.BeginDocument();
        e.AddTable(format, {}, row);
        const QList<PageText> texts = e.document().pages.at(0).texts;
        const QStringList cells = row.split(u'|');
        QCOMPARE(textsOf(e.document().pages.at(0)), cells);
        for (qsizetype i = 0; i < texts.size(); ++i) {
            const PageText& t = texts[i];
            QVERIFY2(pageFontMetrics(t.font).width(t.text) <= t.rect.width() + 1, qPrintable(t.text));
            QVERIFY2(t.font.size >= kTimes.size * smallest - 0.01, qPrintable(t.text));
            if (i > 0)
                QVERIFY2(t.rect.left() >= texts[i - 1].rect.right() + 40, qPrintable(t.text)); // a visible gap
        }
    }

    // Cells beyond the format's columns (a "|" typed in a text) go on in
    // the last column rather than being lost.
    void cellsBeyondTheLastColumnStayInIt()
    {
        PageEngine e;
        e.BeginDocument();
        e.AddTable(QStringLiteral("+2000|+3000;"), {}, QStringLiteral("one|two|three|four;"));
        QCOMPARE(textsOf(e.document().pages.at(0)), QStringList({"one", "two|three|four"}));
    }

    // A ">" column puts its text against the column's right edge, in the
    // document and in the drawing.
    void rightAlignedColumnsEndAtTheirRightEdge()
    {
        PageEngine e;
        e.BeginDocument();
        e.AddTable(QStringLiteral("+2000|>3000;"), {}, QStringLiteral("Total|$1,234.56;"));
        e.EndDocument();
        const PageDocument& doc = e.document();
        const PageText amount = doc.pages.at(0).texts.at(1);
        QVERIFY(amount.text == u"$1,234.56" && amount.align == Qt::AlignRight);
        const int colRight = 720 + 2000 + 3000;
        QVERIFY(amount.rect.right() < colRight && amount.rect.right() > colRight - 150);

        const double k = 0.2; // pixels per twip
        const QImage image = renderPage(doc, 0, k);
        int inkLeft = image.width(), inkRight = -1;
        for (int y = int(amount.rect.top() * k); y <= int(amount.rect.bottom() * k); ++y)
            for (int x = int((720 + 2000) * k); x < int(colRight * k) + 5; ++x)
                if (qGray(image.pixel(x, y)) < 128)
                    inkLeft = std::min(inkLeft, x), inkRight = std::max(inkRight, x);
        QVERIFY(inkRight >= 0);
        QVERIFY2(std::abs(inkRight - (amount.rect.right() + 1) * k) <= 3, qPrintable(QString::number(inkRight)));
        QVERIFY(inkLeft > (720 + 2000 + 3000 / 2) * k); // nowhere near the left edge
    }

    // AddText: a CR LF ends the line, text goes on from the left margin in
    // force, a text without a line ending is continued on the same line.
    void addTextEndsLinesAtCrLf()
    {
        PageEngine e;
        e.BeginDocument();
        const int top = e.VerticalPosition();
        const int lh = pageFontMetrics(kTimes).lineHeight();
        e.AddText(QStringLiteral("Company\r\n"));
        e.setLeftMargin(1440);
        e.AddText(QStringLiteral("\r\n"));
        e.AddText(QStringLiteral("Name: "));
        e.AddText(QStringLiteral("Adams\r\nStreet\r\n"));
        QCOMPARE(e.VerticalPosition(), top + 4 * lh);
        const QList<PageText> t = e.document().pages.at(0).texts;
        QCOMPARE(textsOf(e.document().pages.at(0)), QStringList({"Company", "Name:", "Adams", "Street"}));
        QCOMPARE(t.at(0).rect.topLeft(), QPoint(720, top));
        QCOMPARE(t.at(1).rect.topLeft(), QPoint(1440, top + 2 * lh));
        QCOMPARE(t.at(2).rect.y(), top + 2 * lh);
        QVERIFY(t.at(2).rect.x() > t.at(1).rect.right() + 20); // after "Name:" and its blank
        QCOMPARE(t.at(3).rect.topLeft(), QPoint(1440, top + 3 * lh));
    }

    void fontsApplyToLaterText()
    {
        PageEngine e;
        e.BeginDocument();
        e.AddText(QStringLiteral("body\r\n"));
        e.setFontName(QStringLiteral("Arial"));
        e.setFontSize(18);
        e.setFontBold(true);
        e.setFontItalic(true);
        const int before = e.VerticalPosition();
        e.AddText(QStringLiteral("Heading\r\n"));
        const PageFont big{QStringLiteral("Arial"), 18, true, true};
        QCOMPARE(e.VerticalPosition() - before, pageFontMetrics(big).lineHeight());
        QVERIFY(pageFontMetrics(big).lineHeight() > 18 * 20);
        QCOMPARE(e.document().pages.at(0).texts.at(0).font, kTimes);
        QCOMPARE(e.document().pages.at(0).texts.at(1).font, big);
        const QFontInfo drawn(pageFontMetrics(big).font());
        QVERIFY(drawn.italic() && drawn.bold());
    }

    void verticalPositionIsReadAndWritten()
    {
        PageEngine e;
        e.setFooterText(QStringLiteral("|Page %d|"));
        e.BeginDocument();
        e.setVerticalPosition(6000);
        e.AddTable(QStringLiteral("+2000;"), {}, QStringLiteral("row;"));
        const PageText row = e.document().pages.at(0).texts.last();
        QVERIFY(row.rect.y() > 6000 && row.rect.y() < 6100);
        const int after = e.VerticalPosition();
        QVERIFY(after > row.rect.bottom());
        e.setVerticalPosition(after + 80);
        e.AddText(QStringLiteral("text"));
        QCOMPARE(e.document().pages.at(0).texts.last().rect.y(), after + 80);
        // Past the foot of the body: the next output starts a page.
        e.setVerticalPosition(e.PaperHeight());
        e.AddTable(QStringLiteral("+2000;"), {}, QStringLiteral("next;"));
        e.EndDocument();
        QCOMPARE(e.PageCount(), 2);
        QCOMPARE(textsOf(e.document().pages.at(1)).first(), QStringLiteral("next"));
        verifyInsideBody(e.document());
    }

    // Column titles given with add-below do not stay alone at the foot of
    // a page: they move on with the row that follows them.
    void titlesMoveOnWithTheRowAfterThem()
    {
        PageEngine e;
        e.setFooterText(QStringLiteral("|Page %d|"));
        e.BeginDocument();
        const int top = e.VerticalPosition();
        e.AddTable(QStringLiteral("+2000;"), {}, QStringLiteral("probe;"));
        const int rowHeight = e.VerticalPosition() - top;
        e.setVerticalPosition(e.PaperHeight());
        e.setVerticalPosition(e.VerticalPosition() - rowHeight - 10); // room for one row
        e.AddTable(QStringLiteral("+2000|+2000;"), {}, QStringLiteral("Title|Other;"), Black, Grey, true);
        QCOMPARE(e.PageCount(), 1);
        e.AddTable(QStringLiteral("+2000|+2000;"), {}, QStringLiteral("first|row;"));
        e.EndDocument();
        const PageDocument& doc = e.document();
        QCOMPARE(doc.pages.size(), 2);
        QVERIFY(doc.pages.at(0).boxes.isEmpty());
        QVERIFY(!textsOf(doc.pages.at(0)).contains(QStringLiteral("Title")));
        const Page& p = doc.pages.at(1);
        QCOMPARE(p.boxes.size(), 1);
        QCOMPARE(p.boxes.at(0).rect.y(), top);
        QCOMPARE(textsOf(p).mid(0, 4), QStringList({"Title", "Other", "first", "row"}));
        verifyInsideBody(doc);
    }

    // Rows given with add-below but no shade are plain rows: a page break
    // takes none of the rows before it along.
    void unshadedRowsAddedBelowBreakAsAnyOther()
    {
        auto pagesFor = [](bool addBelow) {
            PageEngine e;
            e.BeginDocument();
            for (int r = 0; r < 400; ++r)
                e.AddTable(QStringLiteral("+2000;"), {}, QStringLiteral("row %1;").arg(r), {}, {}, addBelow);
            e.EndDocument();
            QList<int> rowsPerPage;
            for (const Page& p : e.document().pages)
                rowsPerPage << int(p.texts.size());
            return rowsPerPage;
        };
        QCOMPARE(pagesFor(true), pagesFor(false));
    }

    // A font name that is not installed (or none) and a size that makes no
    // sense still give visible text, in a font that is installed.
    void fontsAlwaysResolveToVisibleText_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<double>("size");
        QTest::newRow("unknown name") << QStringLiteral("No Such Font 4711") << 12.0;
        QTest::newRow("empty name") << QString() << 11.25;
        QTest::newRow("size 0") << QStringLiteral("Times New Roman") << 0.0;
        QTest::newRow("negative size") << QStringLiteral("Arial") << -8.0;
        QTest::newRow("absurd size") << QStringLiteral("Arial") << 1e9;
    }
    void fontsAlwaysResolveToVisibleText()
    {
        QFETCH(QString, name);
        QFETCH(double, size);
        PageEngine e;
        e.BeginDocument();
        e.setFontName(name);
        e.setFontSize(size);
        e.AddText(QStringLiteral("Visible text"));
        const PageText t = e.document().pages.at(0).texts.at(0);
        QCOMPARE(t.font.name, name); // the document keeps the name asked for
        QVERIFY(t.font.size >= 4 && t.font.size <= 144);
        const QString family = QFontInfo(pageFontMetrics(t.font).font()).family();
        QVERIFY2(QFontDatabase::families().contains(family), qPrintable(family));
        QVERIFY(inkOf(renderPage(e.document(), 0, 0.1)) > 50);
    }

    void timesNewRomanIsDrawnInAMetricCompatibleSerif()
    {
        if (QFontDatabase::families().contains(QStringLiteral("Times New Roman")))
            QSKIP("Times New Roman itself is installed");
        if (!QFontDatabase::families().contains(QStringLiteral("Liberation Serif")))
            QSKIP("fonts-liberation2 is not installed");
        QCOMPARE(resolvedFamily(QStringLiteral("Times New Roman")), QStringLiteral("Liberation Serif"));
        QCOMPARE(resolvedFamily(QStringLiteral("times new roman")), QStringLiteral("Liberation Serif"));
        QCOMPARE(QFontInfo(pageFontMetrics(kTimes).font()).family(), QStringLiteral("Liberation Serif"));
        QCOMPARE(resolvedFamily(QStringLiteral("Arial")), QStringLiteral("Liberation Sans"));
    }

    // The dump behind the golden files (which show its lines) writes a
    // text's quotes, backslashes and control characters escaped.
    void dumpEscapesTexts()
    {
        PageDocument doc;
        doc.pages.append(Page{{}, {PageText{QRect(1, 2, 3, 4), QStringLiteral("Say \"hi\" back\\slash\r\nb\x01"),
                                            PageFont{QStringLiteral("X"), 9, false, true}, Qt::AlignHCenter}}});
        QCOMPARE(dumpDocument(doc), QStringLiteral("paper 12240x15840 portrait, 1 page\npage 1\n  text 1,2 3x4 centre \"X\" 9 "
                                                   "italic \"Say \\\"hi\\\" back\\\\slash\\r\\nb\\x01\"\n"));
    }

    void pdfHoldsEveryPageAndItsText()
    {
        PageEngine e;
        e.setOrientation(PageEngine::Landscape);
        e.setFooterText(QStringLiteral("|Page %d|"));
        e.BeginDocument();
        e.AddTable(QStringLiteral("+1100|+3000;"), {}, QStringLiteral("Req. Date|Request;"), Black, Grey, true);
        for (int r = 0; r < 120; ++r)
            e.AddTable(QStringLiteral("+1100|+3000;"), {}, QStringLiteral("r%1|%2;").arg(r).arg(words(r, 8)));
        e.EndDocument();
        QVERIFY(e.PageCount() > 2);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("report.pdf"));
        QString error;
        QVERIFY2(writePdf(e.document(), path, &error), qPrintable(error));
        const PdfReader pdf(fileBytes(path));
        QCOMPARE(pdf.pageCount(), e.PageCount());
        QCOMPARE(pdf.pageSize(0), QSizeF(792, 612)); // landscape
        QVERIFY(pdf.pageText(0).startsWith(QStringLiteral("Req.DateRequestr0w0.0w0.1")));
        QVERIFY(pdf.pageText(1).contains(QStringLiteral("Page2")));
        QVERIFY(pdf.text().contains(QStringLiteral("r119w119.0w119.1")));
        // Copied out of a viewer, the blanks between words are not tabs.
        QVERIFY(!pdf.pageText(0, true).contains(u'\t'));
    }

    // The PDF is put in place only when complete: a failed or stopped
    // write leaves the earlier file as it was.
    void aFailedPdfLeavesTheEarlierFile()
    {
        PageEngine e;
        e.BeginDocument();
        e.AddText(QStringLiteral("new\r\n"));
        e.NewPage();
        e.EndDocument();
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("report.pdf"));
        QVERIFY(writeFile(path, "earlier"));
        QString error = QStringLiteral("unchanged");
        QVERIFY(!writePdf(e.document(), path, &error, [](int done, int) { return done < 2; }));
        QVERIFY(error.isEmpty()); // stopped, not failed
        QCOMPARE(fileBytes(path), QByteArray("earlier"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("report.pdf")});

        QVERIFY(writeFile(dir.filePath(QStringLiteral("afile")), "x"));
        QVERIFY(!writePdf(e.document(), dir.filePath(QStringLiteral("afile/report.pdf")), &error));
        QVERIFY(!error.isEmpty());
    }
};

QTEST_MAIN(tst_pageengine)
#include "tst_pageengine.moc"

// The page engine and its renderer: page breaks that keep rows whole and
// never touch the footer, a row taller than a page split without losing
// text, wrapping inside cells, alignment, text with CR LF, fonts that
// always draw something, landscape paper, the vertical position, the
// header and footer on every page, the document dump and the PDF.
#include "reports/pageengine.h"
#include "reports/pagefonts.h"
#include "reports/pagerender.h"
#include "support/testfiles.h"
#include "pdfreader.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QTemporaryDir>
#include <QtTest>

using namespace cvd;
using namespace cvd::test;

namespace {

const Shade Black{0, 0, 0};
const Shade Grey{200, 200, 200};

QStringList textsOf(const Page& p)
{
    QStringList out;
    for (const PageText& t : p.texts)
        out << t.text;
    return out;
}

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
    for (qsizetype i = 0; i < doc.pages.size(); ++i) {
        const Page& p = doc.pages.at(i);
        const int foot = footerTop(p);
        QVERIFY2(foot > 0, qPrintable(QStringLiteral("page %1 has no footer").arg(i + 1)));
        const QRect paper(0, 0, doc.paperWidth, doc.paperHeight);
        for (const PageBox& b : p.boxes) {
            QVERIFY(paper.contains(b.rect));
            QVERIFY2(b.rect.bottom() < foot, qPrintable(QStringLiteral("a box over the footer on page %1").arg(i + 1)));
        }
        for (const PageText& t : p.texts) {
            QVERIFY(paper.contains(t.rect));
            if (t.rect.y() != foot)
                QVERIFY2(t.rect.bottom() < foot, qPrintable(QStringLiteral("\"%1\" over the footer on page %2").arg(t.text).arg(i + 1)));
        }
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
    void startsWithTheDocumentedSettings()
    {
        PageEngine e;
        QCOMPARE(e.FontName(), QStringLiteral("Times New Roman"));
        QCOMPARE(e.FontSize(), 11.25);
        QVERIFY(!e.FontBold() && !e.FontItalic());
        QCOMPARE(e.LeftMargin(), 720);
        QCOMPARE(e.PaperWidth(), 12240);
        QCOMPARE(e.PaperHeight(), 15840);
        e.BeginDocument();
        QCOMPARE(e.PageCount(), 1);
        e.AddText(QStringLiteral("x"));
        const PageText t = e.document().pages.at(0).texts.at(0);
        QCOMPARE(t.rect.x(), 720);
        QCOMPARE(t.font, (PageFont{QStringLiteral("Times New Roman"), 11.25, false, false}));
    }

    // Rows of one to six lines over many pages: each row lies on one page,
    // nothing reaches the footer, and every page carries the header and
    // footer with its own number, the first page included although the
    // header was set after its first rows.
    void rowsMoveWholeToTheNextPage()
    {
        PageEngine e;
        e.setFooterText(QStringLiteral("|Page %d|"));
        e.BeginDocument();
        e.AddTable(QStringLiteral("+1000|+3000;"), {}, QStringLiteral("Row|Text;"), Black, Grey, true);
        e.setHeaderText(QStringLiteral("Left|Middle|Sheet %d"));
        const int rows = 300;
        for (int r = 0; r < rows; ++r)
            e.AddTable(QStringLiteral("+1000|+3000;"), {}, QStringLiteral("r%1|%2;").arg(r).arg(words(r, 1 + (r * 7) % 40)));
        e.EndDocument();
        const PageDocument& doc = e.document();
        QVERIFY(doc.pages.size() > 5);
        verifyInsideBody(doc);

        QHash<int, int> pageOfRow;
        for (qsizetype i = 0; i < doc.pages.size(); ++i) {
            const Page& p = doc.pages.at(i);
            const QStringList t = textsOf(p);
            QVERIFY(t.contains(QStringLiteral("Left")));
            QVERIFY(t.contains(QStringLiteral("Middle")));
            QVERIFY2(t.contains(QStringLiteral("Sheet %1").arg(i + 1)), qPrintable(t.join(u',')));
            QVERIFY(t.contains(QStringLiteral("Page %1").arg(i + 1)));
            static const QRegularExpression rowOf(QStringLiteral("^[rw](\\d+)"));
            for (const QString& s : t) {
                const auto m = rowOf.match(s);
                if (!m.hasMatch())
                    continue;
                const int r = m.captured(1).toInt();
                QVERIFY2(pageOfRow.value(r, int(i)) == i, qPrintable(QStringLiteral("row %1 split between pages").arg(r)));
                pageOfRow.insert(r, int(i));
            }
        }
        QCOMPARE(pageOfRow.size(), rows);
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

    // A cell's lines: each fits inside the cell's padding; read in order
    // they give back the text (joined by `glue`); their line numbers.
    static QStringList cellLines(const QString& text, QList<int>* lineNumbers = nullptr)
    {
        PageEngine e;
        e.BeginDocument();
        e.AddTable(QStringLiteral("+1500|+2000|>1500;"), {}, QStringLiteral("left|%1|right;").arg(text));
        e.EndDocument();
        const Page& p = e.document().pages.at(0);
        const int colLeft = 720 + 1500, colRight = colLeft + 2000;
        QStringList lines;
        int firstY = -1;
        for (const PageText& t : p.texts) {
            if (t.text == QLatin1String("left") || t.text == QLatin1String("right"))
                continue;
            if (!(t.rect.x() > colLeft && t.rect.right() < colRight - 1)) // inside the padding
                return {QStringLiteral("outside the column: ") + t.text};
            if (pageFontMetrics(t.font).width(t.text) > t.rect.width())
                return {QStringLiteral("wider than the column: ") + t.text};
            if (firstY < 0)
                firstY = t.rect.y();
            if (lineNumbers)
                *lineNumbers << (t.rect.y() - firstY) / t.rect.height();
            lines << t.text;
        }
        return lines;
    }

    void longCellTextWrapsWithinItsColumn()
    {
        const QString text = words(1, 120);
        const QStringList lines = cellLines(text);
        QVERIFY(lines.size() > 10);
        QCOMPARE(lines.join(u' '), text);
    }

    void aWordWiderThanItsColumnBreaksBetweenCharacters()
    {
        const QString text = QStringLiteral("x").repeated(300);
        const QStringList lines = cellLines(text);
        QVERIFY(lines.size() > 1);
        QCOMPARE(lines.join(QString()), text);
    }

    void aDateTooWideForItsColumnBreaksAfterASlash()
    {
        const PageFontMetrics& m = pageFontMetrics(PageFont{QStringLiteral("Times New Roman"), 11.25});
        const double width = m.width(u"12/31/20");
        QCOMPARE(wrapText(m, u"12/31/2026", width), (QStringList{QStringLiteral("12/31/"), QStringLiteral("2026")}));
    }

    void crLfInACellKeepsItsLines()
    {
        QList<int> at;
        const QStringList lines = cellLines(QStringLiteral("first line\r\nsecond line\r\n\r\nafter a blank"), &at);
        QCOMPARE(lines, (QStringList{QStringLiteral("first line"), QStringLiteral("second line"), QStringLiteral("after a blank")}));
        QCOMPARE(at, (QList<int>{0, 1, 3}));
    }

    // Cells beyond the format's columns (a "|" typed in a text) go on in
    // the last column rather than being lost.
    void cellsBeyondTheLastColumnStayInIt()
    {
        PageEngine e;
        e.BeginDocument();
        e.AddTable(QStringLiteral("+2000|+3000;"), {}, QStringLiteral("one|two|three|four;"));
        QCOMPARE(textsOf(e.document().pages.at(0)), (QStringList{QStringLiteral("one"), QStringLiteral("two|three|four")}));
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
        QCOMPARE(amount.text, QStringLiteral("$1,234.56"));
        QCOMPARE(amount.align, Qt::AlignRight);
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
        const int lh = pageFontMetrics(PageFont{QStringLiteral("Times New Roman"), 11.25, false, false}).lineHeight();
        e.AddText(QStringLiteral("Company\r\n"));
        e.setLeftMargin(1440);
        e.AddText(QStringLiteral("\r\n"));
        e.AddText(QStringLiteral("Name: "));
        e.AddText(QStringLiteral("Adams\r\nStreet\r\n"));
        QCOMPARE(e.VerticalPosition(), top + 4 * lh);
        const QList<PageText> t = e.document().pages.at(0).texts;
        QCOMPARE(textsOf(e.document().pages.at(0)),
                 (QStringList{QStringLiteral("Company"), QStringLiteral("Name:"), QStringLiteral("Adams"), QStringLiteral("Street")}));
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
        const QList<PageText> t = e.document().pages.at(0).texts;
        QCOMPARE(t.at(0).font.name, QStringLiteral("Times New Roman"));
        QCOMPARE(t.at(1).font, big);
        QCOMPARE(QFontInfo(pageFontMetrics(big).font()).italic(), true);
        QCOMPARE(QFontInfo(pageFontMetrics(big).font()).bold(), true);
    }

    void verticalPositionIsReadAndWritten()
    {
        PageEngine e;
        e.setFooterText(QStringLiteral("|Page %d|"));
        e.BeginDocument();
        e.setVerticalPosition(6000);
        QCOMPARE(e.VerticalPosition(), 6000);
        e.AddTable(QStringLiteral("+2000;"), {}, QStringLiteral("row;"));
        const PageText row = e.document().pages.at(0).texts.last();
        QVERIFY(row.rect.y() > 6000 && row.rect.y() < 6100);
        const int after = e.VerticalPosition();
        QVERIFY(after > row.rect.bottom());
        e.setVerticalPosition(after + 80);
        QCOMPARE(e.VerticalPosition(), after + 80);
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

    void landscapeTurnsThePaper()
    {
        PageEngine e;
        e.setOrientation(PageEngine::Landscape);
        QCOMPARE(e.PaperWidth(), 15840);
        QCOMPARE(e.PaperHeight(), 12240);
        e.setFooterText(QStringLiteral("|Page %d|"));
        e.BeginDocument();
        for (int i = 0; i < 60; ++i)
            e.AddTable(QStringLiteral("+1000|+600|+1480|+1480|+1600|+1480|3100|3100;"), {},
                       QStringLiteral("3/5/2026|Yes|John Smith|Sales|Printers|Mary Jones|%1|%2;").arg(words(i, 30), words(i, 12)));
        e.EndDocument();
        const PageDocument& doc = e.document();
        QVERIFY(doc.landscape);
        QCOMPARE(QSize(doc.paperWidth, doc.paperHeight), QSize(15840, 12240));
        QVERIFY(doc.pages.size() > 1);
        verifyInsideBody(doc);
        int right = 0;
        for (const PageText& t : doc.pages.at(0).texts)
            right = std::max(right, t.rect.right());
        QVERIFY(right > 12240 && right < 15840 - 720); // uses the wide paper, within its margin
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
        const int bottom = e.VerticalPosition();
        e.setVerticalPosition(bottom - rowHeight - 10); // room for one row
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
        QCOMPARE(textsOf(p).mid(0, 4), (QStringList{QStringLiteral("Title"), QStringLiteral("Other"), QStringLiteral("first"), QStringLiteral("row")}));
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
        QCOMPARE(QFontInfo(pageFontMetrics(PageFont{QStringLiteral("Times New Roman"), 11.25}).font()).family(),
                 QStringLiteral("Liberation Serif"));
        QCOMPARE(resolvedFamily(QStringLiteral("Arial")), QStringLiteral("Liberation Sans"));
    }

    void dumpShowsEveryBoxAndText()
    {
        PageEngine e;
        e.setFooterText(QStringLiteral("|Page %d|"));
        e.BeginDocument();
        e.AddTable(QStringLiteral("+1000|>2000;"), {}, QStringLiteral("Say \"hi\"|back\\slash\t;"), Black, Grey, true);
        e.EndDocument();
        const int lh = pageFontMetrics(PageFont{QStringLiteral("Times New Roman"), 11.25}).lineHeight();
        const int hh = pageFontMetrics(PageFont{QStringLiteral("Times New Roman"), 14.25, true}).lineHeight();
        const int top = 720 + hh + 180;
        const QString expected = QStringLiteral(
            "paper 12240x15840 portrait, 1 page\n"
            "page 1\n"
            "  box 720,%1 3000x%2 rgb(200,200,200)\n"
            "  text 760,%3 920x%4 left \"Times New Roman\" 11.25 regular \"Say \\\"hi\\\"\"\n"
            "  text 1760,%3 1920x%4 right \"Times New Roman\" 11.25 regular \"back\\\\slash\"\n"
            "  text 720,%5 10800x%6 centre \"Times New Roman\" 14.25 bold \"Page 1\"\n")
                                     .arg(top).arg(lh + 60).arg(top + 30).arg(lh).arg(15840 - 720 - hh).arg(hh);
        QCOMPARE(dumpDocument(e.document()), expected);
        PageDocument escaped;
        escaped.pages.append(Page{{}, {PageText{QRect(1, 2, 3, 4), QStringLiteral("a\r\nb\x01"), PageFont{QStringLiteral("X"), 9, false, true}, Qt::AlignHCenter}}});
        QVERIFY(dumpDocument(escaped).contains(QStringLiteral("text 1,2 3x4 centre \"X\" 9 italic \"a\\r\\nb\\x01\"")));
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
        QVERIFY(pdf.pageSize(0).width() > pdf.pageSize(0).height()); // landscape
        QCOMPARE(pdf.pageSize(0), QSizeF(792, 612));
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

// The page engine and its renderer: page breaks that keep rows whole and
// never touch the footer, a row taller than a page split without losing
// text, wrapping inside cells, landscape paper, the header and footer on
// every page (cut short with an ellipsis).  What a report's pages hold (its
// widest figures whole in their cells, its fonts) shows in the golden
// files; the PDF and printing in tst_preview.
#include "reports/pageengine.h"
#include "reports/pagefonts.h"
#include "reportfixture.h"

using namespace cvd;
using namespace cvd::test;

namespace {

// Nothing on any page lies over its footer ("|Page %d|") or outside the paper.
void verifyInsideBody(const PageDocument& doc)
{
    const QRect paper(0, 0, doc.paperWidth, doc.paperHeight);
    for (const Page& p : doc.pages) {
        int foot = -1;
        for (const PageText& t : p.texts)
            foot = t.text.startsWith(QLatin1String("Page ")) && t.rect.y() > 10000 ? t.rect.y() : foot;
        QVERIFY2(foot > 0, "a page without its footer");
        for (const PageBox& b : p.boxes)
            QVERIFY2(paper.contains(b.rect) && b.rect.bottom() < foot, "a box over the footer");
        for (const PageText& t : p.texts)
            QVERIFY2(paper.contains(t.rect) && (t.rect.y() == foot || t.rect.bottom() < foot), qPrintable(t.text));
    }
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
        e.AddTable(format, {}, QStringLiteral("Row|Text;"), TableHeaderShade, TableBodyShade, true);
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
        for (qsizetype i = 0; i < doc.pages.size(); ++i) {
            const QStringList t = textsOf(doc.pages.at(i));
            QVERIFY2(t.contains(QStringLiteral("Left")) && t.contains(QStringLiteral("Sheet %1").arg(i + 1))
                         && t.contains(QStringLiteral("Page %1").arg(i + 1)), qPrintable(t.join(u',')));
            static const QRegularExpression rowOf(QStringLiteral("^[rw](\\d+)"));
            for (const PageText& text : doc.pages.at(i).texts) {
                const auto m = rowOf.match(text.text);
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
        e.AddTable(QStringLiteral("+1100|+5230|+1000;"), {}, QStringLiteral("date|%1|end;").arg(text), {}, TableBodyShade);
        e.EndDocument();
        const PageDocument& doc = e.document();
        QVERIFY(doc.pages.size() > 10);
        verifyInsideBody(doc);
        QStringList lines;
        for (const Page& p : doc.pages)
            for (const PageText& t : p.texts)
                if (t.text.startsWith(QLatin1String("w7.")))
                    lines << t.text;
        QCOMPARE(lines.join(u' '), text);
        QVERIFY(textsOf(doc.pages.at(0)).contains(QStringLiteral("end")));
    }

    // A cell's text wraps inside its column: each line fits inside the
    // cell's padding, one under the other, and, read in order, the lines give
    // back the text (joined by `glue`); a word wider than the column breaks
    // between characters; CR LF starts a line, an empty one included.
    void cellTextWrapsWithinItsColumn_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("glue");
        QTest::addColumn<QList<int>>("lineNumbers"); // of the first lines
        QTest::newRow("long text") << words(1, 120) << " " << QList<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
        QTest::newRow("a word wider than the column") << QString(300, u'x') << "" << QList<int>{0, 1};
        QTest::newRow("CR LF") << "first line\r\nsecond line\r\n\r\nafter a blank" << "\r\n" << QList<int>{0, 1, 3};
    }
    void cellTextWrapsWithinItsColumn()
    {
        QFETCH(QString, text);
        QFETCH(QString, glue);
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
        QCOMPARE(lines.join(glue), QString(text).replace(QStringLiteral("\r\n\r\n"), QStringLiteral("\r\n")));
        QCOMPARE(at.mid(0, lineNumbers.size()), lineNumbers);
    }

    // A header part wider than the page is cut short with an ellipsis,
    // keeping as much of its beginning as fits inside the margins.
    void aHeaderWiderThanThePageEndsInAnEllipsis()
    {
        PageEngine e;
        e.setHeaderText(words(1, 80) + QStringLiteral("||"));
        e.BeginDocument();
        e.EndDocument();
        const PageText t = e.document().pages.at(0).texts.at(0);
        QVERIFY2(t.text.endsWith(QChar(0x2026)) && words(1, 80).startsWith(t.text.chopped(1).trimmed()), qPrintable(t.text));
        const double drawn = pageFontMetrics(t.font).width(t.text);
        QVERIFY(drawn <= t.rect.width() && drawn > t.rect.width() - 600);
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
        e.AddTable(QStringLiteral("+2000|+2000;"), {}, QStringLiteral("Title|Other;"), TableHeaderShade, TableBodyShade, true);
        e.AddTable(QStringLiteral("+2000|+2000;"), {}, QStringLiteral("first|row;"));
        e.EndDocument();
        const PageDocument& doc = e.document();
        QCOMPARE(doc.pages.size(), 2);
        QVERIFY(doc.pages.at(0).boxes.isEmpty() && !textsOf(doc.pages.at(0)).contains(QStringLiteral("Title")));
        QCOMPARE(doc.pages.at(1).boxes.size(), 1);
        QCOMPARE(doc.pages.at(1).boxes.at(0).rect.y(), top);
        QCOMPARE(textsOf(doc.pages.at(1)).mid(0, 4), QStringList({"Title", "Other", "first", "row"}));
    }
};

QTEST_MAIN(tst_pageengine)
#include "tst_pageengine.moc"

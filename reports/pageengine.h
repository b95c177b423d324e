#pragma once
// The page engine: a report composes its document once, with the operations
// below, into device-independent pages (text runs and shaded boxes placed in
// twips, 1440 to the inch).  That one document is then drawn to the preview
// at any zoom, to a printer and to PDF (pagerender.h), so all three show the
// same pages.
//
//   PageEngine e;
//   e.setOrientation(PageEngine::Landscape);
//   e.setFooterText(QStringLiteral("|Page %d|"));
//   e.BeginDocument();
//   e.AddTable(QStringLiteral("+1100|>1140;"), {}, QStringLiteral("Date|Amount;"),
//              TableHeaderShade, TableBodyShade, true);
//   e.AddTable(QStringLiteral("+1100|>1140;"), {}, QStringLiteral("3/5/2026|$50.00;"));
//   e.EndDocument();
//   const PageDocument& doc = e.document();
//
// Lengths are twips.  At the start: body font Times New Roman 11.25 pt,
// header and footer font Times New Roman 14.25 pt bold, margins 720 twips,
// Letter paper (12240 x 15840) in portrait.
#include "reports/pagedocument.h"

#include <QString>
#include <memory>
#include <optional>

namespace cvd {

class PageEngine {
public:
    enum Orientation { Portrait = 0, Landscape = 1 };

    PageEngine();
    ~PageEngine();
    PageEngine(const PageEngine&) = delete;
    PageEngine& operator=(const PageEngine&) = delete;

    // Set before BeginDocument.
    void setOrientation(int orientation);
    int orientation() const;
    // The paper in the orientation in force.
    int PaperWidth() const;
    int PaperHeight() const;

    // Starts page 1 of a new document, replacing any previous one.
    void BeginDocument();
    // Closes the last page; the page count is final and the header and
    // footer are put on every page.
    void EndDocument();

    // Table format: column specs separated by "|", ended by ";"; a spec is
    // an optional mark (">" right-aligned, "+" or none left-aligned) and the
    // width in twips.  Table text: cells separated by "|", rows ended by
    // ";" (a body without a final ";" is one row); a cell's own "|" and ";"
    // are given as the stand-ins of reports/tabletext.h and shown as typed.
    // Rows are laid out below the current output, moving to the next page
    // whole when they do not fit (a row taller than a page is split); a
    // cell's text wider than its column wraps inside the cell.  Shades
    // colour the rows' background.
    void AddTable(const QString& format, const QString& header, const QString& body,
                  std::optional<Shade> headerShade = {}, std::optional<Shade> bodyShade = {}, bool addBelow = false);

    // Left, centre and right parts separated by "|" (a part's own "|" and
    // ";" as in table text); "%d" is the page number.  Put on every page,
    // the first included, when set before EndDocument.
    void setHeaderText(const QString& text);
    void setFooterText(const QString& text);

    // Text at the current position in the current font; CR LF ends a line.
    void AddText(const QString& text);
    void NewPage();

    // Apply to later text.  A font that is not installed resolves to one
    // that is (Times New Roman to a metric-compatible serif), never to none.
    void setFontName(const QString& name);
    void setFontSize(double points);
    void setFontBold(bool bold);
    void setFontItalic(bool italic);
    QString FontName() const;
    double FontSize() const;
    bool FontBold() const;
    bool FontItalic() const;

    void setLeftMargin(int twips);
    int LeftMargin() const;

    // Where the next output starts, from the top of the page.
    int VerticalPosition() const;
    void setVerticalPosition(int twips);

    // Pages so far, the current page included.
    int PageCount() const;

    // The composed document (complete after EndDocument).
    const PageDocument& document() const;
    // Takes the document away, leaving an empty one.
    PageDocument takeDocument();

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace cvd

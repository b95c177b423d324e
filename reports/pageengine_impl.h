#pragma once
// The inside of the page engine, shared by its two source files:
//   reports/pageengine.cpp  settings, pages, header and footer, text
//   reports/pagetable.cpp   tables
#include "reports/pageengine.h"
#include "reports/pagefonts.h"

#include <QHash>
#include <QStringList>

namespace cvd {

struct PageEngine::Impl {
    static constexpr int Margin = 720;
    static constexpr int LetterWidth = 12240;
    static constexpr int LetterHeight = 15840;
    // Space between the header line and the body, and the body and the footer.
    static constexpr int BandGap = 180;
    // Room kept on every page for the texts of the header and footer.
    static constexpr int BandTexts = 6;
    // Above and below the text of a table row.
    static constexpr int CellPadY = 30;

    int orientation = Portrait;
    PageFont font{QStringLiteral("Times New Roman"), 11.25, false, false};
    PageFont headerFont{QStringLiteral("Times New Roman"), 14.25, true, false};
    int leftMargin = Margin;
    QString headerText;
    QString footerText;

    PageDocument doc;
    bool begun = false;
    int decorated = 0; // pages that already carry the header and footer

    // The body of every page lies between these (twips from the paper's edges).
    int bodyTop = 0;
    int bodyBottom = 0;
    int bodyRight = 0;

    // The output position: the top of the current line, and where text
    // goes on on it; lineHeight is the tallest text on the line so far
    // (0 while the line is empty).
    int y = 0;
    int x = 0;
    int lineHeight = 0;

    // Column titles (tables added below with a shade) stay with the row
    // that follows them: they lie on the current page from these indices
    // and this height on, and move to the next page with that row.
    struct Keep {
        bool open = false;
        qsizetype boxes = 0;
        qsizetype texts = 0;
        int top = 0;
    } keep;

    // Short texts that repeat (dates, names, Yes and No) share one copy.
    QHash<QString, QString> shared;
    QString shareText(QStringView text);

    Page& page() { return doc.pages.last(); }
    int paperWidth() const { return orientation == Landscape ? LetterHeight : LetterWidth; }
    int paperHeight() const { return orientation == Landscape ? LetterWidth : LetterHeight; }
    // Where text and tables start: the left margin, kept on the paper.
    int left() const;
    int bodyHeight() const { return bodyBottom - bodyTop; }

    void begin();
    void ensureBegun();
    void end();
    void newPage();
    // Starts a new page for output that does not fit, taking the titles
    // kept with that output along.  Returns whether titles moved.
    bool breakPage();
    // Ends the current line of text, if it has any.
    void finishLine();
    void addText(const QString& text);
    void placeTextRun(const QString& run);
    void decorate(int pageIndex);

    void addTable(const QString& format, const QString& header, const QString& body,
                  std::optional<Shade> headerShade, std::optional<Shade> bodyShade, bool addBelow);
};

} // namespace cvd

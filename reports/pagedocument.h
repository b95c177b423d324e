#pragma once
// A composed report: device-independent pages of text runs and shaded boxes,
// each placed in twips from the page's top-left corner.  The page engine
// writes it; the renderer draws it; dumpDocument() writes it as text so
// that a change of layout shows in a review of the golden files.
#include <QList>
#include <QRect>
#include <QString>

namespace cvd {

struct PageFont {
    QString name;       // as the report asked for it ("Times New Roman")
    double size = 11.25; // points
    bool bold = false;
    bool italic = false;
    friend bool operator==(const PageFont&, const PageFont&) = default;
};

// One line of text; `rect` is the box it is aligned in (its height one line).
struct PageText {
    QRect rect;
    QString text;
    PageFont font;
    Qt::Alignment align = Qt::AlignLeft;
};

// A colour of a shaded box: red, green and blue, 0 to 255 each.
struct Shade {
    int red = 0, green = 0, blue = 0;
    friend bool operator==(const Shade&, const Shade&) = default;
};

// The shades of a report's column titles: the titles' rows on a grey band
// under a black rule.
inline constexpr Shade TableHeaderShade{0, 0, 0};
inline constexpr Shade TableBodyShade{200, 200, 200};

// A filled rectangle (table row shading, rules).
struct PageBox {
    QRect rect;
    Shade shade;
};

} // namespace cvd

// Moved in memory as a block when the page lists grow.
Q_DECLARE_TYPEINFO(cvd::PageFont, Q_RELOCATABLE_TYPE);
Q_DECLARE_TYPEINFO(cvd::PageText, Q_RELOCATABLE_TYPE);
Q_DECLARE_TYPEINFO(cvd::PageBox, Q_RELOCATABLE_TYPE);

namespace cvd {

struct Page {
    QList<PageBox> boxes; // drawn first
    QList<PageText> texts;
};

} // namespace cvd

Q_DECLARE_TYPEINFO(cvd::Page, Q_RELOCATABLE_TYPE);

namespace cvd {

struct PageDocument {
    int paperWidth = 12240;  // twips, in the document's orientation
    int paperHeight = 15840;
    bool landscape = false;
    QList<Page> pages;
    // Why the report is incomplete (it met an error while reading its
    // records); empty for a complete one.  Its first page says so too.
    QString incomplete;
};

// One line per page, box and text: page number, rectangle, colour or font,
// alignment and text, in drawing order.
QString dumpDocument(const PageDocument& doc);

} // namespace cvd

#pragma once
// The fonts of the page documents, measured in twips.
//
// A report names its fonts as they are stored in the database ("Times New
// Roman", "Arial", or whatever a user typed).  Each name resolves to an
// installed family, the same way for measuring and for drawing: the common
// Windows faces to their metric-compatible Liberation faces, any other
// installed family to itself, and an empty or unknown name to a serif.
//
// Measuring is independent of the screen: a font is set up at a pixel size
// equal to its size in twips (11.25 pt = 225 px), without hinting or
// kerning, so one pixel of its metrics is one twip on paper whatever device
// it is later drawn on.  The renderer draws with the same QFont under a
// scale, so the text lands where it was measured.
#include "reports/pagedocument.h"

#include <QFont>
#include <QFontMetricsF>
#include <QStringList>
#include <QStringView>
#include <vector>

namespace cvd {

// The installed family a report's font name is drawn in.
QString resolvedFamily(const QString& requested);
// The size drawn for a requested size: an empty, negative or absurd size
// gives the body size.
double effectiveFontSize(double points);

// Metrics of one page font, in twips.  Made once per font and kept.
class PageFontMetrics {
public:
    explicit PageFontMetrics(const PageFont& font);

    // The font to draw with; its pixel size is the size in twips.
    const QFont& font() const { return m_font; }
    double ascent() const { return m_ascent; }
    // The height of one line of text, and the distance between lines.
    int lineHeight() const { return m_lineHeight; }
    // Width of a text on one line.
    double width(QStringView text) const;
    // The longest beginning of `text` that fits in `width` twips, with an
    // ellipsis when it had to be cut.
    QString elided(const QString& text, double width) const;

private:
    double advance(char16_t c) const;

    QFont m_font;
    QFontMetricsF m_metrics;
    double m_ascent = 0;
    int m_lineHeight = 0;
    mutable std::vector<float> m_advances; // for the simple characters, filled as met
};

// The metrics of a page font, shared by everything that measures or draws.
const PageFontMetrics& pageFontMetrics(const PageFont& font);

// Lines of `text` within `width` twips, the first within `firstWidth`: a
// CR LF (or a lone CR or LF) ends a line, a longer line breaks at blanks,
// and a word longer than the width breaks between characters.  Tabs become
// blanks and other control characters are left out.  An empty text is one
// empty line.
QStringList wrapText(const PageFontMetrics& metrics, QStringView text, double width, double firstWidth);
// The same lines appended to `out` as views into `text`, or into cleaned
// copies of its lines added to `keep`, which must outlive the views.
void wrapLines(const PageFontMetrics& metrics, QStringView text, double width, double firstWidth,
               std::vector<QStringView>& out, QStringList& keep);
inline QStringList wrapText(const PageFontMetrics& metrics, QStringView text, double width)
{
    return wrapText(metrics, text, width, width);
}

} // namespace cvd

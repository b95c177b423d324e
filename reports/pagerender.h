#pragma once
// Draws the pages of a composed document: on the preview at any zoom, on a
// printer and into a PDF file, each from the same twips, so all three show
// the same pages.
#include "reports/pagedocument.h"

#include <QImage>
#include <QString>
#include <functional>

class QPainter;
class QPrinter;

namespace cvd {

// Draws page `index` (from 0) on `painter`, whose coordinates are twips
// from the paper's top-left corner (scale the painter to the device
// first).  The paper itself is not filled.
void drawPage(QPainter& painter, const PageDocument& doc, int index);

// Fills `image` white and draws page `index` on it, `pixelsPerTwip`
// pixels to the twip (device-independent pixels when the image has a
// device pixel ratio).
void paintPage(QImage& image, const PageDocument& doc, int index, double pixelsPerTwip);

// Page `index` as an image on white paper, `pixelsPerTwip` image pixels
// to the twip (times devicePixelRatio, which the image then carries).
QImage renderPage(const PageDocument& doc, int index, double pixelsPerTwip, double devicePixelRatio = 1.0);

// Told after each page printed or written (pages done, pages in all);
// answers false to stop.
using PageProgress = std::function<bool(int done, int total)>;

// Gives the printer the document's paper and orientation, printing on the
// whole sheet.
void setUpPrinter(const PageDocument& doc, QPrinter& printer);
// Prints every page (or the range chosen in the print dialog) with the
// document's paper and orientation.  False when the printer could not be
// started; stopped by `progress`, the job is aborted.
bool printDocument(const PageDocument& doc, QPrinter& printer, const PageProgress& progress = {});

// Writes the document as a PDF with selectable text, one PDF page per
// page.  The file is written under a temporary name and put in place only
// when complete, so a failure leaves an earlier file of that name as it
// was; it then returns false and the reason in `error` (empty when
// `progress` stopped it).
bool writePdf(const PageDocument& doc, const QString& path, QString* error = nullptr,
              const PageProgress& progress = {});

} // namespace cvd

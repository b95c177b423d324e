#pragma once
// Texts of several lines (the request and response, an address).  A text
// box shows line breaks its own way; a stored text is written back exactly
// as it was unless the user changed it, and keeps its kind of line break
// (CR LF or LF) when the user did.
#include <QString>

namespace cvd {

// The text to store: `stored` as it was read, `shownAtLoad` what the box
// showed right after it was filled with it, `shown` what it shows now.
QString memoTextToStore(const QString& stored, const QString& shownAtLoad, const QString& shown);

} // namespace cvd

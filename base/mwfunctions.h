#pragma once
// Text helpers shared by the find dialog and the report procedures.
#include <QString>

namespace cvd {

// Replaces every occurrence of `search` in `text` (case-sensitive) by
// `replacement`, left to right; the search goes on after each inserted
// replacement and never looks into it, so doubling apostrophes ends.  The
// caller's `text` holds the result too.  An empty `search` changes nothing.
// Texts of any length.
QString ReplaceAll(QString& text, const QString& search, const QString& replacement);

} // namespace cvd

#pragma once
// A font as the Settings row describes it: five fields with a common prefix
// ("N" for the company name, "A" for the company address): Font (name),
// Size (points, held as a money-type number), Bold, Italic, Under.
#include "base/platform.h"
#include "db/value.h"

#include <QFont>

namespace cvd {

class Recordset;

struct FontFields {
    Value name, size, bold, italic, under;
};

// The five fields of the current record of `rs`.
FontFields readFontFields(Recordset& rs, const QString& prefix);

// The font the fields describe.  An empty name or a missing size is taken
// from the application's default font; an empty yes/no field is "no".
QFont fontFromFields(const FontFields& f);

// The size of `f` in points, also for a font given in pixels.
double pointSize(const QFont& f);

// Between a font and the font dialog's terms.
FontChoice choiceOf(const QFont& f);
QFont fontOf(const FontChoice& c);

// A font's five attributes as one text, for comparing two fonts as the
// Settings row would hold them.
QString fontKey(const QFont& f);

} // namespace cvd

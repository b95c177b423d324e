#pragma once
// A text the user typed, put between the quotes of a `like` pattern (the
// find dialog's texts, a maintenance window's Find) so that it matches as
// typed: an apostrophe is doubled, and the characters that `like` reads as
// patterns -- # (a digit), ? (any character), [ (a set) -- are each enclosed
// in brackets ([#], [?], [[]).  An asterisk is left as it is: where the
// program allows it, it stands for any run of characters.
//
//   "LastName like '" + likeText(u"O'B#1"_s) + "*'"   // LastName like 'O''B[#]1*'
#include <QString>

namespace cvd {

QString likeText(const QString& typed);

} // namespace cvd

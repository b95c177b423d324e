#pragma once
// Pieces the dialect's files share (sqldialect.h has the rest): a date
// literal, and the clauses of a statement found among its tokens.
#include "db/sqldialect.h"

#include <initializer_list>

namespace cvd::sql {

// "#3/5/98#", "#03/05/1998#", "#1998-03-05#" to '1998-03-05'; error 3001
// for one that is no date.
QString dateLiteral(const QString& literal);

// The place among the significant tokens, from `from` on and outside
// parentheses, of the first of `words`; -1 when there is none.
int findTop(const std::vector<Token>& toks, const Significant& s, int from, std::initializer_list<const char*> words);

// The text of tokens `first` to `last` (not included), without the blanks around it.
QString joined(const std::vector<Token>& toks, int first, int last);

} // namespace cvd::sql

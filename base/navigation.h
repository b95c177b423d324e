#pragma once
// Stepping through a window's records with First, Previous, Next and Last.
#include <functional>

namespace cvd {

class Recordset;

enum class Step { First, Previous, Next, Last };

// Moves `rs` one step and shows the record it reaches (by `show`).  Past
// either end it beeps and stays on the first or the last record.  When the
// record cannot be shown (the server cannot be reached, say), the set goes
// back to the record still on display, so that Update and Delete act on
// what the user sees; the failure is passed on to be told.
void step(Recordset& rs, Step where, const std::function<void()>& show);

} // namespace cvd

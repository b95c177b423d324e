#include "base/navigation.h"

#include "base/platform.h"
#include "db/database.h"

namespace cvd {

namespace {

void move(Recordset& rs, Step where)
{
    switch (where) {
    case Step::First: rs.MoveFirst(); return;
    case Step::Last: rs.MoveLast(); return;
    case Step::Next:
        rs.MoveNext();
        if (rs.Eof()) {
            platform().beep();
            rs.MoveLast();
        }
        return;
    case Step::Previous:
        rs.MovePrevious();
        if (rs.Bof()) {
            platform().beep();
            rs.MoveFirst();
        }
        return;
    }
}

} // namespace

void step(Recordset& rs, Step where, const std::function<void()>& show)
{
    const long shown = rs.AbsolutePosition();
    try {
        move(rs, where);
        show();
    } catch (...) {
        if (shown >= 0 && rs.AbsolutePosition() != shown)
            rs.SetAbsolutePosition(shown);
        throw;
    }
}

} // namespace cvd

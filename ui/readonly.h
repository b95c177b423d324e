#pragma once
// A window on records that this login may read but not change (a server
// that grants it no writes): the records are shown as always, and nothing
// on screen offers a change.
#include <QList>

class QWidget;

namespace cvd {

// Shows what `controls` hold without letting the user change it: text
// boxes read-only (their text can still be selected and copied), lists,
// date fields, check boxes and buttons disabled.
void showReadOnly(const QList<QWidget*>& controls);

} // namespace cvd

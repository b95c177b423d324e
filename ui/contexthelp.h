#pragma once
// Context help: every window and control carries a help context number in
// its dynamic property "helpContextId"; F1 opens the help file at the number
// of the control that has the focus, or of the nearest container that has
// one, up to the window's own number.
#include <QString>

class QWidget;

namespace cvd {

inline constexpr const char* HelpContextProperty = "helpContextId";

// Gives a widget its help context number.
void setHelpContext(QWidget* w, int contextId);
// The number of `w`, or of the nearest parent that has one, up to and
// including its window; 0 when none has one.
int helpContextOf(const QWidget* w);

// Makes F1 anywhere in `window` call the help engine on `HelpFilePath` at
// the context number of the control with the focus.
void installContextHelp(QWidget* window);

} // namespace cvd

#pragma once
// Checks made when the user leaves a control (a numeric box, a date field):
// they run when the focus moves on to another control of the same window,
// not when another window (a message box, the calendar picker) takes the
// activation or a popup opens.  A failed check puts the focus back into its
// control with refocus(); the control that loses the focus by that is not
// checked, so two bad boxes never bounce the focus between them.
#include <QLineEdit>
#include <QWidget>
#include <functional>

namespace cvd {

// Runs `check` each time `control` (or a child of it, such as a drop-down's
// text part) loses the focus to a control outside it.
void onLeave(QWidget* control, std::function<void()> check);

// Puts the focus back into `control` without running any leave check.
void refocus(QWidget* control);

// Makes a box select its whole text each time the user brings the focus
// into it, so that typing replaces what it holds.
void selectAllOnFocus(QLineEdit* box);

} // namespace cvd

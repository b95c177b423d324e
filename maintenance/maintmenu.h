#pragma once
// Opening the maintenance windows from the main window's Maintain menu.
class QWidget;

namespace cvd {

// 1 categories, 2 customers, 3 departments, 4 priorities, 5 staff: loads
// the window if it is not open and shows it beside the main window, or
// brings the open one forward.  The codes window open on the other list
// is closed first (asking about an unsaved record) and opened afresh on
// the chosen one.  Returns the window shown, or null.
QWidget* openMaintWindow(int index);

// The open maintenance window of a menu index, or null.
QWidget* maintWindow(int index);

// Unloads every open maintenance window without a question (the program
// is ending).
void closeMaintWindows();

} // namespace cvd

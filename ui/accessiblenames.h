#pragma once
// What a screen reader reads for each control: the caption of the label
// that stands beside it, or a name of its own where no label stands.
//
//   tieLabel(lblCust, cmbCust);              // "Customer" names the list
//   nameControl(scrlPage, "Page");            // no label beside it
#include <QString>

class QAbstractItemView;
class QLabel;
class QWidget;

namespace cvd {

// Either call also puts in force, for every window, that a drop-down list
// reads its name (its label) as its name and its entry as its value on
// every desktop: left to itself the toolkit names a list by its entry on
// some, so that two lists showing the same person would read alike.

// Ties `label` to `control`: the label's caption (without its &) names the
// control, and the label's access key, where it has one, moves the focus
// there.  An editable list's typing box is named with it.
void tieLabel(QLabel* label, QWidget* control);

// Names a control that has no label beside it.
void nameControl(QWidget* control, const QString& name);

// Tells a screen reader that the view's current cell has the focus, where
// the view itself does not (a cell chosen without moving to it, or the
// current cell asked for as the view gets the focus, which the toolkit
// answers a row off when the view's headers are hidden).
void tellCurrentCell(QAbstractItemView* view);

} // namespace cvd

#pragma once
// Date fields and the calendar picker behind them.
//
// A date field is an editable drop-down without entries: opening its
// drop-down opens the calendar picker (frmDateEnt) instead of a list.  The
// starting date goes to the picker, and the picked date comes back, only
// through PickedDate.
//
//   auto* dc = new DateField;
//   connect(dc, &DateField::dropDown, this, [this, dc] {
//       runDateDropDown(dc, {QStringLiteral("Select Due Date"), false,
//                            [dc](QSize picker) { return placeBelow(dc, 3, picker); }});
//   });
//   onLeave(dc, [dc] { checkDateOnLeave(dc, true, QStringLiteral("...")); });
#include <QComboBox>
#include <QPoint>
#include <QSize>
#include <functional>

namespace cvd {

class DateField : public QComboBox {
    Q_OBJECT
public:
    explicit DateField(QWidget* parent = nullptr);
    // Emits dropDown() instead of showing a list.
    void showPopup() override;

signals:
    void dropDown();
};

struct DateDropDown {
    // The picker's caption; empty keeps its own "Select Date".
    QString caption;
    // Starting dates in the years 1900 to 1930 open a century later.
    bool shiftOldYears = false;
    // The picker's top-left corner on the screen, given the picker's size.
    std::function<QPoint(QSize picker)> place;
};

// The drop-down of a date field: the starting date from the field's text
// (today when it is blank or not a date) into PickedDate, the picker placed
// and shown modally, the field's text := PickedDate in short date, then a
// Tab to move the focus on.  The Tab is sent once the field's window is
// active again (it waits up to half a second for that), so the field's
// leave check has run when this returns.
void runDateDropDown(QComboBox* field, const DateDropDown& how);

// The placements of the picker beside a field, in pixels.  F is the field,
// W its window (its frame's top-left on the screen), positions of F relative
// to the control that holds it, P the picker's size:
//   placeBelow(F, n):               (F.Left + W.Left, F.Top + W.Top + n * F.Height)
//   placeBelowAlignedWith(R, F, n): (R.Left + W.Left, F.Top + W.Top + n * F.Height)
//   placeAboveRightAligned(F, P):   (F.Left + W.Left - P.Width + F.Width,
//                                    F.Top + W.Top + 2 * F.Height - P.Height)
//   placeInFrameRightAligned(F, P): (C.Left + W.Left + F.Left + F.Width - P.Width,
//                                    C.Top + W.Top + F.Top + 2 * F.Height), C the frame holding F
// The result is moved as little as needed to keep the picker on the screen.
QPoint placeBelow(const QWidget* field, int heights, QSize picker);
QPoint placeBelowAlignedWith(const QWidget* leftOf, const QWidget* field, int heights, QSize picker);
QPoint placeAboveRightAligned(const QWidget* field, QSize picker);
QPoint placeInFrameRightAligned(const QWidget* field, QSize picker);

// The check made when the user leaves a date field: nothing for a blank
// field where blank is allowed; otherwise, a text that is not a date gets
// `message` (OK only, no icon, the program's title) and the focus goes back
// into the field.  Returns whether the field holds a date (false for a
// blank field, with or without a message).
bool checkDateOnLeave(QComboBox* field, bool blankAllowed, const QString& message);

} // namespace cvd

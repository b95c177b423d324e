#pragma once
// What the customers, departments and staff windows share beyond the
// maintenance window design.
#include "maintenance/maintwindow.h"

#include <QLineEdit>

namespace cvd {

// A first or a last name: at least one of them not blank.
inline bool nameGiven(const QLineEdit* firstName, const QLineEdit* lastName)
{
    return !firstName->text().trimmed().isEmpty() || !lastName->text().trimmed().isEmpty();
}

// Their ten buttons, 1575 x 495 twips, in two rows under the entry
// controls: the navigation row at `top`, the action row 720 twips below;
// Cancel and Update on the places of Delete and Find.  Tab indexes follow
// on from `firstTab`.
inline void wideButtons(MaintDesign& d, int top, int firstTab)
{
    const int row2 = top + 720;
    d.buttonTwips = QSize(1575, 495);
    d.buttonAt = {QPoint(360, top), QPoint(2160, top), QPoint(3960, top), QPoint(5760, top),
                  QPoint(360, row2), QPoint(2160, row2), QPoint(3960, row2), QPoint(5760, row2),
                  QPoint(2160, row2), QPoint(3960, row2)};
    for (int i = 0; i < 10; ++i)
        d.buttonTab[size_t(i)] = firstTab + i;
}

} // namespace cvd

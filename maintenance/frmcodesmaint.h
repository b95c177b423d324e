#pragma once
// The codes window: the request categories or the request priorities, one
// description each.  The list is chosen by CodesMode when the window opens
// and stays fixed while it is open.
#include "maintenance/maintwindow.h"

class QLabel;

namespace cvd {

class frmCodesMaint : public MaintWindow {
    Q_OBJECT
public:
    // Opens on the list CodesMode names (1 categories, 2 priorities).
    frmCodesMaint();

    // The list the window shows: 1 categories, 2 priorities.
    int mode() const { return m_mode; }

    QLabel* lblDesc = nullptr;
    QLineEdit* txtDesc = nullptr;
    // The names of the open list's description and key fields.
    QString DescField;
    QString IDField;

protected:
    bool entriesComplete() const override;

private:
    int m_mode;
};

} // namespace cvd

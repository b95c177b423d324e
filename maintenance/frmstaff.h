#pragma once
// The staff window: the staff members who enter requests and to whom
// requests are assigned.
#include "maintenance/maintwindow.h"

namespace cvd {

class frmStaff : public MaintWindow {
    Q_OBJECT
public:
    frmStaff();

    QLineEdit* txtFirstName = nullptr;
    QLineEdit* txtLastName = nullptr;
    QLineEdit* txtPhone = nullptr;
    QLineEdit* txtAltID = nullptr;
    QPlainTextEdit* txtComments = nullptr;

protected:
    bool entriesComplete() const override;
};

} // namespace cvd

#pragma once
// The departments window: the departments or companies that customers
// belong to and that requests are recorded and billed for.
#include "maintenance/maintwindow.h"

namespace cvd {

class frmDept : public MaintWindow {
    Q_OBJECT
public:
    frmDept();

    QLineEdit* txtDeptName = nullptr;
    QPlainTextEdit* txtAddress = nullptr;
    QLineEdit* txtCity = nullptr;
    QLineEdit* txtSt = nullptr;
    QLineEdit* txtZip = nullptr;
    QLineEdit* txtCountry = nullptr;
    QLineEdit* txtPhone = nullptr;

protected:
    bool entriesComplete() const override;
};

} // namespace cvd

#pragma once
// The customers window: name, title, postal address, phone, alternate
// identifier and the department or company of each customer.
#include "maintenance/maintwindow.h"

namespace cvd {

class frmCust : public MaintWindow {
    Q_OBJECT
public:
    frmCust();

    QLineEdit* txtFirstName = nullptr;
    QLineEdit* txtLastName = nullptr;
    QPlainTextEdit* txtAddress = nullptr;
    QLineEdit* txtCity = nullptr;
    QLineEdit* txtSt = nullptr;
    QLineEdit* txtZip = nullptr;
    QLineEdit* txtCountry = nullptr;
    QLineEdit* txtTitle = nullptr;
    QLineEdit* txtPhone = nullptr;
    QLineEdit* txtAltID = nullptr;
    QComboBox* cmbDept = nullptr;

protected:
    // The department list: filled when the window opens, and again when the
    // departments changed since (F5, or the window's activation).
    void loadLists() override;
    bool entriesComplete() const override;
};

} // namespace cvd

#pragma once
// The find dialog: up to five criteria (two texts sought in the request
// description and, on demand, the response; a request date bound; a
// department or company; an assigned staff member) turned into the query
// text FindSQL, which the main window runs when the dialog closes.
//
// There is one dialog for the program, modal over the main window.  OK and
// Cancel only hide it, so its entries are offered again at the next
// opening; Display All and its close box unload it, and the next opening
// starts afresh with both lists read again.
//
// The dialog sets the caption of the window it belongs to (the main
// window), which tells the user whether a selection is shown.
#include "search/findquery.h"

#include <QDialog>
#include <functional>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace cvd {

class DateField;
class ElasticFrame;
class ElasticPanel;

class frmFind : public QDialog {
    Q_OBJECT
public:
    static constexpr int DesignWidth = 7920; // client area, twips
    static constexpr int DesignHeight = 4800;
    static constexpr int HelpContext = 12;

    explicit frmFind(QWidget& owner);

    ElasticPanel* resizingPanel = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* Search1 = nullptr;
    ElasticFrame* Frame1 = nullptr; // And / Or, no caption
    QRadioButton* optAnd = nullptr;
    QRadioButton* optOr = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* Search2 = nullptr;
    ElasticFrame* Frame2 = nullptr; // "Search In"
    QRadioButton* optReqOnly = nullptr;
    QRadioButton* optReqAndResp = nullptr;
    ElasticFrame* Frame3 = nullptr; // "Request Date is"
    QRadioButton* optLess = nullptr;
    QRadioButton* optGreater = nullptr;
    DateField* dcReqDate = nullptr;
    QLabel* Label3 = nullptr;
    QComboBox* cmbDept = nullptr;
    QLabel* Label4 = nullptr;
    QComboBox* cmbAssignedTo = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;
    QPushButton* cmdAll = nullptr;

    // Fills the department and staff lists from the database, nothing selected.
    void Form_Load();
    // Builds FindSQL and hides the dialog; without any criterion, says so
    // and stays open.
    void cmdOK_Click();
    // Hides the dialog; FindSQL keeps its value.
    void cmdCancel_Click();
    // Every request again; the dialog is unloaded.
    void cmdAll_Click();

    // The criteria as the controls hold them (the date field's text read
    // as a date; a text that is no date counts as none).
    FindCriteria criteria() const;

    // Display All or the close box ended this use: the dialog is to be
    // unloaded rather than kept.
    bool unloadWanted() const { return m_unload; }

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    void createControls();
    void connectEvents();

    QWidget& m_main;
    bool m_unload = false;
};

// Shows the program's find dialog modally over `w`, loading it first when
// it is not loaded, and unloads it again when Display All or the close box
// ended the use.  The main window's Find button opens it.
void showFindDialog(QWidget& w);

// The program's find dialog while it is loaded; null otherwise.
frmFind* loadedFindDialog();

} // namespace cvd

#pragma once
// The main window: one request at a time from ReqSet, its six look-up
// lists, the menus that open every other window, and help.
//
// The window's code is spread over a few files by subject, all in this folder:
//   frmmain.cpp             construction, activation, closing, help
//   frmmain_controls.cpp    the controls at their design places
//   frmmain_menus.cpp       the menus and their commands
//   startup.cpp             the start-up steps (the window's load)
//   frmmain_display.cpp     showing requests (First is the newest, Last the oldest)
//   frmmain_edit.cpp, frmmain_cost.cpp, frmmain_dates.cpp
//                           editing, the numeric boxes and costing, the date fields
//   frmmain_add.cpp         adding, deleting and the find hand-over
//   frmmain_desks.cpp       other desks' changes: Refresh
// The states, Update, Cancel and Add New are the record window's
// (ui/recordwindow.h); this window fills in its hooks.
#include "ui/frmabout.h"
#include "ui/lookuplists.h"
#include "ui/recordwindow.h"
#include "ui/shownfields.h"

#include <QHash>
#include <QMainWindow>
#include <QPointer>

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;

namespace cvd {

class DateField;
class ElasticPanel;

class frmMain : public QMainWindow, public RecordWindow {
    Q_OBJECT
public:
    static constexpr int DesignWidth = 9360;  // client area, twips
    static constexpr int DesignHeight = 6000;
    static constexpr int HelpContext = 6;

    explicit frmMain(QWidget* parent = nullptr);
    ~frmMain() override;

    // Controls, named as the program knows them.
    ElasticPanel* resizingPanel = nullptr;
    QLineEdit* txtShortDesc = nullptr;
    QLineEdit* txtReqID = nullptr;
    QPlainTextEdit* txtReqDesc = nullptr;
    QCheckBox* chkResolved = nullptr;
    DateField* dcResDate = nullptr;
    QLineEdit* txtMisc1 = nullptr;
    QPlainTextEdit* txtResp = nullptr;
    DateField* dcReqDate = nullptr;
    DateField* dcDueDate = nullptr;
    QComboBox* cmbEnteredBy = nullptr;
    QComboBox* cmbAssignedTo = nullptr;
    QComboBox* cmbCust = nullptr;
    QComboBox* cmbDept = nullptr;
    QComboBox* cmbPri = nullptr;
    QComboBox* cmbCat = nullptr;
    QLineEdit* txtHoursTot = nullptr;
    QLineEdit* txtMinTot = nullptr;
    QLineEdit* txtAddCharge = nullptr;
    QLineEdit* txtCostTot = nullptr;
    QPushButton* cmdPaidToday = nullptr;
    QLineEdit* txtAmtPaid = nullptr;
    DateField* dcPaidDate = nullptr;
    // (First, Previous, Next, Last, Add New, Delete, Find, Cancel and
    // Update are the record window's.)
    QPushButton* cmdHelp = nullptr;

    // Menus; the arrays are indexed as the program numbers them
    // (mnuMaint 1..5, mnuRptOut 1..2, mnuRpt 0..3, mnuRptCharge 0..1,
    // mnuBill 0..1, mnuHelp 1..3); unused slots are null.
    QMenu* mnuFile = nullptr;
    QMenu* mnuMaintain = nullptr;
    QMenu* mnuReports = nullptr;
    QMenu* mnuHelpMenu = nullptr;
    QAction* mnuDefaults = nullptr;
    QAction* mnuRefresh = nullptr;
    QAction* mnuExit = nullptr;
    QAction* mnuMaint[6] = {};
    QAction* mnuRptOut[3] = {};
    QAction* mnuRpt[4] = {};
    QAction* mnuRptHours = nullptr;
    QAction* mnuRptCharge[2] = {};
    QAction* mnuBill[2] = {};
    QAction* mnuHelp[4] = {};
    QAction* mnuAbout = nullptr;

    // The label standing above a control (null for buttons and the check box).
    QLabel* labelOf(const QWidget* control) const override;
    // The twenty-one entry controls, in the order DisableFields and
    // EnableFields switch them.
    QList<QWidget*> entryControls() const;
    LookupLists lists() const;

    // Showing requests (frmmain_display.cpp).
    void ShowRecord() override;
    void ClearFields() override;
    void DisableFields() override;
    void EnableFields() override;
    // For a login that may read the requests but not change them: the
    // requests are shown, and neither their boxes nor Add New and Delete
    // offer a change, from now on.
    void setReadOnly();
    bool readOnly() const { return m_readOnly; }

    // Editing and costing (frmmain_edit.cpp, frmmain_cost.cpp).
    void ComputeCost();
    void cmdPaidToday_Click();
    bool CheckFields() override;

    // Deleting, finding (frmmain_add.cpp).
    void cmdDelete_Click();
    // Shows the find dialog, which leaves the query text in FindSQL and may
    // set the window's caption, and shows what it selected.
    void cmdFind_Click();

    // The customer typed or picked in cmbCust: the selected entry, or the
    // entry whose text equals the typed text (in any case); Null otherwise.
    Value typedCustomer() const;

    // Activation: reads the hourly rate and the minimum charge again when
    // the Settings record changed since they were read (at another desk,
    // too); reloads the look-up lists whose flag is set, or whose
    // table changed since it was read (at another desk, too), then shows
    // the current request again.
    void Form_Activate();

    // Menu commands (frmmain_menus.cpp).
    void mnuDefaults_Click();
    // File > Refresh (F5): reads the requests and the look-up lists again,
    // other desks' changes included, and shows the current request; a
    // request being edited or added is saved or dropped first, as the user
    // says (frmmain_desks.cpp).
    void mnuRefresh_Click();
    void mnuExit_Click();
    void mnuMaint_Click(int index);
    void mnuRptOut_Click(int index);
    void mnuRpt_Click(int index);
    void mnuRptHours_Click();
    void mnuRptCharge_Click(int index);
    void mnuBill_Click(int index);
    void mnuHelp_Click(int index);
    void mnuAbout_Click();

    void cmdHelp_Click();

    // The about box while it is open.
    frmAbout* aboutBox() const { return m_about; }

protected:
    // The record window's hooks.
    Recordset* recordSet() const override;
    QString tableName() const override { return QStringLiteral("Req"); }
    QString keyField() const override { return QStringLiteral("ReqID"); }
    // Writes the entry controls the user changed into the edit buffer.
    void storeEntries(Recordset& rs) override;
    QPushButton* browsingButton() const override { return cmdHelp; }
    // The Maintain items and Exit are off while editing.
    void layoutSwitched(bool editing) override;
    // Clears the entries for a new request and shows the minimum charge.
    void freshRecord() override;
    // Finds the saved request in the set; the first one when it is not in it.
    void standAt(const Value& key) override;
    void readAgain() override;
    // The record's fields and the controls that show them, in the order
    // ShowRecord fills them (the request number aside).
    QList<std::pair<QString, QWidget*>> fieldControls() const override;
    QString fieldText(const QWidget* control, const Value& v) const override;
    QString recordNoun() const override { return QStringLiteral("request"); }

    void changeEvent(QEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    void createControls();
    void createMenus();
    void connectEditEvents();
    void connectDateFields();
    void connectNumericBoxes();
    // Leaving Hours, Minutes, Additional Charge or Amount Paid.
    void numericBoxLeft(QLineEdit* box);
    // The check of an entry, made when the user leaves its control and
    // again before a save (a date field, a costing box, the customer): the
    // message for what the control holds when it cannot be stored as it
    // is, with the message box's flags into `flags`; empty when it can.
    QString entryRefusal(const QWidget* control, int* flags) const;
    // Shows the refusal of `control`, if any, and puts the focus back into
    // it; returns whether the control was refused.
    bool refuse(QWidget* control);
    // Empty, disabled controls for a set without requests; still browsing.
    void showNoRequests();

    QHash<const QWidget*, QLabel*> m_labels;
    // What ShowRecord put into the entry controls: a save writes only the
    // fields the user changed.
    ShownFields m_shownFields;
    // The table versions the look-up lists and the costing values were
    // read at.
    ListVersions m_listVersions;
    QPointer<frmAbout> m_about;
    bool m_shown = false;
};

} // namespace cvd

#pragma once
// The defaults window: the hourly rate and the minimum charge used to cost
// requests, and the company name and address at the head of every bill with
// the font of each.  It edits the one row of Settings, which it holds open
// while it exists.
//
// The window's code is spread over a few files by subject:
//   defaults/frmdefault.cpp        construction, controls, opening, closing
//   defaults/frmdefault_money.cpp  the two money boxes
//   defaults/frmdefault_fonts.cpp  the Font menu
//   defaults/frmdefault_save.cpp   OK, Cancel and the question on closing
#include <QHash>
#include <QMainWindow>
#include <QStringList>
#include <memory>

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;

namespace cvd {

class ElasticPanel;
class Recordset;
class Value;
struct Currency;

class frmDefault : public QMainWindow {
    Q_OBJECT
public:
    static constexpr int DesignWidth = 6735; // client area, twips
    static constexpr int DesignHeight = 4740;
    static constexpr int HelpContext = 104;

    explicit frmDefault(QWidget* parent = nullptr);
    ~frmDefault() override;

    // Controls, named as the program knows them.
    ElasticPanel* resizingPanel = nullptr;
    QLineEdit* txtMinCharge = nullptr;
    QLineEdit* txtHourlyRate = nullptr;
    QLineEdit* txtCompName = nullptr;
    QPlainTextEdit* txtCompAdd = nullptr;
    QPushButton* cmdOk = nullptr;
    QPushButton* cmdCancel = nullptr;

    // "&Font", with mnuFont 1 (company name) and 2 (company address); slot 0 unused.
    QMenu* mnuFontMenu = nullptr;
    QAction* mnuFont[3] = {};

    // The label standing above a box.
    QLabel* labelOf(const QWidget* control) const;

    // Opens Settings on its row and shows it.  Errors reach the caller.
    void Form_Load();

    // The font dialog for the company name (1) or address (2); the chosen
    // font is shown at once and stored by OK.
    void mnuFont_Click(int index);
    // Stores the boxes and fonts, updates the costing values, closes.  When
    // the row cannot be written, the window stays open with the entries.
    void cmdOk_Click();
    // Closes without storing anything.
    void cmdCancel_Click();

    // Whether a box or a font differs from what the window showed on opening.
    bool changed() const;

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    void createControls();
    void createMenus();
    void connectMoneyBoxes();

    // The leave check of a money box: blank is accepted, a number is shown
    // as currency, anything else is refused with a message and the focus
    // goes back.  Returns whether the box was accepted.
    bool moneyBoxLeft(QLineEdit* box);
    // Runs the check on both boxes; false at the first refused one.
    bool moneyBoxesAccepted();

    // What the boxes and fonts show, for changed().
    QStringList snapshot() const;
    QWidget* fontBox(int index) const;

    // Stores everything into the row and writes it; returns whether the
    // row was written (the costing values change only then).  Each step
    // runs under the error trap.
    bool save();
    // OK found the defaults changed at another desk since the window read
    // them: tells the user what is stored now where it differs.
    void defaultsChangedElsewhere();
    // An amount as its box shows it: blank for an empty field.
    static QString moneyText(const Value& v);
    void storeMoney(const QLineEdit* box, const QString& field, Currency& held);
    void storeFont(const QWidget* box, const QString& prefix);
    Recordset& settings();

    std::unique_ptr<Recordset> m_settings;
    QHash<const QWidget*, QLabel*> m_labels;
    QStringList m_loaded;
    // OK or Cancel is closing the window: no question.
    bool m_closingByButton = false;
};

// Opens the defaults window beside `mainWindow`, not modal, or brings the
// open one forward.  A failure to open it reaches the caller, and no
// window is left open.
frmDefault* showDefaultsWindow(QWidget* mainWindow);

} // namespace cvd

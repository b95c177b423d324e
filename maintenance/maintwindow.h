#pragma once
// The design shared by the four maintenance windows: one record at a time
// from one table in a fixed order, with ten buttons to move through the
// records, find one by the beginning of its name, add, change and delete
// records, and close the window.  The window's record set lives as long as
// the window.
//
// A window describes its table and texts in a MaintDesign, creates its
// entry controls with addTextBox() and its siblings in its constructor, and
// then calls Form_Load().  The code is spread over a few files:
//   maintwindow.cpp          construction, layouts, activation, closing
//   maintwindow_records.cpp  showing and storing a record, moving, finding
//   maintwindow_edit.cpp     Add New, Update, Cancel, Delete, OK
//   maintwindow_desks.cpp    other desks' changes: Refresh (F5), the window's
//                            lists, a record changed at another desk
#include "base/navigation.h"
#include "db/value.h"
#include "ui/lookuplists.h"
#include "ui/shownfields.h"

#include <QHash>
#include <QList>
#include <QRect>
#include <QStringList>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace cvd {

class ElasticPanel;
class Recordset;

// A reference that keeps a record from being deleted: the record's key is
// written after each piece of `sql`; when that query finds a record,
// `message` is shown.
struct InUseCheck {
    QStringList sql;
    QString message;
};

// What one maintenance window is.
struct MaintDesign {
    QString objectName;
    QString caption;
    QString selectSql;
    // The table the window's records are from, and its key.
    QString table;
    QString keyField;
    QString findField;
    QString findCaption = QStringLiteral("F&ind");
    QString findPrompt;
    QString findTitle;
    QString notFoundText;
    bool hourglassWhileFinding = true;
    // The codes window deletes when its set holds records; the others when
    // there is a record on display (not both BOF and EOF).
    bool deleteWhenAnyRecord = false;
    QString confirmText;
    QString confirmTitle;
    QList<InUseCheck> inUseChecks;
    QString checkMessage;
    QString checkTitle;
    // Whether a failed check puts the focus into the first entry control.
    bool focusAfterFailedCheck = true;
    // OK is the default button while browsing, Add New from the start of
    // add mode until Cancel (the codes window); otherwise there is none.
    bool hasDefaultButton = false;
    // What one record is, in the messages of an Update that finds it
    // changed or deleted at another desk since it was shown ("customer").
    QString recordNoun;
    bool* listChanged = nullptr;
    // The tables of the window's own look-up lists: when one changed (at
    // another desk, or in another window), the lists are read again as the
    // window becomes active.
    QStringList listTables;
    int helpContext = 0;
    QSize clientTwips;
    QSize buttonTwips;
    // Button places (left, top) and tab indexes, in the order First,
    // Previous, Next, Last, Add New, Delete, Find, OK, Cancel, Update.
    std::array<QPoint, 10> buttonAt{};
    std::array<int, 10> buttonTab{};
};

class MaintWindow : public QWidget {
    Q_OBJECT
public:
    ~MaintWindow() override;

    // Browsing: both false.
    bool Editing = false;
    bool Adding = false;

    ElasticPanel* resizingPanel = nullptr;
    QPushButton* cmdFirst = nullptr;
    QPushButton* cmdPrevious = nullptr;
    QPushButton* cmdNext = nullptr;
    QPushButton* cmdLast = nullptr;
    QPushButton* cmdAddNew = nullptr;
    QPushButton* cmdDelete = nullptr;
    QPushButton* cmdFind = nullptr;
    QPushButton* cmdOk = nullptr;
    QPushButton* cmdCancel = nullptr;
    QPushButton* cmdUpdate = nullptr;

    const MaintDesign& design() const { return m_design; }
    // The entry controls in the order of their fields; the first one
    // receives the focus when add mode begins.
    QList<QWidget*> entryControls() const;
    QLabel* labelOf(const QWidget* control) const;
    // The button Enter presses, or null.
    QPushButton* defaultButton() const { return m_default; }

    void ShowRecord();
    void ClearFields();
    void DisableFields();
    void EnableFields();
    // Writes the entry controls into the edit buffer that AddNew or Edit
    // opened, then the record through the write loop; returns whether the
    // record was written.
    bool StoreFields();
    bool CheckFields();
    void BeginEdit();
    void EditLayout();
    void BrowseLayout();

    void cmdFirst_Click();
    void cmdPrevious_Click();
    void cmdNext_Click();
    void cmdLast_Click();
    void stepTo(Step where);
    void cmdAddNew_Click();
    void cmdDelete_Click();
    void cmdFind_Click();
    void cmdOk_Click();
    void cmdCancel_Click();
    void cmdUpdate_Click();
    // F5: reads the records and the window's lists again, other desks'
    // changes included, and shows the current record; a record being
    // edited or added is saved or dropped first, as the user says.
    void Refresh();

protected:
    explicit MaintWindow(MaintDesign design);

    // Entry controls, at their design rectangles (twips) with their label
    // directly above them, or at `labelTwips` when given.
    QLineEdit* addTextBox(const char* name, const QString& field, int maxLength, int tab, const QRect& twips,
                          const char* label, const QRect& labelTwips = {});
    // Several lines with a vertical scroll bar; maxLength 0 for no limit.
    QPlainTextEdit* addMemoBox(const char* name, const QString& field, int maxLength, int tab,
                               const QRect& twips, const char* label);
    // A drop-down list of records: the field holds the selected entry's key.
    QComboBox* addPickList(const char* name, const QString& field, int tab, const QRect& twips,
                           const char* label);
    // The field receives Null when the control's text is blank.
    void storeNullWhenBlank(QWidget* control);
    // A state box: a text of exactly two characters is put in capitals
    // when the box is left.
    void capitalizeTwoLetters(QLineEdit* box);

    // The opening steps, run by the window's constructor after its controls.
    void Form_Load();
    // Fills the window's own lists, after the record set opened.
    virtual void loadLists() {}
    // Whether the record on screen may be saved (the check before a save,
    // without its message).
    virtual bool entriesComplete() const = 0;
    // The key field's name of the open list.
    QString keyField() const { return m_design.keyField; }

    void changeEvent(QEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    struct Entry {
        QWidget* control;
        QString field;
        bool nullWhenBlank = false;
    };

    void createButtons();
    void placeEntry(QWidget* w, const char* name, const QString& field, int tab, const QRect& twips,
                    const char* label, const QRect& labelTwips);
    void applyTabOrder();
    void setDefaultButton(QPushButton* b);
    // A change in an entry control: an edit unless the window itself is
    // filling the controls.
    void entryChanged();
    Value entryValue(const Entry& e) const;
    Recordset& records() const;
    // Update: checks, writes and shows the record in its place; returns
    // whether it was written.
    bool saveRecord();
    // Opens the edit buffer (a new record when adding) and writes the
    // record; `key` receives its key.  A record that could not be written
    // stays on screen.
    bool writeRecord(Value& key);
    // Reads the table again and makes the record with `key` current (the
    // first when it is gone), so that records written here stand in their
    // sorted places.
    void requeryAt(const Value& key);
    // Whether the record on display was found in use, after telling why.
    bool inUse();
    // The window's own lists filled afresh, each keeping its selection.
    void reloadLists();
    // Update found the record changed (3197) or deleted (3167) at another
    // desk: tells the user what is stored now where it differs from the
    // screen, or that it is gone.
    void recordChangedElsewhere(const Value& key, int errorNumber);
    // Asks whether to keep an edit or a new record before the window
    // closes; returns whether it may close.
    bool mayClose();
    // A value as ShowRecord shows it in an entry's control, and what the
    // control shows now, in the same terms.
    QString entryText(const Entry& e, const Value& v) const;
    QString shownText(const Entry& e) const;

    MaintDesign m_design;
    std::unique_ptr<Recordset> m_rs;
    QList<Entry> m_entries;
    QList<std::pair<int, QWidget*>> m_tabOrder;
    QHash<const QWidget*, QLabel*> m_labels;
    // What ShowRecord put into the entry controls.
    ShownFields m_shown;
    QPushButton* m_default = nullptr;
    int m_labelNo = 0;
    // The window is filling its controls; their changes are no edits.
    bool m_filling = false;
    // Something was typed since the controls were last filled or emptied.
    bool m_typed = false;
    // Records were written by Add Another in this add mode.
    bool m_addedInAddMode = false;
    // The record that was current when add mode began (Null: none).
    Value m_keyBeforeAdd;
    bool m_closing = false;
    // The table versions the window's lists were read at.
    ListVersions m_listVersions;
    // The record on display was found changed at another desk: Cancel reads
    // the records again, so as to show the stored version.
    bool m_changedElsewhere = false;
    // This login may not change the window's table.
    bool m_readOnly = false;
};

} // namespace cvd

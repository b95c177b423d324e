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
//   maintwindow_edit.cpp     the hooks of Add New, Update and Cancel; Delete, OK
//   maintwindow_desks.cpp    other desks' changes: Refresh (F5), the window's
//                            lists
// The states, Update, Cancel, Add New and the question before closing are
// the record window's (ui/recordwindow.h).
#include "db/value.h"
#include "ui/lookuplists.h"
#include "ui/recordwindow.h"
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

class MaintWindow : public QWidget, public RecordWindow {
    Q_OBJECT
public:
    ~MaintWindow() override;

    ElasticPanel* resizingPanel = nullptr;
    // Besides the record window's buttons.
    QPushButton* cmdOk = nullptr;

    const MaintDesign& design() const { return m_design; }
    // The entry controls in the order of their fields; the first one
    // receives the focus when add mode begins.
    QList<QWidget*> entryControls() const;
    QLabel* labelOf(const QWidget* control) const override;
    // The button Enter presses, or null.
    QPushButton* defaultButton() const { return m_default; }

    void ShowRecord() override;
    void ClearFields() override;
    void DisableFields() override;
    void EnableFields() override;
    bool CheckFields() override;

    void cmdDelete_Click();
    void cmdFind_Click();
    void cmdOk_Click();
    // F5: reads the records and the window's lists again, other desks'
    // changes included, and shows the current record; a record being
    // edited or added is saved or dropped first, as the user says.
    void Refresh() { refresh(); }

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
    // The record window's hooks.
    Recordset* recordSet() const override { return m_rs.get(); }
    QString tableName() const override { return m_design.table; }
    QString keyField() const override { return m_design.keyField; }
    // Writes the entry controls the user changed into the edit buffer.
    void storeEntries(Recordset& rs) override;
    QPushButton* browsingButton() const override { return cmdOk; }
    // Empty entries, the focus in the first one.
    void freshRecord() override;
    // Reads the table again at the saved record, so that records written
    // here stand in their sorted places.
    void standAt(const Value& key) override { requeryAt(key); }
    void placeAddedRecords(const Value& keyBefore) override { requeryAt(keyBefore); }
    void cancelled() override;
    // A new record with nothing typed into it is dropped without a question.
    bool hasChanges() const override { return Editing || (Adding && m_typed); }
    void readAgain() override;
    QList<std::pair<QString, QWidget*>> fieldControls() const override;
    QString recordNoun() const override { return m_design.recordNoun; }
    QString closingNoun() const override { return QStringLiteral("record"); }

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
    // Reads the table again and makes the record with `key` current (the
    // first when it is gone), so that records written here stand in their
    // sorted places.
    void requeryAt(const Value& key);
    // Whether the record on display was found in use, after telling why.
    bool inUse();
    // The window's own lists filled afresh, each keeping its selection.
    void reloadLists();

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
    bool m_closing = false;
    // The table versions the window's lists were read at.
    ListVersions m_listVersions;
};

} // namespace cvd

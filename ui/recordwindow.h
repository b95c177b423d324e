#pragma once
// What a record window is, written once for the main window and the
// maintenance windows: one record at a time of a record set, browsed, edited
// or added (the Editing and Adding states), with Add New / Add Another,
// Update and Cancel, Refresh, a record changed or deleted at another desk
// since it was shown, and the question before the window closes.
//
// A window derives from its Qt window class and from RecordWindow, and fills
// in the hooks: its record set and key, the check and the storing of its
// entries, showing and emptying them, its buttons, how it stands on a record
// it saved, its fields with their controls, and the nouns of its messages.
//
//   Add New:   Adding; the set moved to its last record; the edit layout;
//              "&Add Another"; freshRecord()
//   Update:    CheckFields, then the edit buffer opened (AddNew or Edit) and
//              storeEntries + the write loop; DiscardEdit when that fails.
//              Written: standAt(key), ShowRecord, the browse layout, browsing.
//   Cancel:    the set read again after a change at another desk; the
//              current record shown (or empty, disabled entries); browsing.
#include "base/navigation.h"
#include "db/value.h"

#include <QList>
#include <QString>
#include <utility>

class QLabel;
class QPushButton;
class QWidget;

namespace cvd {

class Recordset;

class RecordWindow {
public:
    virtual ~RecordWindow() = default;

    // Browsing: both false.
    bool Editing = false;
    bool Adding = false;

    // The buttons every record window has, named as the windows know them
    // (each window makes them); Cancel and Update are shown only while a
    // record is edited or added, in the places of others.
    QPushButton* cmdFirst = nullptr;
    QPushButton* cmdPrevious = nullptr;
    QPushButton* cmdNext = nullptr;
    QPushButton* cmdLast = nullptr;
    QPushButton* cmdAddNew = nullptr;
    QPushButton* cmdDelete = nullptr;
    QPushButton* cmdFind = nullptr;
    QPushButton* cmdCancel = nullptr;
    QPushButton* cmdUpdate = nullptr;

    // A change in an entry: the edit layout, unless an edit or an addition
    // is under way or the login may not write.
    void BeginEdit();
    // Cancel and Update shown in the places of the browsing buttons, and
    // back.
    void EditLayout();
    void BrowseLayout();
    // Moving: nothing happens on an empty set; stepping past either end
    // beeps and stays there.
    void cmdFirst_Click() { stepTo(Step::First); }
    void cmdPrevious_Click() { stepTo(Step::Previous); }
    void cmdNext_Click() { stepTo(Step::Next); }
    void cmdLast_Click() { stepTo(Step::Last); }
    void stepTo(Step where);
    void cmdAddNew_Click();
    void cmdUpdate_Click() { saveRecord(); }
    void cmdCancel_Click();

    // Shows the current record, or empty, disabled entries.
    virtual void ShowRecord() = 0;
    virtual void ClearFields() = 0;
    virtual void DisableFields() = 0;
    virtual void EnableFields() = 0;
    // The check before a save, with its messages.
    virtual bool CheckFields() = 0;
    // The label standing above a control, if any.
    virtual QLabel* labelOf(const QWidget* control) const = 0;

protected:
    // Refresh (F5): what is being edited or added is saved or dropped first,
    // as the user says (as on closing), then readAgain().
    void refresh();
    // Asks whether to keep an edit or a new record before the window
    // closes; returns whether it may close.
    bool mayClose();
    // Update: checks, writes and shows the record; returns whether it was
    // written.
    bool saveRecord();
    // Opens the edit buffer (a new record when adding) and writes the
    // entries; `key` receives the record's key.  A record that could not be
    // written stays on screen, still being edited or added, so that nothing
    // typed is lost; the edit buffer is given up.
    bool writeRecord(Value& key);
    // The record set, or null; the same, raising error 91 when null.
    virtual Recordset* recordSet() const = 0;
    Recordset& records() const;
    bool hasRecords() const;

    // The table and its key field.
    virtual QString tableName() const = 0;
    virtual QString keyField() const = 0;
    // Puts the entries into the open edit buffer of `rs`.
    virtual void storeEntries(Recordset& rs) = 0;
    // The window's own button shown only while browsing (Help, OK).
    virtual QPushButton* browsingButton() const = 0;
    // After a switch of the layout (the main window's menus).
    virtual void layoutSwitched(bool /*editing*/) {}
    // The entries for the next new record.
    virtual void freshRecord() = 0;
    // Makes the record with `key` current after a save.
    virtual void standAt(const Value& key) = 0;
    // Cancel after Add Another wrote records in this add mode; `keyBefore`
    // was current when add mode began (Null: none).
    virtual void placeAddedRecords(const Value& /*keyBefore*/) {}
    // The end of an edit or an addition by Cancel.
    virtual void cancelled() {}
    // Whether closing must ask about the record on screen.
    virtual bool hasChanges() const { return Editing || Adding; }
    // Refresh: the set and the lists read again and shown.
    virtual void readAgain() = 0;
    // The record's fields and the controls that show them.
    virtual QList<std::pair<QString, QWidget*>> fieldControls() const = 0;
    // A field's value as ShowRecord shows it in `control` (a list: the
    // entry's text; a check box: "Yes" or "No").
    virtual QString fieldText(const QWidget* control, const Value& v) const;
    // What a record is in the messages about other desks ("request"), and
    // in the question before closing.
    virtual QString recordNoun() const = 0;
    virtual QString closingNoun() const { return recordNoun(); }

    // This login may not change the window's table.
    bool m_readOnly = false;
    // The record on display was found changed or deleted at another desk:
    // Cancel reads the records again, so as to show the stored version (or
    // the record that took the deleted one's place).
    bool m_changedElsewhere = false;

private:
    // The write loop, telling a record changed (3197) or deleted (3167) at
    // another desk since it was shown.
    bool writeBuffer(Recordset& rs);
    // What is stored now where it differs from the screen, or that the
    // record is gone.
    void changedElsewhere(const Value& key, int errorNumber);
    // What `control` shows now, in the terms of fieldText.
    static QString controlText(const QWidget* control);

    // Records were written by Add Another in this add mode.
    bool m_addedInAddMode = false;
    Value m_keyBeforeAdd;
};

} // namespace cvd

#pragma once
// What a record window put into its controls when it showed a record, so
// that a save writes only the fields the user changed.  A control that still
// shows what it was given leaves its field as it is stored, whatever the
// control could not show of it: a key that names no entry of a list, a text
// longer than its box takes, an amount with more decimals than shown, an
// empty field shown as 0.
//
//   ShowRecord:   fill the controls, then m_shown.remember(controls)
//   ClearFields:  m_shown.clear()      (a new record: every field is written)
//   storeEntries: if (!m_shown.untouched(control)) rs.SetField(...)
#include <QHash>
#include <QList>
#include <QString>

class QWidget;

namespace cvd {

class ShownFields {
public:
    void remember(const QList<QWidget*>& controls);
    void clear() { m_shown.clear(); }
    // Whether `control` shows what it showed when it was remembered.
    bool untouched(const QWidget* control) const;

private:
    QHash<const QWidget*, QString> m_shown;
};

// A line edit shows its text from the first character (setText leaves the
// cursor, and with it the view, at the end).
void showFromStart(QWidget* control);

} // namespace cvd

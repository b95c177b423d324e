#include "base/lookupentries.h"

#include "db/database.h"

namespace cvd {

QString nameRule(const Value& lastName, const Value& firstName)
{
    const QString last = lastName.displayText();
    const QString first = firstName.displayText();
    if (last.isEmpty() || first.isEmpty())
        return last + first;
    return last + QStringLiteral(", ") + first;
}

QString fullName(const Value& firstName, const Value& lastName)
{
    return firstName.displayText() + u' ' + lastName.displayText();
}

ListEntries readEntries(Database& db, const QString& sql, const QString& keyField, const QString& textField)
{
    ListEntries e;
    const auto rs = db.OpenRecordset(sql, RecordsetType::ForwardOnly);
    const int key = rs->FieldIndex(keyField);
    const bool person = textField.isEmpty();
    const int text = rs->FieldIndex(person ? QStringLiteral("LastName") : textField);
    const int first = person ? rs->FieldIndex(QStringLiteral("FirstName")) : -1;
    for (; !rs->Eof(); rs->MoveNext()) {
        e.texts.append(person ? nameRule(rs->Field(text), rs->Field(first)) : rs->Field(text).displayText());
        e.keys.append(rs->Field(key).toLong());
    }
    rs->Close();
    return e;
}

} // namespace cvd

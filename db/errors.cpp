#include "db/errors.h"

namespace cvd {

QString errorText(int number)
{
    switch (number) {
    case ErrNo::Overflow: return QStringLiteral("Overflow");
    case ErrNo::DeviceIO: return QStringLiteral("Device I/O error");
    case ErrNo::FileExists: return QStringLiteral("File already exists");
    case ErrNo::DiskFull: return QStringLiteral("Disk full");
    case ErrNo::PathAccess: return QStringLiteral("Path/File access error");
    case ErrNo::TypeMismatch: return QStringLiteral("Type mismatch");
    case ErrNo::ObjectNotSet: return QStringLiteral("Object variable or With block variable not set");
    case ErrNo::InvalidUseOfNull: return QStringLiteral("Invalid use of Null");
    case ErrNo::SqlError: return QStringLiteral("The database engine could not run this query.");
    case ErrNo::NoCurrentRecord: return QStringLiteral("No current record.");
    case ErrNo::FileNotFound: return QStringLiteral("Couldn't find file.");
    case ErrNo::DatabaseInUse: return QStringLiteral("The database file is already in use.");
    case ErrNo::NotADatabase: return QStringLiteral("The file is not a database, or it is damaged.");
    case ErrNo::CannotWrite: return QStringLiteral("The database file cannot be written.");
    case ErrNo::FieldTooSmall:
        return QStringLiteral("The field is too small to accept the amount of data you attempted to add.  Try inserting or pasting less data.");
    case ErrNo::RecordLocked: return QStringLiteral("Couldn't update; currently locked.");
    case ErrNo::RecordLockedByUser: return QStringLiteral("Couldn't update; currently locked by another user.");
    case ErrNo::NotUpdatable: return QStringLiteral("Database or object is read-only.");
    case ErrNo::UpdateWithoutEdit: return QStringLiteral("Update or CancelUpdate without AddNew or Edit.");
    case ErrNo::ItemNotFound: return QStringLiteral("Item not found in this collection.");
    case ErrNo::MissingTables: return QStringLiteral("The database does not hold the program's tables.");
    case ErrNo::DuplicateKey: return QStringLiteral("The changes you requested were not successful because they would create duplicate values in the key.");
    case ErrNo::LoginRefused: return QStringLiteral("The database server refused the login.");
    case ErrNo::ConnectionLost: return QStringLiteral("The connection to the database server was lost.");
    case ErrNo::ServerUnreachable: return QStringLiteral("Couldn't reach the database server.");
    case ErrNo::RecordDeleted: return QStringLiteral("Record is deleted.");
    case ErrNo::ChangedElsewhere: return QStringLiteral("The record was changed at another desk since it was read.");
    case ErrNo::RowInUse: return QStringLiteral("The record cannot be deleted because another record refers to it.");
    case ErrNo::MissingReference:
        return QStringLiteral("You cannot add or change a record because a record it refers to does not exist.");
    case ErrNo::DialogCancelled: return QStringLiteral("Cancel was selected.");
    default: return QStringLiteral("Application-defined or object-defined error");
    }
}

void raise(int number) { throw Error(number, errorText(number)); }
void raise(int number, const QString& text) { throw Error(number, text); }

} // namespace cvd

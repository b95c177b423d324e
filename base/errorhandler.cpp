#include "base/errorhandler.h"

#include "base/damagedfile.h"
#include "base/globals.h"
#include "base/platform.h"
#include "db/database.h"

#include <optional>

namespace cvd {

void HandleError(const Error& e)
{
    switch (e.number()) {
    case ErrNo::DatabaseInUse:
        platform().messageBox(
            QStringLiteral("The database is in use.  You are attempting to run the non-network version in a "
                           "network environment.  The program will exit."),
            Mb::OkOnly, QStringLiteral("Database File Already In Use"));
        platform().endProgram(1);
        return; // not reached
    case ErrNo::RecordLocked:
    case ErrNo::RecordLockedByUser:
        LockRetryFlag = true;
        ++LockRetryCounter;
        if (LockRetryCounter < 100)
            return;
        if (platform().messageBox(QStringLiteral("Could not update locked record.  Do you wish to try again?"),
                                  Mb::YesNo, QStringLiteral("Locked Record"))
            == Answer::Yes) {
            LockRetryCounter = 1;
            return;
        }
        // No: this write is given up.  The window keeps what was typed, as
        // for any write that fails, so the user can try again or cancel.
        LockRetryFlag = false;
        return;
    case ErrNo::DialogCancelled:
        ReportCancelled = true;
        return;
    case ErrNo::NotADatabase:
        // Damage met in the program's data file: the first time, the
        // warning that says what it means and what to do.  (cvdtool, which
        // names no data file of the program's, says the error as it is.)
        if (MainDb && !MainDb->isServer() && !DatabasePath.isEmpty()) {
            if (!damagedFileTold()) {
                tellDamagedFile({e.text()});
                return;
            }
            if (QuietDamage::active())
                return;
        }
        platform().messageBox(QString::number(e.number()) + QStringLiteral("  ") + e.text(), Mb::OkOnly);
        return;
    default:
        platform().messageBox(QString::number(e.number()) + QStringLiteral("  ") + e.text(), Mb::OkOnly);
        return;
    }
}

bool trap(const std::function<void()>& step)
{
    try {
        step();
        return true;
    } catch (const Error& e) {
        HandleError(e);
    } catch (const ProgramEnded&) {
        throw;
    } catch (const std::bad_alloc&) {
        HandleError(Error(7, QStringLiteral("Out of memory")));
    }
    return false;
}

void trapSteps(std::initializer_list<std::function<void()>> steps)
{
    for (const auto& step : steps)
        trap(step);
}

bool WriteLoop(const std::function<void()>& write, const std::function<void(int errorNumber)>& elsewhere)
{
    LockRetryCounter = 0;
    LockRetryFlag = true;
    bool written = false;
    int elsewhereError = 0; // 3197 or 3167, for `elsewhere`
    bool waiting = false;
    while (LockRetryFlag) {
        LockRetryFlag = false;
        written = trap([&] {
            try {
                write();
            } catch (const Error& e) {
                if ((e.number() != ErrNo::ChangedElsewhere && e.number() != ErrNo::RecordDeleted) || !elsewhere)
                    throw;
                elsewhereError = e.number();
            }
        });
        if (!LockRetryFlag)
            break;
        // Another desk holds the record: a moment for it to finish.
        if (!waiting)
            platform().setPointer(Pointer::Hourglass);
        waiting = true;
        platform().pause(LockRetryPauseMs);
    }
    if (waiting)
        platform().setPointer(Pointer::Default);
    trap([] {
        if (MainDb)
            MainDb->Idle();
    });
    if (elsewhereError)
        trap([&] { elsewhere(elsewhereError); });
    return written && !elsewhereError;
}

namespace {

// A stored value on one line of a message: line breaks as blanks, a long
// text cut short.
QString oneLine(const QString& text)
{
    QString line = text.simplified();
    if (line.isEmpty())
        return QStringLiteral("(empty)");
    if (line.size() > 60)
        line = line.left(57) + QStringLiteral("...");
    return line;
}

// A label as a name: without its access key's mark, on one line.
QString labelName(QString label)
{
    label.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    label.remove(QLatin1Char('&'));
    label.replace(QStringLiteral("\x01"), QStringLiteral("&"));
    return label.simplified();
}

} // namespace

void tellChangedElsewhere(const QString& what, const QList<StoredField>& differing, const QString& choices)
{
    QString text = what + QStringLiteral("\n\n");
    if (differing.isEmpty()) {
        text += QStringLiteral("What is stored now is what the window shows.");
    } else {
        text += QStringLiteral("Stored now:");
        for (const StoredField& f : differing)
            text += QStringLiteral("\n    ") + labelName(f.label) + QStringLiteral(": ") + oneLine(f.stored);
    }
    text += QStringLiteral("\n\n") + choices;
    platform().messageBox(text, Mb::OkOnly | Mb::Exclamation, QStringLiteral("Changed at Another Desk"));
}

void tellDeletedElsewhere(const QString& what)
{
    platform().messageBox(what + QStringLiteral("\n\nNothing was saved.  Your entries are still on screen; Cancel goes "
                                                "on to the next record."),
                          Mb::OkOnly | Mb::Exclamation, QStringLiteral("Deleted at Another Desk"));
}

Deletion DeleteLoop(Recordset& rs, const std::function<void(const Error&)>& inUse)
{
    bool gone = false;
    std::optional<Error> named;
    const bool deleted = WriteLoop([&] {
        try {
            rs.Delete();
        } catch (const Error& e) {
            if (e.number() == ErrNo::RowInUse && inUse) {
                named = e;
                return;
            }
            if (e.number() != ErrNo::RecordDeleted)
                throw;
            gone = true;
        }
    });
    if (named) {
        trap([&] { inUse(*named); });
        return Deletion::Failed;
    }
    if (!deleted)
        return Deletion::Failed;
    if (!gone)
        return Deletion::Done;
    trap([&] { rs.Requery(); });
    return Deletion::Elsewhere;
}

void guarded(const std::function<void()>& handler)
{
    try {
        trap(handler);
    } catch (const ProgramEnded&) {
        // The program is ending; nothing more to do here.
    }
}

void guardedActivation(const std::function<void()>& refresh)
{
    guarded([&] {
        try {
            refresh();
        } catch (const Error& e) {
            // Damage already told is not told again each time the window
            // becomes active.
            if (e.number() != ErrNo::ConnectionLost && !(e.number() == ErrNo::NotADatabase && damagedFileTold()))
                throw;
        }
    });
}

bool askSaveBeforeClosing(const QString& question, const std::function<bool()>& save)
{
    switch (platform().messageBox(question, Mb::YesNoCancel | Mb::Question)) {
    case Answer::Yes: {
        bool saved = false;
        guarded([&] { saved = save(); });
        return saved;
    }
    case Answer::No: return true;
    default: return false;
    }
}

} // namespace cvd

#include "base/errorhandler.h"

#include "base/globals.h"
#include "base/platform.h"
#include "db/database.h"

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
        platform().endProgram(0);
        return; // not reached
    case ErrNo::DialogCancelled:
        ReportCancelled = true;
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

bool WriteLoop(const std::function<void()>& write)
{
    LockRetryCounter = 0;
    LockRetryFlag = true;
    bool written = false;
    while (LockRetryFlag) {
        LockRetryFlag = false;
        written = trap(write);
    }
    trap([] {
        if (MainDb)
            MainDb->Idle();
    });
    return written;
}

void guarded(const std::function<void()>& handler)
{
    try {
        trap(handler);
    } catch (const ProgramEnded&) {
        // The program is ending; nothing more to do here.
    }
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

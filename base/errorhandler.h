#pragma once
// The central error handler, the "resume at the next statement" helpers
// built on it, and the write loop with its lock retry.
#include "db/errors.h"

#include <QList>
#include <QString>
#include <functional>
#include <initializer_list>

namespace cvd {

class Recordset;

// Decides from the error's number what the user sees: ends the program
// (3045), counts a lock failure and asks on the 100th (3168, 3260), notes a
// cancelled dialog (32755), or shows the number and the text.  No to the
// lock question gives up the write (the write loop ends, unwritten).
void HandleError(const Error& e);

// Runs `step`; a failure goes to HandleError and the caller goes on.
// Ending the program is never caught.  Returns whether the step ran through.
bool trap(const std::function<void()>& step);

// Runs every step in order under trap(): a failing step is reported and
// the next one still runs.
void trapSteps(std::initializer_list<std::function<void()>> steps);

// Runs an event handler that has no error trap of its own: an error is
// shown by the central handler instead of reaching the event loop, and the
// end of the program unwinds quietly.
void guarded(const std::function<void()>& handler);

// Runs what a window reads again as it becomes active (lists, values that
// may have changed meanwhile) under guarded(), but for a lost connection,
// which is not told here: the user's next step tells it, and closing its
// message box (which activates the window again) brings no second one.  A
// damaged data file, once told (base/damagedfile.h), is not told again.
void guardedActivation(const std::function<void()>& refresh);

// Asks `question` before a window with a record being changed closes:
// Yes runs `save` (under guarded) and allows closing when it wrote the
// record, No allows closing, Cancel keeps the window open.
bool askSaveBeforeClosing(const QString& question, const std::function<bool()>& save);

// The pause between two tries of a locked write: a hundred tries take
// about ten seconds before the user is asked.
constexpr int LockRetryPauseMs = 100;

// The write loop: retries `write` while HandleError reports a locked record
// (with the hourglass, and a short pause before each new try), then tells
// the engine to free its locks.  A record that another desk changed (3197)
// or deleted (3167) since it was read is passed to `elsewhere`, with that
// number, when given, instead of the handler's message.  Returns whether
// the write went through.
bool WriteLoop(const std::function<void()>& write, const std::function<void(int errorNumber)>& elsewhere = {});

// A field of a record that another desk changed: its name as the window
// labels it (access keys and line breaks are dropped), and what is stored
// now, as the window would show it.
struct StoredField {
    QString label;
    QString stored;
};

// Tells the user that the record being saved was deleted at another desk
// since the window read it (`what` in the window's own words): nothing was
// written, the entries stay on screen, and Cancel goes on to the record
// that took its place.
void tellDeletedElsewhere(const QString& what);

inline const QString SaveOrCancel = QStringLiteral(
    "Your entries are still on screen.  Choose Update to save them over the stored version, or Cancel to "
    "show the stored version.");

// Tells the user that the record being saved was changed at another desk
// since the window read it: `what` in the window's own words, then what is
// stored now in each field that differs from the screen, then `choices`.
// Nothing is written.
void tellChangedElsewhere(const QString& what, const QList<StoredField>& differing,
                          const QString& choices = SaveOrCancel);

// The delete of the current record of `rs` through the write loop.  A
// record that another desk deleted first is gone all the same: no message,
// and the set is read again, so that it stands on the record that took the
// deleted one's place (Deletion::Elsewhere).  After a delete of its own the
// set stands where the engine leaves it (Deletion::Done).  A record that
// another record names after all (3200: another desk saved one naming it
// since the window looked) is kept, and passed to `inUse`, when given,
// instead of the handler's message.
enum class Deletion { Failed, Done, Elsewhere };
Deletion DeleteLoop(Recordset& rs, const std::function<void(const Error&)>& inUse = {});

} // namespace cvd

#pragma once
// The central error handler, the "resume at the next statement" helpers
// built on it, and the write loop with its lock retry.
#include "db/errors.h"

#include <QString>
#include <functional>
#include <initializer_list>

namespace cvd {

// Decides from the error's number what the user sees: ends the program
// (3045), counts a lock failure and asks on the 100th (3168, 3260), notes a
// cancelled dialog (32755), or shows the number and the text.
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

// Asks `question` before a window with a record being changed closes:
// Yes runs `save` (under guarded) and allows closing when it wrote the
// record, No allows closing, Cancel keeps the window open.
bool askSaveBeforeClosing(const QString& question, const std::function<bool()>& save);

// The write loop: retries `write` while HandleError reports a locked record,
// then tells the engine to free its locks.  Returns whether the write went
// through.
bool WriteLoop(const std::function<void()>& write);

} // namespace cvd

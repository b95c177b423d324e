#pragma once
// Access keys: Alt with a letter or digit presses the button (or opens the
// menu) whose caption underlines that character.  A button that is hidden
// (Next while a request is being edited, Cancel while browsing) or disabled
// takes no key; the key then does nothing but beep.  It never types its
// character into the box that has the focus, nor picks a list entry by it,
// so an access key can never change a record.
namespace cvd {

// Puts the rule in force for every window of the program; each window calls
// it as it is made (only the first call does anything).
void guardAccessKeys();

} // namespace cvd

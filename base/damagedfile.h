#pragma once
// The warning that the data file is damaged: told once while the program
// has the file open, by whichever finds the damage first, the check of the
// file beside the program or a step that meets a damaged page.  Later
// steps that meet it at the start or as a window becomes active are not
// told again; a save the user asks for still says why it failed.
#include <QStringList>

namespace cvd {

// Whether the warning has been told for the file open now.
bool damagedFileTold();

// Tells the warning unless it has been told; `findings` are what the check
// or the failed step found (the first three are shown).
void tellDamagedFile(const QStringList& findings);

// While one lives, a step that meets the damage once the warning has been
// told is not told again (the start of the program).
class QuietDamage {
public:
    QuietDamage();
    ~QuietDamage();
    QuietDamage(const QuietDamage&) = delete;
    QuietDamage& operator=(const QuietDamage&) = delete;
    static bool active();
};

} // namespace cvd

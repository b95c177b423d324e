#pragma once
// Start-up: the data folder from the command line, then the main window's
// load steps, each of which runs under the central error handler.
#include <QString>
#include <QStringList>

namespace cvd {

class frmMain;

// The argument the desktop menu starts the program with.
inline const QString MenuOption = QStringLiteral("--menu");

// Whether the program was started from the desktop menu: "--menu" is one
// of the arguments.
bool startedFromMenu(const QStringList& argumentsAfterProgram);

// The argument text after the program name: the arguments joined with
// single blanks, without "--menu".
QString commandLineText(const QStringList& argumentsAfterProgram);

// The data folder, always ending in '/'.  If the command line holds "-d"
// (exactly so: "-D" is not recognised), it is the text from the third
// character after the first "-d" to the end (the character right after
// "-d" is skipped, whatever it is); otherwise the current directory.
QString dataPathFromCommandLine(const QString& commandLine, const QString& currentDirectory);

// The user's own data folder, ~/Calvedon, where the program starts when it
// is started from the menu without -d.
QString userDataFolder();

// Where an installed program keeps its help file: share/calvedon beside
// the folder of the program.
QString installedHelpFile();

// The help file: the data folder's own cvd.hlp when it has one, otherwise
// `installedHelp` when that exists, otherwise the data folder's (which the
// help window then reports as missing).
QString helpFilePathFor(const QString& dataPath, const QString& installedHelp);

// The main window's load, in order: list flags, data folder, report
// defaults, file paths, the database, ReqSet, the costing values from
// Settings, the first request (or disabled fields), browsing layout.
// A database that cannot be opened ends the program after one message.
//
// Started from the menu, the data folder is userDataFolder() (unless the
// command line names one with -d), made when missing; when it holds no
// cvd.mdb the user is asked once whether to create a new, empty one: Yes
// creates it as `cvdtool create` does and starts on it, No ends the
// program without another word.
void startUp(frmMain& w, const QString& commandLine, bool fromMenu = false);

} // namespace cvd

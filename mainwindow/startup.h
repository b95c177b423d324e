#pragma once
// Start-up: the data folder from the command line, then the main window's
// load steps, each of which runs under the central error handler.
#include <QString>
#include <QStringList>

namespace cvd {

class frmMain;

// The argument text after the program name: the arguments joined with
// single blanks.
QString commandLineText(const QStringList& argumentsAfterProgram);

// The data folder, always ending in '/'.  If the command line holds "-d"
// (exactly so: "-D" is not recognised), it is the text from the third
// character after the first "-d" to the end (the character right after
// "-d" is skipped, whatever it is); otherwise the current directory.
QString dataPathFromCommandLine(const QString& commandLine, const QString& currentDirectory);

// The main window's load, in order: list flags, data folder, report
// defaults, file paths, the database, ReqSet, the costing values from
// Settings, the first request (or disabled fields), browsing layout.
// A database that cannot be opened ends the program after one message.
void startUp(frmMain& w, const QString& commandLine);

} // namespace cvd

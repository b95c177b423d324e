#pragma once
// Everything that asks or tells the user something, and everything that
// reaches outside the program's windows, goes through one interface: the
// program uses the Qt implementation, the tests a scripted double that
// records each call and answers from a queue.
#include <QString>

class QPrinter;
class QWidget;

namespace cvd {

// Buttons, icons and answers of a message box, numbered as in the classic
// message box API so that combined flags read the same everywhere.
namespace Mb {
constexpr int OkOnly = 0;
constexpr int OkCancel = 1;
constexpr int YesNoCancel = 3;
constexpr int YesNo = 4;
constexpr int Critical = 16;
constexpr int Question = 32;
constexpr int Exclamation = 48;
constexpr int Information = 64;
constexpr int ButtonsMask = 0x0F;
constexpr int IconMask = 0xF0;
}
enum class Answer { Ok = 1, Cancel = 2, Yes = 6, No = 7 };

// The program's title, given to every message box that has no title of its own.
inline const QString ProgramTitle = QStringLiteral("cvd");

enum class Pointer { Default = 0, Hourglass = 11 };

// Commands of the help engine.
namespace Help {
constexpr int Context = 1;     // open at a context number (0: the contents)
constexpr int HelpOnHelp = 4;  // how to use help
constexpr int PartialKey = 261; // the search
}

struct FontChoice {
    QString name;
    double size = 0;
    bool bold = false, italic = false, underline = false;
};

class Platform {
public:
    virtual ~Platform() = default;

    // flags: buttons + icon (Mb::...).  An empty title means ProgramTitle.
    virtual Answer messageBox(const QString& text, int flags = Mb::OkOnly, const QString& title = {}) = 0;
    // The typed text; the empty text when the user cancels.
    virtual QString inputBox(const QString& prompt, const QString& title, const QString& defaultText = {}) = 0;
    // Save As dialog: the chosen path.  Cancel raises error 32755.
    virtual QString saveAs(const QString& title, const QString& defaultName, const QString& filter) = 0;
    // Font dialog, starting from `font`.  Cancel raises error 32755.
    virtual FontChoice chooseFont(const FontChoice& font) = 0;
    // Print dialog for `printer`: whether the user chose to print (the
    // dialog has set the printer up), or cancelled.
    virtual bool choosePrinter(QPrinter& printer) = 0;
    // Progress of a long task (a report): shown once the task has run about
    // half a second, with a Cancel button.  progressStep tells how far it is
    // (`total` 0 when unknown) and answers false once the user cancelled.
    virtual void progressBegin(const QString& label) = 0;
    virtual bool progressStep(qint64 done, qint64 total) = 0;
    virtual void progressEnd() = 0;
    virtual void beep() = 0;
    virtual void setPointer(Pointer p) = 0;
    // Waits about `ms` milliseconds (between the tries of a write that
    // another desk holds up).  The program's windows are still painted
    // meanwhile, but nothing the user does is taken until it ends.  This
    // one blocks the thread; the program's own waits in an event loop.
    virtual void pause(int ms);
    // A call on the help engine: file, command (Help::...) and its data.
    virtual void help(QWidget* owner, const QString& helpFile, int command, quint32 data) = 0;
    // Ends the program at once: every window closes and the database is
    // released.  Never returns: throws ProgramEnded where the program goes on
    // running (the tests), or leaves the process.
    [[noreturn]] virtual void endProgram(int exitCode) = 0;
};

// The platform the program runs on.
Platform& platform();
// Installs a platform (the program's at start, a double in tests); not owned.
void setPlatform(Platform* p);

} // namespace cvd

#pragma once
// The platform of a run without windows (cvdtool report, the benchmarks):
// it installs itself, shows nothing, answers every question with its first
// button (Yes or OK), cancels every file and font dialog, has no printer,
// and keeps the offscreen platform's remarks about what it cannot do (raise
// a window, pass size hints) off the error output.  What a message box
// would say goes to shown(), for the run to print or count.
#include "base/platform.h"

namespace cvd {

class HeadlessPlatform : public Platform {
public:
    HeadlessPlatform();
    ~HeadlessPlatform() override;

    Answer messageBox(const QString& text, int flags, const QString& title) override;
    QString inputBox(const QString&, const QString&, const QString&) override { return {}; }
    QString saveAs(const QString&, const QString&, const QString&) override;
    FontChoice chooseFont(const FontChoice&) override;
    bool choosePrinter(QPrinter&) override { return false; }
    void progressBegin(const QString&) override {}
    bool progressStep(qint64, qint64) override { return true; }
    void progressEnd() override {}
    void beep() override {}
    void setPointer(Pointer) override {}
    void help(QWidget*, const QString&, int, quint32) override {}
    [[noreturn]] void endProgram(int code) override;

protected:
    // A message the program shows (a question is answered as well).
    virtual void shown(const QString& text, int flags) = 0;
};

} // namespace cvd

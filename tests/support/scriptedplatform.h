#pragma once
// The platform double of the tests: records every call and answers from
// queues.  A message box with no queued answer gets the first button of its
// kind (OK, Yes); an input box the empty text; a dialog with nothing queued
// is cancelled.  Ending the program is recorded and unwinds with ProgramEnded.
#include "base/platform.h"
#include "db/errors.h"

#include <QList>
#include <QQueue>
#include <QStringList>
#include <functional>

namespace cvd::test {

struct MessageCall {
    QString text;
    int flags = 0;
    QString title; // as shown: ProgramTitle when none was given
    int buttons() const { return flags & Mb::ButtonsMask; }
    int icon() const { return flags & Mb::IconMask; }
};

struct HelpCall { QString file; int command = 0; quint32 data = 0; };

class ScriptedPlatform : public Platform {
public:
    ScriptedPlatform() { setPlatform(this); }          // installs itself
    ~ScriptedPlatform() override { setPlatform(nullptr); } // and uninstalls

    Answer messageBox(const QString& text, int flags, const QString& title) override;
    QString inputBox(const QString& prompt, const QString&, const QString&) override
    {
        prompts << prompt;
        return inputs.isEmpty() ? QString() : inputs.dequeue();
    }
    QString saveAs(const QString&, const QString&, const QString&) override { return nextOf(saveAsPaths); }
    FontChoice chooseFont(const FontChoice&) override { return nextOf(fonts); }
    // A print dialog prints to a PDF file in the test's folder when
    // printToPdf is set, and is cancelled otherwise.
    bool choosePrinter(QPrinter& printer) override;
    void progressBegin(const QString& label) override { progressLabels << label; }
    bool progressStep(qint64 done, qint64) override { ++progressSteps; return cancelProgressAt < 0 || done < cancelProgressAt; }
    void progressEnd() override { ++progressEnds; }
    void beep() override { ++beeps; }
    void setPointer(Pointer p) override { pointers << p; }
    // Never waited; whilePaused (when set) runs in the pause, as another
    // desk would go on meanwhile.
    void pause(int) override { if (whilePaused) whilePaused(); }
    std::function<void()> whilePaused;
    void help(QWidget*, const QString& file, int command, quint32 data) override { helpCalls << HelpCall{file, command, data}; }
    [[noreturn]] void endProgram(int exitCode) override;

    // Answers to give, in order.
    QQueue<Answer> answers;
    QQueue<QString> inputs;
    QQueue<QString> saveAsPaths;
    QQueue<FontChoice> fonts;
    QString printToPdf;      // the file the print dialog chooses; empty: cancel
    qint64 cancelProgressAt = -1; // a progress step at or past this count is cancelled

    // What was called.
    QList<MessageCall> messages;
    QStringList prompts;
    QList<HelpCall> helpCalls;
    QList<Pointer> pointers;
    int beeps = 0;
    int printDialogs = 0;
    QStringList progressLabels;
    qint64 progressSteps = 0;
    int progressEnds = 0;
    bool ended = false;
    int exitCode = -1;

    QStringList messageTexts() const;

private:
    // The next answer of a dialog; with none queued, the dialog is cancelled.
    template <class T> static T nextOf(QQueue<T>& queue)
    {
        if (queue.isEmpty())
            raise(ErrNo::DialogCancelled);
        return queue.dequeue();
    }
};

} // namespace cvd::test

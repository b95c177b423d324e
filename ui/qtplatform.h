#pragma once
// The platform services of the running program, over Qt: message and input
// boxes, the Save As and font dialogs, the beep, the mouse pointer, a pause
// that keeps the windows painted, the help window, and the end of the program.
#include "base/platform.h"

#include <QElapsedTimer>
#include <QPointer>

class QProgressDialog;

namespace cvd {

class QtPlatform : public Platform {
public:
    ~QtPlatform() override;
    Answer messageBox(const QString& text, int flags = Mb::OkOnly, const QString& title = {}) override;
    QString inputBox(const QString& prompt, const QString& title, const QString& defaultText = {}) override;
    QString saveAs(const QString& title, const QString& defaultName, const QString& filter) override;
    FontChoice chooseFont(const FontChoice& font) override;
    bool choosePrinter(QPrinter& printer) override;
    void progressBegin(const QString& label) override;
    bool progressStep(qint64 done, qint64 total) override;
    void progressEnd() override;
    void beep() override;
    void setPointer(Pointer p) override;
    void pause(int ms) override;
    void help(QWidget* owner, const QString& helpFile, int command, quint32 data) override;
    // Hides every window, releases the requests and the database, and
    // leaves the process with the exit code.
    [[noreturn]] void endProgram(int exitCode) override;

private:
    bool m_hourglass = false;
    QPointer<QProgressDialog> m_progress;
    QElapsedTimer m_sinceStep;
};

// "Text Files (*.txt)|*.txt|All Files (*.*)|*.*" as a Qt file dialog filter.
QString qtFileFilter(const QString& pipeFilter);

} // namespace cvd

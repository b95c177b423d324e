#pragma once
// What the benchmarks share: a platform that shows nothing, timing, and
// the figures printed with their targets.
#include "base/platform.h"
#include "db/errors.h"

#include <QElapsedTimer>
#include <QMap>
#include <QQueue>
#include <vector>

namespace cvd::bench {

// Prints a figure with its target and PASS or FAIL; a failed figure makes
// allPassed() false.
void report(const char* figure, double value, const char* unit, double target);
bool allPassed();

// Answers every question with its first button and shows nothing; counts
// the messages that only tell something; input boxes answer from a queue.
class SilentPlatform : public Platform {
public:
    SilentPlatform();  // installs itself
    ~SilentPlatform() override;
    QMap<QString, int> told;
    QQueue<QString> inputs;
    Answer messageBox(const QString& text, int flags, const QString&) override;
    QString inputBox(const QString&, const QString&, const QString&) override;
    QString saveAs(const QString&, const QString&, const QString&) override { raise(ErrNo::DialogCancelled); }
    FontChoice chooseFont(const FontChoice&) override { raise(ErrNo::DialogCancelled); }
    bool choosePrinter(QPrinter&) override { return false; }
    void progressBegin(const QString&) override {}
    bool progressStep(qint64, qint64) override { return true; }
    void progressEnd() override {}
    void beep() override {}
    void setPointer(Pointer) override {}
    void help(QWidget*, const QString&, int, quint32) override {}
    [[noreturn]] void endProgram(int code) override { throw ProgramEnded(code); }
};

struct Timing {
    std::vector<double> ms;
    void add(double v) { ms.push_back(v); }
    double mean() const;
    double median() const;
    double worst() const;
};

// Milliseconds that f takes.
template <typename F> double timed(F&& f)
{
    QElapsedTimer t;
    t.start();
    f();
    return double(t.nsecsElapsed()) / 1e6;
}

} // namespace cvd::bench

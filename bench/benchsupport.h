#pragma once
// What the benchmarks share: a platform that shows nothing, timing, and
// the figures printed with their targets.
#include "base/headlessplatform.h"

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
class SilentPlatform : public HeadlessPlatform {
public:
    QMap<QString, int> told;
    QQueue<QString> inputs;
    QString inputBox(const QString&, const QString&, const QString&) override;

protected:
    void shown(const QString& text, int flags) override;
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

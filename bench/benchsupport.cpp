#include "benchsupport.h"

#include <algorithm>
#include <cstdio>
#include <numeric>

namespace cvd::bench {

namespace {
bool passed = true;
} // namespace

void report(const char* figure, double value, const char* unit, double target)
{
    const bool pass = value < target;
    passed = passed && pass;
    std::printf("%-52s %12.3f %-3s  target < %g %s  %s\n", figure, value, unit, target, unit, pass ? "PASS" : "FAIL");
    std::fflush(stdout);
}

bool allPassed() { return passed; }

void SilentPlatform::shown(const QString& text, int flags)
{
    const int buttons = flags & Mb::ButtonsMask;
    if (buttons != Mb::YesNo && buttons != Mb::YesNoCancel)
        ++told[text];
}

QString SilentPlatform::inputBox(const QString&, const QString&, const QString&)
{
    return inputs.isEmpty() ? QString() : inputs.dequeue();
}

double Timing::mean() const
{
    return ms.empty() ? 0 : std::accumulate(ms.begin(), ms.end(), 0.0) / double(ms.size());
}

double Timing::median() const
{
    if (ms.empty())
        return 0;
    std::vector<double> s = ms;
    std::sort(s.begin(), s.end());
    return s[s.size() / 2];
}

double Timing::worst() const { return ms.empty() ? 0 : *std::max_element(ms.begin(), ms.end()); }

} // namespace cvd::bench

#include "base/platform.h"

#include <cassert>
#include <chrono>
#include <thread>

namespace cvd {

namespace {
Platform* g_platform = nullptr;
}

Platform& platform()
{
    assert(g_platform && "no platform installed");
    return *g_platform;
}

void setPlatform(Platform* p) { g_platform = p; }

void Platform::pause(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

} // namespace cvd

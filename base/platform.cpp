#include "base/platform.h"

#include <cassert>

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

} // namespace cvd

#include "platform/platform.h"

namespace os {

// Provided by each backend: the platform used when the entry has installed none.
void DefaultPlatform(Platform* platform);

namespace {
Platform g_platform{};
}

void Install(const Platform& platform) { g_platform = platform; }

const Platform& Get() {
    if (!g_platform.registry) DefaultPlatform(&g_platform);
    return g_platform;
}

}  // namespace os

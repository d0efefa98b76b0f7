#include "integration/shell_extension.h"
#include "platform/platform.h"

namespace {
// -1 until the system has answered, then 0 or 1.
int g_isWow64 = -1;
}  // namespace

bool IsWow64() {
    if (g_isWow64 == -1) {
        os::Bool wow64 = 0;
        os::Bool present = 0;
        if (os::Sys().IsWow64Process(&wow64, &present) && present) g_isWow64 = wow64 ? 1 : 0;
    }
    return g_isWow64 == 1;
}

void ResetIsWow64() { g_isWow64 = -1; }

#include "common/system.h"

#include "platform/platform.h"

namespace {

// -1 until the version has been asked.
long g_platformId = -1;
long g_majorVersion = 0;

bool UseWideName(const os::Wchar* wideName) {
    return wideName && wideName[0] != 0 && NtFamilyVersion() != 0;
}

}  // namespace

int NtFamilyVersion() {
    if (g_platformId == -1) {
        os::VersionInfo info{};
        if (os::Sys().GetVersionExA(&info)) {
            g_platformId = static_cast<long>(info.platformId);
            g_majorVersion = static_cast<long>(info.majorVersion);
        } else {
            g_platformId = 0;
            g_majorVersion = 0;
        }
    }
    return g_platformId == static_cast<long>(os::kPlatformWin32Nt)
               ? static_cast<int>(g_majorVersion)
               : 0;
}

void ResetNtFamilyVersion() {
    g_platformId = -1;
    g_majorVersion = 0;
}

bool RemoveFile(const char* ansiName, const os::Wchar* wideName) {
    if (UseWideName(wideName)) return os::Fs().DeleteFileW(wideName) != 0;
    if (!ansiName) return false;
    return os::Fs().DeleteFileA(ansiName) != 0;
}

bool PathExists(const char* ansiName, const os::Wchar* wideName) {
    if (UseWideName(wideName)) {
        return os::Fs().GetFileAttributesW(wideName) != os::kInvalidFileAttributes;
    }
    if (!ansiName) return false;
    return os::Fs().GetFileAttributesA(ansiName) != os::kInvalidFileAttributes;
}

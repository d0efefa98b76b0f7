#include "uninstall/busy_file.h"

#include "common/path.h"
#include "common/system.h"
#include "common/text.h"
#include "platform/platform.h"
#include "uninstall/wininit.h"

namespace {

enum : int { kPathSize = 1024, kRenameTries = 1000 };

// The first name "<fullName>.<i>.tmp" that does not exist, or the last one
// tried when all exist; false when no candidate fits the buffer.
bool FindFreeName(const char* fullName, char* candidate) {
    bool found = false;
    for (int i = 0; i < kRenameTries; ++i) {
        if (!FormatInto(candidate, kPathSize, "%s.%d.tmp", fullName, i)) return false;
        found = true;
        if (os::Fs().GetFileAttributesA(candidate) == os::kInvalidFileAttributes) break;
    }
    return found;
}

// The wininit.ini of the Windows folder.
bool WininitPath(char* path) {
    char windows[kPathSize];
    const unsigned length = os::Fs().GetWindowsDirectoryA(windows, kPathSize);
    if (length == 0 || length >= kPathSize) return false;
    if (!AppendBackslash(windows, kPathSize)) return false;
    return FormatInto(path, kPathSize, "%swininit.ini", windows) != nullptr;
}

}  // namespace

void DeleteAtRestart(const char* name) {
    if (NtFamilyVersion() != 0) {
        os::Fs().MoveFileExA(name, nullptr, os::kMoveFileDelayUntilReboot);
        return;
    }
    char wininit[kPathSize];
    if (!WininitPath(wininit)) return;
    char shortName[kPathSize];
    const os::Dword length = os::Fs().GetShortPathNameA(name, shortName, kPathSize);
    const char* scheduled = length != 0 && length < kPathSize ? shortName : name;
    AddWininitDeletion(wininit, scheduled);
}

void ScheduleBusyFile(const char* fullName, bool& restartNeeded) {
    char candidate[kPathSize];
    const char* scheduled = fullName;
    if (FindFreeName(fullName, candidate) && os::Fs().MoveFileA(fullName, candidate)) {
        scheduled = candidate;
    } else {
        restartNeeded = true;
    }
    DeleteAtRestart(scheduled);
}

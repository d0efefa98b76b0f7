#include "uninstall/batch_path.h"

#include "platform/platform.h"

namespace {

enum : int { kWideSize = 1024, kPathSize = 1024 };
enum : os::Dword { kUtf7 = 65000, kUtf8 = 65001 };

bool SameWide(const os::Wchar* a, const os::Wchar* b) {
    for (; *a == *b; ++a, ++b) {
        if (*a == 0) return true;
    }
    return false;
}

// The OEM form of `path` with "%" doubled; false when it has none or does
// not fit.
bool OemText(const char* path, char* out, size_t size) {
    os::System& system = os::Sys();
    os::Wchar wide[kWideSize];
    if (system.MultiByteToWideChar(os::kCpAcp, 0, path, -1, wide, kWideSize) == 0) return false;
    os::Wchar doubled[kWideSize];
    int used = 0;
    for (const os::Wchar* p = wide; *p != 0; ++p) {
        const int width = *p == '%' ? 2 : 1;
        if (used + width >= kWideSize) return false;
        doubled[used++] = *p;
        if (width == 2) doubled[used++] = '%';
    }
    doubled[used] = 0;
    const int limit = size > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(size);
    // The UTF code pages take no default-character test; the way back below
    // catches what they cannot hold.
    const os::Dword oem = system.GetOEMCP();
    os::Bool usedDefault = 0;
    os::Bool* defaultTest = oem == kUtf7 || oem == kUtf8 ? nullptr : &usedDefault;
    if (system.WideCharToMultiByte(os::kCpOemcp, 0, doubled, -1, out, limit, nullptr,
                                   defaultTest) == 0 ||
        usedDefault) {
        return false;
    }
    // A look-alike (best-fit) mapping reads back as another character.
    os::Wchar back[kWideSize];
    if (system.MultiByteToWideChar(os::kCpOemcp, 0, out, -1, back, kWideSize) == 0) return false;
    return SameWide(back, doubled);
}

}  // namespace

bool BatchPathText(const char* path, char* out, size_t size) {
    if (size == 0) return false;
    if (OemText(path, out, size)) return true;
    char shortPath[kPathSize];
    const os::Dword length = os::Fs().GetShortPathNameA(path, shortPath, kPathSize);
    if (length != 0 && length < kPathSize && OemText(shortPath, out, size)) return true;
    out[0] = '\0';
    return false;
}

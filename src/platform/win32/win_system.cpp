// Version, code pages, modules and resources, environment, time: the kernel32
// and user32 calls.
#include <string.h>

#include "platform/win32/handles.h"
#include "platform/win32/win_platform.h"

namespace os::win {

static_assert(sizeof(CpInfo::defaultChar) == MAX_DEFAULTCHAR, "CPINFO layout");
static_assert(sizeof(CpInfo::leadByte) == MAX_LEADBYTES, "CPINFO layout");
static_assert(sizeof(VersionInfo::csdVersion) == sizeof(OSVERSIONINFOA::szCSDVersion),
              "OSVERSIONINFOA layout");

Dword WinSystem::GetLastError() { return ::GetLastError(); }

void WinSystem::SetLastError(Dword code) { ::SetLastError(code); }

Bool WinSystem::GetVersionExA(VersionInfo* info) {
    OSVERSIONINFOA v;
    memset(&v, 0, sizeof v);
    v.dwOSVersionInfoSize = sizeof v;
    // GetVersionExA is deprecated in the headers but is the call the program makes.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    const BOOL ok = ::GetVersionExA(&v);
#pragma GCC diagnostic pop
    if (!ok) return ok;
    info->majorVersion = v.dwMajorVersion;
    info->minorVersion = v.dwMinorVersion;
    info->buildNumber = v.dwBuildNumber;
    info->platformId = v.dwPlatformId;
    memcpy(info->csdVersion, v.szCSDVersion, sizeof info->csdVersion);
    info->csdVersion[sizeof info->csdVersion - 1] = '\0';
    return ok;
}

Bool WinSystem::GetCPInfo(Dword codePage, CpInfo* info) {
    CPINFO c;
    memset(&c, 0, sizeof c);
    const BOOL ok = ::GetCPInfo(codePage, &c);
    if (!ok) return ok;
    info->maxCharSize = c.MaxCharSize;
    memcpy(info->defaultChar, c.DefaultChar, sizeof info->defaultChar);
    memcpy(info->leadByte, c.LeadByte, sizeof info->leadByte);
    return ok;
}

Bool WinSystem::IsDBCSLeadByte(unsigned char byte) { return ::IsDBCSLeadByte(byte); }

Dword WinSystem::GetACP() { return ::GetACP(); }

Dword WinSystem::GetOEMCP() { return ::GetOEMCP(); }

int WinSystem::CompareStringA(Dword locale, Dword flags, const char* a, int lengthA, const char* b,
                              int lengthB) {
    return ::CompareStringA(locale, flags, a, lengthA, b, lengthB);
}

int WinSystem::MultiByteToWideChar(Dword codePage, Dword flags, const char* source,
                                   int sourceLength, Wchar* dest, int destLength) {
    return ::MultiByteToWideChar(codePage, flags, source, sourceLength, ToWide(dest), destLength);
}

int WinSystem::WideCharToMultiByte(Dword codePage, Dword flags, const Wchar* source,
                                   int sourceLength, char* dest, int destLength,
                                   const char* defaultChar, Bool* usedDefault) {
    return ::WideCharToMultiByte(codePage, flags, ToWide(source), sourceLength, dest, destLength,
                                 defaultChar, usedDefault);
}

Dword WinSystem::GetModuleFileNameA(Module module, char* buffer, Dword size) {
    return ::GetModuleFileNameA(ToHmodule(module), buffer, size);
}

Module WinSystem::LoadLibraryA(const char* name) { return FromHmodule(::LoadLibraryA(name)); }

Bool WinSystem::FreeLibrary(Module module) { return ::FreeLibrary(ToHmodule(module)); }

Bool WinSystem::IsWow64Process(Bool* wow64, Bool* present) {
    // Looked up at run time: the older platforms and early NT lack the function.
    using IsWow64ProcessFunction = BOOL(WINAPI*)(HANDLE, PBOOL);
    const HMODULE kernel = ::GetModuleHandleA("kernel32");
    const FARPROC found = kernel ? ::GetProcAddress(kernel, "IsWow64Process") : nullptr;
    if (present) *present = found != nullptr;
    if (!found) {
        if (wow64) *wow64 = FALSE;
        return FALSE;
    }
    const auto call = reinterpret_cast<IsWow64ProcessFunction>(reinterpret_cast<void*>(found));
    BOOL result = FALSE;
    const BOOL ok = call(::GetCurrentProcess(), &result);
    if (wow64) *wow64 = ok ? result : FALSE;
    return ok;
}

const void* WinSystem::FindResourceData(Module module, const char* name, const char* type,
                                        Dword* size) {
    if (size) *size = 0;
    const HMODULE where = ToHmodule(module);
    const HRSRC found = ::FindResourceA(where, name, type);
    if (!found) return nullptr;
    const HGLOBAL loaded = ::LoadResource(where, found);
    if (!loaded) return nullptr;
    const void* data = ::LockResource(loaded);
    if (data && size) *size = ::SizeofResource(where, found);
    return data;
}

int WinSystem::LoadStringA(Module module, unsigned id, char* buffer, int size) {
    return ::LoadStringA(ToHmodule(module), id, buffer, size);
}

Icon WinSystem::LoadIconA(Module module, const char* name) {
    return reinterpret_cast<Icon>(::LoadIconA(ToHmodule(module), name));
}

Dword WinSystem::GetEnvironmentVariableA(const char* name, char* buffer, Dword size) {
    return ::GetEnvironmentVariableA(name, buffer, size);
}

void WinSystem::Sleep(Dword milliseconds) { ::Sleep(milliseconds); }

}  // namespace os::win

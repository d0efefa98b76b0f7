// Registry: the advapi32 calls.
#include "platform/win32/handles.h"
#include "platform/win32/win_platform.h"

namespace os::win {

long WinRegistry::CreateKeyEx(Key root, const char* subKey, Dword options, Dword access,
                              Key* result, Dword* disposition) {
    HKEY key = nullptr;
    DWORD how = disposition ? *disposition : 0;
    const LONG rc =
        RegCreateKeyExA(ToHkey(root), subKey, 0, nullptr, options, access, nullptr, &key, &how);
    if (result) *result = rc == ERROR_SUCCESS ? FromHkey(key) : nullptr;
    if (disposition) *disposition = how;
    return rc;
}

long WinRegistry::OpenKeyEx(Key root, const char* subKey, Dword access, Key* result) {
    HKEY key = nullptr;
    const LONG rc = RegOpenKeyExA(ToHkey(root), subKey, 0, access, &key);
    if (result) *result = rc == ERROR_SUCCESS ? FromHkey(key) : nullptr;
    return rc;
}

long WinRegistry::CloseKey(Key key) { return RegCloseKey(ToHkey(key)); }

long WinRegistry::SetValueEx(Key key, const char* valueName, Dword type, const void* data,
                             Dword size) {
    return RegSetValueExA(ToHkey(key), valueName, 0, type, static_cast<const BYTE*>(data), size);
}

long WinRegistry::QueryValueEx(Key key, const char* valueName, Dword* type, void* data,
                               Dword* size) {
    // Locals carry the in-values, so what Windows leaves alone stays as it was.
    DWORD t = type ? *type : 0;
    DWORD n = size ? *size : 0;
    const LONG rc = RegQueryValueExA(ToHkey(key), valueName, nullptr, type ? &t : nullptr,
                                     static_cast<BYTE*>(data), size ? &n : nullptr);
    if (type) *type = t;
    if (size) *size = n;
    return rc;
}

long WinRegistry::DeleteKey(Key root, const char* subKey) {
    return RegDeleteKeyA(ToHkey(root), subKey);
}

long WinRegistry::DeleteValue(Key key, const char* valueName) {
    return RegDeleteValueA(ToHkey(key), valueName);
}

long WinRegistry::EnumKeyEx(Key key, Dword index, char* name, Dword* nameSize) {
    DWORD n = nameSize ? *nameSize : 0;
    const LONG rc = RegEnumKeyExA(ToHkey(key), index, name, nameSize ? &n : nullptr, nullptr,
                                  nullptr, nullptr, nullptr);
    if (nameSize) *nameSize = n;
    return rc;
}

long WinRegistry::EnumValue(Key key, Dword index, char* name, Dword* nameSize, Dword* type,
                            void* data, Dword* dataSize) {
    DWORD n = nameSize ? *nameSize : 0;
    DWORD t = type ? *type : 0;
    DWORD d = dataSize ? *dataSize : 0;
    const LONG rc =
        RegEnumValueA(ToHkey(key), index, name, nameSize ? &n : nullptr, nullptr,
                      type ? &t : nullptr, static_cast<BYTE*>(data), dataSize ? &d : nullptr);
    if (nameSize) *nameSize = n;
    if (type) *type = t;
    if (dataSize) *dataSize = d;
    return rc;
}

long WinRegistry::DeleteKeyEx(Key root, const char* subKey, Dword access) {
    // Looked up at run time: only 64-bit Windows and the later systems have it.
    using DeleteKeyExFunction = LONG(WINAPI*)(HKEY, LPCSTR, REGSAM, DWORD);
    const HMODULE advapi = ::GetModuleHandleA("advapi32");
    const FARPROC found = advapi ? ::GetProcAddress(advapi, "RegDeleteKeyExA") : nullptr;
    if (!found) return ERROR_CALL_NOT_IMPLEMENTED;
    const auto call = reinterpret_cast<DeleteKeyExFunction>(reinterpret_cast<void*>(found));
    return call(ToHkey(root), subKey, access, 0);
}

}  // namespace os::win

// Files and folders: the kernel32 calls.
#include "platform/win32/handles.h"
#include "platform/win32/win_platform.h"

namespace os::win {

FileHandle WinFiles::CreateFileA(const char* name, Dword access, Dword share, Dword creation,
                                 Dword flagsAndAttributes) {
    return ::CreateFileA(name, access, share, nullptr, creation, flagsAndAttributes, nullptr);
}

FileHandle WinFiles::CreateFileW(const Wchar* name, Dword access, Dword share, Dword creation,
                                 Dword flagsAndAttributes) {
    return ::CreateFileW(ToWide(name), access, share, nullptr, creation, flagsAndAttributes,
                         nullptr);
}

Bool WinFiles::ReadFile(FileHandle file, void* buffer, Dword count, Dword* read) {
    DWORD n = read ? *read : 0;
    const BOOL ok = ::ReadFile(file, buffer, count, read ? &n : nullptr, nullptr);
    if (read) *read = n;
    return ok;
}

Bool WinFiles::WriteFile(FileHandle file, const void* buffer, Dword count, Dword* written) {
    DWORD n = written ? *written : 0;
    const BOOL ok = ::WriteFile(file, buffer, count, written ? &n : nullptr, nullptr);
    if (written) *written = n;
    return ok;
}

Dword WinFiles::SetFilePointer(FileHandle file, long low, long* high, Dword method) {
    LONG h = high ? *high : 0;
    const DWORD result = ::SetFilePointer(file, low, high ? &h : nullptr, method);
    if (high) *high = h;
    return result;
}

Dword WinFiles::GetFileType(FileHandle file) { return ::GetFileType(file); }

Bool WinFiles::CloseHandle(FileHandle file) { return ::CloseHandle(file); }

FileHandle WinFiles::GetStdInput() { return ::GetStdHandle(STD_INPUT_HANDLE); }

Dword WinFiles::GetFileAttributesA(const char* name) { return ::GetFileAttributesA(name); }

Dword WinFiles::GetFileAttributesW(const Wchar* name) { return ::GetFileAttributesW(ToWide(name)); }

Bool WinFiles::SetFileAttributesA(const char* name, Dword attributes) {
    return ::SetFileAttributesA(name, attributes);
}

Bool WinFiles::DeleteFileA(const char* name) { return ::DeleteFileA(name); }

Bool WinFiles::DeleteFileW(const Wchar* name) { return ::DeleteFileW(ToWide(name)); }

Bool WinFiles::CreateDirectoryA(const char* name) { return ::CreateDirectoryA(name, nullptr); }

Bool WinFiles::RemoveDirectoryA(const char* name) { return ::RemoveDirectoryA(name); }

Bool WinFiles::MoveFileA(const char* from, const char* to) { return ::MoveFileA(from, to); }

Bool WinFiles::MoveFileExA(const char* from, const char* to, Dword flags) {
    return ::MoveFileExA(from, to, flags);
}

Dword WinFiles::GetShortPathNameA(const char* longPath, char* shortPath, Dword size) {
    return ::GetShortPathNameA(longPath, shortPath, size);
}

Dword WinFiles::GetTempPathA(Dword size, char* buffer) { return ::GetTempPathA(size, buffer); }

unsigned WinFiles::GetWindowsDirectoryA(char* buffer, unsigned size) {
    return ::GetWindowsDirectoryA(buffer, size);
}

Dword WinFiles::GetCurrentDirectoryA(Dword size, char* buffer) {
    return ::GetCurrentDirectoryA(size, buffer);
}

Bool WinFiles::SetCurrentDirectoryA(const char* path) { return ::SetCurrentDirectoryA(path); }

Bool WinFiles::WritePrivateProfileStringA(const char* section, const char* key, const char* value,
                                          const char* fileName) {
    return ::WritePrivateProfileStringA(section, key, value, fileName);
}

}  // namespace os::win

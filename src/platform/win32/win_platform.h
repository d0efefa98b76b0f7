// The real-API backend of the platform interfaces.
//
// Each method is the Win32 call it is named after, with the same arguments
// and results; the handles of platform/types.h are the Win32 handles
// themselves, only the predefined registry roots are mapped (see handles.h).
#pragma once

#include "platform/platform.h"
#include "platform/win32/win_dialogs.h"

namespace os {

// The real API: what os::Get() returns when the entry has installed nothing.
void DefaultPlatform(Platform* platform);

namespace win {

class WinRegistry final : public Registry {
  public:
    long CreateKeyEx(Key root, const char* subKey, Dword options, Dword access, Key* result,
                     Dword* disposition) override;
    long OpenKeyEx(Key root, const char* subKey, Dword access, Key* result) override;
    long CloseKey(Key key) override;
    long SetValueEx(Key key, const char* valueName, Dword type, const void* data,
                    Dword size) override;
    long QueryValueEx(Key key, const char* valueName, Dword* type, void* data,
                      Dword* size) override;
    long DeleteKey(Key root, const char* subKey) override;
    long DeleteValue(Key key, const char* valueName) override;
    long EnumKeyEx(Key key, Dword index, char* name, Dword* nameSize) override;
    long EnumValue(Key key, Dword index, char* name, Dword* nameSize, Dword* type, void* data,
                   Dword* dataSize) override;
    long DeleteKeyEx(Key root, const char* subKey, Dword access) override;
};

class WinFiles final : public Files {
  public:
    FileHandle CreateFileA(const char* name, Dword access, Dword share, Dword creation,
                           Dword flagsAndAttributes) override;
    FileHandle CreateFileW(const Wchar* name, Dword access, Dword share, Dword creation,
                           Dword flagsAndAttributes) override;
    Bool ReadFile(FileHandle file, void* buffer, Dword count, Dword* read) override;
    Bool WriteFile(FileHandle file, const void* buffer, Dword count, Dword* written) override;
    Dword SetFilePointer(FileHandle file, long low, long* high, Dword method) override;
    Dword GetFileType(FileHandle file) override;
    Bool CloseHandle(FileHandle file) override;
    FileHandle GetStdInput() override;

    Dword GetFileAttributesA(const char* name) override;
    Dword GetFileAttributesW(const Wchar* name) override;
    Bool SetFileAttributesA(const char* name, Dword attributes) override;
    Bool DeleteFileA(const char* name) override;
    Bool DeleteFileW(const Wchar* name) override;
    Bool CreateDirectoryA(const char* name) override;
    Bool RemoveDirectoryA(const char* name) override;
    Bool MoveFileA(const char* from, const char* to) override;
    Bool MoveFileExA(const char* from, const char* to, Dword flags) override;
    Dword GetShortPathNameA(const char* longPath, char* shortPath, Dword size) override;
    Dword GetTempPathA(Dword size, char* buffer) override;
    unsigned GetWindowsDirectoryA(char* buffer, unsigned size) override;
    Dword GetCurrentDirectoryA(Dword size, char* buffer) override;
    Bool SetCurrentDirectoryA(const char* path) override;
    Bool WritePrivateProfileStringA(const char* section, const char* key, const char* value,
                                    const char* fileName) override;
};

class WinSystem final : public System {
  public:
    Dword GetLastError() override;
    void SetLastError(Dword code) override;

    Bool GetVersionExA(VersionInfo* info) override;
    Bool GetCPInfo(Dword codePage, CpInfo* info) override;
    Bool IsDBCSLeadByte(unsigned char byte) override;
    Dword GetACP() override;
    Dword GetOEMCP() override;
    int CompareStringA(Dword locale, Dword flags, const char* a, int lengthA, const char* b,
                       int lengthB) override;
    int MultiByteToWideChar(Dword codePage, Dword flags, const char* source, int sourceLength,
                            Wchar* dest, int destLength) override;
    int WideCharToMultiByte(Dword codePage, Dword flags, const Wchar* source, int sourceLength,
                            char* dest, int destLength, const char* defaultChar,
                            Bool* usedDefault) override;

    Dword GetModuleFileNameA(Module module, char* buffer, Dword size) override;
    Module LoadLibraryA(const char* name) override;
    Bool FreeLibrary(Module module) override;
    Bool IsWow64Process(Bool* wow64, Bool* present) override;
    const void* FindResourceData(Module module, const char* name, const char* type,
                                 Dword* size) override;
    int LoadStringA(Module module, unsigned id, char* buffer, int size) override;
    Icon LoadIconA(Module module, const char* name) override;

    Dword GetEnvironmentVariableA(const char* name, char* buffer, Dword size) override;
    void Sleep(Dword milliseconds) override;
};

class WinUi final : public WinDialogUi {
  public:
    int MessageBoxA(Window owner, const char* text, const char* caption, unsigned type) override;
};

class WinShell final : public Shell {
  public:
    HResult OleInitialize() override;
    void OleUninitialize() override;
    HResult GetSpecialFolderPath(int csidl, char* path, Dword size) override;
    HResult SaveShellLink(const ShellLinkFields& link, const Wchar* linkPath, Bool remember,
                          ShellLinkStep* failedAt) override;
    int FileOperationA(FileOperation* operation) override;
    void ChangeNotify(long eventId, unsigned flags, const void* item1, const void* item2) override;
    intptr_t ShellExecuteA(Window owner, const char* verb, const char* file, const char* parameters,
                           const char* directory, int show) override;
};

class WinProcess final : public Process {
  public:
    Bool CreateProcessA(const char* applicationName, char* commandLine, Bool inheritHandles,
                        Dword creationFlags, const char* currentDirectory,
                        const StartupInfo* startupInfo,
                        ProcessInformation* processInformation) override;
};

}  // namespace win
}  // namespace os

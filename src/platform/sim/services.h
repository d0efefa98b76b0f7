// The platform services of the simulated machine: each call converts its
// ANSI texts with the machine's code pages, acts on the machine, sets the
// last error as the real call does and adds its line to the trace.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "platform/platform.h"
#include "platform/sim/dialog_ui.h"
#include "platform/sim/process_service.h"
#include "platform/sim/registry_store.h"
#include "platform/sim/shell_service.h"

namespace sim {

class Machine;
class ResourceSet;

class SimRegistry final : public os::Registry {
  public:
    explicit SimRegistry(Machine& machine);
    ~SimRegistry() override;
    long CreateKeyEx(os::Key root, const char* subKey, os::Dword options, os::Dword access,
                     os::Key* result, os::Dword* disposition) override;
    long OpenKeyEx(os::Key root, const char* subKey, os::Dword access, os::Key* result) override;
    long CloseKey(os::Key key) override;
    long SetValueEx(os::Key key, const char* valueName, os::Dword type, const void* data,
                    os::Dword size) override;
    long QueryValueEx(os::Key key, const char* valueName, os::Dword* type, void* data,
                      os::Dword* size) override;
    long DeleteKey(os::Key root, const char* subKey) override;
    long DeleteValue(os::Key key, const char* valueName) override;
    long EnumKeyEx(os::Key key, os::Dword index, char* name, os::Dword* nameSize) override;
    long EnumValue(os::Key key, os::Dword index, char* name, os::Dword* nameSize, os::Dword* type,
                   void* data, os::Dword* dataSize) override;
    long DeleteKeyEx(os::Key root, const char* subKey, os::Dword access) override;
    // Closes every handle, as the end of a process does.
    void CloseAll();

    struct Handle;

  private:
    long Lookup(os::Key key, Handle* out) const;
    // Lookup of a handle used for an operation that needs `rights`: 1018 for
    // a deleted key, 5 when the handle lacks them or the user may not write.
    long Use(os::Key key, os::Dword rights, Handle* out) const;
    // RegDeleteKeyA, and RegDeleteKeyExA with the view in `access`.
    long Delete(const char* call, os::Key root, const char* subKey, os::Dword access);
    long Walk(const Handle& from, const char* subKey, os::Dword access, bool create, Handle* out,
              bool* created, bool* redirected);
    os::Key AddHandle(const Handle& h);
    bool MayWrite(const Handle& h) const;
    std::string Name(os::Key key) const;

    Machine& m_;
    std::map<uintptr_t, std::unique_ptr<Handle>> handles_;
    uintptr_t next_ = 0x1000;
};

class SimFiles final : public os::Files {
  public:
    explicit SimFiles(Machine& machine) : m_(machine) {}
    os::FileHandle CreateFileA(const char* name, os::Dword access, os::Dword share,
                               os::Dword creation, os::Dword flagsAndAttributes) override;
    os::FileHandle CreateFileW(const os::Wchar* name, os::Dword access, os::Dword share,
                               os::Dword creation, os::Dword flagsAndAttributes) override;
    os::Bool ReadFile(os::FileHandle file, void* buffer, os::Dword count, os::Dword* read) override;
    os::Bool WriteFile(os::FileHandle file, const void* buffer, os::Dword count,
                       os::Dword* written) override;
    os::Dword SetFilePointer(os::FileHandle file, long low, long* high, os::Dword method) override;
    os::Dword GetFileType(os::FileHandle file) override;
    os::Bool CloseHandle(os::FileHandle file) override;
    os::FileHandle GetStdInput() override;
    os::Dword GetFileAttributesA(const char* name) override;
    os::Dword GetFileAttributesW(const os::Wchar* name) override;
    os::Bool SetFileAttributesA(const char* name, os::Dword attributes) override;
    os::Bool DeleteFileA(const char* name) override;
    os::Bool DeleteFileW(const os::Wchar* name) override;
    os::Bool CreateDirectoryA(const char* name) override;
    os::Bool RemoveDirectoryA(const char* name) override;
    os::Bool MoveFileA(const char* from, const char* to) override;
    os::Bool MoveFileExA(const char* from, const char* to, os::Dword flags) override;
    os::Dword GetShortPathNameA(const char* longPath, char* shortPath, os::Dword size) override;
    os::Dword GetTempPathA(os::Dword size, char* buffer) override;
    unsigned GetWindowsDirectoryA(char* buffer, unsigned size) override;
    os::Dword GetCurrentDirectoryA(os::Dword size, char* buffer) override;
    os::Bool SetCurrentDirectoryA(const char* path) override;
    os::Bool WritePrivateProfileStringA(const char* section, const char* key, const char* value,
                                        const char* fileName) override;

  private:
    os::FileHandle Open(const std::string& call, const std::string& path, os::Dword access,
                        os::Dword share, os::Dword creation, os::Dword flags);
    os::Dword Attributes(const std::string& call, const std::string& path);
    os::Bool Delete(const std::string& call, const std::string& path);
    os::Bool Result(const std::string& call, const std::string& args, long error);

    Machine& m_;
};

class SimSystem final : public os::System {
  public:
    explicit SimSystem(Machine& machine);
    ~SimSystem() override;
    os::Dword GetLastError() override;
    void SetLastError(os::Dword code) override;
    os::Bool GetVersionExA(os::VersionInfo* info) override;
    os::Bool GetCPInfo(os::Dword codePage, os::CpInfo* info) override;
    os::Bool IsDBCSLeadByte(unsigned char byte) override;
    os::Dword GetACP() override;
    os::Dword GetOEMCP() override;
    int CompareStringA(os::Dword locale, os::Dword flags, const char* a, int lengthA, const char* b,
                       int lengthB) override;
    int MultiByteToWideChar(os::Dword codePage, os::Dword flags, const char* source,
                            int sourceLength, os::Wchar* dest, int destLength) override;
    int WideCharToMultiByte(os::Dword codePage, os::Dword flags, const os::Wchar* source,
                            int sourceLength, char* dest, int destLength, const char* defaultChar,
                            os::Bool* usedDefault) override;
    os::Dword GetModuleFileNameA(os::Module module, char* buffer, os::Dword size) override;
    os::Module LoadLibraryA(const char* name) override;
    os::Bool FreeLibrary(os::Module module) override;
    os::Bool IsWow64Process(os::Bool* wow64, os::Bool* present) override;
    const void* FindResourceData(os::Module module, const char* name, const char* type,
                                 os::Dword* size) override;
    int LoadStringA(os::Module module, unsigned id, char* buffer, int size) override;
    os::Icon LoadIconA(os::Module module, const char* name) override;
    os::Dword GetEnvironmentVariableA(const char* name, char* buffer, os::Dword size) override;
    void Sleep(os::Dword milliseconds) override;

    // Frees every loaded library, as the end of a process does.
    void FreeAll();
    // Whether a library of that file name (any folder, any letter case) is loaded.
    bool LibraryLoaded(const std::string& fileName) const;
    // The program's instance handle (its module as ProgramEntry gets it).
    static os::Module ProgramInstance();

    struct LoadedModule;

  private:
    const ResourceSet* Resources(os::Module module, bool* known) const;

    Machine& m_;
    std::map<uintptr_t, std::unique_ptr<LoadedModule>> modules_;
    uintptr_t nextModule_ = 0x10000000;
    std::map<std::string, uintptr_t> icons_;
    uintptr_t nextIcon_ = 0x20000;
};

class SimUi final : public SimDialogUi {
  public:
    explicit SimUi(Machine& machine) : SimDialogUi(machine), m_(machine) {}
    int MessageBoxA(os::Window owner, const char* text, const char* caption,
                    unsigned type) override;

  private:
    Machine& m_;
};

class Services {
  public:
    explicit Services(Machine& machine)
        : registry(machine),
          files(machine),
          system(machine),
          ui(machine),
          shell(machine),
          process(machine) {}
    SimRegistry registry;
    SimFiles files;
    SimSystem system;
    SimUi ui;
    SimShell shell;
    SimProcess process;
};

// Texts for the trace.
std::string TraceText(Machine& m, const char* ansi);  // quoted, or "null"
std::string TraceData(Machine& m, os::Dword type, const void* data, os::Dword size);
std::string TraceError(long error);  // "" or " err=N"

}  // namespace sim

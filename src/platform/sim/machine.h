// The simulated Windows machine.
//
// A machine is a folder, so a run can be repeated, inspected and diffed:
//   machine.ini   the configuration (below);
//   registry.reg  the whole registry in regedit's export format (UTF-8);
//   files.ini     the side table of the files (attributes, short names);
//   drives/C/...  the files, one host folder per drive letter.
//
// machine.ini (UTF-8; keys are case-insensitive; ";" and "#" start comments):
//   [system]       family=nt|9x, version=MAJOR.MINOR, build=N, servicepack=TEXT,
//                  win64=yes|no, acp=N, oemcp=N, admin=yes|no
//   [program]      path=C:\...\uninstall.exe   the program file (must exist)
//                  directory=C:\...            its current directory at start
//                                              (default: the program's folder)
//   [environment]  NAME=value, the process environment (COMSPEC, TEMP, windir, ...)
//   [folders]      name=path, the special folders by name (desktop, programs,
//                  startmenu, common_programs, appdata, windows, system, ...)
//   [busy]         path=image|open|locked   files held by other processes
//   [denied]       path=always|nonadmin     folders where writing is denied
//   [disk]         C=N   the free bytes of drive C: (a drive without an entry
//                        has room for everything)
//
// Behaviour that depends on the configuration:
//   - admin=no on the NT family: creating, opening for writing and deleting
//     keys of HKEY_LOCAL_MACHINE (and so of HKEY_CLASSES_ROOT) fail with 5, and
//     so do deletions scheduled for the restart. The older platforms have no
//     access control: there admin is ignored and so are the access rights of
//     registry handles.
//   - [disk]: a write that would grow files beyond the drive's free bytes
//     writes nothing and fails with ERROR_DISK_FULL (112), as WriteFile does on
//     a full disk; so does a move of a file onto that drive. Writes use the
//     free bytes up, deleting and truncating files give them back; what is
//     left is saved with the machine.
//   - win64=yes: the program is a 32-bit process on 64-bit Windows
//     (IsWow64Process answers true); its registry view of HKLM\Software and of
//     HKCR\CLSID is the 32-bit one (Wow6432Node) unless KEY_WOW64_64KEY is given.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/platform.h"
#include "platform/sim/file_system.h"
#include "platform/sim/registry_store.h"
#include "platform/sim/trace.h"

namespace sim {

class CodePage;
class Actions;
class Services;

enum class Family { kNt, k9x };

using NamedValues = std::vector<std::pair<std::string, std::string>>;

struct MachineConfig {
    Family family = Family::kNt;
    unsigned major = 5;
    unsigned minor = 1;
    unsigned build = 0;       // 0: the usual build of the version
    std::string servicePack;  // GetVersionExA's csdVersion
    bool win64 = false;
    unsigned acp = 1251;
    unsigned oemcp = 866;
    bool admin = true;
    std::string programPath = "C:\\Program Files\\Velkor\\uninstall.exe";
    std::string startDirectory;  // empty: the program's folder
    NamedValues environment;
    NamedValues folders;
    NamedValues busy;
    NamedValues denied;
    // [disk]: the free bytes of the drives that have a limit, by drive letter
    // (upper case).
    std::vector<std::pair<char, uint64_t>> diskFree;

    bool Nt() const { return family == Family::kNt; }
    // The value of a name in a list (case-insensitive), or null.
    static const std::string* Find(const NamedValues& list, std::string_view name);
    // The free bytes of a drive with a limit, or null (room for everything).
    uint64_t* FreeBytes(char drive);

    // Parses machine.ini text; *error names the line of the first problem.
    static bool Parse(std::string_view text, MachineConfig* config, std::string* error);
    std::string Format() const;
};

// What a fresh machine looks like (the sample machine with these settings).
struct MachineOptions {
    Family family = Family::kNt;
    unsigned major = 0;  // 0: 5.1 on the NT family, 4.10 on the older platforms
    unsigned minor = 0;
    bool win64 = false;
    unsigned acp = 1251;
    unsigned oemcp = 866;
    bool admin = true;
};

// Writes the sample machine into `dir`, which must not exist yet: the archiver
// installed in C:\Program Files\Velkor (C:\Program Files (x86)\Velkor on
// 64-bit Windows) with its list of installed files, and .zip and .jar owned
// by other programs.
bool WriteSampleMachine(const std::string& dir, const MachineOptions& options, std::string* error);

// A program start that waits until the current program has exited (the
// processes of a run start after it, each with fresh process-wide state).
struct PendingProcess {
    std::string commandLine;       // UTF-8, as CreateProcessA got it
    std::string currentDirectory;  // the started process's current directory
    os::Dword creationFlags = 0;
    bool hidden = false;
    std::string program;  // the program file the start found (UTF-8 full path)
};

class Machine {
  public:
    // Loads the machine in folder `dir`; the machine then works on that
    // folder's files in place (see runner.h for runs that must leave a folder
    // as it was when they fail). `programMayBeGone`: the program file need
    // not exist (a machine after an uninstall has removed it).
    static std::unique_ptr<Machine> Load(const std::string& dir, std::string* error,
                                         bool programMayBeGone = false);
    // A machine without a folder and without drives (every path is missing):
    // the default configuration and an empty registry.
    static std::unique_ptr<Machine> Bare();
    ~Machine();

    // Writes machine.ini (only when the configuration changed), registry.reg
    // and files.ini into the folder the machine was loaded from.
    bool Save(std::string* error);

    const std::string& Folder() const { return folder_; }
    const MachineConfig& Config() const { return config_; }
    MachineConfig& Config() { return config_; }
    RegistryStore& Registry() { return registry_; }
    FileSystem& Files() { return files_; }
    class Trace& Trace() {
        return trace_;
    }
    const std::vector<std::string>& TraceLines() const { return trace_.Lines(); }
    Actions& UserActions() { return *actions_; }

    // The platform whose calls act on this machine.
    os::Platform Platform() const;
    // os::Install(Platform()).
    void Install() const;

    // The process of the program: holds its file open as a running program
    // does, sets its command line and current directory. EndProgram closes
    // what the process left open and releases the file.
    void StartProgram(const std::string& commandLine);
    void EndProgram();
    bool ProgramRunning() const { return programRunning_; }
    const std::string& CommandLine() const { return commandLine_; }

    // A restart: carries out the renames and deletions scheduled for it (on
    // the NT family the registry value PendingFileRenameOperations, on the
    // older platforms section [Rename] of wininit.ini in the Windows folder,
    // which is then renamed wininit.bak); other processes' holds on files end.
    void Restart();

    // The renames and deletions scheduled for the restart on the NT family
    // (registry value PendingFileRenameOperations): pairs of "\??\C:\path" and
    // the target ("" to delete, "!\??\..." to replace an existing file).
    std::vector<std::pair<std::string, std::string>> PendingFileRenames() const;
    void AddPendingFileRename(const std::string& from, const std::string& target);

    // The virtual clock in milliseconds (Sleep advances it).
    uint64_t Clock() const { return clock_; }
    void AdvanceClock(uint64_t ms) { clock_ += ms; }
    std::vector<PendingProcess>& PendingProcesses() { return pending_; }

    const CodePage& Ansi() const { return *ansi_; }
    const CodePage& Oem() const { return *oem_; }
    std::string AnsiToUtf8(std::string_view ansi) const;
    std::string Utf8ToAnsi(std::string_view utf8, bool* usedDefault = nullptr) const;

    // The Windows folder, the system folder and the environment (UTF-8).
    std::string WindowsFolder() const;
    std::string SystemFolder() const;
    const std::string* Environment(std::string_view name) const;
    const std::string* SpecialFolder(std::string_view name) const;

    os::Dword lastError = 0;

  private:
    Machine();
    bool Init(std::string* error);

    std::string folder_;
    MachineConfig config_;
    std::string savedConfig_;  // machine.ini as loaded, to tell whether it changed
    RegistryStore registry_;
    const CodePage* ansi_ = nullptr;
    const CodePage* oem_ = nullptr;
    FileSystem files_;
    class Trace trace_;
    std::unique_ptr<Actions> actions_;
    std::unique_ptr<Services> services_;
    bool programRunning_ = false;
    std::string commandLine_;
    uint64_t clock_ = 0;
    std::vector<PendingProcess> pending_;
};

}  // namespace sim

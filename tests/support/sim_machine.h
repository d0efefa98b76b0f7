// Simulated machines for the tests.
//
//   sim::FreshMachine m;                       // the sample machine, NT 5.1, 1251/866
//   sim::FreshMachine m({.family = sim::Family::k9x});
//   os::Fs().DeleteFileA("C:\\...");           // the machine is the installed platform
//   m.WriteFile("C:\\x.txt", "bytes");         // set-up without going through the platform
//
// TestMachine also starts the program's process on it (its file held open, its
// process-wide state made afresh with ProgramProcessStart), as the sim
// program does before it calls the entry.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/entry.h"
#include "platform/sim/machine.h"

namespace sim {

class FreshMachine {
  public:
    explicit FreshMachine(const MachineOptions& options = MachineOptions());
    virtual ~FreshMachine();
    FreshMachine(const FreshMachine&) = delete;
    FreshMachine& operator=(const FreshMachine&) = delete;

    Machine& machine() { return *machine_; }
    Machine* operator->() { return machine_.get(); }
    // The machine folder (inside a temporary folder removed at the end).
    const std::string& Folder() const { return folder_; }

    // Set-up and inspection of the machine's files by Windows path, past the
    // platform (no trace, no sharing or attribute rules). Folders on the way
    // are made.
    void WriteFile(const std::string& windowsPath, const std::string& bytes);
    void MakeFolder(const std::string& windowsPath);
    bool Exists(const std::string& windowsPath) const;
    std::string ReadFile(const std::string& windowsPath) const;
    // The host path of a Windows path (existing or not; case as given).
    std::string HostPath(const std::string& windowsPath) const;

    // Saves the machine and loads it again from its folder (a later run).
    void Reload();

  private:
    std::string temp_;
    std::string folder_;
    std::unique_ptr<Machine> machine_;
};

class TestMachine : public FreshMachine {
  public:
    explicit TestMachine(const MachineOptions& options = MachineOptions(),
                         const std::string& commandLine = "")
        : FreshMachine(options) {
        machine().StartProgram(commandLine.empty() ? "\"" + machine().Config().programPath + "\""
                                                   : commandLine);
        ProgramProcessStart();
    }
};

// The sim program build/sim/uninstall, run as a process of its own.
struct ProcessResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};
// Its path (VLK_SIM_UNINSTALL, else VLK_BINARY_DIR/uninstall); empty when it
// is not built.
std::string SimUninstallPath();
ProcessResult RunSimUninstall(const std::vector<std::string>& args);

// The bytes of a "Unicode" text file (as regedit exports): the byte-order
// mark FF FE and the UTF-8 text in UTF-16LE.
std::string Utf16File(const std::string& utf8);

// A new empty temporary folder (removed by the caller, e.g. with RemoveTree).
std::string MakeTempFolder();
void RemoveTree(const std::string& path);

}  // namespace sim

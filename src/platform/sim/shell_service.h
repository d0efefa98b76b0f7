// The shell calls of the simulated machine: OLE for the thread, special
// folders from machine.ini [folders], shell links written as real link files
// (shell_link_format.h), the shell's folder deletion, change notification and
// ShellExecuteA. Each call adds its lines to the trace.
#pragma once

#include <string>

#include "platform/platform.h"

namespace sim {

class Machine;

class SimShell final : public os::Shell {
  public:
    explicit SimShell(Machine& machine) : m_(machine) {}
    os::HResult OleInitialize() override;
    void OleUninitialize() override;
    os::HResult GetSpecialFolderPath(int csidl, char* path, os::Dword size) override;
    os::HResult SaveShellLink(const os::ShellLinkFields& link, const os::Wchar* linkPath,
                              os::Bool remember, os::ShellLinkStep* failedAt) override;
    int FileOperationA(os::FileOperation* operation) override;
    void ChangeNotify(long eventId, unsigned flags, const void* item1, const void* item2) override;
    intptr_t ShellExecuteA(os::Window owner, const char* verb, const char* file,
                           const char* parameters, const char* directory, int show) override;

    // What the end of a process does: OLE is no longer initialised.
    void EndProcess() { oleInitialized_ = 0; }
    // The name in machine.ini [folders] of a special folder, or null.
    static const char* FolderName(int csidl);

  private:
    long DeleteTree(const std::string& path);

    Machine& m_;
    int oleInitialized_ = 0;  // OleInitialize calls not yet undone
};

}  // namespace sim

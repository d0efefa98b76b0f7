// The process calls of the simulated machine: a started process is recorded
// in the machine and runs after the program has exited (process_runner.h).
#pragma once

#include <cstdint>

#include "platform/platform.h"

namespace sim {

class Machine;

class SimProcess final : public os::Process {
  public:
    explicit SimProcess(Machine& machine) : m_(machine) {}
    // Finds the program as the real call does (2 when it does not exist),
    // checks the working folder (267 when it is no existing folder) and records
    // the start as a PendingProcess; the trace line shows the command line,
    // the flags, the start-up record and, with kStartfUseStdHandles, what
    // the three standard handles are ("NUL" for the device).
    os::Bool CreateProcessA(const char* applicationName, char* commandLine, os::Bool inheritHandles,
                            os::Dword creationFlags, const char* currentDirectory,
                            const os::StartupInfo* startupInfo,
                            os::ProcessInformation* processInformation) override;

  private:
    Machine& m_;
    uintptr_t nextHandle_ = 0x7000;
    os::Dword nextId_ = 0x400;
};

}  // namespace sim

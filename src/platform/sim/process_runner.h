// The processes a run starts: each one runs after the process that started
// it has exited (a batch file's synchronous program runs aside), one at a
// time, on the same machine.
//
// Every process is a process of its own: between two of them the machine is
// saved into its folder and loaded again, so nothing of one process's state
// (handles, loaded modules, the current directory, files held) reaches the
// next; the trace, the user's actions, the clock and the queue of started
// processes go on. A machine without a folder goes on as it is. The program's
// own file runs the program through the hooks with fresh process-wide state;
// the command interpreter (cmd.exe, COMMAND.COM) runs the command of its /c
// switch (cmd_interpreter.h); any other program is traced as not simulated.
#pragma once

#include <memory>
#include <stdexcept>
#include <string>

#include "platform/sim/machine.h"
#include "platform/sim/runner.h"

namespace sim {

// The machine cannot be saved or loaded again between two processes.
class ProcessRunError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

class ProcessRun {
  public:
    ProcessRun(std::unique_ptr<Machine>& machine, const ProgramHooks& hooks)
        : machine_(machine), hooks_(hooks) {}

    // The machine as the current process sees it; a reference stays valid
    // only until the next process begins.
    Machine& machine() { return *machine_; }

    // Runs every started process in turn until none is left.
    void RunAll();
    // Runs one started process to its end.
    void Run(const PendingProcess& process);
    // Runs the program's own file as a child that its caller waits for.
    void RunProgram(const PendingProcess& process);
    // Ends one process's view of the machine and gives the next process a
    // fresh one (see above).
    void NextProcess();

  private:
    std::unique_ptr<Machine>& machine_;
    const ProgramHooks& hooks_;
};

// RunAll on the processes that the program's run started (the machine's
// PendingProcesses). False, with *error, when the machine cannot be saved or
// loaded again between two processes. RunAborted (an unanswered message
// box) passes through.
bool RunStartedProcesses(std::unique_ptr<Machine>& machine, const ProgramHooks& hooks,
                         std::string* error);

}  // namespace sim

// Runs of the program on a machine folder, as the sim program
// (build/sim/uninstall) makes them.
//
//   uninstall --machine DIR [--actions FILE] [--trace FILE]
//             [--command-line TEXT | -- TAIL...]
//   uninstall --machine DIR --restart
//   uninstall --what-if EXPORT.reg [--files LIST] ...   (what_if.h)
//
// The run works on a copy of DIR beside it (made from the sample machine when
// DIR does not exist) and puts the copy in DIR's place, in one rename, only
// when the run ends normally; otherwise DIR stays as it was.
// Exit codes: 0 done, 2 bad options or files, 3 a machine folder that cannot
// be loaded or saved, 4 the run ended (an unanswered message box), 5 the
// program ended abnormally.
#pragma once

#include <memory>
#include <string>

#include "platform/sim/machine.h"

namespace sim {

// A run's working copy of a machine folder.
class MachineSession {
  public:
    // Copies `dir` (or writes the sample machine) into a new folder beside it
    // and loads the copy. Null and *error when that fails; `dir` is untouched.
    // `programMayBeGone`: a machine whose program file an uninstall has
    // removed loads too (for a restart).
    static std::unique_ptr<MachineSession> Open(const std::string& dir, std::string* error,
                                                bool programMayBeGone = false);
    ~MachineSession();  // removes the copy unless it was committed

    Machine& machine() { return *machine_; }
    // The machine object itself: the processes that the run starts replace it
    // with the machine as loaded again (process_runner.h).
    std::unique_ptr<Machine>& machineSlot() { return machine_; }
    // Saves the machine into the copy and puts the copy in place of `dir`.
    bool Commit(std::string* error);

  private:
    MachineSession() = default;
    std::string dir_;
    std::string work_;
    std::unique_ptr<Machine> machine_;
    bool committed_ = false;
};

// The program's own functions that the sim program calls (src/app/entry.h).
struct ProgramHooks {
    void (*processStart)();
    int (*entry)(os::Module instance, const char* tail);
    const char* (*commandLineTail)(const char* commandLine);
    // What static destruction would release, while the machine's platform
    // is still installed (optional).
    void (*processEnd)() = nullptr;
};

// The sim program: parses the options, runs, prints errors to stderr and
// returns the exit code. With --what-if it makes a what-if run (what_if.h).
int RunSimProgram(int argc, char** argv, const ProgramHooks& hooks);

// One run of the program on the machine in `slot` with `commandLine` (UTF-8,
// the whole command line), then of the processes it started, which may
// replace the machine in `slot`. Errors go to stderr; the result is the sim
// program's exit code (0, 3, 4 or 5 as above).
int RunProgramOnMachine(std::unique_ptr<Machine>& slot, const ProgramHooks& hooks,
                        const std::string& commandLine);

}  // namespace sim

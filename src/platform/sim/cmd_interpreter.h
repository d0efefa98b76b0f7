// The command interpreter of the simulated machine (what COMSPEC names:
// cmd.exe on the NT family, COMMAND.COM on the older platforms), as far as
// batch scripts like the self-removal script need it: the switch /c, batch
// files read in the OEM code page (as the real interpreter reads them), "%"
// forms, labels and goto, "if [not] exist", del, rd, start [/wait], rem,
// echo, exit, and programs run by name, quoted or not. Each line and each
// command's result is traced ("Batch ..."); what it does not simulate is
// traced as such and passed over, as the real one passes over a failing
// command.
//
// Programs run from a batch file: the program's own file runs as a child
// that the batch waits for (cmd.exe waits for every program of a batch;
// COMMAND.COM waits only under "start /wait", otherwise the program runs
// after the interpreter). A batch file run by name takes over and does not
// return (no "call").
#pragma once

#include "platform/sim/machine.h"

namespace sim {

class ProcessRun;

// Runs the interpreter process `process` (its command line names the
// interpreter and its switches) to its end.
void RunInterpreter(ProcessRun& run, const PendingProcess& process);

}  // namespace sim

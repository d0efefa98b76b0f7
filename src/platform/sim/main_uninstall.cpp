// build/sim/uninstall: the program run on a simulated Windows machine (see
// src/platform/sim/runner.h for the options).
#include "app/entry.h"
#include "platform/sim/runner.h"

int main(int argc, char** argv) {
    return sim::RunSimProgram(
        argc, argv, {ProgramProcessStart, ProgramEntry, CommandLineTail, ProgramProcessEnd});
}

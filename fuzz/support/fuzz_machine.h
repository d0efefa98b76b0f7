// The simulated machines that the fuzz targets read their input on: the
// sample machine in a temporary folder (removed at exit), installed as the
// platform with the program's process started on it, as the sim program
// starts it before the entry.
#pragma once

#include <string>

namespace sim {
class Machine;
}

namespace fuzz {

// The machine with ANSI code page `acp` (1251, 1252 or 932; made on first
// use), installed as the platform. Switching to another machine starts the
// program's process-wide state afresh on it. The trace of earlier inputs is
// dropped, so that a long run does not grow.
sim::Machine& UseMachine(unsigned acp);

// The folder of the program on the machine in use, with its backslash.
std::string ProgramFolder();

// Writes `bytes` into the file at the Windows path `path` of the machine in
// use, making the folders on the way; aborts when the machine refuses, as
// that is no finding.
void PutFile(const std::string& path, const std::string& bytes);

}  // namespace fuzz

// The program's entry and the hooks its hosts call around it.
#pragma once

#include "platform/types.h"

// Returns the command-line tail: what follows the program name in a whole
// process command line (the run-time start-up's rule: leading blanks, a quoted
// or unquoted name, the closing quote and the blanks after it are skipped).
const char* CommandLineTail(const char* commandLine);

// The program's GUI entry: prepares localisation, OLE and the dialog resources,
// scans the tail's switches and runs setup, the uninstall or a helper switch.
// Always returns 0.
int ProgramEntry(os::Module instance, const char* tail);

// Re-creates the process-wide state as static construction leaves it (lead-byte
// table filled from the installed platform, version cache empty, silent mode
// off, ...). The hosts that install a platform after static construction (the
// simulated machine's main and the unit tests) call it before the entry.
void ProgramProcessStart();

// Releases what the process-wide objects' static destruction would (the
// language file, then a still loaded language module) while the platform is
// still installed. The hosts whose platform ends before static destruction
// runs (the simulated machine's main and the unit tests) call it after the entry.
void ProgramProcessEnd();

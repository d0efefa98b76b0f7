// What setup and uninstall would change on a given Windows machine:
//
//   uninstall --what-if EXPORT.reg [--files LIST] [--machine DIR]
//             [--machine-config FILE] [--family nt|9x] [--version M.N]
//             [--win64 yes|no] [--acp N] [--oemcp N] [--admin yes|no]
//             [--actions FILE]
//
// The run builds a machine in a temporary folder (or in DIR, which must not
// exist yet, and which then holds the machine as the run leaves it): the
// sample machine of the chosen kind (its configuration, or FILE, a whole
// machine.ini whose [program] path is where the sample installs the
// archiver; the options override its [system] settings) with the archiver
// installed. Its registry is the export's: regedit's file in either form
// (registry_store.h), merged as regedit imports it over what every Windows
// has and the program needs (the sample's keys without its file types, that
// is without the keys below HKEY_LOCAL_MACHINE\SOFTWARE\Classes other than
// CLSID and Wow6432Node). The files of LIST (file_list.h) are added; a file
// that the sample has already (the archiver's own) is kept as it is.
//
// Then it runs setup ("uninstall.exe /setup /s") and prints what that changed
// (machine_changes.h), runs the uninstall ("uninstall.exe /s", the processes
// it starts, then a restart) and prints what the machine has changed since
// the start. Exit codes as for the sim program (runner.h): 0 done, 2 bad
// options or input (the message names the file and line; nothing is left
// behind), 3 a machine that cannot be built or saved, 4 a message box nobody
// answered (see --actions), 5 the program ended abnormally.
#pragma once

#include "platform/sim/runner.h"

namespace sim {

int RunWhatIf(int argc, char** argv, const ProgramHooks& hooks);

}  // namespace sim

// The uninstall mode of the program.
#pragma once

// Asks for confirmation (not in silent mode), removes the whole shell
// integration, deletes the files and folders that Uninstall.lst names,
// schedules busy files for deletion at restart, deletes the list, tells the
// user when a restart is needed and hands over to the self-removal script.
// Returns early, having changed nothing, when the user declines, the program
// folder cannot be found or made the current directory, or the list cannot be
// opened (which is reported, in silent mode too).
void RunUninstall();

// The last step of the uninstall: the program file and its folder are
// removed by a batch script that runs after the program has exited.
#pragma once

// Writes the script Uninstall_Vlk.Bat into the temporary folder for the
// program file `programPath` and the program folder (the current
// directory), makes the folder's parent the current directory and starts the
// script through the command interpreter that COMSPEC names: hidden on the
// NT family, detached with its standard handles on the NUL device on the
// older platforms. Nothing is written when a path cannot be written whole in
// the form the interpreter reads; nothing is reported.
void StartSelfRemoval(const char* programPath);

// The process-wide items of the program entry: silent mode, the program
// group path and the dialog icon.
#pragma once

#include <stddef.h>

#include "platform/types.h"

enum : size_t { kProgramGroupPathSize = 1024 };

// Silent mode: on after the switch s, never switched off during a run. The
// setup dialog then confirms itself, the uninstall asks nothing and no folder
// is opened after setup.
bool SilentMode();
void SetSilentMode(bool on);

// The program group folder that the integration made (empty when none), in a
// buffer of kProgramGroupPathSize bytes; opened after the setup dialog.
char* ProgramGroupPath();

// The big icon of the setup dialog; null until loaded.
os::Icon DialogIcon();
void SetDialogIcon(os::Icon icon);

// Back to the state at start: silent mode off, no program group, no icon.
void ResetProcessState();

// Bringing the whole shell integration in line with the user's choices, and
// taking all of it away again.
#pragma once

#include "integration/settings.h"

// In this order: the App Paths entry, the shell extension, the associations,
// the handler classes and the shortcuts. `groupPath` (null, or a buffer of at
// least kPathSize bytes) receives the program group's folder when flag 22 is
// on. The uninstall entry is written by the caller afterwards.
void ApplyIntegration(const IntegrationSettings* settings, char* groupPath);

// Undoes everything setup ever wrote, in this order: gives back every
// extension that Velkor owns (from the association backups), tells the shell,
// removes the shell extension's registration, the shortcuts and program
// groups, the handler classes and ".rev" (when it is still Velkor's), the
// uninstall and App Paths entries, and last the whole product key below
// HKEY_CURRENT_USER with the backups in it.
void RemoveIntegration();

// SETUPDLG, the dialog of setup mode: the archive types that Velkor takes
// over, the shortcuts and the shell integration. Its check boxes hold the
// choices until OK reads, stores and applies them; in silent mode the dialog
// confirms itself while it opens.
#pragma once

#include <stdint.h>

#include "integration/settings.h"
#include "platform/ui_types.h"

// Control ids of SETUPDLG. Type box r (5101 + r) stands for flag r, boxes
// 5115 to 5120 for flags 20 to 25.
enum : int {
    kFirstTypeBox = 5101,
    kLastTypeBox = 5114,
    kDesktopIconBox = 5115,
    kStartMenuIconBox = 5116,
    kProgramGroupBox = 5117,
    kShellIntegrationBox = 5118,
    kCascadedMenuBox = 5119,
    kMenuIconsBox = 5120,
    kSelectAllButton = 5121,
    kDescriptionText = 5122,
    kContextItemsButton = 5123,
};

extern const char kSetupDialogName[];  // "SETUPDLG"
enum : unsigned { kSetupHelpContext = 4288 };

// The dialog procedure of SETUPDLG (creation parameter 0). The dialog ends
// with 1 after OK, with 0 after Cancel (Esc or the close box).
intptr_t SetupDialogProc(os::Window dialog, unsigned message, os::WParam wParam, os::LParam lParam);

// Flags 0 to 13 and 20 to 25 from the check boxes: 1 checked, 0 otherwise.
// Flags 14 to 19 are not touched.
void ReadChoices(os::Window dialog, IntegrationSettings* settings);
// Checks or clears the boxes from the flags, then enables 5119 and 5120
// exactly when flag 23 (shell integration) is on.
void ShowChoices(os::Window dialog, const IntegrationSettings* settings);
// Checks the fourteen type boxes; nothing else changes.
void SelectAllTypes(os::Window dialog);
// Enables or disables control `id` of the dialog.
void EnableControl(os::Window dialog, int id, bool on);

// CONTEXTITEMS, the dialog that chooses the entries of the shell extension's
// context menu. Each check box stands for a per-user value below
// "Setup\MenuItems"; OK writes all of them, Cancel none.
#pragma once

#include <stdint.h>

#include "platform/ui_types.h"

// One entry of the context menu: its check box, its value and the value's
// default when it is not stored.
struct ContextItem {
    int control;
    const char* valueName;
    unsigned defaultValue;
};

enum : int { kContextItemCount = 11 };
extern const ContextItem ContextItemTable[kContextItemCount];

extern const char kContextItemsDialogName[];  // "CONTEXTITEMS"
extern const char kContextItemsKey[];         // "Setup\MenuItems"
enum : unsigned { kContextItemsHelpContext = 4976 };

// The dialog procedure of CONTEXTITEMS (creation parameter 0): ends with 1
// after OK, 0 after Cancel.
intptr_t ContextItemsDialogProc(os::Window dialog, unsigned message, os::WParam wParam,
                                os::LParam lParam);

// Runs CONTEXTITEMS modally over `owner`; its result is not used.
void ShowContextItemsDialog(os::Window owner);

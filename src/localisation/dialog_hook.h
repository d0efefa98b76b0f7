// The handling that every dialog of the program shares: each dialog procedure
// passes every message first to CommonDialogHook with its resource name, its
// help context and its page flag, then handles the message itself.
//
// When the dialog opens it is translated and rescaled through the language
// file (LanguageResources::LocalizeDialog); for a right-to-left language its
// layout is mirrored as soon as it gets its font; the Help button (IDHELP)
// and F1 open the help file at the dialog's topic.
#pragma once

#include "platform/ui_types.h"

// The help file, passed to the help viewer by this bare name.
extern const char kHelpFileName[];

// `page` marks a page of a property sheet (its caption is the sheet's tab,
// help comes as PSN_HELP, the sheet is mirrored with it). `helpContext` 0
// means the dialog has no help topic. Nothing is returned: the calling
// procedure's own handling decides the message's result.
void CommonDialogHook(os::Window dialog, unsigned message, os::WParam wParam, bool page,
                      unsigned helpContext, const char* dialogName, os::LParam lParam);

// Opens the help viewer on topic `helpContext` of the help file, with
// `owner` as its owner window (HELP_CONTEXT).
void OpenDialogHelp(os::Window owner, unsigned helpContext);

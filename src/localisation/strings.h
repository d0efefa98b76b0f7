// The program's texts by string id, from the language module or the
// program's own table, translated through the language file.
#pragma once

#include <stddef.h>

enum : int {
    kStringArchiverName = 5101,       // display name of the uninstall entry
    kStringHelpShortcut = 5102,       // shortcut name of the help
    kStringConsoleManual = 5103,      // shortcut name of the console version's manual
    kStringUninstallTitle = 5104,     // caption of the message boxes
    kStringUninstallComplete = 5105,  // first line of the warning message
    kStringDeleteYourself = 5106,     // "%s": the program's path
    kStringConfirmUninstall = 5107,   // the uninstall question
    kStringCannotOpenList = 5108,     // "%s": the list file's path
    kStringVlkArchive = 5109,         // archive type descriptions
    kStringZipArchive = 5110,
    kStringRecoveryVolume = 5111,
    kStringShortcutComment = 5113,  // description of the program's shortcuts
    kStringRestartNeeded = 5114,    // the restart notice
};

enum : size_t {
    kStringSize = 512,  // bytes of each ring buffer; texts hold at most 511
    kStringRingSize = 8,
};

// The text of string `id` in one of 8 ring buffers of 512 bytes: valid until
// eight further calls, the ninth reuses the first call's buffer. With a
// language file loaded the program's own text is taken and translated; else
// the language module's, or the program's own when the module has none (or
// an empty one). A string missing everywhere gives the empty text.
const char* GetString(int id);

// The ring as static construction leaves it: the first call uses buffer 1.
void ResetStringRing();

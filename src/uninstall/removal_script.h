// The text of the self-removal script Uninstall_Vlk.Bat.
#pragma once

enum : int { kScriptPieceSize = 1024 };

// The script in its three pieces; lines end in CR LF, the last line has none.
//   first: the program run with the switch wait, on the older platforms
//          through "start /wait";
//   block: deleting the program file, removing the program folder and the
//          jump to ":done" once the file is gone; written five times;
//   last:  ":done", the program run with the switch warning when its file
//          survived, and the script deleting itself.
struct RemovalScript {
    char first[kScriptPieceSize];
    char block[kScriptPieceSize];
    char last[kScriptPieceSize];
};
enum : int { kScriptBlockRepeats = 5 };

// Composes the script from the paths as the batch file must hold them (see
// BatchPathText): the program file, the program folder and the script
// itself. False when a piece does not fit its buffer.
bool ComposeRemovalScript(bool ntFamily, const char* program, const char* folder,
                          const char* script, RemovalScript* text);

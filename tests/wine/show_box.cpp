// A message box for the robot's own check: shows TEXT under CAPTION with Yes
// and No through the platform's MessageBoxA (the real API), as the program
// shows its boxes, and exits with the button pressed (6 Yes, 7 No, 0 failure).
//
//   show_box CAPTION TEXT     (ANSI texts; "\n" in TEXT stands for a line break)
#include <stdio.h>
#include <string.h>

#include "platform/platform.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        fprintf(stderr, "usage: show_box CAPTION TEXT\n");
        return 2;
    }
    char text[512];
    size_t n = 0;
    for (const char* p = argv[2]; *p && n + 1 < sizeof text; ++p) {
        if (p[0] == '\\' && p[1] == 'n') {
            text[n++] = '\n';
            ++p;
        } else {
            text[n++] = *p;
        }
    }
    text[n] = '\0';
    return os::Gui().MessageBoxA(nullptr, text, argv[1],
                                 os::kMbYesNo | os::kMbIconQuestion | os::kMbSetForeground);
}

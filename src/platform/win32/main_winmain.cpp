// The Windows entry of uninstall.exe.
//
// The run-time start-up's own command-line tail is not used: the program takes
// the whole process command line and cuts the program name off by its own
// rule (CommandLineTail), the same in every build. The real API is the default
// platform, in effect from static construction on, so nothing is installed here.
#include <windows.h>

#include "app/entry.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    return ProgramEntry(reinterpret_cast<os::Module>(instance), CommandLineTail(GetCommandLineA()));
}

// The uninstall entry of the list of installed programs.
#include "common/text.h"
#include "integration/handlers.h"
#include "localisation/program_path.h"
#include "localisation/strings.h"
#include "platform/platform.h"
#include "registry/registry.h"

const char kUninstallKey[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Velkor archiver";

bool FormUninstallCommand(const char* programPath, char* command, size_t size) {
    return FormatInto(command, size, "\"%s\"", programPath) != nullptr;
}

void RegisterUninstallEntry() {
    SetStringValue(os::LocalMachine(), kUninstallKey, "DisplayName",
                   GetString(kStringArchiverName));
    char program[kPathSize];
    char command[kPathSize];
    if (!GetProgramPath(program, sizeof program) ||
        !FormUninstallCommand(program, command, sizeof command)) {
        return;
    }
    SetStringValue(os::LocalMachine(), kUninstallKey, "UninstallString", command);
}

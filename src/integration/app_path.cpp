// The App Paths entry of Velkor.exe.
#include "common/path.h"
#include "common/text.h"
#include "integration/handlers.h"
#include "integration/program_folder.h"
#include "localisation/program_path.h"
#include "platform/platform.h"
#include "registry/registry.h"

const char kAppPathsKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Velkor.exe";

void RegisterAppPath() {
    char archiver[kPathSize];
    if (!ProgramFolderFile("Velkor.exe", archiver, sizeof archiver)) return;
    char folder[kPathSize];
    CopyText(folder, sizeof folder, archiver);
    CutNameFromPath(folder);
    SetStringValue(os::LocalMachine(), kAppPathsKey, "", archiver);
    SetStringValue(os::LocalMachine(), kAppPathsKey, "Path", folder);
}

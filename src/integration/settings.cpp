#include "integration/settings.h"

#include "integration/archive_types.h"
#include "integration/associations.h"
#include "registry/registry.h"

namespace {

// The choices kept outside the archive-type rows, in the order they are saved.
struct StoredChoice {
    int flag;
    const char* key;
    const char* value;
    os::Dword defaultValue;
};

const StoredChoice kStoredChoices[] = {
    {kFlagDesktopIcon, "Setup\\Links", "Desktop", 0},
    {kFlagStartMenuIcon, "Setup\\Links", "StartMenu", 0},
    {kFlagProgramGroup, "Setup\\Links", "Programs", 1},
    {kFlagShellIntegration, "Setup", "ShellExt", 1},
    {kFlagCascadedMenu, "Setup", "CascadedMenu", 0},
    {kFlagMenuIcons, "Setup", "MenuIcons", 1},
};

// JAR and ISO extensions are often claimed by other programs; the setup then
// proposes to leave them alone.
bool OwnedByAnotherProgram(const char* extension) {
    if (IsOwnedExtension(extension)) return false;
    char owner[80];
    GetStringValue(os::ClassesRoot(), extension, "", owner, "", sizeof owner);
    return owner[0] != '\0';
}

}  // namespace

void LoadIntegrationSettings(IntegrationSettings* settings) {
    for (int type = 0; type < kArchiveTypeCount; ++type) {
        const char* extension = ArchiveTypeTable[type].firstExtension;
        char key[kBackupKeySize];
        bool on = true;
        if (MakeBackupKeyPath(extension, key, sizeof key)) on = GetUserDword(key, "Set", 1) != 0;
        if ((type == kArchiveJar || type == kArchiveIso) && OwnedByAnotherProgram(extension)) {
            on = false;
        }
        settings->flags[type] = on ? 1 : 0;
    }
    for (const StoredChoice& choice : kStoredChoices) {
        bool on = GetUserDword(choice.key, choice.value, choice.defaultValue) != 0;
        settings->flags[choice.flag] = on ? 1 : 0;
    }
}

void SaveIntegrationSettings(const IntegrationSettings* settings) {
    for (int type = 0; type < kArchiveTypeCount; ++type) {
        // The ISO choice is not kept: the next setup proposes ISO again unless
        // another program has taken .iso meanwhile.
        if (type == kArchiveIso) continue;
        char key[kBackupKeySize];
        if (!MakeBackupKeyPath(ArchiveTypeTable[type].firstExtension, key, sizeof key)) continue;
        SetUserDword(key, "Set", settings->flags[type] != 0 ? 1 : 0);
    }
    for (const StoredChoice& choice : kStoredChoices) {
        SetUserDword(choice.key, choice.value, settings->flags[choice.flag] != 0 ? 1 : 0);
    }
}

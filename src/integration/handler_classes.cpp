#include "common/text.h"
#include "integration/archive_types.h"
#include "integration/handlers.h"
#include "integration/program_folder.h"
#include "localisation/program_path.h"
#include "localisation/strings.h"
#include "platform/platform.h"
#include "registry/registry.h"

namespace {

struct HandlerClass {
    const char* name;
    int description;       // string id
    int icon;              // icon index in Velkor.exe
    bool recoveryVolumes;  // ".rev" is bound right before the class is written
};

const HandlerClass kHandlerClasses[] = {
    {kVelkorClass, kStringVlkArchive, 0, false},
    {kVelkorZipClass, kStringZipArchive, 0, false},
    {kVelkorRevClass, kStringRecoveryVolume, 1, true},
};

os::Key Classes() { return os::ClassesRoot(); }

// Writes one class. A text that could not be formed (`command` or the icon
// empty) is left out rather than written cut.
void WriteClass(const HandlerClass& handler, const char* archiver, const char* command) {
    if (handler.recoveryVolumes) BindRecoveryVolumes();
    SetStringValue(Classes(), handler.name, "", GetString(handler.description));

    char key[kKeyPathSize];
    if (command[0] != '\0' &&
        FormatInto(key, sizeof key, "%s\\shell\\open\\command", handler.name) != nullptr) {
        SetStringValue(Classes(), key, "", command);
    }
    if (FormatInto(key, sizeof key, "%s\\DefaultIcon", handler.name) == nullptr) return;
    char icon[kPathSize];
    // A failed read counts as no icon.
    GetStringValue(Classes(), key, "", icon, "", sizeof icon);
    if (icon[0] != '\0') return;
    if (archiver[0] != '\0' &&
        FormatInto(icon, sizeof icon, "%s,%d", archiver, handler.icon) != nullptr) {
        SetStringValue(Classes(), key, "", icon);
    }
}

}  // namespace

bool FormOpenCommand(const char* archiver, char* command, size_t size) {
    return FormatInto(command, size, "\"%s\" \"%%1\"", archiver) != nullptr;
}

void RegisterHandlerClasses() {
    char archiver[kPathSize];
    char command[kPathSize];
    if (!ProgramFolderFile("Velkor.exe", archiver, sizeof archiver)) archiver[0] = '\0';
    if (archiver[0] == '\0' || !FormOpenCommand(archiver, command, sizeof command)) {
        command[0] = '\0';
    }
    for (const HandlerClass& handler : kHandlerClasses) WriteClass(handler, archiver, command);
    os::Sh().ChangeNotify(os::kShcneAssocChanged, os::kShcnfIdList, nullptr, nullptr);
}

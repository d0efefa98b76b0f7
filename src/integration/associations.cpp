#include "integration/associations.h"

#include "common/system.h"
#include "common/text.h"
#include "integration/archive_types.h"
#include "integration/new_menu.h"
#include "registry/registry.h"

namespace {

enum : os::Dword {
    kClassSize = 512,
    kContentSize = 512,
    kShellNewSize = 1024,
    kOwnerProbeSize = 80,
    kNullFileProbeSize = 10,
};

// Volume extensions .v00 on: take-over binds 30 on the NT family and 100 on
// the older platforms; give-back looks at all 100 on every system.
enum : int {
    kNtVolumeCount = 30,
    kVolumeCount = 100,
};

const char kContentType[] = "Content Type";

os::Key Classes() { return os::ClassesRoot(); }

bool IsVelkorClass(const char* name) {
    return CompareNoCase(name, kVelkorClass) == 0 || CompareNoCase(name, kVelkorZipClass) == 0;
}

// Saves what the extension points to now into its backup key.
void SaveBackup(const char* extension, const char* shellNewKey, const char* backupKey) {
    char previousClass[kClassSize];
    char content[kContentSize];
    char fileName[kShellNewSize];
    char nullFile[kNullFileProbeSize];
    GetStringValue(Classes(), extension, "", previousClass, "", sizeof previousClass);
    GetStringValue(Classes(), extension, kContentType, content, "", sizeof content);
    GetStringValue(Classes(), shellNewKey, "FileName", fileName, "", sizeof fileName);
    bool hasNullFile =
        GetStringValue(Classes(), shellNewKey, "NullFile", nullFile, "", sizeof nullFile);
    bool existed = KeyExists(Classes(), extension);

    SetUserDword(backupKey, "Exist", existed ? 1 : 0);
    SetUserString(backupKey, "Type", previousClass);
    SetUserString(backupKey, "Content", content);
    SetUserString(backupKey, "ShellNew", fileName[0] == '\0' && hasNullFile ? "*" : fileName);
}

bool FormVolumeExtension(int number, char* extension, size_t size) {
    return FormatInto(extension, size, ".v%02d", number) != nullptr;
}

void BindVolumeExtensions() {
    int count = NtFamilyVersion() != 0 ? kNtVolumeCount : kVolumeCount;
    for (int number = 0; number < count; ++number) {
        char extension[kExtensionSize];
        if (!FormVolumeExtension(number, extension, sizeof extension)) continue;
        SetStringValue(Classes(), extension, "", kVelkorClass);
        DeleteValue(Classes(), extension, kContentType);
    }
}

// Volume extensions have no backup of their own: they go to the previous
// owner of .vlk, or away when .vlk had none. Only those that Velkor owns are
// touched; a volume extension that another program holds stays its own.
void GiveBackVolumeExtensions(bool existed, const char* previousClass, const char* content) {
    for (int number = 0; number < kVolumeCount; ++number) {
        char extension[kExtensionSize];
        if (!FormVolumeExtension(number, extension, sizeof extension)) continue;
        if (!IsOwnedExtension(extension)) continue;
        if (existed && previousClass[0] != '\0') {
            SetStringValue(Classes(), extension, "", previousClass);
            if (content[0] != '\0') SetStringValue(Classes(), extension, kContentType, content);
        } else {
            DeleteKey(Classes(), extension);
        }
    }
}

void TakeOver(const char* extension, const char* shellNewKey, const char* backupKey,
              bool shellIntegration, bool isZip, bool isVlk) {
    if (!IsOwnedExtension(extension)) SaveBackup(extension, shellNewKey, backupKey);
    SetStringValue(Classes(), extension, "", isZip ? kVelkorZipClass : kVelkorClass);
    DeleteValue(Classes(), extension, kContentType);
    if (isVlk) BindVolumeExtensions();
    if (shellIntegration && (isZip || isVlk)) AddNewMenuEntry(shellNewKey, isVlk);
}

void GiveBack(const char* extension, const char* shellNewKey, const char* backupKey, bool isVlk) {
    if (!IsOwnedExtension(extension)) return;
    // No backup at all reads as an extension that existed without a class.
    bool existed = GetUserDword(backupKey, "Exist", 1) != 0;
    char previousClass[kClassSize];
    char content[kContentSize];
    GetUserString(backupKey, "Type", previousClass, "", sizeof previousClass);
    if (IsVelkorClass(previousClass)) previousClass[0] = '\0';
    GetUserString(backupKey, "Content", content, "", sizeof content);

    if (existed) {
        SetStringValue(Classes(), extension, "", previousClass);
        if (content[0] != '\0') {
            SetStringValue(Classes(), extension, kContentType, content);
        } else {
            DeleteValue(Classes(), extension, kContentType);
        }
        char shellNew[kShellNewSize];
        GetUserString(backupKey, "ShellNew", shellNew, "", sizeof shellNew);
        DeleteValue(Classes(), shellNewKey, "FileName");
        if (shellNew[0] == '*') {
            SetStringValue(Classes(), shellNewKey, "NullFile", "");
        } else if (shellNew[0] != '\0') {
            SetStringValue(Classes(), shellNewKey, "FileName", shellNew);
        }
    } else {
        DeleteKey(Classes(), shellNewKey);
        DeleteKey(Classes(), extension);
    }
    if (isVlk) GiveBackVolumeExtensions(existed, previousClass, content);
}

}  // namespace

bool MakeBackupKeyPath(const char* extension, char* key, size_t size) {
    return FormatInto(key, size, "Setup\\%s", extension) != nullptr;
}

bool IsOwnedExtension(const char* extension) {
    char owner[kOwnerProbeSize];
    GetStringValue(Classes(), extension, "", owner, "", sizeof owner);
    return IsVelkorClass(owner);
}

void SetExtensionAssociation(const char* extension, bool associate, bool shellIntegration,
                             bool isZip, bool isVlk) {
    CompleteTemplates();
    char shellNewKey[kKeyPathSize];
    char backupKey[kBackupKeySize];
    if (FormatInto(shellNewKey, sizeof shellNewKey, "%s\\ShellNew", extension) == nullptr) return;
    if (!MakeBackupKeyPath(extension, backupKey, sizeof backupKey)) return;
    if (associate) {
        TakeOver(extension, shellNewKey, backupKey, shellIntegration, isZip, isVlk);
    } else {
        GiveBack(extension, shellNewKey, backupKey, isVlk);
    }
}

void ApplyAssociations(const IntegrationSettings* settings) {
    bool shellIntegration = settings->flags[kFlagShellIntegration] != 0;
    for (int type = 0; type < kArchiveTypeCount; ++type) {
        bool associate = settings->flags[type] != 0;
        char extension[kExtensionSize];
        const char* rest = ArchiveTypeTable[type].extensions;
        while ((rest = NextExtension(rest, extension, sizeof extension)) != nullptr) {
            SetExtensionAssociation(extension, associate, shellIntegration, type == kArchiveZip,
                                    type == kArchiveVlk);
        }
    }
}

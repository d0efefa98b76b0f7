// ".rev" and what it pointed to before Velkor bound it.
//
// Binding ".rev" to "Velkor.REV" replaces another program's class there, so
// the class is kept first, as the association backups keep theirs: "Exist"
// and "Type" under Setup\.rev below the product key. Removal puts it back,
// while the removal of the product key comes after it.
#include "common/text.h"
#include "integration/associations.h"
#include "integration/handlers.h"
#include "platform/platform.h"
#include "registry/registry.h"

namespace {

enum : os::Dword { kClassSize = 512 };

os::Key Classes() { return os::ClassesRoot(); }

bool BoundToVelkor() {
    char owner[kClassSize];
    GetStringValue(Classes(), kRecoveryVolumeExtension, "", owner, "", sizeof owner);
    return CompareNoCase(owner, kVelkorRevClass) == 0;
}

}  // namespace

void BindRecoveryVolumes() {
    char backupKey[kBackupKeySize];
    if (!BoundToVelkor() &&
        MakeBackupKeyPath(kRecoveryVolumeExtension, backupKey, sizeof backupKey)) {
        char previous[kClassSize];
        GetStringValue(Classes(), kRecoveryVolumeExtension, "", previous, "", sizeof previous);
        SetUserDword(backupKey, "Exist", KeyExists(Classes(), kRecoveryVolumeExtension) ? 1 : 0);
        SetUserString(backupKey, "Type", previous);
    }
    SetStringValue(Classes(), kRecoveryVolumeExtension, "", kVelkorRevClass);
}

void UnbindRecoveryVolumes() {
    // A program that took ".rev" over since keeps it.
    if (!BoundToVelkor()) return;
    char backupKey[kBackupKeySize];
    char previous[kClassSize] = "";
    bool existed = false;
    if (MakeBackupKeyPath(kRecoveryVolumeExtension, backupKey, sizeof backupKey)) {
        existed = GetUserDword(backupKey, "Exist", 0) != 0;
        GetUserString(backupKey, "Type", previous, "", sizeof previous);
    }
    if (!existed) {
        DeleteKeyTree(Classes(), kRecoveryVolumeExtension);
    } else if (previous[0] != '\0') {
        SetStringValue(Classes(), kRecoveryVolumeExtension, "", previous);
    } else {
        DeleteValue(Classes(), kRecoveryVolumeExtension, "");
    }
}

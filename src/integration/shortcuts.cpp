#include "integration/shortcuts.h"

#include "common/system.h"
#include "common/text.h"
#include "integration/program_folder.h"
#include "localisation/program_path.h"
#include "localisation/strings.h"
#include "platform/platform.h"

namespace {

const char kLinkName[] = "Velkor.lnk";
const char kGroupName[] = "Velkor";

// The program group's links: the target in the program's folder and the
// link's name (a string id, or 0 for the fixed name "Velkor").
struct GroupLink {
    const char* target;
    int name;
};
const GroupLink kGroupLinks[] = {
    {"Velkor.exe", 0},
    {"Velkor.hlp", kStringHelpShortcut},
    {"Vlk.txt", kStringConsoleManual},
};
enum : int { kGroupLinkCount = sizeof kGroupLinks / sizeof kGroupLinks[0] };

// What every link of one call shares, with the texts copied out of the
// string ring.
struct LinkTexts {
    char description[kStringSize];
    char names[kGroupLinkCount][kStringSize];
};

void LoadLinkTexts(LinkTexts* texts) {
    CopyText(texts->description, sizeof texts->description, GetString(kStringShortcutComment));
    for (int row = 0; row < kGroupLinkCount; ++row) {
        const char* name = kGroupLinks[row].name != 0 ? GetString(kGroupLinks[row].name) : "Velkor";
        CopyText(texts->names[row], sizeof texts->names[row], name);
    }
}

// The group folder `group` with its three links; a folder that is there
// already is used as it is.
void MakeGroup(const char* group, const LinkTexts& texts) {
    os::Fs().CreateDirectoryA(group);
    for (int row = 0; row < kGroupLinkCount; ++row) {
        if (!IsPlainFileName(texts.names[row])) continue;
        char link[kPathSize];
        char target[kPathSize];
        if (FormatInto(link, sizeof link, "%s\\%s.lnk", group, texts.names[row]) == nullptr ||
            !ProgramFolderFile(kGroupLinks[row].target, target, sizeof target)) {
            continue;
        }
        CreateShortcut(target, link, texts.description);
    }
}

void ApplyGroup(int csidl, bool on, const LinkTexts& texts, char* groupPath) {
    char group[kPathSize];
    if (!SpecialFolderFile(csidl, kGroupName, group, sizeof group)) return;
    if (!on) {
        RemoveFolderTree(group, sizeof group);
        return;
    }
    if (groupPath) CopyText(groupPath, kPathSize, group);
    MakeGroup(group, texts);
}

}  // namespace

void ApplyShortcuts(const IntegrationSettings* settings, char* groupPath) {
    char archiver[kPathSize];
    bool haveArchiver = ProgramFolderFile("Velkor.exe", archiver, sizeof archiver);
    LinkTexts texts;
    LoadLinkTexts(&texts);

    char link[kPathSize];
    if (SpecialFolderFile(os::kCsidlDesktopDirectory, kLinkName, link, sizeof link)) {
        if (settings->flags[kFlagDesktopIcon] == 0) {
            RemoveFile(link, nullptr);
        } else if (haveArchiver && !PathExists(link, nullptr)) {
            // A desktop link is made once; the user may have changed it since.
            CreateShortcut(archiver, link, texts.description);
        }
    }
    if (SpecialFolderFile(os::kCsidlStartMenu, kLinkName, link, sizeof link)) {
        if (settings->flags[kFlagStartMenuIcon] == 0) {
            RemoveFile(link, nullptr);
        } else if (haveArchiver) {
            CreateShortcut(archiver, link, texts.description);
        }
    }
    bool group = settings->flags[kFlagProgramGroup] != 0;
    ApplyGroup(os::kCsidlPrograms, group, texts, groupPath);
    // The all-users group exists on the NT family only.
    if (NtFamilyVersion() != 0) ApplyGroup(os::kCsidlCommonPrograms, group, texts, nullptr);
}

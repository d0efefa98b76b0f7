// The user's integration choices: the in-memory record and its storage in the
// per-user values below the product key.
//
// Per-user values (all REG_DWORD, relative to Software\Velkor in
// HKEY_CURRENT_USER; a missing value reads as the default shown):
//   Setup\<first extension of a type>  "Set"           1  flags 0 to 13 (ISO not stored)
//   Setup\Links                        "Desktop"       0  flag 20
//   Setup\Links                        "StartMenu"     0  flag 21
//   Setup\Links                        "Programs"      1  flag 22
//   Setup                              "ShellExt"      1  flag 23
//   Setup                              "CascadedMenu"  0  flag 24
//   Setup                              "MenuIcons"     1  flag 25
//   Setup\MenuItems                    context-menu items (setup dialogs)
//   Setup\<extension>                  association backup (associations.h)
#pragma once

enum : int {
    // Flags 0 to 13 are the rows of ArchiveTypeTable; 14 to 19 are reserved.
    kFirstReservedFlag = 14,
    kFlagDesktopIcon = 20,
    kFlagStartMenuIcon = 21,
    kFlagProgramGroup = 22,
    kFlagShellIntegration = 23,
    kFlagCascadedMenu = 24,
    kFlagMenuIcons = 25,
    kSettingsFlagCount = 26,
};

// 26 one-byte flags, each 0 (off) or 1 (on). Owned by the caller and passed
// by address; nothing keeps it.
struct IntegrationSettings {
    unsigned char flags[kSettingsFlagCount];
};

// Fills flags 0 to 13 and 20 to 25 from the per-user values; a non-zero
// stored number is on. JAR and ISO are off whenever another program owns
// their first extension, whatever was stored. Flags 14 to 19 are untouched.
void LoadIntegrationSettings(IntegrationSettings* settings);

// Stores the record's choices as 0 or 1: "Set" of every type but ISO, then
// the shortcut and shell-extension choices. Failed writes go unnoticed.
void SaveIntegrationSettings(const IntegrationSettings* settings);

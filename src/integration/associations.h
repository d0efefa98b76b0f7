// Binding the archive extensions to Velkor's handler classes, and giving them
// back to their previous owners.
//
// Before Velkor takes over an extension that it does not own, what the
// extension pointed to is saved in its association backup, the key
// Setup\<extension> below Software\Velkor in HKEY_CURRENT_USER:
//   "Exist"    DWORD   1 when HKEY_CLASSES_ROOT\<extension> existed, else 0
//   "Type"     string  the previous class (the key's default value), or empty
//   "Content"  string  the previous "Content Type", or empty
//   "ShellNew" string  the previous ShellNew "FileName"; "*" for a ShellNew
//                      with an empty or no "FileName" but a "NullFile"
// The key of a type's first extension also holds the type's "Set" choice.
// Backup keys are never deleted here.
#pragma once

#include <stddef.h>

#include "integration/settings.h"

enum : size_t { kBackupKeySize = 256 };

// Forms "Setup\<extension>", the per-user key of the extension's association
// backup. False, and the empty text in `key`, when it does not fit into
// `size` bytes.
bool MakeBackupKeyPath(const char* extension, char* key, size_t size);

// True when the extension's class under HKEY_CLASSES_ROOT is "Velkor" or
// "Velkor.ZIP" in any letter case.
bool IsOwnedExtension(const char* extension);

// associate on: takes the extension over for "Velkor.ZIP" (isZip) or
// "Velkor", saving the backup first when Velkor does not own it yet; with
// isVlk also binds the volume extensions .v00 on (30 of them on the NT
// family, 100 elsewhere); with shellIntegration and isZip or isVlk also adds
// the Explorer "New" menu entry.
// associate off: when Velkor owns the extension, puts back what the backup
// holds (an extension that had no key loses it again); with isVlk also gives
// back every volume extension .v00 to .v99 that Velkor owns. An extension
// that another program owns is left alone.
// An extension too long for the key paths is left alone too.
void SetExtensionAssociation(const char* extension, bool associate, bool shellIntegration,
                             bool isZip, bool isVlk);

// Takes over or gives back every extension of every archive type, by the
// type's flag in the record; flag 23 (shell integration) decides the "New"
// menu entries.
void ApplyAssociations(const IntegrationSettings* settings);

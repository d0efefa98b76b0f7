// The shell extension's registration: the in-process COM server in
// "vlkext.dll" (and "vlkext64.dll" for the 64-bit Explorer of 64-bit
// Windows), hooked into the shell's handler keys.
//
// Below HKEY_CLASSES_ROOT, {C} the library's class identifier:
//   CLSID\{C}                              "Velkor" (64-bit view for vlkext64.dll)
//   CLSID\{C}\InProcServer32               the library's path, "ThreadingModel" "Apartment"
//   Velkor, Velkor.ZIP \shellex\ContextMenuHandlers\{C}, \PropertySheetHandlers\{C},
//   exefile\shellex\PropertySheetHandlers\{C}          empty default values
//   Velkor, Velkor.ZIP \shellex\DropHandler             {C}
//   *, Folder, Directory \shellex\ContextMenuHandlers\Velkor,
//   Folder, Drive, Directory \shellex\DragDropHandlers\Velkor   {C}
// and below HKEY_LOCAL_MACHINE the value {C} = "Velkor shell extension" of
//   Software\Microsoft\Windows\CurrentVersion\Shell Extensions\Approved.
#pragma once

#include "integration/settings.h"

extern const char kShellExtensionLibrary[];    // "vlkext.dll"
extern const char kShellExtensionLibrary64[];  // "vlkext64.dll"
extern const char kShellExtensionClsid[];
extern const char kShellExtensionClsid64[];
extern const char kApprovedExtensionsKey[];  // below HKEY_LOCAL_MACHINE

// Registers the shell extension when flag 23 of the record is on, removes its
// registration when it is off: the 32-bit library always, the 64-bit one on
// 64-bit Windows (IsWow64).
void ApplyShellExtension(const IntegrationSettings* settings);

// Registers or removes the entries of one library (a file name in the
// program's folder). The COM class keys are written only when the library is
// there, in the 64-bit view when is64; every handler key and the approval
// are written either way. Removal deletes the class keys (also from the
// 64-bit view when is64, where registration put them), the per-CLSID and drop
// handler keys and the approval, and leaves the named handler keys without
// their default values.
void RegisterShellExtension(bool registering, const char* fileName, const char* clsid, bool is64);

// True when this 32-bit program runs on 64-bit Windows. The answer is asked
// once per process; while the system cannot tell (no IsWow64Process, or the
// call fails) the answer is false and the next call asks again.
bool IsWow64();
// Forgets the kept answer, as at the start of a process.
void ResetIsWow64();

// The archiver's shortcuts: "Velkor.lnk" on the desktop (flag 20) and in the
// Start menu (flag 21), and the program group "Velkor" in the Programs menu
// (flag 22) with links to Velkor.exe, Velkor.hlp and Vlk.txt, which on the NT
// family is also made in the all-users Programs menu. Every link is described
// by string 5113.
#pragma once

#include <stddef.h>

#include "integration/settings.h"

// Makes or deletes the shortcuts as flags 20 to 22 say. The desktop link is
// made only when no file of its name is there; the Start-menu link and the
// group's links are written again on every call. Flag 22 off deletes the
// group folders whole, with whatever else the user put in them. With flag 22
// on and `groupPath` given (a buffer of at least kPathSize bytes), the
// per-user group's folder path is copied into it; otherwise it is not
// touched. A special folder that cannot be looked up skips its step, so
// nothing is ever made or deleted relative to the current folder.
void ApplyShortcuts(const IntegrationSettings* settings, char* groupPath);

// Saves a shell link at `linkPath` to `target` with the optional
// `description`. True when the link file was saved. A link path too long for
// the shell's 260 characters is not cut: nothing is saved.
bool CreateShortcut(const char* target, const char* linkPath, const char* description);

// The current user's desktop folder into `path` of `size` bytes. False, and
// the empty text, when it cannot be looked up or does not fit.
bool GetDesktopFolder(char* path, size_t size);

// `name` in the special folder `csidl`: the folder's path, a backslash when it
// has none at its end, and the name. False, and the empty text, when the
// folder cannot be looked up or the path does not fit into `size` bytes.
bool SpecialFolderFile(int csidl, const char* name, char* path, size_t size);

// Deletes the folder `path` with all its contents through the shell, without
// questions, progress window or Recycle Bin. `path` lies in a buffer of `size`
// bytes with a byte to spare after its terminator, where the second zero of
// the shell's list form goes. False at once when the folder does not exist or
// there is no byte to spare; else whether the shell reported success.
bool RemoveFolderTree(char* path, size_t size);

// True when `name` can be used as a file name in a folder as it is: not
// empty, not "." or "..", and without path separators, a drive colon,
// wildcards, quotes, "<", ">", "|" or control characters (a trail byte of a
// double-byte character is not taken for one of them). A link name that a
// language gives is used only then, so that it never names a file outside
// its folder.
bool IsPlainFileName(const char* name);

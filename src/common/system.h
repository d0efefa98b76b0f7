// The Windows family probe and deleting and testing files by ANSI or UTF-16 name.
#pragma once

#include "platform/types.h"

// The major Windows version on the NT platform, 0 on the older platforms.
// Callers use it as a yes/no test. The version is asked once per process; a
// failed query counts as the older platforms, whose ANSI calls exist on both.
int NtFamilyVersion();

// Forgets the kept version, so the next NtFamilyVersion asks again.
void ResetNtFamilyVersion();

// Deletes a file: by `wideName` on the NT family when it is given and not
// empty, otherwise by `ansiName`. True when the file was deleted.
bool RemoveFile(const char* ansiName, const os::Wchar* wideName);

// True when the file or folder exists, by the same choice of name as RemoveFile.
bool PathExists(const char* ansiName, const os::Wchar* wideName);

// Files in use that the uninstall cannot delete now: renamed out of the way
// and deleted at the next restart.
#pragma once

// Renames the busy file `fullName` to the first free name of the form
// "<fullName>.<i>.tmp" (i from 0 to 999) and schedules the renamed file for
// deletion at the next restart. When it cannot be renamed (no free name that
// fits, or the rename fails), the file is scheduled under its own name and
// `restartNeeded` is set.
void ScheduleBusyFile(const char* fullName, bool& restartNeeded);

// Schedules the file `name` for deletion at the next restart: on the NT
// family through MoveFileExA, on the older platforms as a line "NUL=" with
// its short name in section [Rename] of wininit.ini in the Windows folder.
// Failures are not reported.
void DeleteAtRestart(const char* name);

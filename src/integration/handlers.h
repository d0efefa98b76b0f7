// The registrations that make the installed archiver known to Windows: the
// handler classes below HKEY_CLASSES_ROOT, "Velkor" (VLK and the other
// formats), "Velkor.ZIP" and "Velkor.REV" (recovery volumes, bound to ".rev"),
// each with a description, an open command and an icon naming the archiver
// Velkor.exe in the program's folder; the App Paths entry of Velkor.exe; and
// the uninstall entry through which Windows' list of installed programs starts
// this program again.
#pragma once

#include <stddef.h>

inline constexpr char kVelkorRevClass[] = "Velkor.REV";
inline constexpr char kRecoveryVolumeExtension[] = ".rev";

// Writes the three classes and binds ".rev" to "Velkor.REV", then tells the
// shell that associations changed. Descriptions and open commands are written
// on every call; an icon that a class already has (from an earlier setup or
// the user) is kept. ".rev" is bound whoever owned it before. Failures are
// skipped.
void RegisterHandlerClasses();

// Binds ".rev" to "Velkor.REV". When it named another class (or none), that
// is kept first in the backup key Setup\.rev below the product key ("Exist",
// "Type"); a ".rev" that is Velkor's already keeps its earlier backup.
void BindRecoveryVolumes();
// Gives ".rev" back while it is still Velkor's: to the kept class, or with no
// class when it had none; a ".rev" that did not exist before (or has no
// backup) is deleted with everything below it. One that another program took
// over since is left alone. Runs before the product key is deleted.
void UnbindRecoveryVolumes();

// The archiver's open command for `archiver` ("P" "%1", with the quotes) into
// `command` of `size` bytes. False, and the empty text, when it does not fit.
bool FormOpenCommand(const char* archiver, char* command, size_t size);

// Below HKEY_LOCAL_MACHINE.
extern const char kAppPathsKey[];
extern const char kUninstallKey[];

// The App Paths entry: default value the archiver's path, "Path" its folder
// (a drive root keeps its backslash). Nothing is written when the archiver's
// path cannot be formed.
void RegisterAppPath();

// The uninstall entry: "DisplayName" the archiver's name (string 5101) and
// "UninstallString" the command Windows runs, this program's full path in
// double quotes and nothing else, so that the program gets an empty tail and
// runs the uninstall. A path with a blank and a "-" or "/" after it would,
// unquoted, be cut at the blank and its rest read as switches.
void RegisterUninstallEntry();

// The "UninstallString" for `programPath` into `command` of `size` bytes.
// False, and the empty text, when it does not fit.
bool FormUninstallCommand(const char* programPath, char* command, size_t size);

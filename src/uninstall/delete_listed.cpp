#include "uninstall/delete_listed.h"

#include "common/path.h"
#include "common/text.h"
#include "localisation/program_path.h"
#include "platform/platform.h"
#include "uninstall/busy_file.h"
#include "uninstall/list_entry.h"
#include "uninstall/list_reader.h"

namespace {

// True when a busy file stays where it is: its name is that of the running
// program's own file (the self-removal script deletes it) or of the list,
// which is still open. Names only, in any folder.
bool StaysInPlace(const char* fullName) {
    const char* name = NameInPath(fullName);
    if (CompareNoCase(name, "Uninstall.lst") == 0) return true;
    char program[kPathSize];
    // Without the program's own name no busy file is taken for it: it stays.
    if (!GetProgramPath(program, sizeof program)) return true;
    return CompareNoCase(name, NameInPath(program)) == 0;
}

// One entry of a pass; true when it deleted a file or removed a folder.
bool DeleteEntry(const char* fullName, bool& restartNeeded) {
    os::Files& files = os::Fs();
    const os::Dword attributes = files.GetFileAttributesA(fullName);
    const bool missing = attributes == os::kInvalidFileAttributes;
    files.SetFileAttributesA(fullName, 0);
    if (!missing && (attributes & os::kFileAttributeDirectory)) {
        // A folder that is not empty yet goes in a later pass.
        return files.RemoveDirectoryA(fullName) != 0;
    }
    if (files.DeleteFileA(fullName)) return true;
    if (missing || StaysInPlace(fullName)) return false;
    ScheduleBusyFile(fullName, restartNeeded);
    return false;
}

}  // namespace

bool DeleteListedFiles(File& list, const char* folder) {
    bool restartNeeded = false;
    ListReader reader(list);
    char line[ListReader::kLineSize];
    char fullName[kPathSize];
    for (;;) {
        int deleted = 0;
        while (reader.NextLine(line)) {
            TrimTrailingBlanks(line);
            if (line[0] == '\0') continue;
            if (!ListEntryFullName(fullName, sizeof fullName, folder, line)) continue;
            if (DeleteEntry(fullName, restartNeeded)) ++deleted;
        }
        if (deleted == 0) break;
        reader.Rewind();
    }
    return restartNeeded;
}

// SHFileOperationA: deleting files and folder trees.
#include <dirent.h>

#include <vector>

#include "platform/sim/machine.h"
#include "platform/sim/shell_service.h"
#include "platform/sim/text.h"

namespace sim {

namespace {

// The paths of a list in the shell's form: each ends with a zero, the list
// with a second one.
std::vector<std::string> ListPaths(const char* list) {
    std::vector<std::string> paths;
    if (!list) return paths;
    for (const char* p = list; *p != '\0'; p += std::char_traits<char>::length(p) + 1)
        paths.emplace_back(p);
    return paths;
}

std::vector<std::string> HostNames(const std::string& hostFolder) {
    std::vector<std::string> names;
    if (DIR* dir = opendir(hostFolder.c_str())) {
        while (const dirent* entry = readdir(dir)) {
            const std::string name = entry->d_name;
            if (name != "." && name != "..") names.push_back(name);
        }
        closedir(dir);
    }
    return names;
}

}  // namespace

// Deletes a file, or a folder after everything in it; read-only files go too,
// as the shell deletes them without asking when confirmations are off. Stops
// at the first failure with its error.
long SimShell::DeleteTree(const std::string& path) {
    FileSystem& files = m_.Files();
    os::Dword attributes = 0;
    if (long err = files.GetAttributes(path, &attributes)) return err;
    if (attributes & os::kFileAttributeDirectory) {
        std::string host;
        if (long err = files.HostPath(path, &host)) return err;
        for (const std::string& name : HostNames(host)) {
            if (long err = DeleteTree(JoinWindowsPath(path, name))) return err;
        }
    }
    if (attributes & os::kFileAttributeReadOnly) {
        files.SetAttributes(path, attributes & ~os::Dword{os::kFileAttributeReadOnly});
    }
    const long err = (attributes & os::kFileAttributeDirectory) ? files.RemoveDirectory(path)
                                                                : files.DeleteFile(path);
    m_.Trace().Add("SHFileOperationA", "  delete " + Quote(path) + " -> " + std::to_string(err));
    return err;
}

int SimShell::FileOperationA(os::FileOperation* operation) {
    const std::vector<std::string> paths = ListPaths(operation->from);
    std::string list;
    for (const std::string& p : paths) list += (list.empty() ? "" : ",") + Quote(m_.AnsiToUtf8(p));
    const std::string args = "func=" + std::to_string(operation->func) +
                             " flags=" + Hex(operation->flags) + " from=[" + list + "]";
    operation->anyOperationsAborted = 0;
    long err = 0;
    if (operation->func != os::kFoDelete) {
        err = os::kErrorInvalidParameter;  // only deletion is modelled
    } else if (paths.empty()) {
        err = os::kErrorFileNotFound;
    }
    // No error window is modelled: a failure ends the operation with its code.
    for (const std::string& p : paths) {
        if (err) break;
        err = DeleteTree(m_.AnsiToUtf8(p));
    }
    m_.Trace().Add("SHFileOperationA", args + " -> " + std::to_string(err));
    return static_cast<int>(err);
}

}  // namespace sim

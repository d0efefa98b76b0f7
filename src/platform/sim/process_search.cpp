#include "platform/sim/process_search.h"

#include <vector>

#include "platform/sim/file_system.h"
#include "platform/sim/machine.h"
#include "platform/sim/text.h"

namespace sim {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool HasFolder(const std::string& name) { return name.find_first_of("\\/:") != std::string::npos; }

bool HasExtension(const std::string& name) {
    const size_t separator = name.find_last_of("\\/:");
    const size_t dot = name.rfind('.');
    return dot != std::string::npos && (separator == std::string::npos || dot > separator);
}

std::string FolderOf(const std::string& path) {
    const size_t slash = path.rfind('\\');
    if (slash == std::string::npos) return "";
    return slash == 2 ? path.substr(0, 3) : path.substr(0, slash);
}

std::string Search(Machine& m, std::string name) {
    if (!HasExtension(name)) name += ".exe";
    if (HasFolder(name)) return ExistingFile(m, name);
    std::vector<std::string> folders = {FolderOf(m.Config().programPath),
                                        m.Files().CurrentDirectory(), m.SystemFolder(),
                                        m.WindowsFolder()};
    for (const std::string& folder : PathFolders(m)) folders.push_back(folder);
    for (const std::string& folder : folders) {
        if (folder.empty()) continue;
        const std::string found = ExistingFile(m, JoinWindowsPath(folder, name));
        if (!found.empty()) return found;
    }
    return "";
}

}  // namespace

// The full path of an existing file (not a folder) named `name`, or "".
std::string ExistingFile(Machine& m, const std::string& name) {
    os::Dword attributes = 0;
    if (m.Files().GetAttributes(name, &attributes) != 0) return "";
    if (attributes & os::kFileAttributeDirectory) return "";
    std::string full;
    if (m.Files().FullPath(name, &full) != 0) return "";
    return full;
}

std::vector<std::string> PathFolders(Machine& m) {
    std::vector<std::string> folders;
    if (const std::string* path = m.Environment("PATH")) {
        size_t start = 0;
        while (start <= path->size()) {
            size_t end = path->find(';', start);
            if (end == std::string::npos) end = path->size();
            if (end > start) folders.push_back(path->substr(start, end - start));
            start = end + 1;
        }
    }
    return folders;
}

long FindProgram(Machine& m, const std::string& commandLine, std::string* program,
                 std::string* arguments) {
    program->clear();
    arguments->clear();
    size_t start = 0;
    while (start < commandLine.size() && IsBlank(commandLine[start])) ++start;
    if (start < commandLine.size() && commandLine[start] == '"') {
        const size_t close = commandLine.find('"', start + 1);
        const size_t end = close == std::string::npos ? commandLine.size() : close;
        const std::string name = commandLine.substr(start + 1, end - start - 1);
        if (name.empty()) return os::kErrorFileNotFound;
        *program = Search(m, name);
        if (program->empty()) return os::kErrorFileNotFound;
        *arguments = close == std::string::npos ? "" : commandLine.substr(close + 1);
        return 0;
    }
    // Unquoted: each run of words up to a blank, then the whole.
    for (size_t end = start; end <= commandLine.size(); ++end) {
        if (end < commandLine.size() && !IsBlank(commandLine[end])) continue;
        if (end == start) return os::kErrorFileNotFound;  // an empty name
        *program = Search(m, commandLine.substr(start, end - start));
        if (!program->empty()) {
            *arguments = commandLine.substr(end);
            return 0;
        }
    }
    return os::kErrorFileNotFound;
}

bool SameFile(Machine& m, const std::string& a, const std::string& b) {
    std::string hostA, hostB;
    return m.Files().HostPath(a, &hostA) == 0 && m.Files().HostPath(b, &hostB) == 0 &&
           hostA == hostB;
}

}  // namespace sim

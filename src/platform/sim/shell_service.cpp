// OLE, special folders, change notification and ShellExecuteA.
#include "platform/sim/shell_service.h"

#include <cstring>

#include "platform/sim/machine.h"
#include "platform/sim/text.h"

namespace sim {

namespace {

struct FolderEntry {
    int csidl;
    const char* name;
};
// The special folders by their identifiers and their names in machine.ini.
constexpr FolderEntry kFolders[] = {
    {os::kCsidlPrograms, "programs"},
    {0x0005, "personal"},
    {0x0007, "startup"},
    {os::kCsidlStartMenu, "startmenu"},
    {os::kCsidlDesktopDirectory, "desktop"},
    {0x0015, "templates"},
    {0x0016, "common_startmenu"},
    {os::kCsidlCommonPrograms, "common_programs"},
    {0x0019, "common_desktop"},
    {0x001A, "appdata"},
    {0x0024, "windows"},
    {0x0025, "system"},
    {0x0026, "program_files"},
};

std::string Text(Machine& m, const char* ansi) { return ansi ? Quote(m.AnsiToUtf8(ansi)) : "null"; }

}  // namespace

const char* SimShell::FolderName(int csidl) {
    for (const FolderEntry& f : kFolders)
        if (f.csidl == csidl) return f.name;
    return nullptr;
}

os::HResult SimShell::OleInitialize() {
    const os::HResult result = oleInitialized_ > 0 ? os::kSFalse : os::kSOk;
    ++oleInitialized_;
    m_.Trace().Add("OleInitialize", "null -> " + std::to_string(result));
    return result;
}

void SimShell::OleUninitialize() {
    if (oleInitialized_ > 0) --oleInitialized_;
    m_.Trace().Add("OleUninitialize", "");
}

os::HResult SimShell::GetSpecialFolderPath(int csidl, char* path, os::Dword size) {
    if (path && size) path[0] = '\0';
    const std::string args = "csidl=" + Hex(static_cast<uint32_t>(csidl));
    const char* name = FolderName(csidl);
    const std::string* folder = name ? m_.SpecialFolder(name) : nullptr;
    if (!folder) {
        m_.Trace().Add("SHGetSpecialFolderLocation", args + " -> " + Hex(uint32_t(os::kEFail)));
        return os::kEFail;
    }
    m_.Trace().Add("SHGetSpecialFolderLocation", args + " -> 0");
    bool usedDefault = false;
    const std::string ansi = m_.Utf8ToAnsi(*folder, &usedDefault);
    // SHGetPathFromIDListA fills MAX_PATH characters at most and fails for a
    // path that the ANSI code page cannot spell.
    const bool converted = !usedDefault && ansi.size() < os::kMaxPath;
    m_.Trace().Add("SHGetPathFromIDListA",
                   std::string("-> ") + (converted ? "1 " + Quote(*folder) : "0"));
    m_.Trace().Add("IMalloc::Free", "item-ID list");
    if (!converted || !path || ansi.size() >= size) return os::kEFail;
    memcpy(path, ansi.c_str(), ansi.size() + 1);
    return os::kSOk;
}

void SimShell::ChangeNotify(long eventId, unsigned flags, const void* item1, const void* item2) {
    m_.Trace().Add("SHChangeNotify", "event=" + Hex(static_cast<uint32_t>(eventId)) +
                                         " flags=" + Hex(flags) + (item1 || item2 ? " items" : ""));
}

intptr_t SimShell::ShellExecuteA(os::Window /*owner*/, const char* verb, const char* file,
                                 const char* parameters, const char* directory, int show) {
    // Explorer windows and started documents are not modelled: an existing
    // file or folder counts as opened.
    os::Dword attributes = 0;
    const long err = file ? m_.Files().GetAttributes(m_.AnsiToUtf8(file), &attributes)
                          : long{os::kErrorFileNotFound};
    const intptr_t result = err ? 2 : 42;  // SE_ERR_FNF, or a value above 32
    m_.Trace().Add("ShellExecuteA",
                   "verb=" + Text(m_, verb) + " file=" + Text(m_, file) +
                       " parameters=" + Text(m_, parameters) + " directory=" + Text(m_, directory) +
                       " show=" + std::to_string(show) + " -> " + std::to_string(result));
    return result;
}

}  // namespace sim

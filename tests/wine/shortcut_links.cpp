// The win64 build's half of the link exchange (shortcut_compare.sh).
//
//   shortcut_links.exe write FOLDER   makes FOLDER\targets, saves each case's
//                                     link with CreateShortcut into FOLDER\win
//                                     under its own name, copies it to
//                                     FOLDER\win\<case>.lnk and prints the
//                                     ANSI code page ("acp N")
//   shortcut_links.exe read FOLDER    loads FOLDER\<case>.lnk of every case
//                                     with the shell-link object and prints
//                                     "case TAB target TAB description" (UTF-8)
#include <shlobj.h>
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "integration/shortcut_cases.h"
#include "integration/shortcuts.h"
#include "platform/platform.h"

namespace {

std::string AnsiToUtf8(const char* ansi) {
    wchar_t wide[2048];
    char utf8[4096];
    if (!MultiByteToWideChar(CP_ACP, 0, ansi, -1, wide, 2048)) return "?";
    if (!WideCharToMultiByte(CP_UTF8, 0, wide, -1, utf8, sizeof utf8, nullptr, nullptr)) return "?";
    return utf8;
}

int Write(const std::string& folder) {
    using namespace shell_test;
    if (!MakeTargets(folder)) {
        std::fprintf(stderr, "shortcut_links: cannot make the targets in %s\n", folder.c_str());
        return 1;
    }
    const std::string links = folder + "\\win";
    CreateDirectoryA(links.c_str(), nullptr);
    int failed = 0;
    for (const ShortcutCase& c : ShortcutCases()) {
        const std::string target = TargetPath(folder, c);
        const std::string link = LinkPath(links, c);
        const std::string copy = links + "\\" + c.name + ".lnk";
        if (!CreateShortcut(target.c_str(), link.c_str(), c.description) ||
            !CopyFileA(link.c_str(), copy.c_str(), FALSE)) {
            std::fprintf(stderr, "shortcut_links: case %s not saved\n", c.name);
            ++failed;
        }
    }
    std::printf("acp %u\n", GetACP());
    return failed ? 1 : 0;
}

int Read(const std::string& folder) {
    int failed = 0;
    for (const shell_test::ShortcutCase& c : shell_test::ShortcutCases()) {
        const std::string path = folder + "\\" + c.name + ".lnk";
        wchar_t widePath[MAX_PATH];
        IShellLinkA* link = nullptr;
        IPersistFile* persist = nullptr;
        char target[MAX_PATH] = "";
        char description[INFOTIPSIZE] = "";
        bool ok =
            MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, widePath, MAX_PATH) &&
            SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                       IID_IShellLinkA, reinterpret_cast<void**>(&link))) &&
            SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist))) &&
            SUCCEEDED(persist->Load(widePath, STGM_READ)) &&
            SUCCEEDED(link->GetPath(target, MAX_PATH, nullptr, 0)) &&
            SUCCEEDED(link->GetDescription(description, INFOTIPSIZE));
        if (persist) persist->Release();
        if (link) link->Release();
        if (!ok) {
            std::fprintf(stderr, "shortcut_links: %s cannot be read\n", path.c_str());
            ++failed;
            continue;
        }
        std::fputs(
            shell_test::ResultLine(c.name, AnsiToUtf8(target), AnsiToUtf8(description)).c_str(),
            stdout);
    }
    return failed ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3 || (std::strcmp(argv[1], "write") != 0 && std::strcmp(argv[1], "read") != 0)) {
        std::fprintf(stderr, "usage: shortcut_links.exe write|read FOLDER\n");
        return 2;
    }
    // As the program's entry does: the shell-link object needs OLE.
    os::Sh().OleInitialize();
    const int result = std::strcmp(argv[1], "write") == 0 ? Write(argv[2]) : Read(argv[2]);
    os::Sh().OleUninitialize();
    return result;
}

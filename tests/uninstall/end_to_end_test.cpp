// The sample installation from end to end on both families: setup with the
// stored choices, then the silent uninstall and its script.
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "uninstall_fixture.h"

namespace uninstall_test {
namespace {

// The registry in regedit's text as a set of "[key]" and "[key] value" lines.
std::set<std::string> RegistryLines(const std::string& text) {
    std::set<std::string> lines;
    std::istringstream in(text);
    std::string line, key;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line.rfind("Windows Registry Editor", 0) == 0) continue;
        if (line[0] == '[') {
            key = line;
            lines.insert(key);
        } else {
            lines.insert(key + " " + line);
        }
    }
    return lines;
}

// What one registry has that the other has not, "+ line" or "- line".
std::vector<std::string> Differences(const std::string& before, const std::string& after) {
    const std::set<std::string> a = RegistryLines(before), b = RegistryLines(after);
    std::vector<std::string> out;
    for (const std::string& line : a)
        if (!b.count(line)) out.push_back("- " + line);
    for (const std::string& line : b)
        if (!a.count(line)) out.push_back("+ " + line);
    return out;
}

// The keys that setup makes and the uninstall leaves by design:
// the shell extension's named-handler keys stay without their value, the
// per-CLSID handler key under exefile and the approval value go but the keys
// made on the way to them stay. Every ancestor of these keys may be new too.
const char* const kKeysThatStay[] = {
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\*\\shellex\\ContextMenuHandlers\\Velkor",
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\Folder\\shellex\\ContextMenuHandlers\\Velkor",
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\Folder\\shellex\\DragDropHandlers\\Velkor",
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\Drive\\shellex\\DragDropHandlers\\Velkor",
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\Directory\\shellex\\ContextMenuHandlers\\Velkor",
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\Directory\\shellex\\DragDropHandlers\\Velkor",
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\exefile\\shellex\\PropertySheetHandlers",
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Shell "
    "Extensions\\Approved",
};
// On the older platforms a take-over writes the ZIP template as the binary
// "Data" of .zip\ShellNew, and the give-back leaves it.
const char kTemplateData[] =
    "+ [HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\.zip\\ShellNew] "
    "\"Data\"=hex:50,4b,05,06,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00";

// The differences that no Part prescribes.
std::vector<std::string> Unprescribed(const std::vector<std::string>& differences, bool nt) {
    std::set<std::string> allowed;
    for (std::string key : kKeysThatStay) {
        for (size_t at = key.size(); at != std::string::npos && at > 18;
             at = key.rfind('\\', at - 1))
            allowed.insert("+ [" + key.substr(0, at) + "]");
    }
    if (!nt) allowed.insert(kTemplateData);
    std::vector<std::string> out;
    for (const std::string& line : differences)
        if (!allowed.count(line)) out.push_back(line);
    return out;
}

class EndToEndTest : public UninstallTest {};

TEST_F(EndToEndTest, SetupThenUninstallLeavesNothingBehind) {
    for (const MachineKind& kind : kBothFamilies) {
        UseMachine(kind);
        const std::string registry = machine().Registry().Save();
        // The installation lists the new-archive templates that setup writes
        // into the program folder.
        SetList(ReadFile(Folder() + "Uninstall.lst") + "vlknew.dat\r\nzipnew.dat\r\n");
        const std::string list = machine().AnsiToUtf8(ReadFile(Folder() + "Uninstall.lst"));
        const std::string folder = Folder();
        const std::string program = Program();
        const std::string script = ScriptPath();
        RunProgram("/setup /s");
        RunStarted();
        ASSERT_TRUE(Calls("MessageBoxA").empty()) << kind.name;
        RunProgram("/s");
        RunStarted();
        EXPECT_TRUE(Calls("MessageBoxA").empty()) << kind.name;
        std::istringstream entries(list);
        for (std::string entry; std::getline(entries, entry);) {
            if (!entry.empty() && entry.back() == '\r') entry.pop_back();
            if (!entry.empty()) EXPECT_FALSE(Exists(folder + entry)) << kind.name << ": " << entry;
        }
        EXPECT_FALSE(Exists(program)) << kind.name;
        EXPECT_FALSE(Exists(folder)) << kind.name;
        EXPECT_FALSE(Exists(script)) << kind.name;
        EXPECT_EQ(Unprescribed(Differences(registry, machine().Registry().Save()), Nt()),
                  std::vector<std::string>{})
            << kind.name;
    }
}

}  // namespace
}  // namespace uninstall_test

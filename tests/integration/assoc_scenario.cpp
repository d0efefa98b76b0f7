#include "integration/assoc_scenario.h"

#include <cstdio>
#include <vector>

#include "integration/associations.h"
#include "integration/reg_dump.h"
#include "platform/platform.h"

namespace assoc_test {
namespace {

struct ScenarioExtension {
    const char* extension;
    bool isZip;
    bool isVlk;
};

const ScenarioExtension kExtensions[] = {
    {".vlkta", true, false},
    {".vlktb", false, true},
    {".vlktc", true, false},
    {".vlktd", true, false},
};

const char* const kTemplateNames[] = {"vlknew.dat", "zipnew.dat"};

std::string ProgramFolder() {
    char path[1024];
    os::Dword length = os::Sys().GetModuleFileNameA(nullptr, path, sizeof path);
    if (length == 0 || length >= sizeof path) return "";
    std::string folder(path, length);
    return folder.substr(0, folder.find_last_of("\\/") + 1);
}

std::vector<std::string> VolumeExtensions() {
    std::vector<std::string> names;
    for (int n = 0; n < 100; ++n) {
        char name[16];
        std::snprintf(name, sizeof name, ".v%02d", n);
        names.push_back(name);
    }
    return names;
}

void EraseAll(const std::string& folder) {
    for (const ScenarioExtension& e : kExtensions) EraseTree(os::ClassesRoot(), e.extension);
    for (const std::string& v : VolumeExtensions()) EraseTree(os::ClassesRoot(), v);
    EraseTree(os::CurrentUser(), "Software\\Velkor");
    for (const char* name : kTemplateNames) os::Fs().DeleteFileA((folder + name).c_str());
}

void Prepare() {
    PutString(os::ClassesRoot(), ".vlkta", "", "OtherArc.A");
    PutString(os::ClassesRoot(), ".vlkta", "Content Type", "application/x-other-a");
    PutString(os::ClassesRoot(), ".vlkta\\ShellNew", "FileName", "other-a.tpl");
    PutString(os::ClassesRoot(), ".vlktb", "", "OtherArc.B");
    PutString(os::ClassesRoot(), ".vlktb\\ShellNew", "NullFile", "");
    PutString(os::ClassesRoot(), ".vlktd", "", "velkor.zip");
    PutString(os::ClassesRoot(), ".v07", "", "Foreign.V07");
    PutString(os::ClassesRoot(), ".v45", "", "Foreign.V45");
}

std::string FileDump(const std::string& folder) {
    std::string out;
    for (const char* name : kTemplateNames) {
        const std::string path = folder + name;
        os::FileHandle file = os::Fs().CreateFileA(path.c_str(), os::kGenericRead,
                                                   os::kFileShareRead, os::kOpenExisting, 0);
        if (file == os::InvalidFileHandle()) continue;
        std::vector<unsigned char> bytes(256);
        os::Dword read = 0;
        os::Fs().ReadFile(file, bytes.data(), static_cast<os::Dword>(bytes.size()), &read);
        os::Fs().CloseHandle(file);
        out += std::string("[<program>\\") + name + "]";
        for (os::Dword i = 0; i < read; ++i) {
            char byte[4];
            std::snprintf(byte, sizeof byte, " %02x", bytes[i]);
            out += byte;
        }
        out += "\n";
    }
    return out;
}

std::string Dump(const std::string& folder) {
    std::string out;
    for (const ScenarioExtension& e : kExtensions) {
        out += DumpKey(os::ClassesRoot(), e.extension, folder);
    }
    for (const std::string& v : VolumeExtensions()) out += DumpKey(os::ClassesRoot(), v, folder);
    out += DumpKey(os::CurrentUser(), "Software\\Velkor", folder);
    out += FileDump(folder);
    return out;
}

void SetAll(bool associate) {
    for (const ScenarioExtension& e : kExtensions) {
        SetExtensionAssociation(e.extension, associate, true, e.isZip, e.isVlk);
    }
}

}  // namespace

std::string ScenarioDump::Text() const {
    return "== before\n" + before + "== taken over\n" + takenOver + "== given back\n" + givenBack;
}

ScenarioDump RunAssociationScenario() {
    const std::string folder = ProgramFolder();
    EraseAll(folder);
    Prepare();
    ScenarioDump dump;
    dump.before = Dump(folder);
    SetAll(true);
    dump.takenOver = Dump(folder);
    SetAll(false);
    dump.givenBack = Dump(folder);
    EraseAll(folder);
    return dump;
}

}  // namespace assoc_test

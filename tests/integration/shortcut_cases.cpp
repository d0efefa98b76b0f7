#include "integration/shortcut_cases.h"

#include "platform/platform.h"

namespace shell_test {

const std::vector<ShortcutCase>& ShortcutCases() {
    static const std::vector<ShortcutCase> cases = {
        // The archiver, its help and its manual, as the program group has them.
        {"archiver", "Velkor.exe", "Velkor",
         "\xCE\xE1\xF0\xE0\xE1\xE0\xF2\xFB\xE2\xE0\xE5\xF2 VLK, ZIP \xE8 \xE0\xF0\xF5\xE8\xE2\xFB "
         "\xE4\xF0\xF3\xE3\xE8\xF5 \xF4\xEE\xF0\xEC\xE0\xF2\xEE\xE2"},
        {"help", "Velkor.hlp", "\xD1\xEF\xF0\xE0\xE2\xEA\xE0 Velkor",
         "\xCE\xE1\xF0\xE0\xE1\xE0\xF2\xFB\xE2\xE0\xE5\xF2 VLK, ZIP \xE8 \xE0\xF0\xF5\xE8\xE2\xFB "
         "\xE4\xF0\xF3\xE3\xE8\xF5 \xF4\xEE\xF0\xEC\xE0\xF2\xEE\xE2"},
        {"manual", "Vlk.txt",
         "\xD0\xF3\xEA\xEE\xE2\xEE\xE4\xF1\xF2\xE2\xEE \xEF\xEE \xEA\xEE\xED\xF1\xEE\xEB\xFC\xED"
         "\xEE\xE9 \xE2\xE5\xF0\xF1\xE8\xE8 VLK",
         "Velkor"},
        // Blanks and a hyphen in the folders, Cyrillic folder and file names,
        // no description.
        {"spaces", "Program Files\\Velkor-5\\Velkor.exe", "Velkor-5",
         "Velkor 5 - \xE0\xF0\xF5\xE8\xE2\xE0\xF2\xEE\xF0"},
        {"cyrillic", "\xC0\xF0\xF5\xE8\xE2\xFB\\\xD2\xEE\xEC.rev", "\xD2\xEE\xEC", nullptr},
    };
    return cases;
}

std::string TargetsFolder(const std::string& folder) { return folder + "\\targets"; }

std::string TargetPath(const std::string& folder, const ShortcutCase& c) {
    return TargetsFolder(folder) + "\\" + c.target;
}

std::string LinkPath(const std::string& linkFolder, const ShortcutCase& c) {
    return linkFolder + "\\" + c.linkName + ".lnk";
}

bool MakeTargets(const std::string& folder) {
    os::Files& files = os::Fs();
    files.CreateDirectoryA(folder.c_str());
    files.CreateDirectoryA(TargetsFolder(folder).c_str());
    bool ok = true;
    for (const ShortcutCase& c : ShortcutCases()) {
        const std::string target = TargetPath(folder, c);
        for (size_t at = target.find('\\', TargetsFolder(folder).size() + 1);
             at != std::string::npos; at = target.find('\\', at + 1)) {
            files.CreateDirectoryA(target.substr(0, at).c_str());
        }
        os::FileHandle file =
            files.CreateFileA(target.c_str(), os::kGenericWrite, 0, os::kCreateAlways, 0);
        if (file == os::InvalidFileHandle()) {
            ok = false;
            continue;
        }
        os::Dword written = 0;
        ok = files.WriteFile(file, c.name, 4, &written) != 0 && ok;
        ok = files.CloseHandle(file) != 0 && ok;
    }
    return ok;
}

std::string ResultLine(const std::string& name, const std::string& targetUtf8,
                       const std::string& descriptionUtf8) {
    return name + "\t" + targetUtf8 + "\t" + descriptionUtf8 + "\n";
}

}  // namespace shell_test

// The shortcut calls that the simulated machine and the win64 build make
// alike, so that the link files of each can be read by the other: the
// simulated machine's link reader on the files Windows wrote, the Windows
// shell-link object on the machine's files.
//
// Every path lies below one folder (on both machines "C:\VelkorLinks"): the
// targets in its "targets" folder, the links in a folder of their own.
#pragma once

#include <string>
#include <vector>

namespace shell_test {

struct ShortcutCase {
    const char* name;         // the case's name, also the file name of its copy
    const char* target;       // below the targets folder; ANSI code page 1251
    const char* linkName;     // the link's own name, without ".lnk"; code page 1251
    const char* description;  // null: none
};

const std::vector<ShortcutCase>& ShortcutCases();

// The targets folder below `folder` (ANSI, no trailing backslash).
std::string TargetsFolder(const std::string& folder);
// A case's target and link paths.
std::string TargetPath(const std::string& folder, const ShortcutCase& c);
std::string LinkPath(const std::string& linkFolder, const ShortcutCase& c);

// Makes the targets folder and every target file below `folder` through the
// installed platform (the targets' own folders included).
bool MakeTargets(const std::string& folder);

// One line of a result list: the case name, the target and the description,
// separated by TABs, the texts in UTF-8.
std::string ResultLine(const std::string& name, const std::string& targetUtf8,
                       const std::string& descriptionUtf8);

}  // namespace shell_test

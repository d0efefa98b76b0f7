// What a setup followed by the uninstall leaves different on a machine by
// design, read from the one list tests/data/round_trip_differences.txt
// (tests/wine/round_trip_differences.py reads the same list for wine64).
//
//   const auto before = round_trip::ReadRegistry(machine);
//   ... setup, uninstall, script, restart ...
//   round_trip::DifferenceList list;
//   ASSERT_TRUE(list.Load(&error)) << error;
//   EXPECT_EQ(list.Unprescribed(round_trip::Changes(before, after), before, nt),
//             std::vector<std::string>{});
//
// The changes are lines in the form that setup_compare.py's "changes" gives:
// "+[KEY]", "-[KEY]", "[KEY] NAME = TEXT", "[KEY] NAME deleted", key and value
// names in capitals, HKEY_LOCAL_MACHINE\SOFTWARE\Classes written as
// HKEY_CLASSES_ROOT; TEXT is "sz:...", "dword:0000000a", "hex(3):504b...".
// Files: "+<C:\PATH>" for a new file or folder, "-<C:\PATH>" for one gone,
// "*<C:\PATH>" for a changed file and "=<C:\PATH>" for one that the uninstall
// removes and that is still there, the path in capitals.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

namespace sim {
class Machine;
}

namespace round_trip {

// Every key of the registry with its values: KEY -> (NAME -> TEXT).
using RegistryView = std::map<std::string, std::map<std::string, std::string>>;
RegistryView ReadRegistry(sim::Machine& machine);

// The registry changes from `before` to `after`, keys in order.
std::vector<std::string> Changes(const RegistryView& before, const RegistryView& after);

// The file changes from `before` to `after` (path -> bytes, "<folder>" for a
// folder, as UninstallTest::Snapshot gives them), paths in order; `removed`
// (folded paths) are the files and folders that the uninstall deletes.
std::vector<std::string> FileChanges(const std::map<std::string, std::string>& before,
                                     const std::map<std::string, std::string>& after,
                                     const std::set<std::string>& removed);

// What an entry's conditions look at besides the registry before setup.
struct RunFacts {
    bool nt = true;             // the NT family, else the older platforms
    std::string programFolder;  // without its trailing backslash (UTF-8)
    bool busy = false;          // the uninstall met a busy file
};

class DifferenceList {
  public:
    // Reads the list from `path` (default: the one of the source tree);
    // false with a message naming the line when an entry cannot be read.
    bool Load(std::string* error, const std::string& path = DefaultPath());
    static std::string DefaultPath();

    // The changes that no entry of the list allows in `run`, with `before`
    // the registry before setup.
    std::vector<std::string> Unprescribed(const std::vector<std::string>& changes,
                                          const RegistryView& before, const RunFacts& run) const;

  private:
    struct Entry {
        int line;
        bool nt, older;
        std::string change;  // the change, "?" for any one character
        std::string asKey;   // "as [KEY] NAME": the value of before setup
        std::string asName;
        std::string ifKey;  // "if [KEY] NAME": only when that value was there
        std::string ifName;
        bool ifBusy;  // "if busy": only when the uninstall met a file in use
        bool ifNew;   // "if new": only for a value missing before setup
    };
    std::vector<Entry> entries_;
};

}  // namespace round_trip

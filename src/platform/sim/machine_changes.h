// What a run changed on a machine: its registry and its files at one moment,
// and the differences between two such moments, one line each:
//
//   + [HKEY_CURRENT_USER\Software\Velkor]                   a key added
//   + [HKEY_CURRENT_USER\Software\Velkor] "Shell"=dword:00000001
//   * [HKEY_LOCAL_MACHINE\SOFTWARE\Classes\.zip] @="Velkor.ZIP" (was "WinArc.zip")
//   - [HKEY_LOCAL_MACHINE\SOFTWARE\Classes\Velkor]          a key removed
//   + C:\Documents and Settings\User\Desktop\Velkor.lnk       a file added
//   - C:\Program Files\Velkor\                                a folder removed
//   * C:\Program Files\Velkor\zipnew.dat (22 bytes, was 0)    a file changed
//
// An added or removed key brings a line for each of its values and subkeys.
// Values are written as in the registry file (registry_store.h), names and
// paths in UTF-8.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/sim/registry_store.h"

namespace sim {

class Machine;

struct MachineState {
    RegistryStore registry;  // a copy, not the machine's own
    struct Entry {
        std::string path;  // Windows path; a folder's ends in "\"
        bool folder = false;
        uint64_t size = 0;
        std::string bytes;  // a small file's contents, to tell a change
    };
    std::map<std::string, Entry> files;  // by folded path
};

// The machine's registry and every file and folder of its drives.
MachineState CaptureState(Machine& machine);

// The lines that turn `before` into `after`: the registry's first (in the
// order of the registry file), then the files' (in the order of their paths).
std::vector<std::string> RegistryChanges(const RegistryStore& before, const RegistryStore& after);
std::vector<std::string> FileChanges(const MachineState& before, const MachineState& after);

}  // namespace sim

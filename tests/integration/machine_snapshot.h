// A simulated machine's registry and files as a set of lines, so that two
// states can be compared and their differences listed one by one.
#pragma once

#include <set>
#include <string>
#include <vector>

namespace sim {
class Machine;
}

namespace shell_test {

// One line per key ("key HKLM\SOFTWARE\Classes\.zip"), per value
// ("value HKLM\SOFTWARE\Classes\.zip @ = REG_SZ \"WinArc.zip\""), per folder
// ("folder C:\...") and per file ("file C:\... attributes=0x20 bytes=<text>").
// Key and file names are upper-cased, as Windows compares them.
std::set<std::string> Snapshot(sim::Machine& machine);

// The lines of `after` that `before` lacks ("+ ..."), then those that it lost
// ("- ..."), each set sorted.
std::vector<std::string> Difference(const std::set<std::string>& before,
                                    const std::set<std::string>& after);

}  // namespace shell_test

// The trace of a run: every platform call, one line each, in order.
//
// A line is the Win32 name of the call, its arguments and, after " -> ", its
// result, for example
//   RegCreateKeyExA HKCR\.zip access=0x20006 -> 0
//   DeleteFileA "C:\Program Files\Velkor\Vlk.txt" -> 0 err=5
//   MessageBoxA caption="..." text="..." type=0x10024 -> 6 (yes)
// Texts are UTF-8 in double quotes (see Quote in text.h); a failed call that
// sets the last error shows it as err=N. The lines are kept in memory (for the
// tests), counted per call name (for comparisons of runs) and, when a file is
// given, written to it as they happen.
#pragma once

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace sim {

class Trace {
  public:
    Trace() = default;
    Trace(const Trace&) = delete;
    Trace& operator=(const Trace&) = delete;
    ~Trace();

    // Also writes every later line to `path` (truncated first).
    bool WriteTo(const std::string& path, std::string* error);
    // Adds one line; `call` is the call's name, `rest` the text after it.
    void Add(const std::string& call, const std::string& rest);

    const std::vector<std::string>& Lines() const { return lines_; }
    // Calls per name, over all lines added.
    const std::map<std::string, long>& Counts() const { return counts_; }
    long Count(const std::string& call) const;
    // Forgets the lines and counts (the file, if any, keeps its lines).
    void Clear();
    // Takes over the lines, counts and file of `earlier`, which is left
    // empty: the trace of a run goes on in the machine object of the run's
    // next process.
    void Continue(Trace& earlier);

  private:
    std::vector<std::string> lines_;
    std::map<std::string, long> counts_;
    FILE* file_ = nullptr;
};

}  // namespace sim

// Runs from start to end with one fault injected: setup with the stored
// choices, the uninstall with its script, and the restart where the case asks
// for it; then the checks that nothing was lost that the run was not asked to
// remove.
#pragma once

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "uninstall/uninstall_fixture.h"

namespace fault_test {

using uninstall_test::MachineKind;

// What the uninstall run comes to.
enum class Outcome {
    kRemoved,    // it ran through: of the machine before setup only the
                 // program folder and what the case names may be gone
    kUnchanged,  // it stopped before any change: the machine is as it was before it
};

struct FaultCase {
    int line;
    std::string name;
    MachineKind kind;
    std::function<void()> beforeSetup;      // the fault, when setup meets it
    std::function<void()> beforeUninstall;  // the fault, when the uninstall meets it
    std::string tail;                       // the uninstall's command-line tail
    std::vector<std::string> answers;       // the user's answers from the uninstall on
    std::vector<std::string> boxes;         // "caption|text" shown from the uninstall on
                                            // (a text ending in "*": by its beginning)
    bool restart;                           // a restart after the script
    Outcome outcome;
    // Prefixes of lines of the machine before setup that may be gone at the
    // end besides the program folder (losses that the design prescribes).
    std::vector<std::string> mayLose;
    std::function<void()> expect;  // the case's own checks at the end
};

class FaultRunTest : public uninstall_test::UninstallTest {
  protected:
    // Runs `c` on a fresh machine of its kind; failures name the case.
    void Run(const FaultCase& c);

    // The machine as lines (see shell_test::Snapshot), before setup and after it.
    std::set<std::string> Lines();
    const std::set<std::string>& BeforeSetup() const { return beforeSetup_; }
    const std::set<std::string>& AfterSetup() const { return afterSetup_; }
    // The lines of `lines` that begin with `prefix`.
    static std::set<std::string> With(const std::set<std::string>& lines,
                                      const std::string& prefix);

    // Machine set-up.
    void SetEnvironment(const std::string& name, const std::string* value);
    void SetString(const std::string& hklmKey, const std::string& name, const std::string& value,
                   bool currentUser = false);
    void AppendToList(const std::string& entries);
    std::string ProgramGroup();
    std::string TempFolder() const;

  private:
    std::set<std::string> beforeSetup_;
    std::set<std::string> afterSetup_;
};

}  // namespace fault_test

// A fresh simulated machine for each test of the common library, the registry
// layer and the entry (the program's process started on it, its process-wide
// state made afresh), with helpers to read the machine's trace. Header-only:
// tests/registry and tests/app include it as well.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/entry.h"
#include "platform/sim/machine.h"
#include "support/sim_machine.h"

namespace core_test {

using MachineSetup = sim::MachineOptions;

inline MachineSetup Nt() { return MachineSetup{}; }
inline MachineSetup Win9x() { return MachineSetup{.family = sim::Family::k9x}; }
inline MachineSetup Win64() { return MachineSetup{.win64 = true}; }
inline MachineSetup CodePage(unsigned acp) { return MachineSetup{.acp = acp}; }

class MachineTest : public ::testing::Test {
  protected:
    void SetUp() override { UseMachine(MachineSetup{}); }
    void TearDown() override { Release(); }

    // Replaces the machine with a fresh sample machine of `setup`.
    void UseMachine(const MachineSetup& setup) {
        Release();
        machine_ = std::make_unique<sim::TestMachine>(setup);
    }

    sim::Machine& machine() { return machine_->machine(); }

    // A position in the trace, and the lines added after it.
    size_t TraceMark() { return machine().TraceLines().size(); }
    std::vector<std::string> TraceSince(size_t mark) {
        const std::vector<std::string>& lines = machine().TraceLines();
        return std::vector<std::string>(lines.begin() + static_cast<long>(mark), lines.end());
    }
    // The lines since `mark` that begin with `call` and a blank.
    std::vector<std::string> CallsSince(size_t mark, const std::string& call) {
        std::vector<std::string> found;
        for (const std::string& line : TraceSince(mark)) {
            if (line.rfind(call + " ", 0) == 0) found.push_back(line);
        }
        return found;
    }

  private:
    void Release() {
        if (!machine_) return;
        // What static destruction would release, while the machine is there.
        ProgramProcessEnd();
        machine_.reset();
    }

    std::unique_ptr<sim::TestMachine> machine_;
};

}  // namespace core_test

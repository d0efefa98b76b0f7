// A fresh simulated machine for each test of the common library, the registry
// layer and the entry, with the program's process-wide state started afresh
// on it. Header-only: tests/registry and tests/app include it as well.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/entry.h"
#include "platform/platform.h"
#include "platform/sim/machine.h"

namespace os {
// The platform that stands in when none is installed (the sim's bare machine).
void DefaultPlatform(Platform* platform);
}  // namespace os

namespace core_test {

struct MachineSetup {
    sim::Family family = sim::Family::kNt;
    unsigned major = 0;  // 0: the family's usual version
    unsigned minor = 0;
    bool win64 = false;
    unsigned acp = 1251;
    bool admin = true;
};

inline MachineSetup Nt() { return MachineSetup{}; }
inline MachineSetup Win9x() {
    MachineSetup setup;
    setup.family = sim::Family::k9x;
    return setup;
}
inline MachineSetup Win64() {
    MachineSetup setup;
    setup.win64 = true;
    return setup;
}
inline MachineSetup CodePage(unsigned acp) {
    MachineSetup setup;
    setup.acp = acp;
    return setup;
}

class MachineTest : public ::testing::Test {
  protected:
    void SetUp() override { UseMachine(MachineSetup{}); }
    void TearDown() override { Release(); }

    // Replaces the machine with a fresh sample machine of `setup`, installs
    // it and starts the process-wide state afresh.
    void UseMachine(const MachineSetup& setup) {
        Release();
        char pattern[] = "/tmp/vlk-core-XXXXXX";
        ASSERT_TRUE(mkdtemp(pattern)) << "no temporary folder";
        folder_ = pattern;
        sim::MachineOptions options;
        options.family = setup.family;
        options.major = setup.major;
        options.minor = setup.minor;
        options.win64 = setup.win64;
        options.acp = setup.acp;
        options.admin = setup.admin;
        std::string error;
        const std::string dir = folder_ + "/machine";
        ASSERT_TRUE(sim::WriteSampleMachine(dir, options, &error)) << error;
        machine_ = sim::Machine::Load(dir, &error);
        ASSERT_TRUE(machine_) << error;
        machine_->Install();
        ProgramProcessStart();
    }

    sim::Machine& machine() { return *machine_; }

    // The trace lines added since `mark` (a former TraceMark()).
    size_t TraceMark() const { return machine_->TraceLines().size(); }
    std::vector<std::string> TraceSince(size_t mark) const {
        const std::vector<std::string>& lines = machine_->TraceLines();
        return std::vector<std::string>(lines.begin() + static_cast<long>(mark), lines.end());
    }
    // The lines since `mark` that begin with `call` and a blank.
    std::vector<std::string> CallsSince(size_t mark, const std::string& call) const {
        std::vector<std::string> found;
        for (const std::string& line : TraceSince(mark)) {
            if (line.rfind(call + " ", 0) == 0) found.push_back(line);
        }
        return found;
    }

  private:
    void Release() {
        if (machine_) {
            ProgramProcessEnd();
            os::Platform fallback{};
            os::DefaultPlatform(&fallback);
            os::Install(fallback);
            machine_.reset();
        }
        if (!folder_.empty()) {
            std::error_code ignored;
            std::filesystem::remove_all(folder_, ignored);
            folder_.clear();
        }
    }

    std::string folder_;
    std::unique_ptr<sim::Machine> machine_;
};

}  // namespace core_test

// The machine that the platform conformance suite runs against.
//
// The suite (tests/conformance/*.cpp) is one source. The sim build links it
// with tests/conformance/conformance_sim_fixture.cpp, which makes a simulated
// machine; the win64 build leaves that file out and links the suite with
// tests/wine/conformance_win_fixture.cpp, which hands out the real API (run
// under wine64). Each fixture source defines MakeConformanceMachine().
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/platform.h"

namespace conformance {

class Machine {
  public:
    virtual ~Machine() = default;
    // The platform under test.
    virtual os::Platform Platform() const = 0;
    // A key path below HKEY_CURRENT_USER (such as "Software\\VlkConformance-12")
    // that exists, is empty and belongs to this machine alone. The machine
    // deletes it with everything below it when destroyed.
    virtual std::string ScratchKey() const = 0;
    // An absolute folder path ("C:\\...\\VlkConformance-12", backslashes, no
    // trailing backslash) that exists, is empty and belongs to this machine
    // alone. The machine deletes it with its contents when destroyed, clearing
    // read-only attributes first.
    virtual std::string ScratchFolder() const = 0;
    // True on the NT family (RegDeleteKey refuses a key with subkeys there).
    virtual bool NtFamily() const = 0;
};

// A fresh machine for one test.
std::unique_ptr<Machine> MakeConformanceMachine();

// Base of every conformance test: makes the machine and installs its platform
// for the test, so the test calls os::Reg(), os::Fs() and os::Sys().
class ConformanceTest : public ::testing::Test {
  protected:
    void SetUp() override {
        machine_ = MakeConformanceMachine();
        ASSERT_TRUE(machine_ != nullptr);
        os::Install(machine_->Platform());
    }
    void TearDown() override { machine_.reset(); }

    const Machine& machine() const { return *machine_; }
    // ScratchKey() and ScratchFolder() with a relative part appended after a backslash.
    std::string Key(const std::string& rest = "") const {
        return rest.empty() ? machine_->ScratchKey() : machine_->ScratchKey() + "\\" + rest;
    }
    std::string Path(const std::string& rest = "") const {
        return rest.empty() ? machine_->ScratchFolder() : machine_->ScratchFolder() + "\\" + rest;
    }

  private:
    std::unique_ptr<Machine> machine_;
};

}  // namespace conformance

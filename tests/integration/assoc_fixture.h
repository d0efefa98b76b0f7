// A fresh simulated machine for each association or settings test.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace assoc_test {

struct MachineSetup {
    bool ntFamily = true;
    int major = 5;
    int minor = 1;
    // Keep the sample machine's owners of .zip and .jar; otherwise every
    // archive and volume extension starts without a key.
    bool sampleOwners = false;
};

class MachineTest : public ::testing::Test {
  protected:
    MachineTest();
    ~MachineTest() override;
    void SetUp() override { UseMachine(MachineSetup{}); }
    // Replaces the test's machine with a fresh sample machine of the given
    // system, running the program with fresh process-wide state, and without
    // the product key.
    void UseMachine(const MachineSetup& setup);
    // The running program's folder, with a trailing backslash.
    std::string ProgramFolder() const;

  private:
    struct Holder;
    std::unique_ptr<Holder> holder_;
};

}  // namespace assoc_test

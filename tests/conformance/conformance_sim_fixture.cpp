// The conformance suite's machine in the sim build: a fresh simulated machine
// (the NT family, Windows 7 as Wine presents itself) with a scratch key and a
// scratch folder.
#include <atomic>

#include "conformance/fixture.h"
#include "platform/sim/text.h"
#include "support/sim_machine.h"

namespace conformance {
namespace {

class SimMachine final : public Machine {
  public:
    SimMachine() : fresh_(Options()) {
        static std::atomic<int> counter{0};
        const std::string name = "VlkConformance-" + std::to_string(++counter);
        key_ = "Software\\" + name;
        fresh_->Registry().Create(sim::Hive::kCurrentUser, sim::Utf8ToUtf16(key_));
        const std::string* temp = fresh_->Environment("TEMP");
        folder_ = *temp + "\\" + name;
        fresh_.MakeFolder(folder_);
        fresh_->StartProgram("\"" + fresh_->Config().programPath + "\"");
        platform_ = fresh_->Platform();
    }
    os::Platform Platform() const override { return platform_; }
    std::string ScratchKey() const override { return key_; }
    std::string ScratchFolder() const override { return folder_; }
    bool NtFamily() const override { return true; }

  private:
    static sim::MachineOptions Options() {
        sim::MachineOptions o;
        o.major = 6;
        o.minor = 1;
        return o;
    }
    sim::FreshMachine fresh_;
    std::string key_;
    std::string folder_;
    os::Platform platform_{};
};

}  // namespace

std::unique_ptr<Machine> MakeConformanceMachine() { return std::make_unique<SimMachine>(); }

}  // namespace conformance

#include "integration/assoc_fixture.h"

#include <cstdio>

#include "integration/archive_types.h"
#include "integration/reg_dump.h"
#include "platform/platform.h"
#include "support/sim_machine.h"

namespace assoc_test {

struct MachineTest::Holder {
    std::unique_ptr<sim::TestMachine> machine;
};

MachineTest::MachineTest() : holder_(std::make_unique<Holder>()) {}
MachineTest::~MachineTest() = default;

void MachineTest::UseMachine(const MachineSetup& setup) {
    holder_->machine.reset();
    sim::MachineOptions options;
    options.family = setup.ntFamily ? sim::Family::kNt : sim::Family::k9x;
    options.major = static_cast<unsigned>(setup.major);
    options.minor = static_cast<unsigned>(setup.minor);
    holder_->machine = std::make_unique<sim::TestMachine>(options);
    if (!setup.sampleOwners) {
        for (const ArchiveType& type : ArchiveTypeTable) {
            char extension[kExtensionSize];
            for (const char* rest = type.extensions;
                 (rest = NextExtension(rest, extension, sizeof extension)) != nullptr;) {
                EraseTree(os::ClassesRoot(), extension);
            }
        }
        for (int n = 0; n < 100; ++n) {
            char volume[16];
            std::snprintf(volume, sizeof volume, ".v%02d", n);
            EraseTree(os::ClassesRoot(), volume);
        }
    }
    EraseTree(os::CurrentUser(), "Software\\Velkor");
}

std::string MachineTest::ProgramFolder() const {
    const std::string& program = holder_->machine->machine().Config().programPath;
    return program.substr(0, program.find_last_of('\\') + 1);
}

}  // namespace assoc_test

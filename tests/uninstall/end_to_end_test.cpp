// The sample installation from end to end on both families: setup with the
// stored choices, then the silent uninstall and its script.
#include <sstream>
#include <string>
#include <vector>

#include "support/round_trip_differences.h"
#include "uninstall_fixture.h"

namespace uninstall_test {
namespace {

class EndToEndTest : public UninstallTest {};

TEST_F(EndToEndTest, SetupThenUninstallLeavesNothingBehind) {
    for (const MachineKind& kind : kBothFamilies) {
        UseMachine(kind);
        round_trip::DifferenceList differences;
        std::string error;
        ASSERT_TRUE(differences.Load(&error)) << error;
        const round_trip::RegistryView registry = round_trip::ReadRegistry(machine());
        const std::string list = machine().AnsiToUtf8(ReadFile(Folder() + "Uninstall.lst"));
        const std::string folder = Folder();
        const std::string program = Program();
        const std::string script = ScriptPath();
        RunProgram("/setup /s");
        RunStarted();
        ASSERT_TRUE(Calls("MessageBoxA").empty()) << kind.name;
        RunProgram("/s");
        RunStarted();
        EXPECT_TRUE(Calls("MessageBoxA").empty()) << kind.name;
        std::istringstream entries(list);
        for (std::string entry; std::getline(entries, entry);) {
            if (!entry.empty() && entry.back() == '\r') entry.pop_back();
            if (!entry.empty()) {
                EXPECT_FALSE(Exists(folder + entry)) << kind.name << ": " << entry;
            }
        }
        EXPECT_FALSE(Exists(program)) << kind.name;
        EXPECT_FALSE(Exists(folder)) << kind.name;
        EXPECT_FALSE(Exists(script)) << kind.name;
        // The registry as before setup, less what the uninstall leaves by design.
        round_trip::RunFacts run;
        run.nt = Nt();
        EXPECT_EQ(
            differences.Unprescribed(
                round_trip::Changes(registry, round_trip::ReadRegistry(machine())), registry, run),
            std::vector<std::string>{})
            << kind.name;
    }
}

}  // namespace
}  // namespace uninstall_test

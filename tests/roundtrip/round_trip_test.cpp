// Setup, the uninstall, its script and a restart leave every machine state as
// it was, on both families, on 32-bit and 64-bit Windows and in three code
// pages, apart from the differences that the system leaves by design.
#include <set>
#include <sstream>

#include "platform/sim/text.h"
#include "roundtrip/round_trip_fixture.h"

namespace round_trip {
namespace {

// The list's entries as full paths of the machine (UTF-8), folded.
std::set<std::string> ListedPaths(sim::Machine& m, const std::string& folder,
                                  const std::string& list) {
    std::set<std::string> paths;
    std::istringstream lines(m.AnsiToUtf8(list));
    for (std::string entry; std::getline(lines, entry);) {
        while (!entry.empty() && (entry.back() == '\r' || entry.back() == ' ')) entry.pop_back();
        if (!entry.empty()) paths.insert(sim::FoldUtf8(folder + entry));
    }
    return paths;
}

// The list lets through what it names and the keys above a new key, and
// nothing else: the key "*" (every file type) is that key, not a wildcard.
TEST(DifferenceListTest, AllowsOnlyWhatItNames) {
    DifferenceList list;
    std::string error;
    ASSERT_TRUE(list.Load(&error)) << error;
    const std::vector<std::string> allowed = {
        "+[HKEY_CLASSES_ROOT\\*\\SHELLEX\\CONTEXTMENUHANDLERS\\VELKOR]",
        "+[HKEY_CLASSES_ROOT\\*\\SHELLEX]",
        "+[HKEY_CLASSES_ROOT\\*]",
    };
    const std::vector<std::string> faults = {
        "+[HKEY_CLASSES_ROOT\\VELKOR]",
        "+[HKEY_CLASSES_ROOT\\VELKOR\\SHELLEX]",
        "+[HKEY_CLASSES_ROOT\\.ZIP\\SHELLEX\\CONTEXTMENUHANDLERS\\VELKOR]",
        "+[HKEY_CLASSES_ROOT\\.V01]",
        "[HKEY_CLASSES_ROOT\\.ZIP] @ = sz:Velkor.ZIP",
    };
    std::vector<std::string> changes = allowed;
    changes.insert(changes.end(), faults.begin(), faults.end());
    EXPECT_EQ(list.Unprescribed(changes, {}, RunFacts()), faults);
}

TEST_P(RoundTripTest, LeavesTheMachineAsItWas) {
    const Case& c = GetParam();
    UseCaseMachine(c);
    PrepareStart(c.state);
    if (HasFatalFailure()) return;
    DifferenceList list;
    std::string error;
    ASSERT_TRUE(list.Load(&error)) << error;

    const RegistryView registry = ReadRegistry(machine());
    const std::map<std::string, std::string> files = Snapshot();
    const std::string folder = Folder();
    std::set<std::string> gone = ListedPaths(machine(), folder, ReadFile(folder + "Uninstall.lst"));
    gone.insert(sim::FoldUtf8(Program()));
    gone.insert(sim::FoldUtf8(folder.substr(0, folder.size() - 1)));
    const std::string script = ScriptPath();

    RunHistory(c.state);
    if (HasFatalFailure()) return;
    RunSetup(c.state);
    RunUninstallAndRestart();
    EXPECT_EQ(Calls("MessageBoxA"), std::vector<std::string>{});

    // Every listed file and folder, the program file, its folder and the
    // script are gone; every other file is as it was.
    EXPECT_FALSE(Exists(script));
    RunFacts run;
    run.nt = c.platform.family == sim::Family::kNt;
    run.programFolder = folder.substr(0, folder.size() - 1);
    run.busy = !Calls("MoveFileA").empty();
    EXPECT_EQ(list.Unprescribed(FileChanges(files, Snapshot(), gone), registry, run),
              std::vector<std::string>{});
    EXPECT_EQ(list.Unprescribed(Changes(registry, ReadRegistry(machine())), registry, run),
              std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(Cases, RoundTripTest, ::testing::ValuesIn(AllCases()),
                         [](const ::testing::TestParamInfo<Case>& info) {
                             return info.param.Name();
                         });

}  // namespace
}  // namespace round_trip

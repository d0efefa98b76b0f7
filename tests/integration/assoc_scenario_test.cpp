// The take-over and give-back scenario on the simulated machine. With
// VLK_ASSOC_SCENARIO_DUMP set, the dump is also written to that file, for
// tests/wine/assoc_compare.sh to compare with the real registry's.
#include "integration/assoc_scenario.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "integration/assoc_fixture.h"

namespace assoc_test {
namespace {

// The lines of the dump that belong to the key `key` and its subkeys.
std::string Section(const std::string& dump, const std::string& key) {
    std::istringstream in(dump);
    std::string line;
    std::string out;
    bool inside = false;
    const std::string header = "[" + key;
    while (std::getline(in, line)) {
        if (line.rfind("[", 0) == 0) {
            inside = line == header + "]" || line.rfind(header + "\\", 0) == 0;
        }
        if (inside) out += line + "\n";
    }
    return out;
}

using AssociationScenarioTest = MachineTest;

TEST_F(AssociationScenarioTest, TakeOverThenGiveBack) {
    UseMachine(MachineSetup{true, 6, 1});
    const ScenarioDump dump = RunAssociationScenario();
    if (const char* path = std::getenv("VLK_ASSOC_SCENARIO_DUMP")) {
        std::ofstream(path, std::ios::binary) << dump.Text();
    }

    for (const char* key : {"HKCR\\.vlkta", "HKCR\\.vlktb"}) {
        SCOPED_TRACE(key);
        EXPECT_NE(Section(dump.before, key), "");
        EXPECT_NE(Section(dump.takenOver, key), Section(dump.before, key)) << dump.Text();
        EXPECT_EQ(Section(dump.givenBack, key), Section(dump.before, key)) << dump.Text();
    }
    // Beyond the 30 volume extensions of the NT family nothing is touched.
    EXPECT_NE(Section(dump.before, "HKCR\\.v45"), "");
    EXPECT_EQ(Section(dump.takenOver, "HKCR\\.v45"), Section(dump.before, "HKCR\\.v45"));
    EXPECT_EQ(Section(dump.givenBack, "HKCR\\.v45"), Section(dump.before, "HKCR\\.v45"));
    EXPECT_NE(Section(dump.takenOver, "HKCR\\.vlktc"), "");
    EXPECT_EQ(Section(dump.givenBack, "HKCR\\.vlktc"), "");
    EXPECT_NE(Section(dump.givenBack, "HKCR\\.vlktd").find("\"\" = sz \"\""), std::string::npos)
        << dump.Text();
    EXPECT_EQ(Section(dump.takenOver, "HKCU\\Software\\Velkor\\Setup\\.vlktd"), "");
    EXPECT_NE(Section(dump.givenBack, "HKCR\\.v07").find("\"OtherArc.B\""), std::string::npos)
        << dump.Text();
    EXPECT_NE(dump.takenOver.find("[<program>\\zipnew.dat] 50 4b 05 06"), std::string::npos);
}

}  // namespace
}  // namespace assoc_test

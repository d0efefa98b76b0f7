// The simulated machine's half of the link exchange with wine64
// (tests/wine/shortcut_compare.sh): with VLK_SHORTCUT_EXCHANGE naming the host
// folder of C:\VelkorLinks in the wine prefix, where the win64 build has
// written its links into "win", this writes the machine's links for the same
// calls into "sim", the expected targets and descriptions into
// "expected.txt" and what the machine's reader finds in the win64 build's
// links into "sim-reads-win.txt". VLK_SHORTCUT_ACP gives the code page the
// wine side ran with. Without the variables the test is skipped.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "integration/shell_fixture.h"
#include "integration/shortcut_cases.h"
#include "integration/shortcuts.h"

namespace shell_test {
namespace {

namespace fs = std::filesystem;

const char kFolder[] = "C:\\VelkorLinks";

std::string HostRead(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void HostWrite(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    ASSERT_TRUE(out.good()) << path;
}

using ShortcutExchange = ShellTest;

TEST_F(ShortcutExchange, WithWine) {
    const char* exchange = std::getenv("VLK_SHORTCUT_EXCHANGE");
    const char* acp = std::getenv("VLK_SHORTCUT_ACP");
    if (!exchange || !acp) GTEST_SKIP() << "run by tests/wine/shortcut_compare.sh";
    MachineSetup setup = Nt();
    setup.acp = static_cast<unsigned>(std::atoi(acp));
    UseShellMachine(setup);
    const fs::path host(exchange);
    fs::create_directories(host / "sim");

    ASSERT_TRUE(MakeTargets(kFolder));
    const std::string links = std::string(kFolder) + "\\sim";
    PutFolder(Utf8(links));
    std::string expected, simReadsWin;
    for (const ShortcutCase& c : ShortcutCases()) {
        SCOPED_TRACE(c.name);
        const std::string target = TargetPath(kFolder, c);
        const std::string link = LinkPath(links, c);
        ASSERT_TRUE(CreateShortcut(target.c_str(), link.c_str(), c.description));
        std::optional<std::string> bytes = FileBytes(Utf8(link));
        ASSERT_TRUE(bytes);
        HostWrite(host / "sim" / (std::string(c.name) + ".lnk"), *bytes);
        expected += ResultLine(c.name, Utf8(target), c.description ? Utf8(c.description) : "");

        // The win64 build's link for the same call, read by the machine's reader.
        const std::string written = HostRead(host / "win" / (std::string(c.name) + ".lnk"));
        sim::ShellLinkFile file;
        std::string error;
        if (!sim::DecodeShellLink(written, machine().Ansi(), &file, &error)) {
            ADD_FAILURE() << "the win64 link of " << c.name << ": " << error;
            continue;
        }
        simReadsWin +=
            ResultLine(c.name, sim::Utf16ToUtf8(file.target), sim::Utf16ToUtf8(file.description));
    }
    HostWrite(host / "expected.txt", expected);
    HostWrite(host / "sim-reads-win.txt", simReadsWin);
    EXPECT_EQ(simReadsWin, expected);
}

}  // namespace
}  // namespace shell_test

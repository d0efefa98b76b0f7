// Deletions at restart on the older platforms: every scheduled file gets its
// own "NUL=" line in section [Rename] of wininit.ini.
#include "uninstall/wininit.h"

#include <string>

#include "uninstall_fixture.h"

namespace uninstall_test {
namespace {

struct InsertCase {
    int line;
    const char* before;
    const char* after;
};

const InsertCase kInserts[] = {
    {__LINE__, "", "[Rename]\r\nNUL=C:\\X.TMP\r\n"},
    {__LINE__, "[Rename]\r\nNUL=C:\\A.TMP\r\n", "[Rename]\r\nNUL=C:\\A.TMP\r\nNUL=C:\\X.TMP\r\n"},
    // The section's last line without its line end.
    {__LINE__, "[rename]\r\nNUL=C:\\A.TMP", "[rename]\r\nNUL=C:\\A.TMP\r\nNUL=C:\\X.TMP\r\n"},
    // Another section after it: the new line goes before the blank line.
    {__LINE__, "[Rename]\r\nNUL=C:\\A.TMP\r\n\r\n[Other]\r\nk=v\r\n",
     "[Rename]\r\nNUL=C:\\A.TMP\r\nNUL=C:\\X.TMP\r\n\r\n[Other]\r\nk=v\r\n"},
    {__LINE__, "[Other]\r\nk=v\r\n", "[Other]\r\nk=v\r\n\r\n[Rename]\r\nNUL=C:\\X.TMP\r\n"},
    {__LINE__, "[Other]\r\nk=v", "[Other]\r\nk=v\r\n\r\n[Rename]\r\nNUL=C:\\X.TMP\r\n"},
    {__LINE__, " [ RENAME ] \r\n; kept\r\n", " [ RENAME ] \r\n; kept\r\nNUL=C:\\X.TMP\r\n"},
    {__LINE__, "[Rename]\nC:\\NEW.DLL=C:\\OLD.DLL\n[Other]\n",
     "[Rename]\nC:\\NEW.DLL=C:\\OLD.DLL\nNUL=C:\\X.TMP\r\n[Other]\n"},
    // Only the first section of that name takes it.
    {__LINE__, "[Rename]\r\n[Rename]\r\n", "[Rename]\r\nNUL=C:\\X.TMP\r\n[Rename]\r\n"},
    // A file scheduled before keeps its one line; another section's line or
    // another name does not count.
    {__LINE__, "[Rename]\r\n nul=C:\\X.TMP \r\nNUL=C:\\A.TMP\r\n",
     "[Rename]\r\n nul=C:\\X.TMP \r\nNUL=C:\\A.TMP\r\n"},
    {__LINE__, "[Other]\r\nNUL=C:\\X.TMP\r\n",
     "[Other]\r\nNUL=C:\\X.TMP\r\n\r\n[Rename]\r\nNUL=C:\\X.TMP\r\n"},
    {__LINE__, "[Rename]\r\nNUL=C:\\X.TMP2\r\n", "[Rename]\r\nNUL=C:\\X.TMP2\r\nNUL=C:\\X.TMP\r\n"},
};

TEST(WininitText, NewLineGoesToTheEndOfSectionRename) {
    for (const InsertCase& c : kInserts) {
        const std::string before = c.before;
        char out[256];
        const size_t length =
            InsertRenameLine(before.data(), before.size(), "C:\\X.TMP", out, sizeof out);
        EXPECT_EQ(std::string(out, length), c.after) << "case at line " << c.line;
    }
}

TEST(WininitText, ResultThatDoesNotFitIsNotCut) {
    const std::string before = "[Rename]\r\nNUL=C:\\A.TMP\r\n";
    const std::string after = "[Rename]\r\nNUL=C:\\A.TMP\r\nNUL=C:\\X.TMP\r\n";
    char out[64];
    EXPECT_EQ(InsertRenameLine(before.data(), before.size(), "C:\\X.TMP", out, after.size()),
              after.size());
    EXPECT_EQ(InsertRenameLine(before.data(), before.size(), "C:\\X.TMP", out, after.size() - 1),
              0u);
}

class WininitTest : public UninstallTest {
  protected:
    void SetUp() override { UseMachine(kBothFamilies[1]); }
    std::string Wininit() { return machine().WindowsFolder() + "\\wininit.ini"; }
};

// Two deletions in a row leave two lines, and the restart deletes both files
// (a profile write of the key NUL would keep only the last).
TEST_F(WininitTest, EveryDeletionSurvivesUntilTheRestart) {
    PutFile("C:\\DOOMED1.TMP", "1");
    PutFile("C:\\DOOMED2.TMP", "2");
    PutFile(Wininit(), "[Rename]\r\nC:\\NEW.DLL=C:\\OLD.DLL\r\n");
    PutFile("C:\\OLD.DLL", "new version");
    InProgram([&] {
        const std::string ini = Ansi(machine(), Wininit());
        EXPECT_TRUE(AddWininitDeletion(ini.c_str(), "C:\\DOOMED1.TMP"));
        EXPECT_TRUE(AddWininitDeletion(ini.c_str(), "C:\\DOOMED2.TMP"));
    });
    EXPECT_EQ(
        ReadFile(Wininit()),
        "[Rename]\r\nC:\\NEW.DLL=C:\\OLD.DLL\r\nNUL=C:\\DOOMED1.TMP\r\nNUL=C:\\DOOMED2.TMP\r\n");
    machine().Restart();
    EXPECT_FALSE(Exists("C:\\DOOMED1.TMP"));
    EXPECT_FALSE(Exists("C:\\DOOMED2.TMP"));
    EXPECT_TRUE(Exists("C:\\NEW.DLL"));
}

TEST_F(WininitTest, MissingFileIsMadeAndAnOversizedOneLeftAlone) {
    InProgram(
        [&] { EXPECT_TRUE(AddWininitDeletion(Ansi(machine(), Wininit()).c_str(), "C:\\A.TMP")); });
    EXPECT_EQ(ReadFile(Wininit()), "[Rename]\r\nNUL=C:\\A.TMP\r\n");

    const std::string big = "[Rename]\r\n; " + std::string(kWininitMaxSize, 'x') + "\r\n";
    PutFile(Wininit(), big);
    InProgram(
        [&] { EXPECT_FALSE(AddWininitDeletion(Ansi(machine(), Wininit()).c_str(), "C:\\A.TMP")); });
    EXPECT_EQ(ReadFile(Wininit()), big);
}

}  // namespace
}  // namespace uninstall_test

// Entries of Uninstall.lst that would reach outside the program folder, and
// lines or names too long for their buffers: nothing outside the program
// folder changes, and nothing inside it that the list does not name.
#include <string>

#include "uninstall_fixture.h"

namespace uninstall_test {
namespace {

class AdversarialListTest : public UninstallTest {};

TEST_F(AdversarialListTest, NothingOutsideTheFolderChanges) {
    for (const MachineKind& kind : kBothFamilies) {
        UseMachine(kind);
        PutFile("C:\\victim.txt", "outside");
        PutFile("C:\\Program Files\\victim.txt", "outside");
        PutFile(Folder() + "Keep.txt", "not listed");
        PutFile(Folder() + "Keep1.txt", "not listed");
        const std::string tooLong(2100, 'x');
        // With the folder's 24 bytes this full name is cut, at 1023 bytes,
        // right after "Keep1.txt".
        std::string dots;
        for (int i = 0; i < 495; ++i) dots += ".\\";
        ASSERT_EQ(Folder().size() + dots.size() + 9, 1023u);
        SetList(
            "C:\\victim.txt\r\n"
            "c:/victim.txt\r\n"
            "C:victim.txt\r\n"
            "\\victim.txt\r\n"
            "/Program Files/victim.txt\r\n"
            "..\\victim.txt\r\n"
            "Formats\\..\\..\\victim.txt\r\n"
            "...\\victim.txt\r\n"
            " ..\\victim.txt\r\n"
            "\\\\server\\share\\victim.txt\r\n"
            "\\\\?\\C:\\victim.txt\r\n"
            "..\r\n" +
            tooLong + "Keep.txt\r\n" + dots + "Keep1.txtOverflow\r\n" + "Vlk.txt\r\n");
        const auto outside = Snapshot(Folder());
        RunProgram("/s");
        RunStarted();
        EXPECT_EQ(Snapshot(Folder()), outside) << kind.name;
        EXPECT_EQ(ReadFile(Folder() + "Keep.txt"), "not listed") << kind.name;
        EXPECT_EQ(ReadFile(Folder() + "Keep1.txt"), "not listed") << kind.name;
        EXPECT_FALSE(Exists(Folder() + "Vlk.txt")) << kind.name;
        EXPECT_FALSE(Exists(Program())) << kind.name;
        // The folder stays: it still holds what the list did not name.
        EXPECT_TRUE(Exists(Folder())) << kind.name;
    }
}

}  // namespace
}  // namespace uninstall_test

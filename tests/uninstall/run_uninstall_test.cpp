// The uninstall mode from end to end: the question, the list error, the
// order of the steps and the restart notice, on both families.
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "localisation/text_key.h"
#include "uninstall_fixture.h"

namespace uninstall_test {
namespace {

const std::string kTitle = "Удаление Velkor";
const std::string kQuestion = "Вы действительно хотите удалить Velkor?";
const std::string kListError = "Невозможно открыть файл со списком Uninstall.lst";
const std::string kRestart = "Для завершения удаления Velkor необходимо перезагрузить Windows.";

class RunUninstallTest : public UninstallTest {
  protected:
    std::string Registry() { return machine().Registry().Save(); }
};

TEST_F(RunUninstallTest, AnsweringNoChangesNothing) {
    for (const MachineKind& kind : kBothFamilies) {
        UseMachine(kind);
        const auto files = Snapshot();
        const std::string registry = Registry();
        Answer({"no"});
        RunProgram("");
        RunStarted();
        EXPECT_EQ(Boxes(), std::vector<std::string>{kTitle + "|" + kQuestion}) << kind.name;
        EXPECT_EQ(Snapshot(), files) << kind.name;
        EXPECT_EQ(Registry(), registry) << kind.name;
        EXPECT_TRUE(Calls("CreateProcessA").empty()) << kind.name;
    }
}

// The list error is shown in silent mode too, and nothing has changed then:
// the integration stays, and no script is started.
TEST_F(RunUninstallTest, MissingListIsReportedAndChangesNothing) {
    const struct {
        const char* tail;
        std::vector<std::string> answers;
        std::vector<std::string> boxes;
    } cases[] = {
        {"/s", {"ok"}, {kTitle + "|" + kListError}},
        {"", {"yes", "ok"}, {kTitle + "|" + kQuestion, kTitle + "|" + kListError}},
    };
    for (const MachineKind& kind : kBothFamilies) {
        for (const auto& c : cases) {
            UseMachine(kind);
            ASSERT_EQ(machine().Files().DeleteFile(Folder() + "Uninstall.lst"), 0);
            const auto files = Snapshot();
            const std::string registry = Registry();
            Answer(c.answers);
            RunProgram(c.tail);
            RunStarted();
            EXPECT_EQ(Boxes(), c.boxes) << kind.name << " " << c.tail;
            EXPECT_EQ(Snapshot(), files) << kind.name << " " << c.tail;
            EXPECT_EQ(Registry(), registry) << kind.name << " " << c.tail;
            EXPECT_TRUE(Calls("CreateProcessA").empty()) << kind.name << " " << c.tail;
        }
    }
}

// A translated list error is filled in as text: its "%" signs are never
// read as a format.
TEST_F(RunUninstallTest, TranslatedListErrorIsNoFormat) {
    char key[kTextKeySize];
    ComputeTextKey(key, kKeyTypeString, nullptr,
                   Ansi(machine(), "Невозможно открыть файл со списком %s").c_str());
    PutFile(Folder() + "uninstall.lng", std::string("; language file\r\n***messages***\r\n") + key +
                                            "=\"List %s: 100% %d %n %s missing\"\r\n");
    ASSERT_EQ(machine().Files().DeleteFile(Folder() + "Uninstall.lst"), 0);
    Answer({"ok"});
    RunProgram("/s");
    EXPECT_EQ(Boxes(),
              std::vector<std::string>{kTitle + "|List Uninstall.lst: 100% %d %n %s missing"});
}

TEST_F(RunUninstallTest, EmptyListDeletesOnlyTheListAndStartsTheScript) {
    for (const MachineKind& kind : kBothFamilies) {
        UseMachine(kind);
        SetList("");
        RunProgram("/s");
        EXPECT_TRUE(Boxes().empty()) << kind.name;
        EXPECT_FALSE(Exists(Folder() + "Uninstall.lst")) << kind.name;
        EXPECT_TRUE(Exists(Folder() + "Velkor.exe")) << kind.name;
        EXPECT_TRUE(Exists(ScriptPath())) << kind.name;
        EXPECT_EQ(Calls("CreateProcessA").size(), 1u) << kind.name;
    }
}

// In silent mode nothing is asked, but a restart that is needed is still
// announced, once, after the list is gone and before the script starts.
TEST_F(RunUninstallTest, RestartNoticeComesOnceAfterTheList) {
    for (const MachineKind& kind : kBothFamilies) {
        UseMachine(kind);
        MakeBusy(Folder() + "Velkor.exe", "locked");
        Answer({"ok"});
        RunProgram("/s");
        EXPECT_EQ(Boxes(), std::vector<std::string>{kTitle + "|" + kRestart}) << kind.name;
        const size_t box = Position("MessageBoxA");
        EXPECT_LT(Position("DeleteFileA \"Uninstall.lst\" -> 1"), box) << kind.name;
        EXPECT_LT(box, Position("CreateProcessA")) << kind.name;
    }
}

// The integration goes while the language module is loaded; the module is
// unloaded before any file is deleted, so that its own file can go too.
TEST_F(RunUninstallTest, ModuleIsUnloadedBetweenIntegrationAndFiles) {
    std::ifstream in(std::string(VLK_BINARY_DIR) + "/lang/vlklng.dll", std::ios::binary);
    std::ostringstream module;
    module << in.rdbuf();
    ASSERT_FALSE(module.str().empty()) << "the English language module is not built";
    PutFile(Folder() + "vlklng.dll", module.str());
    SetList("vlklng.dll\r\nVlk.txt\r\n");
    PutFile(Folder() + "velkor.gid", "index");
    SetAttributes(Folder() + "velkor.gid", os::kFileAttributeReadOnly);
    PutFile(Folder() + "velkor.fts", "index");
    machine().Registry().Create(sim::Hive::kCurrentUser, u"Software\\Velkor");
    RunProgram("/s");
    EXPECT_FALSE(Exists(Folder() + "vlklng.dll"));
    EXPECT_FALSE(Exists(Folder() + "velkor.gid"));
    EXPECT_FALSE(Exists(Folder() + "velkor.fts"));
    const size_t productKey = Position("RegDeleteKeyA HKCU\\Software\\Velkor -> 0");
    const size_t unload = Position("FreeLibrary");
    EXPECT_LT(productKey, unload);
    EXPECT_LT(unload, Position("DeleteFileA \"velkor.gid\""));
    EXPECT_LT(unload, Position("DeleteFileA \"" + Folder() + "vlklng.dll\" -> 1"));
}

}  // namespace
}  // namespace uninstall_test

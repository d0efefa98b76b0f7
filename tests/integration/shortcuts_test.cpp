// The desktop, Start-menu and program-group shortcuts, and the helpers below them.
#include "integration/shortcuts.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "integration/shell_fixture.h"
#include "localisation/program_path.h"

namespace shell_test {
namespace {

const char kDescription[] = "Обрабатывает VLK, ZIP и архивы других форматов";
// The group's links with the built-in names, and their targets.
const std::pair<const char*, const char*> kGroupLinks[] = {
    {"Velkor.lnk", "Velkor.exe"},
    {"Справка Velkor.lnk", "Velkor.hlp"},
    {"Руководство по консольной версии VLK.lnk", "Vlk.txt"},
};

IntegrationSettings Flags(bool desktop, bool startMenu, bool group) {
    IntegrationSettings settings = {};
    settings.flags[kFlagDesktopIcon] = desktop ? 1 : 0;
    settings.flags[kFlagStartMenuIcon] = startMenu ? 1 : 0;
    settings.flags[kFlagProgramGroup] = group ? 1 : 0;
    return settings;
}

class ShortcutsTest : public ShellTest {
  protected:
    void Apply(const IntegrationSettings& settings, char* groupPath = nullptr) {
        ApplyShortcuts(&settings, groupPath);
    }
    // Every file and folder below `folder` (UTF-8 names relative to it).
    std::vector<std::string> Listing(const std::string& folder) {
        std::string host;
        std::vector<std::string> names;
        if (machine().Files().HostPath(folder, &host) != 0) return names;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(host))
            names.push_back(std::filesystem::relative(entry.path(), host).string());
        std::sort(names.begin(), names.end());
        return names;
    }
    void ExpectArchiverLink(const std::string& path) {
        std::optional<Link> link = ReadLink(path);
        ASSERT_TRUE(link) << path;
        EXPECT_EQ(link->target, ProgramFolder() + "Velkor.exe") << path;
        EXPECT_EQ(link->description, kDescription) << path;
    }
    void ExpectGroup(const std::string& group) {
        EXPECT_EQ(Listing(group).size(), 3u) << group;
        for (const auto& [name, target] : kGroupLinks) {
            std::optional<Link> link = ReadLink(group + "\\" + name);
            ASSERT_TRUE(link) << group << "\\" << name;
            EXPECT_EQ(link->target, ProgramFolder() + target) << name;
            EXPECT_EQ(link->description, kDescription) << name;
        }
    }
};

TEST_F(ShortcutsTest, DesktopLinkIsMadeOnceAndThenLeftAlone) {
    const std::string link = Folder("desktop", "Velkor.lnk");
    Apply(Flags(true, false, false));
    ExpectArchiverLink(link);

    // The user's own file of that name, or a link changed since, is not touched.
    PutFile(link, "the user's own file");
    Apply(Flags(true, false, false));
    EXPECT_EQ(FileBytes(link), "the user's own file");

    Apply(Flags(false, false, false));
    EXPECT_FALSE(Exists(link));
}

TEST_F(ShortcutsTest, StartMenuLinkIsWrittenOnEveryApply) {
    const std::string link = Folder("startmenu", "Velkor.lnk");
    PutFile(link, "an old link");
    Apply(Flags(false, true, false));
    ExpectArchiverLink(link);
    const size_t mark = TraceMark();
    Apply(Flags(false, true, false));
    EXPECT_EQ(CallsSince(mark, "IPersistFile::Save").size(), 1u);
    ExpectArchiverLink(link);
    Apply(Flags(false, false, false));
    EXPECT_FALSE(Exists(link));
}

TEST_F(ShortcutsTest, GroupWithTheBuiltInNamesInBothMenusOnNt) {
    char groupPath[kPathSize] = "";
    Apply(Flags(false, false, true), groupPath);
    const std::string group = Folder("programs", "Velkor");
    ExpectGroup(group);
    ExpectGroup(Folder("common_programs", "Velkor"));
    // The buffer names the user's group, in the ANSI code page.
    EXPECT_EQ(Utf8(groupPath), group);
    // No desktop or Start-menu link with those flags off.
    EXPECT_FALSE(Exists(Folder("desktop", "Velkor.lnk")));
    EXPECT_FALSE(Exists(Folder("startmenu", "Velkor.lnk")));
}

TEST_F(ShortcutsTest, OlderPlatformsHaveNoAllUsersGroup) {
    UseShellMachine(Win9x());
    const size_t mark = TraceMark();
    Apply(Flags(false, false, true));
    ExpectGroup(Folder("programs", "Velkor"));
    for (const std::string& line : CallsSince(mark, "SHGetSpecialFolderLocation"))
        EXPECT_EQ(line.find("csidl=0x17"), std::string::npos) << line;
    Apply(Flags(false, false, false));
    EXPECT_FALSE(Exists(Folder("programs", "Velkor")));
}

TEST_F(ShortcutsTest, GroupOffDeletesBothGroupsWithTheUsersFiles) {
    Apply(Flags(false, false, true));
    const std::string group = Folder("programs", "Velkor");
    PutFile(group + "\\notes.txt", "the user's notes");
    PutFolder(group + "\\More");
    PutFile(group + "\\More\\old.lnk", "an older link");
    ASSERT_EQ(machine().Files().SetAttributes(group + "\\notes.txt", os::kFileAttributeReadOnly),
              0);
    char groupPath[kPathSize] = "untouched";
    Apply(Flags(false, false, false), groupPath);
    EXPECT_FALSE(Exists(group));
    EXPECT_FALSE(Exists(Folder("common_programs", "Velkor")));
    EXPECT_TRUE(Exists(Folder("programs")));
    EXPECT_STREQ(groupPath, "untouched");
    // Without questions, progress window or Recycle Bin.
    for (const std::string& line : CallsSince(0, "SHFileOperationA")) {
        if (line.find("func=") != std::string::npos) {
            EXPECT_NE(line.find("flags=0x14 "), std::string::npos) << line;
        }
    }
}

TEST_F(ShortcutsTest, RemovingWhatIsNotThereDoesNothing) {
    std::map<std::string, std::vector<std::string>> before;
    for (const char* folder : {"desktop", "startmenu", "programs", "common_programs"})
        before[folder] = Listing(Folder(folder));
    const size_t mark = TraceMark();
    Apply(Flags(false, false, false));
    for (const auto& [folder, listing] : before)
        EXPECT_EQ(Listing(Folder(folder)), listing) << folder;
    EXPECT_TRUE(CallsSince(mark, "SHFileOperationA").empty());
    EXPECT_TRUE(CallsSince(mark, "IPersistFile::Save").empty());
    EXPECT_TRUE(CallsSince(mark, "MessageBoxA").empty());
}

// A special folder that cannot be looked up skips its step: nothing is made
// or deleted relative to the current folder, which is the program's own
// during the uninstall.
TEST_F(ShortcutsTest, FolderThatCannotBeLookedUpIsSkipped) {
    auto& folders = machine().Config().folders;
    folders.erase(std::remove_if(folders.begin(), folders.end(),
                                 [](const auto& entry) {
                                     return entry.first != "windows" && entry.first != "system";
                                 }),
                  folders.end());
    PutFolder(ProgramFolder() + "Velkor");
    PutFile(ProgramFolder() + "Velkor\\keep.txt", "keep");
    PutFile(ProgramFolder() + "Velkor.lnk", "keep");
    const std::vector<std::string> before = Listing(ProgramFolder());
    char groupPath[kPathSize] = "";
    Apply(Flags(false, false, false));
    Apply(Flags(true, true, true), groupPath);
    EXPECT_EQ(Listing(ProgramFolder()), before);
    EXPECT_STREQ(groupPath, "");
    EXPECT_TRUE(CallsSince(0, "SHFileOperationA").empty());
    EXPECT_TRUE(CallsSince(0, "IPersistFile::Save").empty());
}

TEST_F(ShortcutsTest, CreateShortcutFailures) {
    const std::string target = Ansi(ProgramFolder() + "Velkor.exe");
    const std::string desktop = Ansi(Folder("desktop"));
    // 259 characters is the longest path the shell takes.
    const std::string fits = desktop + "\\" + std::string(259 - desktop.size() - 5, 'a') + ".lnk";
    const std::string tooLong =
        desktop + "\\" + std::string(260 - desktop.size() - 5, 'a') + ".lnk";
    ASSERT_EQ(fits.size(), 259u);
    EXPECT_TRUE(CreateShortcut(target.c_str(), fits.c_str(), nullptr));
    EXPECT_FALSE(CreateShortcut(target.c_str(), tooLong.c_str(), nullptr));
    EXPECT_FALSE(Exists(Utf8(tooLong)));
    EXPECT_FALSE(Exists(Utf8(tooLong.substr(0, 259))));
    // A link without a description has none.
    std::optional<Link> link = ReadLink(Utf8(fits));
    ASSERT_TRUE(link);
    EXPECT_EQ(link->description, "");
    // A folder that is not there.
    EXPECT_FALSE(CreateShortcut(target.c_str(), (desktop + "\\none\\x.lnk").c_str(), nullptr));
    // Without OLE on the thread the shell-link object cannot be made.
    os::Sh().OleUninitialize();
    EXPECT_FALSE(CreateShortcut(target.c_str(), (desktop + "\\y.lnk").c_str(), nullptr));
    EXPECT_FALSE(Exists(Folder("desktop", "y.lnk")));
}

TEST_F(ShortcutsTest, RemoveFolderTreeNeedsTheFolderAndASpareByte) {
    const std::string folder = Folder("programs", "Tree");
    PutFolder(folder);
    PutFile(folder + "\\a.txt", "a");
    std::string ansi = Ansi(folder);
    std::vector<char> exact(ansi.begin(), ansi.end());
    exact.push_back('\0');
    // No room for the list's second zero: refused, nothing deleted.
    EXPECT_FALSE(RemoveFolderTree(exact.data(), exact.size()));
    EXPECT_TRUE(Exists(folder + "\\a.txt"));
    // Not terminated within its buffer.
    std::vector<char> unterminated(ansi.begin(), ansi.end());
    EXPECT_FALSE(RemoveFolderTree(unterminated.data(), unterminated.size()));
    EXPECT_TRUE(Exists(folder));

    exact.push_back('x');  // the spare byte, whatever it held
    EXPECT_TRUE(RemoveFolderTree(exact.data(), exact.size()));
    EXPECT_FALSE(Exists(folder));
    const size_t mark = TraceMark();
    EXPECT_FALSE(RemoveFolderTree(exact.data(), exact.size()));
    EXPECT_TRUE(CallsSince(mark, "SHFileOperationA").empty());
}

TEST_F(ShortcutsTest, BusyFileStopsTheFolderDeletion) {
    Apply(Flags(false, false, true));
    const std::string group = Folder("programs", "Velkor");
    machine().Config().busy.push_back({group + "\\Velkor.lnk", "locked"});
    std::string ansi = Ansi(group);
    ansi.push_back('\0');
    EXPECT_FALSE(RemoveFolderTree(ansi.data(), ansi.size() + 1));
    EXPECT_TRUE(Exists(group + "\\Velkor.lnk"));
}

TEST(LinkNames, OnlyPlainFileNames) {
    struct Case {
        int line;
        const char* name;
        bool plain;
    };
    const Case cases[] = {
        {__LINE__, "Velkor", true},
        {__LINE__, "Справка Velkor", true},
        {__LINE__, "Help (English) - 5.0", true},
        {__LINE__, "", false},
        {__LINE__, ".", false},
        {__LINE__, "..", false},
        {__LINE__, "..\\..\\Startup\\Velkor", false},
        {__LINE__, "Help/Velkor", false},
        {__LINE__, "C:Velkor", false},
        {__LINE__, "Velkor?", false},
        {__LINE__, "Velkor*", false},
        {__LINE__, "\"Velkor\"", false},
        {__LINE__, "a<b", false},
        {__LINE__, "a>b", false},
        {__LINE__, "a|b", false},
        {__LINE__, "tab\there", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case at line " << c.line);
        EXPECT_EQ(IsPlainFileName(Cp1251(c.name).c_str()), c.plain);
    }
}

// In code page 932 the second byte of a double-byte character may be the
// backslash's value; such a name still names one file.
TEST_F(ShortcutsTest, TrailByteIsNoSeparator) {
    UseShellMachine(core_test::CodePage(932));
    const std::string table = sim::CodePage::Find(932)->FromWide(u"表示");
    ASSERT_EQ(table[1], '\\');
    EXPECT_TRUE(IsPlainFileName(table.c_str()));
    EXPECT_FALSE(IsPlainFileName((table + "\\x").c_str()));
}

}  // namespace
}  // namespace shell_test

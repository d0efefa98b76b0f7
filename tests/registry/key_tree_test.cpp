// Deleting keys: one key, and whole trees on both Windows families.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "registry/registry.h"
#include "registry/registry_fixture.h"

namespace {

using core_test::MachineSetup;
using registry_test::Classes;
using registry_test::RegistryTest;
using registry_test::StorePath;
using registry_test::User;

class KeyTreeTest : public RegistryTest {
  protected:
    // The passes of a tree deletion: each opens the top key for reading.
    size_t PassesSince(size_t mark, const std::string& top) {
        size_t passes = 0;
        for (const std::string& line : CallsSince(mark, "RegOpenKeyExA")) {
            if (line.find(top + " access=0x20019") != std::string::npos) ++passes;
        }
        return passes;
    }
    void MakeAll(const std::vector<std::string>& paths) {
        for (const std::string& path : paths) Make(User("Software\\Velkor\\" + path));
    }
};

TEST_F(KeyTreeTest, TreesGoInPassesOnTheNtFamily) {
    struct Case {
        int line;
        std::vector<std::string> keys;  // below the product key
        size_t passes;
    };
    const Case cases[] = {
        // A missing key: one pass that deletes nothing.
        {__LINE__, {}, 1},
        // A chain goes in one pass; the second finds nothing.
        {__LINE__, {"Tree\\a\\b\\c"}, 2},
        // Three siblings: the rising index passes over the middle one.
        {__LINE__, {"Tree\\a", "Tree\\b", "Tree\\c"}, 3},
        // Each level below the top repeats the skipping once more.
        {__LINE__, {"Tree\\a\\x", "Tree\\a\\y", "Tree\\b\\x", "Tree\\b\\y\\z", "Tree\\c"}, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case at line " << c.line);
        UseMachine(core_test::Nt());
        MakeAll(c.keys);
        Make(User("Software\\Velkor\\Sibling"));
        size_t mark = TraceMark();
        DeleteKeyTree(os::CurrentUser(), "Tree");
        EXPECT_FALSE(Exists(User("Software\\Velkor\\Tree")));
        EXPECT_TRUE(Exists(User("Software\\Velkor\\Sibling")));
        EXPECT_EQ(PassesSince(mark, "HKCU\\Software\\Velkor\\Tree"), c.passes);
        // The last pass deleted nothing: after it no deletion succeeds.
        std::vector<std::string> lines = TraceSince(mark);
        size_t lastPass = 0;
        for (size_t i = 0; i < lines.size(); ++i) {
            if (lines[i].find("RegOpenKeyExA HKCU\\Software\\Velkor\\Tree access") == 0)
                lastPass = i;
        }
        for (size_t i = lastPass; i < lines.size(); ++i) {
            EXPECT_FALSE(lines[i].rfind("RegDeleteKeyA", 0) == 0 &&
                         lines[i].find("-> 0") != std::string::npos)
                << lines[i];
        }
    }
}

TEST_F(KeyTreeTest, TheOlderPlatformsDeleteTheTreeInOneCall) {
    UseMachine(core_test::Win9x());
    MakeAll({"Tree\\a\\x", "Tree\\b", "Tree\\c\\d\\e"});
    size_t mark = TraceMark();
    DeleteKeyTree(os::CurrentUser(), "Tree");
    EXPECT_FALSE(Exists(User("Software\\Velkor\\Tree")));
    EXPECT_EQ(CallsSince(mark, "RegDeleteKeyA").size(), 1u);
    EXPECT_TRUE(CallsSince(mark, "RegEnumKeyExA").empty());
}

TEST_F(KeyTreeTest, TheOlderPlatformsFallBackToPassesWhenTheCallFails) {
    UseMachine(core_test::Win9x());
    size_t mark = TraceMark();
    DeleteKeyTree(os::CurrentUser(), "Missing");
    std::vector<std::string> lines = TraceSince(mark);
    ASSERT_EQ(CallsSince(mark, "RegDeleteKeyA").size(), 1u);
    EXPECT_EQ(PassesSince(mark, "HKCU\\Software\\Velkor\\Missing"), 1u);
}

TEST_F(KeyTreeTest, TheEmptyPath) {
    struct Case {
        int line;
        MachineSetup setup;
        os::Key root;
        StorePath kept;     // still there afterwards
        StorePath deleted;  // gone afterwards (empty path: none)
    };
    const Case cases[] = {
        // Per user the empty path is the whole product key.
        {__LINE__, core_test::Nt(), os::CurrentUser(), User("Software"), User("Software\\Velkor")},
        {__LINE__, core_test::Win9x(), os::CurrentUser(), User("Software"),
         User("Software\\Velkor")},
        // Under another root it is the root itself, which is never deleted.
        {__LINE__, core_test::Nt(), os::ClassesRoot(), Classes(".vlktest"), {}},
        {__LINE__, core_test::Win9x(), os::ClassesRoot(), Classes(".vlktest"), {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case at line " << c.line);
        UseMachine(c.setup);
        MakeAll({"Setup\\.zip", "Options"});
        Make(Classes(".vlktest\\shell"));
        size_t mark = TraceMark();
        DeleteKeyTree(c.root, "");
        DeleteKey(c.root, "");
        EXPECT_TRUE(Exists(c.kept));
        if (!c.deleted.path.empty()) {
            EXPECT_FALSE(Exists(c.deleted));
        } else {
            EXPECT_TRUE(CallsSince(mark, "RegDeleteKeyA").empty());
        }
    }
}

TEST_F(KeyTreeTest, DeleteKeyDeletesOneKey) {
    struct Case {
        int line;
        MachineSetup setup;
        bool withSubkey;
        bool gone;
    };
    const Case cases[] = {
        {__LINE__, core_test::Nt(), false, true},
        {__LINE__, core_test::Nt(), true, false},
        {__LINE__, core_test::Win9x(), true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case at line " << c.line);
        UseMachine(c.setup);
        Make(Classes(c.withSubkey ? "Velkor.REV\\shell" : "Velkor.REV"));
        DeleteKey(os::ClassesRoot(), "Velkor.REV");
        EXPECT_EQ(Exists(Classes("Velkor.REV")), !c.gone);
    }
}

TEST_F(KeyTreeTest, SubkeysTooLongForTheWalkStayWithTheirSubtrees) {
    // A subkey name of 200 characters does not fit the name buffer; a child
    // path beyond 511 characters cannot be formed. Both stay, and their
    // parents with them; the siblings around them still go.
    const std::string longName(200, 'n');
    const std::string part(100, 'p');
    std::string deep = "Tree\\deep";  // the fifth part ends beyond 511 characters
    for (int i = 0; i < 5; ++i) deep += "\\" + part;
    UseMachine(core_test::Nt());
    MakeAll({"Tree\\a", "Tree\\long\\" + longName + "\\child", "Tree\\long\\x", "Tree\\long\\z",
             deep + "\\x\\y", "Tree\\deep\\q", "Tree\\z"});
    DeleteKeyTree(os::CurrentUser(), "Tree");
    const std::string top = "Software\\Velkor\\Tree\\";
    EXPECT_TRUE(Exists(User(top + "long\\" + longName + "\\child")));
    EXPECT_TRUE(Exists(User(top + deep.substr(5) + "\\x\\y")));
    for (const char* gone : {"a", "z", "long\\x", "long\\z", "deep\\q"}) {
        EXPECT_FALSE(Exists(User(top + gone))) << gone;
    }
    // On the older platforms the one call takes it all.
    UseMachine(core_test::Win9x());
    MakeAll({"Tree\\long\\" + longName, deep + "\\x"});
    DeleteKeyTree(os::CurrentUser(), "Tree");
    EXPECT_FALSE(Exists(User("Software\\Velkor\\Tree")));
}

}  // namespace

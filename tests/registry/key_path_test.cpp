// The key-path rule: the product key for relative per-user paths, the length
// limit under every root.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "registry/registry.h"
#include "registry/registry_fixture.h"

namespace {

using registry_test::Classes;
using registry_test::Machine;
using registry_test::RegistryTest;
using registry_test::StorePath;
using registry_test::User;

TEST(MakeKeyPath, Resolves) {
    struct Case {
        int line;
        os::Key root;
        const char* path;
        const char* resolved;  // null: refused
    };
    const std::string p236(236, 'k');
    const std::string p237(237, 'k');
    const std::string u236 = "Software\\Velkor\\" + p236;
    const Case cases[] = {
        {__LINE__, os::CurrentUser(), "Setup", "Software\\Velkor\\Setup"},
        {__LINE__, os::CurrentUser(), "Setup\\.zip", "Software\\Velkor\\Setup\\.zip"},
        {__LINE__, os::CurrentUser(), "", "Software\\Velkor"},
        {__LINE__, os::CurrentUser(), "\\Software\\Other", "Software\\Other"},
        {__LINE__, os::CurrentUser(), "\\", ""},
        {__LINE__, os::ClassesRoot(), "Setup", "Setup"},
        {__LINE__, os::ClassesRoot(), "\\.zip", "\\.zip"},
        {__LINE__, os::LocalMachine(), "\\Software", "\\Software"},
        {__LINE__, os::LocalMachine(), "", ""},
        {__LINE__, os::CurrentUser(), p236.c_str(), u236.c_str()},
        {__LINE__, os::ClassesRoot(), p236.c_str(), p236.c_str()},
        {__LINE__, os::CurrentUser(), p237.c_str(), nullptr},
        {__LINE__, os::ClassesRoot(), p237.c_str(), nullptr},
        {__LINE__, os::LocalMachine(), p237.c_str(), nullptr},
        {__LINE__, os::CurrentUser(), nullptr, nullptr},
        {__LINE__, os::ClassesRoot(), nullptr, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case at line " << c.line);
        char out[kKeyPathSize];
        memset(out, '#', sizeof out);
        out[sizeof out - 1] = '\0';
        const std::string untouched = out;
        bool resolved = MakeKeyPath(c.root, c.path, out, sizeof out);
        EXPECT_EQ(resolved, c.resolved != nullptr);
        EXPECT_EQ(std::string(out), c.resolved ? c.resolved : untouched);
    }
}

class KeyPathTest : public RegistryTest {};

TEST_F(KeyPathTest, PerUserValuesLieBelowTheProductKey) {
    struct Case {
        int line;
        const char* path;
        StorePath at;
    };
    const Case cases[] = {
        {__LINE__, "Setup", User("Software\\Velkor\\Setup")},
        {__LINE__, "", User("Software\\Velkor")},
        {__LINE__, "\\Software\\Other", User("Software\\Other")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case at line " << c.line);
        EXPECT_TRUE(SetUserDword(c.path, "Number", 0x12345678));
        std::vector<uint8_t> data;
        uint32_t type = 0;
        ASSERT_TRUE(StoredValue(c.at, "Number", &data, &type));
        EXPECT_EQ(type, os::kRegDword);
        EXPECT_EQ(data, (std::vector<uint8_t>{0x78, 0x56, 0x34, 0x12}));
        EXPECT_EQ(GetUserDword(c.path, "Number", 7), 0x12345678u);
        EXPECT_TRUE(SetUserString(c.path, "Text", "abc"));
        char buffer[16];
        EXPECT_TRUE(GetUserString(c.path, "Text", buffer, "none", sizeof buffer));
        EXPECT_STREQ(buffer, "abc");
    }
    // The relative path did not land outside the product key, nor the
    // absolute one inside it.
    EXPECT_FALSE(Exists(User("Setup")));
    EXPECT_FALSE(Exists(User("Software\\Velkor\\Software\\Other")));
}

TEST_F(KeyPathTest, OtherRootsTakeThePathAsItStands) {
    EXPECT_TRUE(SetStringValue(os::ClassesRoot(), "Setup", "", "classes"));
    EXPECT_TRUE(SetStringValue(os::LocalMachine(), "Software\\VlkTest", "", "machine"));
    EXPECT_TRUE(Exists(Classes("Setup")));
    EXPECT_TRUE(Exists(Machine("Software\\VlkTest")));
    EXPECT_FALSE(Exists(User("Software\\Velkor\\Setup")));
    EXPECT_FALSE(Exists(Classes("Software\\Velkor\\Setup")));
}

// A path of `length` characters below a test key.
std::string PathOfLength(size_t length) {
    const std::string prefix = "Software\\VlkTest\\";
    return prefix + std::string(length - prefix.size(), 'k');
}

TEST_F(KeyPathTest, TheLengthLimitHoldsUnderEveryRoot) {
    struct Root {
        os::Key key;
        StorePath (*where)(const std::string&);
    };
    const Root roots[] = {
        {os::CurrentUser(), [](const std::string& p) { return User("Software\\Velkor\\" + p); }},
        {os::ClassesRoot(), Classes},
        {os::LocalMachine(), Machine},
    };
    const std::string accepted = PathOfLength(236);
    const std::string refused = PathOfLength(237);
    for (const Root& root : roots) {
        SCOPED_TRACE(testing::Message() << "root " << reinterpret_cast<uintptr_t>(root.key));
        // 236 characters work.
        EXPECT_TRUE(SetStringValue(root.key, accepted.c_str(), "v", "x"));
        EXPECT_TRUE(Exists(root.where(accepted)));
        EXPECT_TRUE(KeyExists(root.key, accepted.c_str()));
        char buffer[8];
        EXPECT_TRUE(GetStringValue(root.key, accepted.c_str(), "v", buffer, "dflt", sizeof buffer));
        EXPECT_STREQ(buffer, "x");
        DeleteValue(root.key, accepted.c_str(), "v");
        EXPECT_FALSE(
            GetStringValue(root.key, accepted.c_str(), "v", buffer, "dflt", sizeof buffer));
        DeleteKey(root.key, accepted.c_str());
        EXPECT_FALSE(Exists(root.where(accepted)));
        Make(root.where(accepted));
        DeleteKeyTree(root.key, accepted.c_str());
        EXPECT_FALSE(Exists(root.where(accepted)));

        // 237 characters are refused without a registry call, and never cut
        // to the 236 that name another key.
        Make(root.where(accepted))->SetValue(u"v", os::kRegDword, {1, 0, 0, 0});
        size_t mark = TraceMark();
        EXPECT_FALSE(SetStringValue(root.key, refused.c_str(), "v", "x"));
        EXPECT_FALSE(SetDwordValue(root.key, refused.c_str(), "v", 1));
        EXPECT_FALSE(SetBinaryValue(root.key, refused.c_str(), "v", "x", 1));
        EXPECT_EQ(CreateKey(root.key, refused.c_str()), nullptr);
        EXPECT_EQ(OpenKeyForRead(root.key, refused.c_str()), nullptr);
        EXPECT_FALSE(GetStringValue(root.key, refused.c_str(), "v", buffer, "dflt", sizeof buffer));
        EXPECT_STREQ(buffer, "dflt");
        EXPECT_EQ(GetDwordValue(root.key, refused.c_str(), "v", 99), 99u);
        EXPECT_FALSE(KeyExists(root.key, refused.c_str()));
        DeleteValue(root.key, refused.c_str(), "v");
        DeleteKey(root.key, refused.c_str());
        DeleteKeyTree(root.key, refused.c_str());
        EXPECT_EQ(RegistryCallsSince(mark), 0u);
        EXPECT_FALSE(Exists(root.where(refused)));
        std::vector<uint8_t> data;
        EXPECT_TRUE(StoredValue(root.where(accepted), "v", &data));
    }
}

}  // namespace

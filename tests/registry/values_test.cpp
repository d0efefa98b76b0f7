// Writing and reading values, and what a read gives when it cannot read.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "registry/registry.h"
#include "registry/registry_fixture.h"

namespace {

using registry_test::Classes;
using registry_test::Machine;
using registry_test::RegistryTest;
using registry_test::User;

class ValuesTest : public RegistryTest {};

std::vector<uint8_t> Bytes(const std::string& text) {
    return std::vector<uint8_t>(text.begin(), text.end());
}

TEST_F(ValuesTest, WritesStoreTypeAndBytes) {
    EXPECT_TRUE(SetStringValue(os::ClassesRoot(), ".zip", "", "Velkor.ZIP"));
    EXPECT_TRUE(SetDwordValue(os::ClassesRoot(), ".zip", "Number", 0xA1B2C3D4));
    EXPECT_TRUE(SetBinaryValue(os::ClassesRoot(), ".zip", "Data", "\x01\x00\x02", 3));
    EXPECT_TRUE(SetStringValue(os::ClassesRoot(), ".zip", "Empty", ""));
    struct Case {
        int line;
        const char* name;
        uint32_t type;
        std::vector<uint8_t> data;
    };
    const Case cases[] = {
        // Strings are held in UTF-16 with the terminator the write counted.
        {__LINE__, "", os::kRegSz, {'V', 0,   'e', 0,   'l', 0,   'k', 0,   'o', 0, 'r',
                                    0,   '.', 0,   'Z', 0,   'I', 0,   'P', 0,   0, 0}},
        {__LINE__, "Number", os::kRegDword, {0xD4, 0xC3, 0xB2, 0xA1}},
        {__LINE__, "Data", os::kRegBinary, {1, 0, 2}},
        {__LINE__, "Empty", os::kRegSz, {0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case at line " << c.line);
        std::vector<uint8_t> data;
        uint32_t type = 0;
        ASSERT_TRUE(StoredValue(Classes(".zip"), c.name, &data, &type));
        EXPECT_EQ(type, c.type);
        EXPECT_EQ(data, c.data);
    }
}

TEST_F(ValuesTest, WritesFailOnlyWhenTheKeyCannotBeCreated) {
    UseMachine([] {
        core_test::MachineSetup setup;
        setup.admin = false;
        return setup;
    }());
    EXPECT_FALSE(SetStringValue(os::ClassesRoot(), ".zip", "", "Velkor.ZIP"));
    EXPECT_FALSE(SetDwordValue(os::LocalMachine(), "Software\\VlkTest", "n", 1));
    EXPECT_FALSE(Exists(Machine("Software\\VlkTest")));
    EXPECT_TRUE(SetUserDword("Setup", "n", 1));
}

TEST_F(ValuesTest, GetStringValue) {
    const auto at = User("Software\\Velkor\\Read");
    PutValue(at, "sz", os::kRegSz, {'a', 0, 'b', 0, 'c', 0, 0, 0});
    PutValue(at, "dword", os::kRegDword, {'w', 'x', 'y', 'z'});
    PutValue(at, "full", os::kRegBinary, Bytes("abcd"));
    PutValue(at, "fullNul", os::kRegBinary, Bytes(std::string("abc\0", 4)));
    PutValue(at, "empty", os::kRegBinary, {});
    PutValue(at, "long", os::kRegSz, std::vector<uint8_t>(2 * 40, 'q'));
    struct Case {
        int line;
        const char* path;
        const char* name;
        unsigned size;
        bool read;
        std::string text;
    };
    const Case cases[] = {
        {__LINE__, "Read", "sz", 16, true, "abc"},
        {__LINE__, "Read", "sz", 4, true, "abc"},
        {__LINE__, "Read", "sz", 3, false, "no"},
        // The type is not looked at: a number's four bytes land in the buffer.
        {__LINE__, "Read", "dword", 16, true, "wxyz"},
        // Bytes that fill the buffer without a terminator do not fit.
        {__LINE__, "Read", "full", 4, false, "no"},
        {__LINE__, "Read", "full", 5, true, "abcd"},
        {__LINE__, "Read", "fullNul", 4, true, "abc"},
        {__LINE__, "Read", "empty", 4, true, ""},
        {__LINE__, "Read", "long", 16, false, "no"},
        {__LINE__, "Read", "missing", 16, false, "no"},
        {__LINE__, "Missing", "sz", 16, false, "no"},
        // A default that does not fit is not cut.
        {__LINE__, "Read", "missing", 2, false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case at line " << c.line);
        std::vector<char> buffer(c.size + 8, '#');
        EXPECT_EQ(GetUserString(c.path, c.name, buffer.data(), "no", c.size), c.read);
        EXPECT_EQ(std::string(buffer.data()), c.text);
        // Nothing is written beyond the buffer's size.
        EXPECT_EQ(std::string(buffer.data() + c.size, 8), std::string(8, '#'));
    }
}

TEST_F(ValuesTest, GetDwordValue) {
    const auto at = User("Software\\Velkor\\Read");
    PutValue(at, "dword", os::kRegDword, {1, 2, 3, 4});
    PutValue(at, "binary4", os::kRegBinary, {5, 0, 0, 0});
    PutValue(at, "binary2", os::kRegBinary, {5, 0});
    PutValue(at, "binary8", os::kRegBinary, {1, 2, 3, 4, 5, 6, 7, 8});
    PutValue(at, "empty", os::kRegBinary, {});
    PutValue(at, "sz", os::kRegSz, {'a', 0, 0, 0});
    struct Case {
        int line;
        const char* path;
        const char* name;
        os::Dword result;
    };
    const os::Dword kDefault = 0xDEFA;
    const Case cases[] = {
        {__LINE__, "Read", "dword", 0x04030201},
        {__LINE__, "Read", "binary4", 5},
        // Shorter than four bytes: the default, not a number made of leftovers.
        {__LINE__, "Read", "binary2", kDefault},
        {__LINE__, "Read", "empty", kDefault},
        {__LINE__, "Read", "binary8", kDefault},
        {__LINE__, "Read", "sz", kDefault},  // "a" and its terminator: two bytes
        {__LINE__, "Read", "missing", kDefault},
        {__LINE__, "Missing", "dword", kDefault},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case at line " << c.line);
        EXPECT_EQ(GetUserDword(c.path, c.name, kDefault), c.result);
    }
}

TEST_F(ValuesTest, DeleteValueAndKeyExists) {
    EXPECT_TRUE(SetUserDword("Setup\\.zip", "Exist", 1));
    EXPECT_TRUE(SetUserDword("Setup\\.zip", "Type", 2));
    EXPECT_TRUE(KeyExists(os::CurrentUser(), "Setup\\.zip"));
    EXPECT_FALSE(KeyExists(os::CurrentUser(), "Setup\\.rar"));
    EXPECT_FALSE(KeyExists(os::ClassesRoot(), "Setup\\.zip"));
    DeleteValue(os::CurrentUser(), "Setup\\.zip", "Exist");
    DeleteValue(os::CurrentUser(), "Setup\\.rar", "Exist");
    std::vector<uint8_t> data;
    EXPECT_FALSE(StoredValue(User("Software\\Velkor\\Setup\\.zip"), "Exist", &data));
    EXPECT_TRUE(StoredValue(User("Software\\Velkor\\Setup\\.zip"), "Type", &data));
}

TEST_F(ValuesTest, EachOperationClosesWhatItOpened) {
    size_t mark = TraceMark();
    SetUserDword("Setup", "n", 1);
    GetUserDword("Setup", "n", 0);
    char buffer[8];
    GetUserString("Setup", "n", buffer, "", sizeof buffer);
    KeyExists(os::CurrentUser(), "Setup");
    KeyExists(os::CurrentUser(), "Missing");
    DeleteValue(os::CurrentUser(), "Setup", "n");
    size_t opened = CallsSince(mark, "RegCreateKeyExA").size();
    for (const std::string& line : CallsSince(mark, "RegOpenKeyExA")) {
        if (line.find("-> 0") != std::string::npos) ++opened;
    }
    EXPECT_EQ(opened, 5u);
    EXPECT_EQ(CallsSince(mark, "RegCloseKey").size(), opened);
    EXPECT_FALSE(CloseKey(nullptr));
}

TEST_F(ValuesTest, AccessRightsPerKindOfOperation) {
    ASSERT_TRUE(SetUserDword("Setup", "n", 1));
    struct Case {
        int line;
        std::function<void()> run;
        const char* call;
        const char* access;
    };
    char buffer[8];
    const Case cases[] = {
        {__LINE__, [] { SetUserDword("Setup", "n", 2); }, "RegCreateKeyExA", "access=0x20006"},
        {__LINE__, [] { GetUserDword("Setup", "n", 0); }, "RegOpenKeyExA", "access=0x9"},
        {__LINE__, [&] { GetUserString("Setup", "n", buffer, "", 8); }, "RegOpenKeyExA",
         "access=0x9"},
        {__LINE__, [] { KeyExists(os::CurrentUser(), "Setup"); }, "RegOpenKeyExA", "access=0x1 "},
        {__LINE__, [] { DeleteValue(os::CurrentUser(), "Setup", "n"); }, "RegOpenKeyExA",
         "access=0x20006"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case at line " << c.line);
        size_t mark = TraceMark();
        c.run();
        std::vector<std::string> calls = CallsSince(mark, c.call);
        ASSERT_EQ(calls.size(), 1u);
        EXPECT_NE(calls[0].find(c.access), std::string::npos) << calls[0];
    }
}

}  // namespace

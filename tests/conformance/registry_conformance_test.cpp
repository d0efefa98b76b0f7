// The registry calls, as Windows answers them (checked under wine64 too).
#include <cstring>
#include <string>
#include <vector>

#include "conformance/fixture.h"

namespace conformance {
namespace {

using os::Dword;

class RegistryConformance : public ConformanceTest {
  protected:
    os::Key Create(const std::string& rest, Dword access = os::kKeyAllAccess,
                   Dword* disposition = nullptr) {
        os::Key key = nullptr;
        EXPECT_EQ(os::Reg().CreateKeyEx(os::CurrentUser(), Key(rest).c_str(), 0, access, &key,
                                        disposition),
                  0)
            << rest;
        return key;
    }
    long Open(const std::string& rest, Dword access, os::Key* key) {
        return os::Reg().OpenKeyEx(os::CurrentUser(), Key(rest).c_str(), access, key);
    }
};

TEST_F(RegistryConformance, ValuesOfEachTypeReadBackAsWritten) {
    struct Case {
        int line;
        Dword type;
        std::vector<uint8_t> data;
    };
    const Case cases[] = {
        {__LINE__, os::kRegSz, {'a', 'b', 'c', 0}},
        {__LINE__, os::kRegSz, {0}},
        {__LINE__, os::kRegExpandSz, {'%', 'T', 'E', 'M', 'P', '%', 0}},
        {__LINE__, os::kRegDword, {0x78, 0x56, 0x34, 0x12}},
        {__LINE__, os::kRegBinary, {0, 1, 2, 0xFF, 0x80}},
        {__LINE__, os::kRegBinary, {}},
        {__LINE__, os::kRegMultiSz, {'o', 'n', 'e', 0, 't', 'w', 'o', 0, 0}},
        {__LINE__, os::kRegNone, {9, 8}},
    };
    os::Key key = Create("");
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case at line " << c.line);
        ASSERT_EQ(os::Reg().SetValueEx(key, "v", c.type, c.data.data(),
                                       static_cast<Dword>(c.data.size())),
                  0);
        Dword type = 0, size = 64;
        uint8_t buffer[64] = {};
        ASSERT_EQ(os::Reg().QueryValueEx(key, "v", &type, buffer, &size), 0);
        EXPECT_EQ(type, c.type);
        ASSERT_EQ(size, c.data.size());
        EXPECT_EQ(std::vector<uint8_t>(buffer, buffer + size), c.data);
    }
    os::Reg().CloseKey(key);
}

TEST_F(RegistryConformance, ShortBufferGivesMoreDataAndTheNeededSize) {
    os::Key key = Create("");
    ASSERT_EQ(os::Reg().SetValueEx(key, "text", os::kRegSz, "abcdef", 7), 0);
    char buffer[8] = "xxxxxxx";
    Dword type = 0, size = 3;
    EXPECT_EQ(os::Reg().QueryValueEx(key, "text", &type, buffer, &size), os::kErrorMoreData);
    EXPECT_EQ(size, 7u);
    EXPECT_EQ(type, os::kRegSz);
    EXPECT_STREQ(buffer, "xxxxxxx");
    size = 0;
    EXPECT_EQ(os::Reg().QueryValueEx(key, "text", nullptr, buffer, &size), os::kErrorMoreData);
    EXPECT_EQ(size, 7u);
    os::Reg().CloseKey(key);
}

TEST_F(RegistryConformance, NullDataGivesTheSize) {
    os::Key key = Create("");
    const uint8_t bytes[5] = {1, 2, 3, 4, 5};
    ASSERT_EQ(os::Reg().SetValueEx(key, "bin", os::kRegBinary, bytes, 5), 0);
    ASSERT_EQ(os::Reg().SetValueEx(key, "text", os::kRegSz, "hello", 6), 0);
    Dword size = 0, type = 0;
    EXPECT_EQ(os::Reg().QueryValueEx(key, "bin", &type, nullptr, &size), 0);
    EXPECT_EQ(size, 5u);
    EXPECT_EQ(type, os::kRegBinary);
    size = 0;
    EXPECT_EQ(os::Reg().QueryValueEx(key, "text", nullptr, nullptr, &size), 0);
    EXPECT_EQ(size, 6u);
    os::Reg().CloseKey(key);
}

TEST_F(RegistryConformance, AStringWithoutItsTerminatorReadsBackWithOne) {
    os::Key key = Create("");
    const char text[] = "abc";
    ASSERT_EQ(os::Reg().SetValueEx(key, "text", os::kRegSz, text, 3), 0);
    char buffer[16] = {};
    Dword size = sizeof buffer;
    ASSERT_EQ(os::Reg().QueryValueEx(key, "text", nullptr, buffer, &size), 0);
    EXPECT_EQ(size, 4u);
    EXPECT_STREQ(buffer, "abc");
    os::Reg().CloseKey(key);
}

TEST_F(RegistryConformance, MissingKeysAndValues) {
    os::Key key = reinterpret_cast<os::Key>(1);
    EXPECT_EQ(Open("Missing", os::kKeyRead, &key), os::kErrorFileNotFound);
    EXPECT_EQ(key, nullptr);
    EXPECT_EQ(os::Reg().DeleteKey(os::CurrentUser(), Key("Missing").c_str()),
              os::kErrorFileNotFound);
    key = Create("");
    Dword type = 77, size = 4;
    char buffer[4];
    EXPECT_EQ(os::Reg().QueryValueEx(key, "none", &type, buffer, &size), os::kErrorFileNotFound);
    EXPECT_EQ(os::Reg().DeleteValue(key, "none"), os::kErrorFileNotFound);
    os::Reg().CloseKey(key);
}

TEST_F(RegistryConformance, CreatingTellsCreatedOrOpened) {
    Dword disposition = 0;
    os::Reg().CloseKey(Create("New", os::kKeyAllAccess, &disposition));
    EXPECT_EQ(disposition, 1u);
    os::Reg().CloseKey(Create("New", os::kKeyAllAccess, &disposition));
    EXPECT_EQ(disposition, 2u);
}

TEST_F(RegistryConformance, NtFamilyRefusesToDeleteAKeyWithSubkeys) {
    if (!machine().NtFamily()) GTEST_SKIP() << "the older platforms delete the tree";
    os::Reg().CloseKey(Create("Parent\\Child"));
    EXPECT_EQ(os::Reg().DeleteKey(os::CurrentUser(), Key("Parent").c_str()),
              os::kErrorAccessDenied);
    os::Key key = nullptr;
    EXPECT_EQ(Open("Parent\\Child", os::kKeyRead, &key), 0);
    os::Reg().CloseKey(key);
    EXPECT_EQ(os::Reg().DeleteKey(os::CurrentUser(), Key("Parent\\Child").c_str()), 0);
    EXPECT_EQ(os::Reg().DeleteKey(os::CurrentUser(), Key("Parent").c_str()), 0);
    EXPECT_EQ(Open("Parent", os::kKeyRead, &key), os::kErrorFileNotFound);
}

TEST_F(RegistryConformance, NamesAreCaseInsensitiveAndKeepTheirCase) {
    os::Key key = Create("MixedCase\\Sub");
    ASSERT_EQ(os::Reg().SetValueEx(key, "ValueName", os::kRegSz, "x", 2), 0);
    os::Reg().CloseKey(key);
    ASSERT_EQ(Open("mixedcase\\SUB", os::kKeyRead, &key), 0);
    char buffer[8];
    Dword size = sizeof buffer;
    EXPECT_EQ(os::Reg().QueryValueEx(key, "VALUENAME", nullptr, buffer, &size), 0);
    char name[32];
    Dword nameSize = sizeof name, dataSize = 0;
    ASSERT_EQ(os::Reg().EnumValue(key, 0, name, &nameSize, nullptr, nullptr, &dataSize), 0);
    EXPECT_STREQ(name, "ValueName");
    os::Reg().CloseKey(key);
    ASSERT_EQ(Open("", os::kKeyRead, &key), 0);
    nameSize = sizeof name;
    ASSERT_EQ(os::Reg().EnumKeyEx(key, 0, name, &nameSize), 0);
    EXPECT_STREQ(name, "MixedCase");
    os::Reg().CloseKey(key);
}

TEST_F(RegistryConformance, SubkeysEnumerateInNameOrderUpToNoMoreItems) {
    for (const char* name : {"b", "C", "a"}) os::Reg().CloseKey(Create(name));
    os::Key key = nullptr;
    ASSERT_EQ(Open("", os::kKeyRead, &key), 0);
    std::vector<std::string> names;
    for (Dword i = 0;; ++i) {
        char name[16];
        Dword size = sizeof name;
        const long err = os::Reg().EnumKeyEx(key, i, name, &size);
        if (err == os::kErrorNoMoreItems) break;
        ASSERT_EQ(err, 0);
        EXPECT_EQ(size, strlen(name));
        names.push_back(name);
        ASSERT_LT(i, 10u);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"a", "b", "C"}));
    os::Reg().CloseKey(key);
}

TEST_F(RegistryConformance, EnumerationBuffersMustHoldTheTerminator) {
    os::Reg().CloseKey(Create("Name5"));
    os::Key key = Create("");
    ASSERT_EQ(os::Reg().SetValueEx(key, "v", os::kRegSz, "foobar", 7), 0);
    char name[16];
    Dword size = 5;
    EXPECT_EQ(os::Reg().EnumKeyEx(key, 0, name, &size), os::kErrorMoreData);
    size = 6;
    EXPECT_EQ(os::Reg().EnumKeyEx(key, 0, name, &size), 0);
    EXPECT_EQ(size, 5u);
    char data[4];
    Dword nameSize = sizeof name, dataSize = sizeof data, type = 0;
    EXPECT_EQ(os::Reg().EnumValue(key, 0, name, &nameSize, &type, data, &dataSize),
              os::kErrorMoreData);
    EXPECT_EQ(dataSize, 7u);
    EXPECT_EQ(type, os::kRegSz);
    nameSize = sizeof name;
    EXPECT_EQ(os::Reg().EnumValue(key, 1, name, &nameSize, nullptr, nullptr, nullptr),
              os::kErrorNoMoreItems);
    os::Reg().CloseKey(key);
}

TEST_F(RegistryConformance, AKeyOpenedForReadingCannotBeWritten) {
    os::Key key = Create("");
    ASSERT_EQ(os::Reg().SetValueEx(key, "v", os::kRegSz, "x", 2), 0);
    os::Reg().CloseKey(key);
    ASSERT_EQ(Open("", os::kKeyRead, &key), 0);
    EXPECT_EQ(os::Reg().SetValueEx(key, "w", os::kRegSz, "y", 2), os::kErrorAccessDenied);
    EXPECT_EQ(os::Reg().DeleteValue(key, "v"), os::kErrorAccessDenied);
    os::Reg().CloseKey(key);
}

TEST_F(RegistryConformance, PathForms) {
    os::Reg().CloseKey(Create("Folder"));
    os::Key key = nullptr;
    EXPECT_EQ(Open("Folder\\", os::kKeyRead, &key), 0);
    os::Reg().CloseKey(key);
    const std::string leading = "\\" + Key("Folder");
    EXPECT_EQ(os::Reg().OpenKeyEx(os::CurrentUser(), leading.c_str(), os::kKeyRead, &key), 161);
    EXPECT_EQ(os::Reg().OpenKeyEx(os::ClassesRoot(), "", os::kKeyRead, &key), 0);
    EXPECT_EQ(key, os::ClassesRoot());
    EXPECT_EQ(os::Reg().CloseKey(nullptr), os::kErrorInvalidHandle);
}

}  // namespace
}  // namespace conformance

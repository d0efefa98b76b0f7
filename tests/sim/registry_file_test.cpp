// The registry file of a machine (regedit's export format).
#include <gtest/gtest.h>

#include "platform/sim/registry_store.h"
#include "platform/sim/text.h"

namespace sim {
namespace {

const char kSample[] =
    "Windows Registry Editor Version 5.00\n"
    "\n"
    "[HKEY_CURRENT_USER]\n"
    "\n"
    "[HKEY_CURRENT_USER\\Software]\n"
    "\n"
    "[HKEY_CURRENT_USER\\Software\\Velkor]\n"
    "@=\"default\"\n"
    "\"Path\"=\"C:\\\\Program Files\\\\Velkor\\\\\"\n"
    "\"Quote\"=\"say \\\"hi\\\"\"\n"
    "\"Cyrillic\"=\"Удаление\"\n"
    "\"Set\"=dword:0000001f\n"
    "\"Data\"=hex:56,6c,6b,21,1a,07,00,cf,90,73,00,00,0d,00,00,00,00,00,00,00,56,6c,\\\n"
    "  6b,21,1a,07,00\n"
    "\"Expand\"=hex(2):25,00,54,00,45,00,4d,00,50,00,25,00,00,00\n"
    "\"Multi\"=hex(7):61,00,00,00,62,00,00,00,00,00\n"
    "\"None\"=hex(0):01,02\n"
    "\"Empty\"=hex:\n"
    "\"NoEnd\"=hex(1):61,00\n"
    "\n"
    "[HKEY_LOCAL_MACHINE]\n"
    "\n";

TEST(RegistryFile, SavesWhatItLoadsByteForByte) {
    RegistryStore store;
    std::string error;
    ASSERT_TRUE(store.Load(kSample, &error)) << error;
    EXPECT_EQ(store.Save(), kSample);
    RegNode* key = store.Find(Hive::kCurrentUser, u"software\\VELKOR");
    ASSERT_NE(key, nullptr);
    ASSERT_NE(key->Value(u"set"), nullptr);
    EXPECT_EQ(key->Value(u"set")->type, 4u);
    EXPECT_EQ(key->Value(u"Set")->data, (std::vector<uint8_t>{0x1f, 0, 0, 0}));
    EXPECT_EQ(key->Value(u"Cyrillic")->data.size(), 18u);  // UTF-16 with its terminator
    EXPECT_EQ(key->Value(u"Data")->data.size(), 27u);
}

TEST(RegistryFile, ClassesRootLivesInTheMachineHive) {
    RegistryStore store;
    std::string error;
    ASSERT_TRUE(
        store.Load("REGEDIT4\r\n\r\n[HKEY_CLASSES_ROOT\\.zip]\r\n@=\"WinArc.zip\"\r\n", &error))
        << error;
    EXPECT_NE(store.Find(Hive::kLocalMachine, u"SOFTWARE\\Classes\\.zip"), nullptr);
    EXPECT_NE(
        store.Save().find("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\.zip]\n@=\"WinArc.zip\"\n"),
        std::string::npos);
}

TEST(RegistryFile, KeysAreWrittenInNameOrder) {
    RegistryStore store;
    for (const char16_t* name : {u"b", u"A", u"c", u"_x"}) store.Create(Hive::kLocalMachine, name);
    const std::string text = store.Save();
    EXPECT_LT(text.find("[HKEY_LOCAL_MACHINE\\A]"), text.find("[HKEY_LOCAL_MACHINE\\b]"));
    EXPECT_LT(text.find("[HKEY_LOCAL_MACHINE\\b]"), text.find("[HKEY_LOCAL_MACHINE\\c]"));
    EXPECT_LT(text.find("[HKEY_LOCAL_MACHINE\\c]"), text.find("[HKEY_LOCAL_MACHINE\\_x]"));
}

TEST(RegistryFile, DeletionLinesRemoveKeysAndValues) {
    RegistryStore store;
    std::string error;
    ASSERT_TRUE(
        store.Load("Windows Registry Editor Version 5.00\n[HKCU\\A\\B]\n\"v\"=\"1\"\n"
                   "\"w\"=\"2\"\n\"v\"=-\n[-HKCU\\A\\B]\n[HKCU\\C]\n",
                   &error))
        << error;
    EXPECT_EQ(store.Find(Hive::kCurrentUser, u"A\\B"), nullptr);
    EXPECT_NE(store.Find(Hive::kCurrentUser, u"A"), nullptr);
}

TEST(RegistryFile, CorruptFilesAreRejectedWithTheirLine) {
    struct Case {
        int line;
        std::string text;
        std::string where;
    };
    const Case cases[] = {
        {__LINE__, "", "line 1"},
        {__LINE__, "Windows Registry Editor Version 4.00\n", "line 1"},
        {__LINE__, "Windows Registry Editor Version 5.00\n\"v\"=\"x\"\n", "line 2"},
        {__LINE__, "Windows Registry Editor Version 5.00\n[HKLM\\A\n", "line 2"},
        {__LINE__, "Windows Registry Editor Version 5.00\n[HKEY_DYN_DATA\\A]\n", "line 2"},
        {__LINE__, "Windows Registry Editor Version 5.00\n[HKLM\\A]\n\"v\"=hex:1g\n", "line 3"},
        {__LINE__, "Windows Registry Editor Version 5.00\n[HKLM\\A]\n\"v\"=dword:123456789\n",
         "line 3"},
        {__LINE__, "Windows Registry Editor Version 5.00\n[HKLM\\A]\n\"v\"=\"open\n", "line 3"},
        {__LINE__, "Windows Registry Editor Version 5.00\n[HKLM\\A]\n\"v\"=\"a\\q\"\n", "line 3"},
        {__LINE__, "Windows Registry Editor Version 5.00\n[HKLM\\A]\n\"v\"=word:1\n", "line 3"},
        {__LINE__, "Windows Registry Editor Version 5.00\n[HKLM\\A]\njunk\n", "line 3"},
        {__LINE__, "Windows Registry Editor Version 5.00\n[HKLM\\A]\n\"v\"=hex:01,\\\n  zz\n",
         "line 3"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case at line " << c.line);
        RegistryStore store;
        store.Create(Hive::kLocalMachine, u"Kept");
        std::string error;
        EXPECT_FALSE(store.Load(c.text, &error));
        EXPECT_EQ(error.find(c.where), 0u) << error;
        EXPECT_NE(store.Find(Hive::kLocalMachine, u"Kept"), nullptr);  // unchanged
    }
}

TEST(RegistryFile, LongHexValuesAreWrappedAsRegeditDoes) {
    RegistryStore store;
    store.Create(Hive::kLocalMachine, u"A")->SetValue(u"v", 3, std::vector<uint8_t>(100, 0xAB));
    const std::string text = store.Save();
    size_t longest = 0, start = 0;
    while (start < text.size()) {
        const size_t end = text.find('\n', start);
        longest = std::max(longest, end - start);
        start = end + 1;
    }
    EXPECT_LE(longest, 80u);
    RegistryStore again;
    std::string error;
    ASSERT_TRUE(again.Load(text, &error)) << error;
    EXPECT_EQ(again.Find(Hive::kLocalMachine, u"A")->Value(u"v")->data.size(), 100u);
}

}  // namespace
}  // namespace sim

// Registry files exported by regedit on a real machine, in both of its forms,
// read and merged into the simulated registry.
#include <gtest/gtest.h>

#include "platform/sim/registry_store.h"
#include "platform/sim/text.h"
#include "support/sim_machine.h"

namespace sim {
namespace {

const RegValue* ValueAt(const RegistryStore& store, Hive hive, const char16_t* key,
                        const char16_t* name) {
    RegNode* node = store.Find(hive, key);
    return node ? node->Value(name) : nullptr;
}

// The same keys in the Unicode form and in the ANSI form (code page 1251):
// a Cyrillic text, a REG_EXPAND_SZ with Cyrillic letters continued over
// lines, and the other roots.
TEST(RegistryImport, BothFormsOfAnExportReadAsTheSameRegistry) {
    const std::string unicode = Utf16File(
        "Windows Registry Editor Version 5.00\r\n\r\n"
        "[HKEY_CLASSES_ROOT\\.zip]\r\n@=\"WinArc.zip\"\r\n\r\n"
        "[HKEY_CURRENT_USER\\Software\\Арх]\r\n"
        "\"Имя\"=\"Архиватор\"\r\n"
        "\"Путь\"=hex(2):25,00,54,00,45,00,4d,00,50,00,25,00,5c,00,10,04,40,04,45,04,\\\r\n"
        "  00,00\r\n"
        "\"Q\"=hex(b):01,00,00,00,00,00,00,00\r\n"
        "\"M\"=hex(7):61,00,00,00,00,00\r\n\r\n"
        "[HKEY_USERS\\.DEFAULT\\Software]\r\n\"D\"=dword:00000010\r\n\r\n"
        "[HKEY_CURRENT_CONFIG\\Software\\Fonts]\r\n\"LogPixels\"=dword:00000060\r\n");
    const std::string ansi =
        "REGEDIT4\r\n\r\n"
        "[HKEY_CLASSES_ROOT\\.zip]\r\n@=\"WinArc.zip\"\r\n\r\n"
        "[HKEY_CURRENT_USER\\Software\\\xC0\xF0\xF5]\r\n"
        "\"\xC8\xEC\xFF\"=\"\xC0\xF0\xF5\xE8\xE2\xE0\xF2\xEE\xF0\"\r\n"
        "\"\xCF\xF3\xF2\xFC\"=hex(2):25,54,45,4d,50,25,5c,\\\r\n"
        "  c0,f0,f5,00\r\n"
        "\"Q\"=hex(b):01,00,00,00,00,00,00,00\r\n"
        "\"M\"=hex(7):61,00,00\r\n\r\n"
        "[HKEY_USERS\\.DEFAULT\\Software]\r\n\"D\"=dword:00000010\r\n\r\n"
        "[HKEY_CURRENT_CONFIG\\Software\\Fonts]\r\n\"LogPixels\"=dword:00000060\r\n";
    const CodePage* cp1251 = CodePage::Find(1251);
    ASSERT_NE(cp1251, nullptr);
    for (const std::string* file : {&unicode, &ansi}) {
        SCOPED_TRACE(file == &unicode ? "Unicode form" : "ANSI form");
        RegistryStore store;
        std::string error;
        ASSERT_TRUE(store.Load(*file, &error, cp1251)) << error;
        const RegValue* zip = ValueAt(store, Hive::kLocalMachine, u"SOFTWARE\\Classes\\.zip", u"");
        ASSERT_NE(zip, nullptr);
        EXPECT_EQ(zip->data, RegSzBytes("WinArc.zip"));
        const RegValue* name = ValueAt(store, Hive::kCurrentUser, u"software\\АРХ", u"имя");
        ASSERT_NE(name, nullptr);
        EXPECT_EQ(name->type, 1u);
        EXPECT_EQ(name->data, RegSzBytes("Архиватор"));
        const RegValue* path = ValueAt(store, Hive::kCurrentUser, u"Software\\Арх", u"Путь");
        ASSERT_NE(path, nullptr);
        EXPECT_EQ(path->type, 2u);
        EXPECT_EQ(path->data, RegSzBytes("%TEMP%\\Арх"));
        const RegValue* multi = ValueAt(store, Hive::kCurrentUser, u"Software\\Арх", u"M");
        ASSERT_NE(multi, nullptr);
        EXPECT_EQ(multi->data, (std::vector<uint8_t>{'a', 0, 0, 0, 0, 0}));
        const RegValue* qword = ValueAt(store, Hive::kCurrentUser, u"Software\\Арх", u"Q");
        ASSERT_NE(qword, nullptr);
        EXPECT_EQ(qword->type, 11u);
        EXPECT_EQ(qword->data.size(), 8u);
        EXPECT_NE(ValueAt(store, Hive::kUsers, u".DEFAULT\\Software", u"D"), nullptr);
        EXPECT_NE(ValueAt(store, Hive::kLocalMachine,
                          u"SYSTEM\\CurrentControlSet\\Hardware Profiles\\Current\\Software\\Fonts",
                          u"LogPixels"),
                  nullptr);
        // The machine's own file keeps the other users' hive.
        RegistryStore again;
        ASSERT_TRUE(again.Load(store.Save(), &error)) << error;
        EXPECT_NE(ValueAt(again, Hive::kUsers, u".DEFAULT\\Software", u"D"), nullptr);
        EXPECT_EQ(again.Save(), store.Save());
    }
}

TEST(RegistryImport, AnImportMergesOverWhatIsThere) {
    RegistryStore store;
    store.Create(Hive::kCurrentUser, u"Kept\\Below")->SetValue(u"v", 4, {1, 0, 0, 0});
    store.Create(Hive::kCurrentUser, u"Gone\\Below");
    store.Create(Hive::kCurrentUser, u"Mixed")->SetValue(u"old", 4, {1, 0, 0, 0});
    store.Create(Hive::kCurrentUser, u"Mixed")->SetValue(u"drop", 4, {1, 0, 0, 0});
    std::string error;
    ASSERT_TRUE(
        store.Import("Windows Registry Editor Version 5.00\r\n[-HKEY_CURRENT_USER\\Gone]\r\n"
                     "[HKEY_CURRENT_USER\\Mixed]\r\n\"new\"=\"x\"\r\n\"old\"=dword:2\r\n"
                     "\"drop\"=-\r\n",
                     &error))
        << error;
    EXPECT_NE(ValueAt(store, Hive::kCurrentUser, u"Kept\\Below", u"v"), nullptr);
    EXPECT_EQ(store.Find(Hive::kCurrentUser, u"Gone"), nullptr);
    EXPECT_NE(ValueAt(store, Hive::kCurrentUser, u"Mixed", u"new"), nullptr);
    EXPECT_EQ(ValueAt(store, Hive::kCurrentUser, u"Mixed", u"old")->data,
              (std::vector<uint8_t>{2, 0, 0, 0}));
    EXPECT_EQ(ValueAt(store, Hive::kCurrentUser, u"Mixed", u"drop"), nullptr);
}

TEST(RegistryImport, BadExportsAreRefusedWithTheirLineAndChangeNothing) {
    struct Case {
        int line;
        std::string file;
        std::string error;  // its beginning
    };
    const Case cases[] = {
        {__LINE__, "PK\x03\x04 not a registry file", "line 1: not a registry file"},
        {__LINE__,
         Utf16File("Windows Registry Editor Version 5.00\r\n[HKEY_CURRENT_USER\\A]\r\n")
             .substr(0, 9),
         "line 1: the UTF-16 text ends in half a character"},
        {__LINE__,
         Utf16File("Windows Registry Editor Version 5.00\r\n[HKEY_CURRENT_USER\\A]\r\n@=\"x\"") +
             "\x01",
         "line 3: the UTF-16 text ends in half a character"},
        {__LINE__,
         Utf16File("Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\A]\r\n@=x\r\n"),
         "line 4: unknown value data"},
        {__LINE__, "REGEDIT4\r\n[HKEY_DYN_DATA\\PerfStats]\r\n",
         "line 2: unknown root key HKEY_DYN_DATA"},
        {__LINE__, "REGEDIT4\r\n[HKEY_CURRENT_USER\\A]\r\n\"v\"=hex:0,1x\r\n",
         "line 3: bad hex byte list"},
        {__LINE__, "REGEDIT4\r\n[HKEY_CURRENT_USER\\A]\r\n\"v\"=hex(2):41,\\\r\n  4\xC0\r\n",
         "line 3: bad hex byte list"},
        {__LINE__, "REGEDIT4\r\n[HKEY_CURRENT_USER\\A\r\n",
         "line 2: key line without its closing ]"},
        {__LINE__, "REGEDIT4\r\n[HKEY_CURRENT_USER\\A]\r\nv=1\r\n",
         "line 3: neither a [key] nor a value"},
    };
    const CodePage* cp1251 = CodePage::Find(1251);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case at line " << c.line);
        RegistryStore store;
        store.Create(Hive::kCurrentUser, u"Kept");
        std::string error;
        EXPECT_FALSE(store.Import(c.file, &error, cp1251));
        EXPECT_EQ(error.rfind(c.error, 0), 0u) << error;
        EXPECT_NE(store.Find(Hive::kCurrentUser, u"Kept"), nullptr);
        EXPECT_EQ(store.Find(Hive::kCurrentUser, u"A"), nullptr);
    }
}

}  // namespace
}  // namespace sim

// Where GetString takes each text from: the language module, the program's
// own table and the language file; the ring of buffers; loading and unloading
// the language module.
#include "localisation/strings.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "localisation/ext_resource.h"
#include "localisation/language_resources.h"
#include "localisation/lng_fixture.h"
#include "localisation/text_key.h"
#include "platform/sim/machine.h"

namespace lng_test {
namespace {

struct ProgramString {
    int id;
    const char* utf8;
};
// The program's own table, as its users read it.
const ProgramString kProgramStrings[] = {
    {5101, "Архиватор Velkor"},
    {5102, "Справка Velkor"},
    {5103, "Руководство по консольной версии VLK"},
    {5104, "Удаление Velkor"},
    {5105, "Удаление завершено"},
    {5106, "Вы должны удалить %s самостоятельно"},
    {5107, "Вы действительно хотите удалить Velkor?"},
    {5108, "Невозможно открыть файл со списком %s"},
    {5109, "Архив Velkor"},
    {5110, "Архив ZIP - Velkor"},
    {5111, "Том VLK для восстановления"},
    {5113, "Обрабатывает VLK, ZIP и архивы других форматов"},
    {5114, "Для завершения удаления Velkor необходимо перезагрузить Windows."},
};

std::string Own(int id) {
    for (const ProgramString& s : kProgramStrings) {
        if (s.id == id) return Cp1251(s.utf8);
    }
    return "";
}

using StringsTest = LocalisationTest;

TEST_F(StringsTest, ProgramTableInCodePage1251) {
    StartLocalisation();
    for (const ProgramString& s : kProgramStrings) {
        EXPECT_EQ(GetString(s.id), Cp1251(s.utf8)) << s.id;
    }
    EXPECT_STREQ(GetString(5112), "");
    EXPECT_STREQ(GetString(5100), "");
}

TEST_F(StringsTest, WhichSourceSuppliesEachString) {
    struct Case {
        int line;
        std::string module;  // host path of the language module, or none
        bool languageFile;   // translates 5104 and 5107, and the empty text
        int id;
        std::string text;
    };
    const std::string translated5104 = "Uninstall (file)";
    const std::string translated5107 = "Really? (file)";
    const Case cases[] = {
        // Neither: the program's own strings.
        {__LINE__, "", false, 5104, Own(5104)},
        {__LINE__, "", false, 5112, ""},
        // A module alone: its strings, the program's own where it has none.
        {__LINE__, EnglishModulePath(), false, 5104, "Velkor uninstall"},
        {__LINE__, EnglishModulePath(), false, 5113,
         "Handles VLK, ZIP and archives of other formats"},
        {__LINE__, RtlTestModulePath(), false, 5101, "Test module: archiver"},
        {__LINE__, RtlTestModulePath(), false, 5107, Own(5107)},  // missing in the module
        {__LINE__, RtlTestModulePath(), false, 5104, Own(5104)},  // empty in the module
        {__LINE__, RtlTestModulePath(), false, 5112, ""},
        // A language file alone: the program's own strings, translated.
        {__LINE__, "", true, 5104, translated5104},
        {__LINE__, "", true, 5105, Own(5105)},
        {__LINE__, "", true, 5112, "(empty text)"},
        // Both: the module's string table is not used at all.
        {__LINE__, EnglishModulePath(), true, 5104, translated5104},
        {__LINE__, EnglishModulePath(), true, 5105, Own(5105)},
        {__LINE__, RtlTestModulePath(), true, 5107, translated5107},
        {__LINE__, RtlTestModulePath(), true, 5101, Own(5101)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case at line " << c.line);
        UseMachine(1251);
        if (!c.module.empty()) PutModule(c.module);
        if (c.languageFile) {
            PutLanguageFile(LanguageFile(Entry(kKeyTypeString, nullptr, Own(5104), translated5104) +
                                         Entry(kKeyTypeString, nullptr, Own(5107), translated5107) +
                                         Entry(kKeyTypeString, nullptr, "", "(empty text)")));
        }
        StartLocalisation();
        EXPECT_EQ(TheExtResource().IsLoaded(), !c.module.empty());
        EXPECT_EQ(TheLanguageResources().IsLoaded(), c.languageFile);
        EXPECT_EQ(GetString(c.id), c.text);
    }
}

TEST_F(StringsTest, RingOfEightBuffers) {
    StartLocalisation();
    const int ids[] = {5101, 5102, 5103, 5104, 5105, 5106, 5107, 5108, 5109};
    const char* results[9];
    std::set<const char*> buffers;
    for (int i = 0; i < 9; ++i) {
        results[i] = GetString(ids[i]);
        if (i < 8) buffers.insert(results[i]);
    }
    EXPECT_EQ(buffers.size(), 8u);
    // The ninth call reuses the first one's buffer, which now holds its text.
    EXPECT_EQ(results[8], results[0]);
    EXPECT_EQ(results[0], Own(5109));
    // The texts of calls two to eight are intact.
    for (int i = 1; i < 8; ++i) EXPECT_EQ(results[i], Own(ids[i])) << ids[i];
}

TEST_F(StringsTest, LongTranslationIsCutToTheRingBuffer) {
    PutLanguageFile(LanguageFile(Entry(kKeyTypeString, nullptr, Own(5104), std::string(700, 'L'))));
    StartLocalisation();
    EXPECT_EQ(GetString(5104), std::string(kStringSize - 1, 'L'));
    // The buffers beside it are untouched.
    EXPECT_EQ(GetString(5105), Own(5105));
}

TEST_F(StringsTest, LoadAndUnloadTheModule) {
    PutModule(EnglishModulePath());
    TheExtResource().Load(Instance(), nullptr);
    ASSERT_TRUE(TheExtResource().IsLoaded());
    EXPECT_NE(ResourceModule(), ProgramModule());
    EXPECT_EQ(ProgramModule(), Instance());

    TheExtResource().Unload();
    EXPECT_FALSE(TheExtResource().IsLoaded());
    EXPECT_EQ(ResourceModule(), ProgramModule());
    const size_t traced = machine().TraceLines().size();
    TheExtResource().Unload();  // nothing left to do
    EXPECT_EQ(machine().TraceLines().size(), traced);
    EXPECT_EQ(ResourceModule(), ProgramModule());
    // Texts come from the program's own table again.
    EXPECT_EQ(GetString(5104), Own(5104));
}

TEST_F(StringsTest, ModuleThatCannotBeLoadedIsSilent) {
    struct Case {
        int line;
        std::string bytes;  // of vlklng.dll beside the program; none when empty
    };
    const Case cases[] = {
        {__LINE__, ""},
        {__LINE__, "not a library"},
        {__LINE__, "MZ" + std::string(100, '\0')},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case at line " << c.line);
        UseMachine(1251);
        if (!c.bytes.empty()) PutFile(ProgramFolder() + "vlklng.dll", c.bytes);
        TheExtResource().Load(Instance(), nullptr);
        EXPECT_FALSE(TheExtResource().IsLoaded());
        EXPECT_EQ(ResourceModule(), Instance());
        EXPECT_EQ(ProgramModule(), Instance());
        EXPECT_EQ(GetString(5104), Own(5104));
    }
}

TEST_F(StringsTest, ModuleIsLookedForBesideTheGivenPath) {
    machine().Files().CreateDirectory("C:\\Other");
    PutFile("C:\\Other\\vlklng.dll", ReadHostFile(EnglishModulePath()));
    TheExtResource().Load(Instance(), nullptr);
    EXPECT_FALSE(TheExtResource().IsLoaded());
    TheExtResource().Load(Instance(), "C:\\Other\\uninstall.exe");
    EXPECT_TRUE(TheExtResource().IsLoaded());
    EXPECT_STREQ(GetString(5104), "Velkor uninstall");
    // A name without a folder would be looked for along the search path.
    TheExtResource().Load(Instance(), "uninstall.exe");
    EXPECT_FALSE(TheExtResource().IsLoaded());
    EXPECT_EQ(ResourceModule(), Instance());
}

}  // namespace
}  // namespace lng_test

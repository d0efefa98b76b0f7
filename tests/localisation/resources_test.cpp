// The program's compiled resources and the language modules as the simulated
// machine reads them: the dialog templates, the string table, the icons and
// the manifest; and the readers of .res and PE files and of dialog templates
// on damaged input.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "localisation/lng_fixture.h"
#include "platform/platform.h"
#include "platform/sim/pe_resources.h"
#include "platform/sim/res_dialog.h"
#include "platform/sim/text.h"

namespace lng_test {
namespace {

// Window and control styles of the templates.
constexpr uint32_t kWsPopup = 0x80000000, kWsVisible = 0x10000000, kWsCaption = 0x00C00000,
                   kWsSysMenu = 0x00080000, kWsVScroll = 0x00200000, kWsTabStop = 0x00010000,
                   kWsChild = 0x40000000, kDsModalFrame = 0x80, kDsCenter = 0x800,
                   kDsSetFont = 0x40, kEsMultiLine = 0x4, kEsReadOnly = 0x800, kSsEtchedHorz = 0x10;

enum Kind { kPush, kDefPush, kCheck, kGroup, kLine, kRichEdit };

struct Control {
    uint16_t id;
    Kind kind;
    const char* text;  // UTF-8
    int16_t x, y, cx, cy;
};

const char kDescription[] =
    "Эти параметры позволяют встроить Velkor в Windows. Здесь вы можете отметить те типы архивов, "
    "которые по умолчанию будет обрабатывать Velkor. Пункты в группе 'Интерфейс' позволяют "
    "добавить в систему ярлыки для быстрого вызова Velkor. Пункты в группе 'Интеграция с "
    "оболочкой Windows' управляют встраиванием Velkor в оболочку (в Проводник) ОС, благодаря чему "
    "становятся доступны такие удобные дополнения, как, например, команда 'Извлечь' в контекстном "
    "меню архивов. Причин выключать этот параметр, как правило, нет. Более полную информацию об "
    "этих параметрах см. в Справке.";

const Control kSetupControls[] = {
    {1, kPush, "OK", 111, 224, 50, 14},
    {65535, kGroup, "Ассоциировать Velkor с:", 7, 5, 117, 132},
    {5101, kCheck, "&VLK", 16, 21, 37, 12},
    {5102, kCheck, "&ZIP", 16, 33, 37, 12},
    {5103, kCheck, "&CAB", 16, 45, 37, 12},
    {5104, kCheck, "&ARJ", 16, 57, 37, 12},
    {5105, kCheck, "&LZH", 16, 69, 37, 12},
    {5106, kCheck, "AC&E", 16, 81, 37, 12},
    {5107, kCheck, "&7-Zip", 16, 93, 37, 12},
    {5108, kCheck, "&TAR", 80, 21, 37, 12},
    {5109, kCheck, "&GZip", 80, 33, 37, 12},
    {5110, kCheck, "&UUE", 80, 45, 37, 12},
    {5111, kCheck, "&BZ2", 80, 57, 37, 12},
    {5112, kCheck, "&JAR", 80, 69, 37, 12},
    {5113, kCheck, "&ISO", 80, 81, 37, 12},
    {5114, kCheck, "Z", 80, 93, 37, 12},
    {65535, kLine, "", 8, 114, 118, 1},
    {5121, kPush, "Выбрать &все", 16, 119, 99, 14},
    {65535, kGroup, "Интерфейс", 130, 5, 194, 57},
    {5115, kCheck, "Добавить значок Velkor на Рабочий &стол", 138, 19, 180, 12},
    {5116, kCheck, "Добавить значок Velkor в меню '&Пуск'", 138, 31, 180, 12},
    {5117, kCheck, "Создать программную &группу Velkor", 138, 43, 180, 12},
    {5118, kCheck, "Встроить Velkor в &оболочку (в Проводник)", 138, 78, 180, 12},
    {65535, kGroup, "Интеграция с оболочкой Windows", 130, 65, 194, 72},
    {5119, kCheck, "Использовать вложенные &контекстные меню", 138, 90, 180, 12},
    {5120, kCheck, "Отображать &значки в контекстных меню", 138, 102, 180, 12},
    {9, kPush, "Справка", 169, 224, 50, 14},
    {65535, kGroup, "", 7, 139, 317, 78},
    {5122, kRichEdit, kDescription, 12, 147, 306, 65},
    {5123, kPush, "Выбрать &элементы контекстного меню...", 138, 119, 176, 14},
};

const Control kContextControls[] = {
    {65535, kGroup, "Пункты, отображаемые в контекстном меню Проводника:", 7, 7, 229, 154},
    {101, kCheck, "&Извлечь файлы...", 16, 21, 210, 12},
    {102, kCheck, "Извлечь в &текущую папку", 16, 33, 210, 12},
    {103, kCheck, "Из&влечь в <папку\\>", 16, 45, 210, 12},
    {104, kCheck, "Извлечь каждый выбранный архив в &отдельную папку", 16, 57, 210, 12},
    {105, kCheck, "От&крыть в Velkor (для SFX-архивов)", 16, 69, 210, 12},
    {106, kCheck, "&Добавить в архив...", 16, 81, 210, 12},
    {107, kCheck, "До&бавить в <имя архива>", 16, 93, 210, 12},
    {108, kCheck, "Доб&авить в архив <имя архива> и отправить по e-mail", 16, 105, 210, 12},
    {109, kCheck, "Добавит&ь в архив и отправить по e-mail...", 16, 117, 210, 12},
    {110, kCheck, "Прот&естировать архив", 16, 129, 210, 12},
    {111, kCheck, "&Преобразовать архив...", 16, 141, 210, 12},
    {1, kDefPush, "OK", 35, 168, 50, 14},
    {2, kPush, "Отмена", 97, 168, 50, 14},
    {9, kPush, "Справка", 158, 168, 50, 14},
};

struct ExpectedDialog {
    const char* name;
    const char* caption;
    uint32_t style;
    int16_t x, y, cx, cy;
    const Control* controls;
    size_t count;
};

const ExpectedDialog kDialogs[] = {
    {"SETUPDLG", "Установка Velkor",
     kWsPopup | kWsVisible | kWsCaption | kWsSysMenu | kDsModalFrame | kDsCenter | kDsSetFont, 53,
     47, 331, 245, kSetupControls, std::size(kSetupControls)},
    {"CONTEXTITEMS", "Элементы контекстного меню",
     kWsPopup | kWsVisible | kWsCaption | kWsSysMenu | kDsModalFrame | kDsSetFont, 42, 45, 243, 188,
     kContextControls, std::size(kContextControls)},
};

// The class and style that a kind of control has in the template.
void ExpectKind(const sim::DialogItem& item, Kind kind) {
    const std::string className = sim::Utf16ToUtf8(item.ClassName());
    const uint32_t type = item.style & 0xF;
    EXPECT_TRUE(item.style & kWsChild);
    EXPECT_TRUE(item.style & kWsVisible);
    switch (kind) {
        case kPush:
        case kDefPush:
            EXPECT_EQ(className, "Button");
            EXPECT_EQ(type, kind == kPush ? 0u : 1u);
            EXPECT_TRUE(item.style & kWsTabStop);
            break;
        case kCheck:
            EXPECT_EQ(className, "Button");
            EXPECT_EQ(type, 3u);  // BS_AUTOCHECKBOX
            EXPECT_TRUE(item.style & kWsTabStop);
            break;
        case kGroup:
            EXPECT_EQ(className, "Button");
            EXPECT_EQ(type, 7u);  // BS_GROUPBOX
            break;
        case kLine:
            EXPECT_EQ(className, "Static");
            EXPECT_EQ(item.style & 0x1F, kSsEtchedHorz);
            break;
        case kRichEdit:
            EXPECT_EQ(className, "RICHEDIT");
            EXPECT_EQ(item.style & (kEsMultiLine | kEsReadOnly | kWsVScroll | kWsTabStop),
                      kEsMultiLine | kEsReadOnly | kWsVScroll | kWsTabStop);
            break;
    }
}

std::unique_ptr<sim::ResourceSet> ModuleResources(const std::string& path) {
    const std::string bytes = ReadHostFile(path);
    std::string error;
    auto set = sim::ResourceSet::FromPe(std::vector<uint8_t>(bytes.begin(), bytes.end()), &error);
    EXPECT_TRUE(set) << path << ": " << error;
    return set;
}

sim::DialogTemplate Dialog(const sim::ResourceSet& set, const char* name) {
    sim::DialogTemplate dialog;
    const std::vector<uint8_t>* bytes = set.Find(os::IntResource(os::kRtDialog), name);
    EXPECT_TRUE(bytes) << name;
    std::string error;
    if (bytes) {
        EXPECT_TRUE(sim::ParseDialogTemplate(*bytes, &dialog, &error)) << error;
    }
    return dialog;
}

TEST(ProgramResources, DialogTemplates) {
    for (const ExpectedDialog& want : kDialogs) {
        SCOPED_TRACE(want.name);
        const sim::DialogTemplate dialog = Dialog(sim::ProgramResources(), want.name);
        EXPECT_EQ(sim::Utf16ToUtf8(dialog.caption), want.caption);
        EXPECT_EQ(dialog.style, want.style);
        EXPECT_EQ(dialog.exStyle, 0u);
        EXPECT_EQ(std::vector<int>({dialog.x, dialog.y, dialog.cx, dialog.cy}),
                  std::vector<int>({want.x, want.y, want.cx, want.cy}));
        EXPECT_TRUE(dialog.hasFont);
        EXPECT_EQ(dialog.pointSize, 8);
        EXPECT_EQ(sim::Utf16ToUtf8(dialog.typeface), "MS Sans Serif");
        EXPECT_FALSE(dialog.menu.present);
        EXPECT_FALSE(dialog.windowClass.present);
        ASSERT_EQ(dialog.items.size(), want.count);
        for (size_t i = 0; i < want.count; ++i) {
            const Control& c = want.controls[i];
            const sim::DialogItem& item = dialog.items[i];
            SCOPED_TRACE(testing::Message() << "control " << i << " (id " << c.id << ")");
            EXPECT_EQ(item.id, c.id);
            EXPECT_EQ(sim::Utf16ToUtf8(item.title.text), c.text);
            EXPECT_EQ(std::vector<int>({item.x, item.y, item.cx, item.cy}),
                      std::vector<int>({c.x, c.y, c.cx, c.cy}));
            ExpectKind(item, c.kind);
        }
    }
}

TEST(ProgramResources, IconsManifestAndStrings) {
    const sim::ResourceSet& program = sim::ProgramResources();
    // The program file's icon is its first icon group.
    const std::vector<std::string> groups = program.Names(os::IntResource(os::kRtGroupIcon));
    EXPECT_EQ(groups, std::vector<std::string>({"DELICON", "VLKICON"}));
    for (const char* name : {"DELICON", "VLKICON", "vlkicon"}) {
        const std::vector<uint8_t>* group = program.Find(os::IntResource(os::kRtGroupIcon), name);
        ASSERT_TRUE(group) << name;
        // A group header and at least the 16x16 and 32x32 images.
        ASSERT_GE(group->size(), 6u + 2 * 14u) << name;
        EXPECT_GE((*group)[4], 2) << name;
    }
    EXPECT_FALSE(program.Find(os::IntResource(os::kRtDialog), "RTL"));

    const std::vector<uint8_t>* manifest =
        program.Find(os::IntResource(os::kRtManifest), os::IntResource(1));
    ASSERT_TRUE(manifest);
    const std::string xml(manifest->begin(), manifest->end());
    EXPECT_NE(xml.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""),
              std::string::npos)
        << xml;

    const std::vector<unsigned> ids = program.StringIds();
    EXPECT_EQ(ids, std::vector<unsigned>({5101, 5102, 5103, 5104, 5105, 5106, 5107, 5108, 5109,
                                          5110, 5111, 5113, 5114}));
}

TEST(LanguageModules, EnglishModuleHasWhatTheProgramTakesFromIt) {
    auto english = ModuleResources(EnglishModulePath());
    auto english64 = ModuleResources(EnglishModule64Path());
    ASSERT_TRUE(english && english64);
    const sim::ResourceSet& program = sim::ProgramResources();
    EXPECT_EQ(english->StringIds(), program.StringIds());
    for (unsigned id : program.StringIds()) {
        EXPECT_FALSE(english->String(id).empty()) << id;
        EXPECT_EQ(english->String(id), english64->String(id)) << id;
    }
    EXPECT_EQ(sim::Utf16ToUtf8(english->String(5106)), "You must delete %s yourself");
    EXPECT_TRUE(english->Find(os::IntResource(os::kRtGroupIcon), "VLKICON"));
    EXPECT_FALSE(english->Find(os::IntResource(os::kRtDialog), "RTL"));
    for (const ExpectedDialog& want : kDialogs) {
        SCOPED_TRACE(want.name);
        const sim::DialogTemplate own = Dialog(program, want.name);
        const sim::DialogTemplate translated = Dialog(*english, want.name);
        const sim::DialogTemplate translated64 = Dialog(*english64, want.name);
        ASSERT_EQ(translated.items.size(), own.items.size());
        ASSERT_EQ(translated64.items.size(), own.items.size());
        EXPECT_NE(translated.caption, own.caption);
        for (size_t i = 0; i < own.items.size(); ++i) {
            EXPECT_EQ(translated.items[i].id, own.items[i].id) << i;
            EXPECT_EQ(translated.items[i].style, own.items[i].style) << i;
            EXPECT_EQ(translated.items[i].ClassName(), own.items[i].ClassName()) << i;
            EXPECT_EQ(translated64.items[i].title.text, translated.items[i].title.text) << i;
        }
    }
}

TEST(LanguageModules, RightToLeftTestModule) {
    auto module = ModuleResources(RtlTestModulePath());
    ASSERT_TRUE(module);
    EXPECT_TRUE(module->Find(os::IntResource(os::kRtDialog), "RTL"));
    EXPECT_TRUE(module->Find(os::IntResource(os::kRtDialog), "rtl"));
    EXPECT_FALSE(module->Find(os::IntResource(os::kRtDialog), "RTLX"));
    EXPECT_FALSE(module->Find(os::IntResource(os::kRtString), "RTL"));
    EXPECT_TRUE(module->String(5107).empty());
    EXPECT_TRUE(module->String(5104).empty());
    EXPECT_EQ(sim::Utf16ToUtf8(module->String(5101)), "Test module: archiver");
    // Its RTL dialog is an extended template.
    const sim::DialogTemplate rtl = Dialog(*module, "RTL");
    EXPECT_TRUE(rtl.extended);
    EXPECT_EQ(rtl.helpId, 77u);
    EXPECT_EQ(rtl.exStyle, 0x00400000u);
    EXPECT_EQ(std::vector<int>({rtl.x, rtl.y, rtl.cx, rtl.cy}),
              std::vector<int>({10, 20, 100, 50}));
    EXPECT_EQ(sim::Utf16ToUtf8(rtl.caption), "Right to left");
    EXPECT_EQ(rtl.pointSize, 9);
    EXPECT_EQ(rtl.weight, 700);
    EXPECT_TRUE(rtl.italic);
    EXPECT_EQ(rtl.charset, 204);
    EXPECT_EQ(sim::Utf16ToUtf8(rtl.typeface), "Tahoma");
    ASSERT_EQ(rtl.items.size(), 2u);
    EXPECT_EQ(rtl.items[0].id, 100u);
    EXPECT_EQ(sim::Utf16ToUtf8(rtl.items[0].ClassName()), "Static");
    EXPECT_EQ(sim::Utf16ToUtf8(rtl.items[0].title.text), "Text");
    EXPECT_EQ(rtl.items[1].id, 101u);
    EXPECT_EQ(rtl.items[1].helpId, 55u);
    EXPECT_EQ(rtl.items[1].exStyle, 0x200u);  // WS_EX_CLIENTEDGE
    EXPECT_EQ(sim::Utf16ToUtf8(rtl.items[1].ClassName()), "Button");
}

TEST(ResourceNames, LookUpAsFindResourceDoes) {
    const sim::ResourceSet& program = sim::ProgramResources();
    const char* dialog = os::IntResource(os::kRtDialog);
    EXPECT_TRUE(program.Find(dialog, "setupdlg"));
    EXPECT_TRUE(program.Find("#5", "SETUPDLG"));
    EXPECT_FALSE(program.Find("#5x", "SETUPDLG"));
    EXPECT_FALSE(program.Find("#", "SETUPDLG"));
    EXPECT_FALSE(program.Find(dialog, "SETUPDL"));
    EXPECT_FALSE(program.Find(dialog, "SETUPDLGX"));
    EXPECT_FALSE(program.Find(dialog, os::IntResource(1)));
    // String blocks: id / 16 + 1.
    EXPECT_TRUE(program.Find(os::IntResource(os::kRtString), os::IntResource(5101 / 16 + 1)));
    EXPECT_TRUE(program.String(5112).empty());
    EXPECT_TRUE(program.String(70000).empty());
}

// Offsets into a PE file that the damage cases below change.
struct PeLayout {
    size_t pe;         // the PE signature
    size_t optional;   // the optional header
    size_t sections;   // the section table
    size_t resources;  // the resource directory's file offset
};

uint32_t U32(const std::string& b, size_t at) {
    return static_cast<uint8_t>(b[at]) | static_cast<uint8_t>(b[at + 1]) << 8 |
           static_cast<uint8_t>(b[at + 2]) << 16 |
           static_cast<uint32_t>(static_cast<uint8_t>(b[at + 3])) << 24;
}
void Put32(std::string* b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) (*b)[at + i] = static_cast<char>(v >> (8 * i));
}

PeLayout Layout(const std::string& b) {
    PeLayout l;
    l.pe = U32(b, 0x3C);
    l.optional = l.pe + 24;
    const size_t optionalSize =
        static_cast<uint8_t>(b[l.pe + 20]) | static_cast<uint8_t>(b[l.pe + 21]) << 8;
    l.sections = l.optional + optionalSize;
    const bool pe32plus = static_cast<uint8_t>(b[l.optional + 1]) == 0x02;
    const uint32_t rva = U32(b, l.optional + (pe32plus ? 112 : 96) + 2 * 8);  // data directory 2
    l.resources = 0;
    const unsigned count = static_cast<uint8_t>(b[l.pe + 6]);
    for (unsigned i = 0; i < count; ++i) {
        const size_t s = l.sections + 40 * i;
        const uint32_t address = U32(b, s + 12), raw = U32(b, s + 16), offset = U32(b, s + 20);
        if (rva >= address && rva < address + raw) l.resources = offset + (rva - address);
    }
    return l;
}

TEST(PeReader, RejectsDamagedFiles) {
    const std::string good = ReadHostFile(EnglishModulePath());
    ASSERT_GT(good.size(), 1024u);
    const PeLayout l = Layout(good);
    ASSERT_NE(l.resources, 0u);
    struct Case {
        int line;
        std::string bytes;
    };
    auto changed = [&](size_t at, uint32_t value) {
        std::string b = good;
        Put32(&b, at, value);
        return b;
    };
    std::vector<Case> cases = {
        {__LINE__, ""},
        {__LINE__, "MZ"},
        {__LINE__, good.substr(0, 0x40)},
        {__LINE__, good.substr(0, l.pe + 2)},
        {__LINE__, good.substr(0, l.sections + 20)},
        {__LINE__, good.substr(0, good.size() - 1)},  // the last section's data cut
        {__LINE__, "MX" + good.substr(2)},
        {__LINE__, changed(0x3C, 0xFFFFFFF0u)},
        {__LINE__, changed(l.pe, 0x00004551u)},
        {__LINE__, changed(l.optional, 0x0000010Cu)},                 // no such optional header
        {__LINE__, changed(l.pe + 4, U32(good, l.pe + 4) & 0xFFFF)},  // no sections
        {__LINE__, changed(l.optional + 96 + 16, 0x7FFFF000u)},       // directory outside
        // The root's first entry leads back to the root: never three levels.
        {__LINE__, changed(l.resources + 16 + 4, 0x80000000u)},
        // A name outside the directory.
        {__LINE__, changed(l.resources + 16, 0x8FFFFFF0u)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case at line " << c.line);
        std::string error;
        EXPECT_FALSE(
            sim::ResourceSet::FromPe(std::vector<uint8_t>(c.bytes.begin(), c.bytes.end()), &error));
        EXPECT_NE(error.find("not a well-formed PE file"), std::string::npos) << error;
    }
    std::string error;
    EXPECT_TRUE(sim::ResourceSet::FromPe(std::vector<uint8_t>(good.begin(), good.end()), &error))
        << error;
}

TEST(PeReader, AnyDamagedByteIsReadSafely) {
    // Every byte of the headers and the resource directory, set to values
    // that make offsets and counts large: a file is either read or rejected.
    for (const std::string& path : {EnglishModulePath(), EnglishModule64Path()}) {
        const std::string good = ReadHostFile(path);
        const PeLayout l = Layout(good);
        std::vector<size_t> offsets;
        for (size_t at = 0; at < l.sections + 40 * 6 && at < good.size(); ++at)
            offsets.push_back(at);
        for (size_t at = l.resources; at < l.resources + 1024 && at < good.size(); ++at)
            offsets.push_back(at);
        for (size_t at : offsets) {
            for (uint8_t value : {0x00, 0x7F, 0x80, 0xFF}) {
                std::vector<uint8_t> bytes(good.begin(), good.end());
                bytes[at] = value;
                std::string error;
                auto set = sim::ResourceSet::FromPe(bytes, &error);
                if (set) {
                    set->StringIds();
                    set->Names(os::IntResource(os::kRtDialog));
                } else {
                    ASSERT_FALSE(error.empty()) << at;
                }
            }
        }
    }
}

TEST(ResReader, DamagedFilesAndTemplates) {
    // The program's own .res: every cut either reads or is rejected.
    const std::string res = ReadHostFile(std::string(VLK_BINARY_DIR) + "/resources/uninstall.res");
    for (size_t size = 0; size < res.size(); size += 7) {
        std::string error;
        auto set =
            sim::ResourceSet::FromRes(reinterpret_cast<const uint8_t*>(res.data()), size, &error);
        if (!set) {
            EXPECT_FALSE(error.empty()) << size;
        }
    }
    std::string error;
    EXPECT_FALSE(sim::ResourceSet::FromRes(reinterpret_cast<const uint8_t*>(res.data()),
                                           res.size() - 8, &error));
    EXPECT_NE(error.find("resource file"), std::string::npos) << error;

    // A dialog template cut anywhere is rejected.
    const std::vector<uint8_t>* setup =
        sim::ProgramResources().Find(os::IntResource(os::kRtDialog), "SETUPDLG");
    ASSERT_TRUE(setup);
    for (size_t size = 0; size < setup->size(); ++size) {
        const std::vector<uint8_t> cut(setup->begin(), setup->begin() + size);
        sim::DialogTemplate dialog;
        std::string why;
        EXPECT_FALSE(sim::ParseDialogTemplate(cut, &dialog, &why)) << size;
        EXPECT_FALSE(why.empty()) << size;
    }
}

}  // namespace
}  // namespace lng_test

// The message of the helper switch warning: its texts and caption from the
// program, a language module or a language file; a translated text with
// printf directives is shown as text; a long message is cut whole characters.
#include "app/warning.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/entry.h"
#include "app/modes.h"
#include "localisation/lng_fixture.h"
#include "localisation/strings.h"
#include "localisation/text_key.h"
#include "platform/sim/actions.h"
#include "platform/sim/machine.h"
#include "platform/sim/text.h"

namespace lng_test {
namespace {

class WarningTest : public LocalisationTest {
  protected:
    void PressOk() {
        sim::Action ok;
        ok.verb = "ok";
        machine().UserActions().Add(ok);
    }
    // The trace lines of the message boxes shown.
    std::vector<std::string> Boxes() {
        std::vector<std::string> boxes;
        for (const std::string& line : machine().TraceLines()) {
            if (line.rfind("MessageBoxA ", 0) == 0) boxes.push_back(line);
        }
        return boxes;
    }
    // The trace line of a box with this caption and text (UTF-8), answered OK.
    static std::string BoxLine(const std::string& caption, const std::string& text) {
        return "MessageBoxA owner=0x0 caption=" + sim::Quote(caption) +
               " text=" + sim::Quote(text) + " type=0x10040 -> 1 (ok)";
    }
    std::string ProgramPath() { return machine().Config().programPath; }
};

const char kOwnCaption[] = "Удаление Velkor";

// `text` with `path` in place of "<path>".
std::string WithPath(std::string text, const std::string& path) {
    const size_t at = text.find("<path>");
    if (at != std::string::npos) text.replace(at, 6, path);
    return text;
}

TEST_F(WarningTest, TextsByTheirSource) {
    struct Case {
        int line;
        std::string module;          // host path, or none
        std::string translated5105;  // in the language file, or no entry
        std::string translated5106;
        std::string caption;  // expected (UTF-8)
        std::string text;     // expected, "<path>" for the program's path
    };
    const Case cases[] = {
        {__LINE__, "", "", "", kOwnCaption,
         "Удаление завершено\nВы должны удалить <path> самостоятельно"},
        {__LINE__, EnglishModulePath(), "", "", "Velkor uninstall",
         "Uninstall completed\nYou must delete <path> yourself"},
        // Translations that printf would read as directives stay text; only
        // the first "%s" takes the path.
        {__LINE__, "", "Done %s%n%x", "Delete %s, %s and %n %d %%s 100%", kOwnCaption,
         "Done %s%n%x\nDelete <path>, %s and %n %d %%s 100%"},
        // The first "%s" is the one, wherever it stands.
        {__LINE__, "", "", "%%s then %s", kOwnCaption, "Удаление завершено\n%<path> then %s"},
        {__LINE__, "", "", "No path here", kOwnCaption, "Удаление завершено\nNo path here"},
        {__LINE__, "", "", "%", kOwnCaption, "Удаление завершено\n%"},
        {__LINE__, "", "", "%s", kOwnCaption, "Удаление завершено\n<path>"},
        {__LINE__, RtlTestModulePath(), "", "", kOwnCaption,  // its 5104 is empty
         "Test module: uninstall completed\nTest module: delete <path> yourself"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case at line " << c.line);
        UseMachine(1251);
        if (!c.module.empty()) PutModule(c.module);
        std::string entries;
        if (!c.translated5105.empty()) {
            entries += Entry(kKeyTypeString, nullptr, GetString(kStringUninstallComplete),
                             c.translated5105);
        }
        if (!c.translated5106.empty()) {
            entries +=
                Entry(kKeyTypeString, nullptr, GetString(kStringDeleteYourself), c.translated5106);
        }
        if (!entries.empty()) PutLanguageFile(LanguageFile(entries));
        StartLocalisation();
        PressOk();
        ShowWarningMessage();
        const std::vector<std::string> boxes = Boxes();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0], BoxLine(c.caption, WithPath(c.text, ProgramPath())));
    }
}

TEST_F(WarningTest, LongMessageIsCutWholeCharacters) {
    struct Case {
        int line;
        unsigned acp;
        std::string path;
        size_t length;  // of the composed message
    };
    // A path of double-byte characters of code page 932 ("ア" is 83 41).
    std::string kana = "C:\\";
    for (int i = 0; i < 400; ++i) kana += "\x83\x41";
    const Case cases[] = {
        {__LINE__, 1251, "C:\\" + std::string(600, 'p'), 511},
        {__LINE__, 1251, "C:\\short.exe", 0},
        {__LINE__, 932, kana, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case at line " << c.line);
        UseMachine(c.acp);
        StartLocalisation();
        const std::string first = GetString(kStringUninstallComplete);
        std::string second = GetString(kStringDeleteYourself);
        second.replace(second.find("%s"), 2, c.path);
        const std::string whole = first + "\n" + second;

        char text[kStringSize];
        ComposeWarningText(text, sizeof text, c.path.c_str());
        const std::string composed = text;
        if (whole.size() <= kStringSize - 1) {
            EXPECT_EQ(composed, whole);
            continue;
        }
        // The longest start of the whole message that ends on a character
        // boundary within 511 bytes.
        EXPECT_LE(composed.size(), kStringSize - 1);
        EXPECT_EQ(whole.compare(0, composed.size(), composed), 0);
        if (c.length) {
            EXPECT_EQ(composed.size(), c.length);
        }
        if (c.acp == 932) {
            const size_t pathStart = whole.find("C:\\") + 3;
            EXPECT_EQ((composed.size() - pathStart) % 2, 0u) << "a character was split";
            EXPECT_GE(composed.size(), kStringSize - 2);
        }
    }
}

TEST_F(WarningTest, ProgramSwitchShowsItAfterLoadingTheModuleThenTheFile) {
    PutModule(EnglishModulePath());
    PutLanguageFile(LanguageFile(""));
    PressOk();
    ProgramEntry(Instance(), "/warning");
    const std::vector<std::string>& lines = machine().TraceLines();
    size_t module = lines.size(), file = lines.size(), box = lines.size();
    for (size_t i = 0; i < lines.size(); ++i) {
        if (module == lines.size() && lines[i].find("vlklng.dll") != std::string::npos) module = i;
        if (file == lines.size() && lines[i].rfind("CreateFile", 0) == 0 &&
            lines[i].find("uninstall.lng") != std::string::npos) {
            file = i;
        }
        if (box == lines.size() && lines[i].rfind("MessageBoxA ", 0) == 0) box = i;
    }
    EXPECT_LT(module, file);
    EXPECT_LT(file, box);
    ASSERT_LT(box, lines.size());
    // With the language file loaded the program's own strings are taken.
    EXPECT_EQ(lines[box], BoxLine(kOwnCaption, "Удаление завершено\nВы должны удалить " +
                                                   ProgramPath() + " самостоятельно"));
}

}  // namespace
}  // namespace lng_test

// The language-file template tool and the shipped English uninstall.lng made
// with it: every string and dialog text has its entry, under the key that the
// program computes on a machine of the template's code page.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

#include "localisation/language_resources.h"
#include "localisation/lng_fixture.h"
#include "localisation/strings.h"
#include "localisation/text_key.h"
#include "platform/sim/machine.h"
#include "platform/sim/pe_resources.h"
#include "platform/sim/res_dialog.h"
#include "platform/sim/text.h"

namespace lng_test {
namespace {

// Runs the tool with `arguments` and returns what it wrote.
std::string RunTool(const std::string& arguments) {
    char pattern[] = "/tmp/vlk-lngtemplate-XXXXXX";
    const int fd = mkstemp(pattern);
    EXPECT_GE(fd, 0);
    close(fd);
    const std::string command =
        std::string(VLK_BINARY_DIR) + "/lngtemplate " + arguments + " " + pattern;
    EXPECT_EQ(system(command.c_str()), 0) << command;
    const std::string text = ReadHostFile(pattern);
    unlink(pattern);
    return text;
}

// The template with "T:" put before every entry's text.
// An entry is a line that begins with eight lower-case hex digits and "=\"".
std::string Marked(const std::string& text) {
    const auto isHex = [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); };
    std::string out;
    size_t at = 0;
    for (size_t line = text.find("\r\n"); line != std::string::npos;
         line = text.find("\r\n", line + 2)) {
        const size_t key = line + 2;
        if (text.size() < key + 10 || text.compare(key + 8, 2, "=\"") != 0) continue;
        if (!std::all_of(text.begin() + key, text.begin() + key + 8, isHex)) continue;
        out.append(text, at, key + 10 - at);
        out += "T:";
        at = key + 10;
    }
    return out + text.substr(at);
}

using TemplateTest = LocalisationTest;

TEST_F(TemplateTest, ShippedLanguageFileIsTheToolsEnglishOutput) {
    const std::string shipped = ReadHostFile(std::string(VLK_SOURCE_DIR) + "/lang/uninstall.lng");
    EXPECT_EQ(RunTool("--translations " + EnglishModulePath() + " 1251"), shipped)
        << "lang/uninstall.lng is not what the tool makes from lang/vlklng.rc";
}

TEST_F(TemplateTest, EveryTextHasItsEntryInTheTemplatesCodePage) {
    for (unsigned acp : {1251u, 1252u, 932u}) {
        SCOPED_TRACE(testing::Message() << "code page " << acp);
        const std::string marked = Marked(RunTool(std::to_string(acp)));
        UseMachine(acp);
        const std::vector<unsigned> ids = sim::ProgramResources().StringIds();
        std::vector<std::string> own;
        for (unsigned id : ids) own.push_back(GetString(static_cast<int>(id)));
        PutLanguageFile(marked);
        StartLocalisation();
        ASSERT_TRUE(TheLanguageResources().IsLoaded());
        EXPECT_FALSE(TheLanguageResources().RightToLeft());
        for (size_t i = 0; i < ids.size(); ++i) {
            EXPECT_EQ(GetString(static_cast<int>(ids[i])), "T:" + own[i]) << ids[i];
        }
        const sim::CodePage& codePage = machine().Ansi();
        for (const char* name : {"SETUPDLG", "CONTEXTITEMS"}) {
            sim::DialogTemplate dialog;
            std::string error;
            ASSERT_TRUE(sim::ParseDialogTemplate(
                *sim::ProgramResources().Find(os::IntResource(os::kRtDialog), name), &dialog,
                &error));
            std::vector<std::u16string> texts = {dialog.caption};
            for (const sim::DialogItem& item : dialog.items) texts.push_back(item.title.text);
            for (const std::u16string& text : texts) {
                if (text.empty()) continue;
                const std::string ansi = codePage.FromWide(text);
                char result[1024];
                TheLanguageResources().Translate(result, sizeof result, ansi.c_str(), name,
                                                 kKeyTypeDialog);
                EXPECT_EQ(result, "T:" + ansi) << name << ": " << sim::Utf16ToUtf8(text);
            }
            char scale[512];
            TheLanguageResources().Translate(scale, sizeof scale, "", name, kKeyTypeDialog);
            EXPECT_STREQ(scale, "T:100*100") << name;
        }
    }
}

TEST_F(TemplateTest, ShippedEnglishFileGivesTheEnglishModulesTexts) {
    PutLanguageFile(ReadHostFile(std::string(VLK_SOURCE_DIR) + "/lang/uninstall.lng"));
    StartLocalisation();
    ASSERT_TRUE(TheLanguageResources().IsLoaded());
    EXPECT_FALSE(TheLanguageResources().RightToLeft());
    const std::string bytes = ReadHostFile(EnglishModulePath());
    std::string error;
    auto english =
        sim::ResourceSet::FromPe(std::vector<uint8_t>(bytes.begin(), bytes.end()), &error);
    ASSERT_TRUE(english) << error;
    for (unsigned id : sim::ProgramResources().StringIds()) {
        EXPECT_EQ(GetString(static_cast<int>(id)), sim::Utf16ToUtf8(english->String(id))) << id;
    }
}

TEST(TemplateTool, RefusesWhatItCannotDo) {
    const std::string tool = std::string(VLK_BINARY_DIR) + "/lngtemplate";
    struct Case {
        int line;
        std::string arguments;
        int status;
    };
    const Case cases[] = {
        {__LINE__, "", 2},
        {__LINE__, "1251 a b", 2},
        {__LINE__, "12x", 1},
        {__LINE__, "99999", 1},
        {__LINE__, "--translations /nonexistent/vlklng.dll 1251", 1},
        {__LINE__, "--translations " + std::string(VLK_SOURCE_DIR) + "/lang/vlklng.rc 1251", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case at line " << c.line);
        const int status = system((tool + " " + c.arguments + " >/dev/null 2>&1").c_str());
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), c.status);
    }
}

}  // namespace
}  // namespace lng_test

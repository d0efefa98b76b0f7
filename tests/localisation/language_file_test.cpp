// The language file: finding the marker, the escapes and the line rules, the
// lookup by key, the bounded copy into the caller's buffer, and the
// right-to-left switch.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "localisation/language_resources.h"
#include "localisation/lng_fixture.h"
#include "localisation/text_key.h"
#include "platform/sim/machine.h"

namespace lng_test {
namespace {

const std::string kMarker = "***messages**";

class LanguageFileTest : public LocalisationTest {
  protected:
    // Loads `bytes` as the language file into a fresh object.
    void Load(const std::string& bytes) {
        PutLanguageFile(bytes);
        language_ = std::make_unique<LanguageResources>();
        language_->Load("uninstall.lng");
    }
    std::string Translate(const std::string& text, size_t capacity = 512,
                          int keyType = kKeyTypeString, const char* dialog = nullptr) {
        std::vector<char> buffer(capacity, '#');
        language_->Translate(buffer.data(), capacity, text.c_str(), dialog, keyType);
        EXPECT_LT(strlen(buffer.data()), capacity);
        return buffer.data();
    }
    std::unique_ptr<LanguageResources> language_;
};

TEST_F(LanguageFileTest, MarkerPosition) {
    struct Case {
        int line;
        size_t offset;      // bytes before the marker
        std::string after;  // bytes after it
        bool found;
    };
    const std::string entry = "\r\n" + Entry(kKeyTypeString, nullptr, "abc", "Hello");
    const Case cases[] = {
        {__LINE__, 0, entry, true},
        {__LINE__, 0, "abc", true},  // three bytes after the marker are enough
        {__LINE__, 0, "ab", false},
        {__LINE__, 0, "", false},
        {__LINE__, 8176, entry, true},  // the last start that the first chunk can hold
        {__LINE__, 8180, entry, true},  // across the first two chunks
        {__LINE__, 523264, entry, true},
        {__LINE__, 523264, "abc", true},
        {__LINE__, 523265, entry, false},
        {__LINE__, 600000, entry, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case at line " << c.line);
        Load(std::string(c.offset, 'x') + kMarker + c.after);
        EXPECT_EQ(language_->IsLoaded(), c.found);
        if (c.found && c.after == entry) {
            EXPECT_EQ(Translate("abc"), "Hello");
        }
    }
}

TEST_F(LanguageFileTest, MarkerNeedsThreeAsterisksAndTheWholeWord) {
    const std::string entry = Entry(kKeyTypeString, nullptr, "abc", "Hello");
    // A file with translations but no marker translates nothing.
    Load("**messages**\r\n*messages***\r\n***message**\r\n" + entry);
    EXPECT_FALSE(language_->IsLoaded());
    EXPECT_EQ(Translate("abc"), "abc");
    // The same with the marker after them: the lines before it are notes.
    Load("**messages**\r\n" + Entry(kKeyTypeString, nullptr, "abc", "Before") +
         "***messages***\r\n" + entry);
    EXPECT_EQ(Translate("abc"), "Hello");
}

TEST_F(LanguageFileTest, NoFile) {
    language_ = std::make_unique<LanguageResources>();
    language_->Load("uninstall.lng");
    EXPECT_FALSE(language_->IsLoaded());
    EXPECT_EQ(Translate("abc"), "abc");
    EXPECT_FALSE(language_->RightToLeft());
}

TEST_F(LanguageFileTest, TranslationLines) {
    struct Case {
        int line;
        std::string lines;  // after the marker line
        std::string text;   // translated as a string
        std::string result;
    };
    const auto key = [](const std::string& text) {
        char k[kTextKeySize];
        ComputeTextKey(k, kKeyTypeString, nullptr, text.c_str());
        return std::string(k);
    };
    const std::string abc = key("abc");
    std::string upper = abc;
    for (char& c : upper) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    const Case cases[] = {
        {__LINE__, abc + "=\"Hello\"note\r\n", "abc", "Hello"},
        {__LINE__, abc + "=\"Say \"hi\" now\" and \"more\r\n", "abc", "Say \"hi\" now\" and "},
        {__LINE__, abc + "=\"Hello\r\nnext line\r\n", "abc", "Hello\f"},  // no closing quote
        {__LINE__, abc + "=\"Hello", "abc", "Hello"},                     // at the end of the file
        {__LINE__, abc + "=\"\"\r\n", "abc", ""},
        {__LINE__, upper + "=\"Hello\"\r\n", "abc", "abc"},  // upper-case keys never match
        {__LINE__, "; " + abc + "=\"Hello\"\r\n", "abc", "abc"},
        {__LINE__, abc + " =\"Hello\"\r\n", "abc", "abc"},
        {__LINE__, abc + "=Hello\r\n", "abc", "abc"},
        // A note that starts with the key does not hide the translation line.
        {__LINE__, abc + " is the key of abc\r\n" + abc + "=\"Hello\"\r\n", "abc", "Hello"},
        {__LINE__, abc + "=\"Hello\"\r\n" + abc + " is the key of abc\r\n", "abc", "Hello"},
        {__LINE__, abc + "=\"a\\qb\"\r\n", "abc", "a\\qb"},  // no escape: both stay
        {__LINE__, abc + "=\"a\\nb\\rc\\td\"\r\n", "abc", "a\nb\rc\td"},
        {__LINE__, abc + "=\"\\\"quoted\\\"\"\r\n", "abc", "\"quoted\""},
        {__LINE__, abc + "=\"back\\\\slash\\\\n\"\r\n", "abc", "back\\slash\\n"},
        {__LINE__, abc + "=\"ends in \\\\\"\r\n", "abc", "ends in \\"},
        // Separators: CR, LF, form feeds and runs of them.
        {__LINE__, "x\r" + abc + "=\"cr\"\r", "abc", "cr"},
        {__LINE__, "x\n\n\n" + abc + "=\"lf\"\n", "abc", "lf"},
        {__LINE__, "x\f" + abc + "=\"ff\"\f", "abc", "ff"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case at line " << c.line);
        Load("header\r\n***messages***\r\n" + c.lines);
        ASSERT_TRUE(language_->IsLoaded());
        EXPECT_EQ(Translate(c.text), c.result);
    }
}

TEST_F(LanguageFileTest, MarkerLineIsNoTranslation) {
    Load(kMarker + Entry(kKeyTypeString, nullptr, "abc", "Hello"));
    ASSERT_TRUE(language_->IsLoaded());
    EXPECT_EQ(Translate("abc"), "abc");
}

TEST_F(LanguageFileTest, SameKeyTwiceGivesOneOfTheLines) {
    Load(LanguageFile(Entry(kKeyTypeString, nullptr, "abc", "one") +
                      Entry(kKeyTypeString, nullptr, "abc", "two")));
    const std::string result = Translate("abc");
    EXPECT_TRUE(result == "one" || result == "two") << result;
}

TEST_F(LanguageFileTest, KeyTypesAndDialogNamesKeepEntriesApart) {
    Load(LanguageFile(Entry(kKeyTypeString, nullptr, "OK", "string") +
                      Entry(kKeyTypeDialog, "SETUPDLG", "OK", "setup") +
                      Entry(kKeyTypeDialog, "CONTEXTITEMS", "OK", "items") +
                      Entry(kKeyTypeDialog, "SETUPDLG", "", "120*110")));
    EXPECT_EQ(Translate("OK"), "string");
    EXPECT_EQ(Translate("OK", 512, kKeyTypeDialog, "SETUPDLG"), "setup");
    EXPECT_EQ(Translate("OK", 512, kKeyTypeDialog, "CONTEXTITEMS"), "items");
    EXPECT_EQ(Translate("", 512, kKeyTypeDialog, "SETUPDLG"), "120*110");
    EXPECT_EQ(Translate("", 512, kKeyTypeDialog, "CONTEXTITEMS"), "");
    EXPECT_EQ(Translate("OK", 512, kKeyTypeDialog, nullptr), "OK");
}

TEST_F(LanguageFileTest, ManyLinesAreFoundByTheSortedIndex) {
    // Entries in an order unrelated to their keys, between comment lines.
    std::string lines;
    const int count = 700;
    for (int i = 0; i < count; ++i) {
        const int n = (i * 337) % count;
        lines += "; entry " + std::to_string(n) + "\r\n";
        lines += Entry(kKeyTypeString, nullptr, "text " + std::to_string(n),
                       "translation " + std::to_string(n));
    }
    Load(LanguageFile(lines));
    EXPECT_GE(language_->LineIndex().Count(), 2 * count);
    for (int n = 0; n < count; ++n) {
        ASSERT_EQ(Translate("text " + std::to_string(n)), "translation " + std::to_string(n)) << n;
    }
    EXPECT_EQ(Translate("text 700"), "text 700");
    // The index is sorted by the first 8 bytes of each line.
    const Array<int>& index = language_->LineIndex();
    for (int i = 1; i < index.Count(); ++i) {
        ASSERT_LE(strncmp(language_->Text() + index[i - 1], language_->Text() + index[i], 8), 0);
    }
}

TEST_F(LanguageFileTest, AreaEndsAfter65536BytesOrAtANul) {
    const std::string head = LanguageFile("");
    const size_t areaStart = head.find(kMarker);
    const std::string inside = Entry(kKeyTypeString, nullptr, "inside", "in");
    const std::string outside = Entry(kKeyTypeString, nullptr, "outside", "out");
    // `inside` ends exactly at the area's last byte; `outside` begins after it.
    const size_t fillerLength = 65536 - (head.size() - areaStart) - inside.size();
    const std::string filler = "; " + std::string(fillerLength - 4, '-') + "\r\n";
    Load(head + filler + inside + outside);
    EXPECT_EQ(Translate("inside"), "in");
    EXPECT_EQ(Translate("outside"), "outside");
    EXPECT_EQ(language_->TextLength(), 65536);

    Load(LanguageFile(inside + std::string(1, '\0') + outside));
    EXPECT_EQ(Translate("inside"), "in");
    EXPECT_EQ(Translate("outside"), "outside");
}

TEST_F(LanguageFileTest, TranslationIsCutToTheDestination) {
    struct Case {
        int line;
        unsigned acp;
        std::string translation;  // as it stands in the file
        size_t capacity;
        std::string result;
    };
    const std::string a600(600, 'a');
    std::string kana;  // 300 two-byte characters of code page 932 ("ア")
    for (int i = 0; i < 300; ++i) kana += "\x83\x41";
    const Case cases[] = {
        {__LINE__, 1251, a600, 512, std::string(511, 'a')},
        {__LINE__, 1251, a600, 1024, a600},
        {__LINE__, 1251, std::string(511, 'b'), 512, std::string(511, 'b')},
        {__LINE__, 1251, std::string(512, 'b'), 512, std::string(511, 'b')},
        {__LINE__, 1251, "abc", 1, ""},
        // A double-byte character is never split: 510 bytes, not 511.
        {__LINE__, 932, kana, 512, kana.substr(0, 510)},
        {__LINE__, 932, "x" + kana, 512, "x" + kana.substr(0, 510)},
        {__LINE__, 1251, kana, 512, kana.substr(0, 511)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case at line " << c.line);
        UseMachine(c.acp);
        Load(LanguageFile(Entry(kKeyTypeString, nullptr, "abc", c.translation)));
        EXPECT_EQ(Translate("abc", c.capacity), c.result);
    }
}

TEST_F(LanguageFileTest, UntranslatedTextIsCutToTheDestination) {
    UseMachine(932);
    Load(LanguageFile(""));
    EXPECT_EQ(Translate(std::string(40, 'z'), 16), std::string(15, 'z'));
    EXPECT_EQ(Translate("abcdefghijklmn\x83\x41", 16), "abcdefghijklmn");
    // Without a file at all the same rule holds.
    language_ = std::make_unique<LanguageResources>();
    EXPECT_EQ(Translate("abcdefghijklmn\x83\x41", 16), "abcdefghijklmn");
    EXPECT_EQ(Translate("abcdefghijklmn\x83\x41", 17), "abcdefghijklmn\x83\x41");
}

TEST_F(LanguageFileTest, TrailByteOfADoubleByteCharacterStartsNoEscape) {
    struct Case {
        int line;
        unsigned acp;
        std::string translation;
        std::string result;
    };
    const Case cases[] = {
        // "ソ" is 83 5C in code page 932: its trail byte has the value of a
        // backslash, and the n after it stays an n.
        {__LINE__, 932, "\x83\x5Cn", "\x83\x5Cn"},
        {__LINE__, 932, "\x83\x5C\\n", "\x83\x5C\n"},
        {__LINE__, 932, "\x83\x5C", "\x83\x5C"},  // before the closing quote
        // In a single-byte code page 5C is a backslash wherever it stands.
        {__LINE__, 1251, "\x83\x5Cn", "\x83\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case at line " << c.line);
        UseMachine(c.acp);
        Load(LanguageFile(Entry(kKeyTypeString, nullptr, "abc", c.translation)));
        EXPECT_EQ(Translate("abc"), c.result);
    }
}

TEST_F(LanguageFileTest, PathOfTheFile) {
    const std::string entry = Entry(kKeyTypeString, nullptr, "abc", "Hello");
    // A name with a folder is used as it is; a bare name lies beside the program.
    PutFile("C:\\other.lng", LanguageFile(entry));
    language_ = std::make_unique<LanguageResources>();
    language_->Load("C:\\other.lng");
    EXPECT_EQ(Translate("abc"), "Hello");
    language_ = std::make_unique<LanguageResources>();
    language_->Load("other.lng");
    EXPECT_FALSE(language_->IsLoaded());
}

// A program path of `length` bytes: C:\ and folders of 200 bytes, then the
// program's name, made to measure.
std::string ProgramPathOfLength(size_t length, std::string* folder) {
    std::string path = "C:";
    while (length - path.size() > 220) path += "\\" + std::string(199, 'd');
    *folder = path;
    path += "\\" + std::string(length - path.size() - 5, 'u') + ".exe";
    return path;
}

TEST_F(LanguageFileTest, PathThatDoesNotFitLoadsNothing) {
    struct Case {
        int line;
        size_t programLength;  // bytes of the program's path
        size_t fileLength;     // bytes of the language file's path
        bool loaded;
    };
    const Case cases[] = {
        // 1023 bytes fit with the terminator into the 1024-byte buffer.
        {__LINE__, 900, 1023, true},
        {__LINE__, 900, 1024, false},
        {__LINE__, 1023, 1011, true},
        // The system cuts a longer program path, which would name another folder.
        {__LINE__, 1024, 1011, false},
        {__LINE__, 1100, 1090, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case at line " << c.line);
        UseMachine(1251);
        std::string folder;
        machine().Config().programPath = ProgramPathOfLength(c.programLength, &folder);
        for (size_t at = folder.find('\\'); at != std::string::npos;
             at = folder.find('\\', at + 1)) {
            machine().Files().CreateDirectory(folder.substr(0, folder.find('\\', at + 1)));
        }
        const std::string name(c.fileLength - folder.size() - 1 - 4, 'n');
        PutFile(folder + "\\" + name + ".lng",
                LanguageFile(Entry(kKeyTypeString, nullptr, "abc", "Hello")));
        language_ = std::make_unique<LanguageResources>();
        language_->Load((name + ".lng").c_str());
        EXPECT_EQ(language_->IsLoaded(), c.loaded);
    }
}

TEST_F(LanguageFileTest, RightToLeft) {
    struct Case {
        int line;
        std::string module;    // host path of the language module, or none
        std::string language;  // the switch's text in the language file, or no file
        bool rightToLeft;
    };
    const Case cases[] = {
        {__LINE__, "", "", false},
        {__LINE__, "", "RTL", true},
        {__LINE__, "", "LTR", false},
        {__LINE__, "", "rtl", false},
        {__LINE__, "", "RTL ", false},
        {__LINE__, RtlTestModulePath(), "", true},  // without a language file
        {__LINE__, RtlTestModulePath(), "LTR", true},
        {__LINE__, EnglishModulePath(), "", false},
        {__LINE__, EnglishModulePath(), "RTL", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case at line " << c.line);
        UseMachine(1251);
        if (!c.module.empty()) PutModule(c.module);
        if (!c.language.empty())
            PutLanguageFile(LanguageFile(Entry(kKeyTypeDialog, "LTR", "LTR", c.language)));
        StartLocalisation();
        EXPECT_EQ(TheLanguageResources().IsLoaded(), !c.language.empty());
        EXPECT_EQ(TheLanguageResources().RightToLeft(), c.rightToLeft);
    }
}

}  // namespace
}  // namespace lng_test

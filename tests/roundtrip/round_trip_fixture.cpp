#include "roundtrip/round_trip_fixture.h"

#include "platform/sim/text.h"

namespace round_trip {

namespace {

const char kClasses[] = "SOFTWARE\\Classes\\";
const char kProduct[] = "Software\\Velkor";

const char* StateName(State state) {
    switch (state) {
        case State::kFresh:
            return "Fresh";
        case State::kOtherOwners:
            return "OtherOwners";
        case State::kEarlierIntegration:
            return "EarlierIntegration";
        case State::kSecondSetup:
            return "SecondSetup";
        case State::kJarIsoOwned:
            return "JarIsoOwned";
    }
    return "?";
}

bool OthersOwn(State state) {
    return state == State::kOtherOwners || state == State::kEarlierIntegration ||
           state == State::kSecondSetup;
}

}  // namespace

std::string Case::Name() const {
    return std::string(StateName(state)) + "_" + platform.name + "_" + codePages.name;
}

std::vector<Case> AllCases() {
    const State states[] = {State::kFresh, State::kOtherOwners, State::kEarlierIntegration,
                            State::kSecondSetup, State::kJarIsoOwned};
    const Platform platforms[] = {
        {"Nt32", sim::Family::kNt, false},
        {"Nt64", sim::Family::kNt, true},
        {"9x", sim::Family::k9x, false},
    };
    const CodePages codePages[] = {
        {"Cp1251", 1251, 866, "Архиватор Velkor"},
        {"Cp1252", 1252, 850, "Velkör Archiv"},
        {"Cp932", 932, 932, "表 Velkor ソフト"},
    };
    std::vector<Case> cases;
    for (State state : states)
        for (const Platform& platform : platforms)
            for (const CodePages& pages : codePages) cases.push_back({state, platform, pages});
    return cases;
}

void RoundTripTest::UseCaseMachine(const Case& c) {
    sim::MachineOptions options;
    options.family = c.platform.family;
    options.win64 = c.platform.win64;
    options.acp = c.codePages.acp;
    options.oemcp = c.codePages.oemcp;
    UseMachine(options);
    // The whole installation, in a folder whose name needs the code page.
    std::string folder = Folder();
    folder.pop_back();
    const std::string moved = folder.substr(0, folder.rfind('\\') + 1) + c.codePages.folder;
    machine().Files().SetCurrentDirectory("C:\\");
    ASSERT_EQ(machine().Files().Move(folder, moved, 0), 0) << moved;
    machine().Config().programPath = moved + "\\uninstall.exe";
    machine().Files().SetCurrentDirectory(moved);
}

void RoundTripTest::PutString(sim::Hive hive, const std::string& key, const std::string& name,
                              const std::string& text) {
    machine()
        .Registry()
        .Create(hive, sim::Utf8ToUtf16(key))
        ->SetValue(sim::Utf8ToUtf16(name), 1, sim::RegSzBytes(text));
}

void RoundTripTest::PutDword(sim::Hive hive, const std::string& key, const std::string& name,
                             os::Dword value) {
    std::vector<uint8_t> data;
    for (int shift = 0; shift < 32; shift += 8)
        data.push_back(static_cast<uint8_t>(value >> shift));
    machine()
        .Registry()
        .Create(hive, sim::Utf8ToUtf16(key))
        ->SetValue(sim::Utf8ToUtf16(name), 4, data);
}

std::string RoundTripTest::ClassOf(const std::string& extension) {
    sim::RegNode* key =
        machine().Registry().Find(sim::Hive::kLocalMachine, sim::Utf8ToUtf16(kClasses + extension));
    sim::RegValue* value = key ? key->Value(u"") : nullptr;
    if (!value || value->type != 1) return "<none>";
    std::u16string text;
    for (size_t i = 0; i + 1 < value->data.size(); i += 2)
        text += static_cast<char16_t>(value->data[i] | (value->data[i + 1] << 8));
    while (!text.empty() && text.back() == u'\0') text.pop_back();
    return sim::Utf16ToUtf8(text);
}

void RoundTripTest::OwnBy(const std::string& extension, const std::string& owner,
                          const std::string& content, const std::string& shellNewFile,
                          bool nullFile) {
    const sim::Hive lm = sim::Hive::kLocalMachine;
    PutString(lm, kClasses + extension, "", owner);
    if (!content.empty()) PutString(lm, kClasses + extension, "Content Type", content);
    if (!shellNewFile.empty()) {
        PutString(lm, kClasses + extension + "\\ShellNew", "FileName", shellNewFile);
        PutFile(shellNewFile, owner + " template\r\n");
    }
    if (nullFile) PutString(lm, kClasses + extension + "\\ShellNew", "NullFile", "");
    PutString(lm, kClasses + owner, "", owner + " file");
    PutString(lm, kClasses + owner + "\\shell\\open\\command", "",
              "\"C:\\Tools\\" + owner + ".exe\" \"%1\"");
}

void RoundTripTest::PrepareStart(State state) {
    const sim::Hive lm = sim::Hive::kLocalMachine;
    const std::string* templates = machine().SpecialFolder("templates");
    ASSERT_TRUE(templates);
    if (state == State::kJarIsoOwned) {
        // .jar is the sample's Java runtime's; .iso another program's.
        OwnBy(".iso", "IsoBurner.iso", "application/x-iso9660-image", "", false);
    }
    if (!OthersOwn(state)) return;
    // The two types with a New-menu entry: one with a template file of its
    // owner, the sample's .zip with an empty new file.
    OwnBy(".vlk", "VlkView.vlk", "application/x-vlk", *templates + "\\vlkview.vlk", false);
    // A plain type with every value a give-back restores, the second of two
    // extensions and the last of four, a volume extension that setup binds
    // on every Windows and one that only the older platforms bind, and the
    // recovery-volume extension.
    OwnBy(".7z", "SevenZip.7z", "application/x-7z-compressed", *templates + "\\empty.7z", false);
    OwnBy(".lha", "LhaTool.lha", "", "", true);
    OwnBy(".tbz", "TarTool.tbz", "application/x-bzip-compressed-tar", "", false);
    OwnBy(".v05", "SplitTool.v05", "application/x-split", "", false);
    OwnBy(".v45", "SplitTool.v45", "", "", false);
    OwnBy(".rev", "RevTool.rev", "application/x-rev", "", false);
    PutString(lm, std::string(kClasses) + ".gz\\OpenWithProgids", "GzTool.gz", "");
    // Shortcuts and a program group of another program.
    const std::string* desktop = machine().SpecialFolder("desktop");
    const std::string* programs = machine().SpecialFolder("programs");
    ASSERT_TRUE(desktop && programs);
    PutFile(*desktop + "\\WinArc.lnk", "WinArc shortcut\r\n");
    MakeFolder(*programs + "\\WinArc");
    PutFile(*programs + "\\WinArc\\WinArc.lnk", "WinArc shortcut\r\n");
}

void RoundTripTest::RunHistory(State state) {
    const sim::Hive cu = sim::Hive::kCurrentUser;
    const std::string setup = std::string(kProduct) + "\\Setup";
    if (state == State::kSecondSetup) {
        RunSetup(state);
    } else if (state == State::kEarlierIntegration) {
        // The earlier choices: both single shortcuts, CAB left alone, the
        // shell extension off.
        PutDword(cu, setup + "\\Links", "Desktop", 1);
        PutDword(cu, setup + "\\Links", "StartMenu", 1);
        PutDword(cu, setup + "\\.cab", "Set", 0);
        PutDword(cu, setup, "ShellExt", 0);
        RunSetup(state);
        ASSERT_EQ(ClassOf(".cab"), "<none>");
        ASSERT_TRUE(Exists(*machine().SpecialFolder("desktop") + "\\Velkor.lnk"));
        // The user now wants CAB but neither 7-Zip nor the single shortcuts,
        // with the shell extension, which Explorer then holds loaded.
        PutDword(cu, setup + "\\Links", "Desktop", 0);
        PutDword(cu, setup + "\\Links", "StartMenu", 0);
        PutDword(cu, setup + "\\.cab", "Set", 1);
        PutDword(cu, setup + "\\.7z", "Set", 0);
        PutDword(cu, setup, "ShellExt", 1);
        MakeBusy(Folder() + "vlkext.dll", "image");
    }
}

void RoundTripTest::RunSetup(State state) {
    RunProgram("/setup /s");
    RunStarted();
    // Setup took the types over and left JAR and ISO to their owners.
    EXPECT_EQ(ClassOf(".zip"), "Velkor.ZIP");
    EXPECT_EQ(ClassOf(".vlk"), "Velkor");
    EXPECT_EQ(ClassOf(".jar"), "jarfile");
    if (state == State::kJarIsoOwned) {
        EXPECT_EQ(ClassOf(".iso"), "IsoBurner.iso");
    }
}

void RoundTripTest::RunUninstallAndRestart() {
    RunProgram("/s");
    RunStarted();
    machine().Restart();
}

}  // namespace round_trip

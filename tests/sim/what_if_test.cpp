// What-if runs of the sim program: the list of files they put on a machine,
// and setup and uninstall on a machine made from a registry export.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/sim/file_list.h"
#include "platform/sim/machine_changes.h"
#include "platform/sim/text.h"
#include "support/round_trip_differences.h"
#include "support/sim_machine.h"

namespace sim {
namespace {

namespace fs = std::filesystem;

TEST(FileList, ReadsFilesFoldersAndSizesInEitherEncoding) {
    const CodePage& cp1251 = *CodePage::Find(1251);
    // "C:\Документы\отчёт.zip" in UTF-8 and in code page 1251.
    const std::string utf8 = "C:\\Документы\\отчёт.zip|100\n";
    const std::string ansi =
        "C:\\\xC4\xEE\xEA\xF3\xEC\xE5\xED\xF2\xFB\\\xEE\xF2\xF7\xB8\xF2.zip | 100\r\n";
    for (const std::string& cyrillic : {utf8, ansi}) {
        const std::string list = "; files of the machine\r\n\r\nc:/Games/\r\n" + cyrillic +
                                 "C:\\Program Files\\WinArc\\WinArc.exe  |  4096  \r\n"
                                 "C:\\empty.txt\r\nD:\\\r\n";
        std::vector<ListedFile> files;
        std::string error;
        ASSERT_TRUE(ParseFileList(list, cp1251, &files, &error)) << error;
        ASSERT_EQ(files.size(), 5u);
        EXPECT_EQ(files[0].path, "C:\\Games");
        EXPECT_TRUE(files[0].folder);
        EXPECT_EQ(files[0].line, 3);
        EXPECT_EQ(files[1].path, "C:\\Документы\\отчёт.zip");
        EXPECT_FALSE(files[1].folder);
        EXPECT_EQ(files[1].size, 100u);
        EXPECT_EQ(files[2].size, 4096u);
        EXPECT_EQ(files[3].size, 0u);
        EXPECT_EQ(files[4].path, "D:\\");
        EXPECT_TRUE(files[4].folder);
    }
}

TEST(FileList, BadLinesAreRefusedWithTheirLine) {
    struct Case {
        int line;
        std::string list;
        std::string error;  // its beginning
    };
    const std::string longName(300, 'a');
    const Case cases[] = {
        {__LINE__, "C:\\ok.txt\nProgram Files\\x.txt\n", "line 2: not a full Windows path"},
        {__LINE__, "\\\\server\\share\\x.txt\n", "line 1: not a full Windows path"},
        {__LINE__, "C:x.txt\n", "line 1: not a full Windows path"},
        {__LINE__, "C:\\a\\..\\b.txt\n", "line 1: \".\" and \"..\""},
        {__LINE__, "C:\\a\\\\b.txt\n", "line 1: an empty name"},
        {__LINE__, "C:\\what?.txt\n", "line 1: the name \"what?.txt\" holds a character"},
        {__LINE__, "C:\\a.\\b\n", "line 1: the name \"a.\" ends in a dot"},
        {__LINE__, "C:\\a.txt | ten\n", "line 1: the size after \"|\" must be a number"},
        {__LINE__, "C:\\a.txt | 2000000000000\n", "line 1: the size after \"|\" must be a number"},
        {__LINE__, "C:\\a.txt | 1 | 2\n", "line 1: the size after \"|\" must be a number"},
        {__LINE__, "C:\\Games\\ | 10\n", "line 1: a folder (ending in \\) has no size"},
        {__LINE__, "C:\\" + longName + "\n", "line 1: longer than a Windows path may be"},
        {__LINE__,
         std::string("\xFF\xFE"
                     "C\0:\0\\\0a\0\n\0b",
                     13),
         "line 2: the UTF-16 text ends in half a character"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case at line " << c.line);
        std::vector<ListedFile> files;
        std::string error;
        EXPECT_FALSE(ParseFileList(c.list, *CodePage::Find(1251), &files, &error));
        EXPECT_EQ(error.rfind(c.error, 0), 0u) << error;
    }
}

TEST(MachineChanges, NameKeysValuesAndFilesAddedChangedAndRemoved) {
    RegistryStore before, after;
    std::string error;
    ASSERT_TRUE(before.Load(
        "Windows Registry Editor Version 5.00\n"
        "[HKEY_CURRENT_USER\\Same]\n\"v\"=dword:00000001\n"
        "[HKEY_CURRENT_USER\\Gone\\Below]\n\"x\"=\"1\"\n"
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\.zip]\n@=\"WinArc.zip\"\n\"Old\"=\"o\"\n",
        &error))
        << error;
    ASSERT_TRUE(
        after.Load("Windows Registry Editor Version 5.00\n"
                   "[HKEY_CURRENT_USER\\same]\n\"V\"=dword:00000001\n"
                   "[HKEY_CURRENT_USER\\New]\n\"n\"=hex:01,02\n"
                   "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\.zip]\n@=\"Velkor.ZIP\"\n",
                   &error))
        << error;
    EXPECT_EQ(
        RegistryChanges(before, after),
        (std::vector<std::string>{
            "- [HKEY_CURRENT_USER\\Gone]",
            "- [HKEY_CURRENT_USER\\Gone\\Below]",
            "- [HKEY_CURRENT_USER\\Gone\\Below] \"x\"=\"1\"",
            "+ [HKEY_CURRENT_USER\\New]",
            "+ [HKEY_CURRENT_USER\\New] \"n\"=hex:01,02",
            "- [HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\.zip] \"Old\"=\"o\"",
            "* [HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\.zip] @=\"Velkor.ZIP\" (was \"WinArc.zip\")",
        }));
    EXPECT_EQ(RegistryChanges(after, after), std::vector<std::string>{});

    MachineState a, b;
    a.files["C:\\A\\"] = {"C:\\a\\", true, 0, ""};
    a.files["C:\\A\\F.TXT"] = {"C:\\a\\f.txt", false, 2, "ab"};
    a.files["C:\\A\\SAME.TXT"] = {"C:\\a\\same.txt", false, 1, "s"};
    b.files["C:\\A\\"] = {"C:\\a\\", true, 0, ""};
    b.files["C:\\A\\F.TXT"] = {"C:\\a\\f.txt", false, 2, "cd"};
    b.files["C:\\A\\SAME.TXT"] = {"C:\\a\\same.txt", false, 1, "s"};
    b.files["C:\\B.LNK"] = {"C:\\b.lnk", false, 0, ""};
    EXPECT_EQ(FileChanges(a, b),
              (std::vector<std::string>{"* C:\\a\\f.txt (2 bytes, was 2)", "+ C:\\b.lnk"}));
    EXPECT_EQ(FileChanges(b, a),
              (std::vector<std::string>{"* C:\\a\\f.txt (2 bytes, was 2)", "- C:\\b.lnk"}));
}

void Spit(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// A machine whose .zip belongs to another archiver, exported in the Unicode
// form; and files of its user listed in code page 1251.
const char kExport[] =
    "Windows Registry Editor Version 5.00\r\n\r\n"
    "[HKEY_CLASSES_ROOT\\.zip]\r\n@=\"WinArc.zip\"\r\n\"Content Type\"=\"application/zip\"\r\n\r\n"
    "[HKEY_CLASSES_ROOT\\.zip\\ShellNew]\r\n\"NullFile\"=\"\"\r\n\r\n"
    "[HKEY_CLASSES_ROOT\\WinArc.zip]\r\n@=\"Архив WinArc\"\r\n\r\n"
    "[HKEY_CLASSES_ROOT\\WinArc.zip\\shell\\open\\command]\r\n"
    "@=\"\\\"C:\\\\Program Files\\\\WinArc\\\\WinArc.exe\\\" \\\"%1\\\"\"\r\n\r\n"
    "[HKEY_CURRENT_USER\\Software\\WinArc]\r\n\"Lang\"=\"ru\"\r\n";
const char kList[] =
    "C:\\Program Files\\WinArc\\WinArc.exe | 4096\r\n"
    "C:\\\xC4\xEE\xEA\xF3\xEC\xE5\xED\xF2\xFB\\\xEE\xF2\xF7\xB8\xF2.zip | 100\r\n";

// A new key of the what-if report ("+ [KEY]") in the form of the list of
// differences left by design ("+[KEY]" in capitals, HKEY_CLASSES_ROOT for the
// machine's classes); other lines as they are.
std::string AsListedChange(const std::string& change) {
    if (change.rfind("+ [", 0) != 0 || change.back() != ']') return change;
    std::string key = FoldUtf8(change.substr(3, change.size() - 4));
    const std::string classes = "HKEY_LOCAL_MACHINE\\SOFTWARE\\CLASSES";
    if (key.rfind(classes, 0) == 0) key = "HKEY_CLASSES_ROOT" + key.substr(classes.size());
    return "+[" + key + "]";
}

TEST(WhatIf, ShowsTheTakeOverAndThatTheUninstallLeavesOnlyWhatItLeavesByDesign) {
    if (SimUninstallPath().empty()) GTEST_SKIP() << "build/sim/uninstall is not built";
    const std::string temp = MakeTempFolder();
    Spit(temp + "/export.reg", Utf16File(kExport));
    Spit(temp + "/files.txt", kList);
    const ProcessResult r = RunSimUninstall({"--what-if", temp + "/export.reg", "--files",
                                             temp + "/files.txt", "--machine", temp + "/m"});
    ASSERT_EQ(r.exitCode, 0) << r.err << r.out;
    const size_t uninstall = r.out.find("\nUninstall, ");
    ASSERT_NE(uninstall, std::string::npos) << r.out;
    const std::string setup = r.out.substr(0, uninstall);
    bool takeOver = false;
    for (const std::string& line : Lines(setup))
        takeOver |=
            line.rfind("  * [HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\.zip] @=\"Velkor", 0) == 0 &&
            line.find("(was \"WinArc.zip\")") != std::string::npos;
    EXPECT_TRUE(takeOver) << setup;
    EXPECT_NE(setup.find("  + [HKEY_CURRENT_USER\\Software\\Velkor\\Setup\\.zip]\n"),
              std::string::npos)
        << setup;

    // Since the start: the installation is gone, and in the registry only
    // what the uninstall leaves by design differs.
    round_trip::DifferenceList differences;
    std::string error;
    ASSERT_TRUE(differences.Load(&error)) << error;
    std::vector<std::string> unexpected;
    bool folderGone = false;
    const std::vector<std::string> lines = Lines(r.out.substr(uninstall + 1));
    ASSERT_GT(lines.size(), 1u);
    for (size_t i = 1; i < lines.size(); ++i) {
        const std::string change = lines[i].substr(0, 2) == "  " ? lines[i].substr(2) : lines[i];
        if (lines[i].rfind("The machine is in ", 0) == 0) continue;
        folderGone |= change == "- C:\\Program Files\\Velkor\\";
        if (change.rfind("- C:\\Program Files\\Velkor\\", 0) == 0) continue;
        unexpected.push_back(AsListedChange(change));
    }
    unexpected = differences.Unprescribed(unexpected, {}, round_trip::RunFacts());
    EXPECT_TRUE(folderGone) << r.out;
    EXPECT_EQ(unexpected, std::vector<std::string>{}) << r.out;

    // The listed files are on the machine that --machine keeps.
    std::error_code ec;
    EXPECT_EQ(fs::file_size(temp + "/m/drives/C/Документы/отчёт.zip", ec), 100u);
    EXPECT_EQ(fs::file_size(temp + "/m/drives/C/Program Files/WinArc/WinArc.exe", ec), 4096u);
    RemoveTree(temp);
}

TEST(WhatIf, BadInputIsNamedAndLeavesNothingBehind) {
    if (SimUninstallPath().empty()) GTEST_SKIP() << "build/sim/uninstall is not built";
    struct Case {
        int line;
        std::string exportFile, list;
        std::string error;
    };
    const Case cases[] = {
        {__LINE__, "MZ\x90", "", "export.reg, line 1: not a registry file"},
        {__LINE__, Utf16File(kExport) + "x", "",
         "export.reg, line 18: the UTF-16 text ends in half a character"},
        {__LINE__, "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\A]\r\n\"v\"=hex:zz\r\n", "",
         "export.reg, line 3: bad hex"},
        {__LINE__, "REGEDIT4\r\n[HKEY_PERFORMANCE_DATA\\A]\r\n", "",
         "export.reg, line 2: unknown root key"},
        {__LINE__, Utf16File(kExport), "C:\\ok.txt\r\nGames\\\r\n",
         "files.txt, line 2: not a full Windows path"},
        // The sample machine has this folder: it cannot be a file as well.
        {__LINE__, Utf16File(kExport), "C:\\ok.txt\r\nC:\\Program Files | 3\r\n",
         "files.txt, line 2: C:\\Program Files is a folder on the machine"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case at line " << c.line);
        const std::string temp = MakeTempFolder();
        Spit(temp + "/export.reg", c.exportFile);
        Spit(temp + "/files.txt", c.list);
        const ProcessResult r = RunSimUninstall({"--what-if", temp + "/export.reg", "--files",
                                                 temp + "/files.txt", "--machine", temp + "/m"});
        EXPECT_EQ(r.exitCode, 2);
        EXPECT_NE(r.err.find(temp + "/" + c.error), std::string::npos) << r.err;
        size_t entries = 0;
        for (const auto& e : fs::directory_iterator(temp))
            entries += e.path().filename() != "out" ? 1 : 0;
        EXPECT_EQ(entries, 2u);  // the two inputs, nothing of a machine
        RemoveTree(temp);
    }
}

}  // namespace
}  // namespace sim

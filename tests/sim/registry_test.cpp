// The registry calls of the simulated machine: families, the 64-bit view,
// user rights, code pages, the trace.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>

#include "platform/sim/machine.h"
#include "platform/sim/text.h"
#include "support/sim_machine.h"

namespace sim {
namespace {

using os::Dword;

std::string ReadString(os::Key root, const char* path, const char* name,
                       Dword access = os::kKeyRead) {
    os::Key key = nullptr;
    if (os::Reg().OpenKeyEx(root, path, access, &key) != 0) return "<no key>";
    char buffer[256] = {};
    Dword size = sizeof buffer;
    const long err = os::Reg().QueryValueEx(key, name, nullptr, buffer, &size);
    os::Reg().CloseKey(key);
    return err ? "<no value>" : std::string(buffer);
}

long WriteString(os::Key root, const char* path, const char* name, const char* text,
                 Dword access = os::kKeyWrite) {
    os::Key key = nullptr;
    long err = os::Reg().CreateKeyEx(root, path, 0, access, &key, nullptr);
    if (err) return err;
    err = os::Reg().SetValueEx(key, name, os::kRegSz, text, static_cast<Dword>(strlen(text) + 1));
    os::Reg().CloseKey(key);
    return err;
}

TEST(SimRegistry, TheSampleMachineHasTheOtherProgramsAssociations) {
    FreshMachine m;
    EXPECT_EQ(ReadString(os::ClassesRoot(), ".zip", ""), "WinArc.zip");
    EXPECT_EQ(ReadString(os::ClassesRoot(), ".zip", "Content Type"), "application/zip");
    EXPECT_EQ(ReadString(os::ClassesRoot(), ".zip\\ShellNew", "NullFile"), "");
    EXPECT_EQ(ReadString(os::ClassesRoot(), ".jar", ""), "jarfile");
    EXPECT_EQ(ReadString(os::ClassesRoot(), ".jar", "Content Type"), "application/java-archive");
    EXPECT_NE(ReadString(os::ClassesRoot(), "jarfile\\shell\\open\\command", ""), "<no key>");
    EXPECT_NE(ReadString(os::ClassesRoot(), "WinArc.zip\\shell\\open\\command", ""), "<no key>");
    // HKCR is HKLM\SOFTWARE\Classes.
    EXPECT_EQ(ReadString(os::LocalMachine(), "Software\\Classes\\.zip", ""), "WinArc.zip");
}

TEST(SimRegistry, DeletingAKeyWithSubkeysByFamily) {
    for (Family family : {Family::kNt, Family::k9x}) {
        SCOPED_TRACE(family == Family::kNt ? "nt" : "9x");
        MachineOptions o;
        o.family = family;
        FreshMachine m(o);
        ASSERT_EQ(WriteString(os::CurrentUser(), "Software\\T\\A\\B", "v", "1"), 0);
        const long expected = family == Family::kNt ? static_cast<long>(os::kErrorAccessDenied) : 0;
        EXPECT_EQ(os::Reg().DeleteKey(os::CurrentUser(), "Software\\T"), expected);
        EXPECT_EQ(m->Registry().Find(Hive::kCurrentUser, u"Software\\T") != nullptr,
                  family == Family::kNt);
    }
}

TEST(SimRegistry, AHandleToADeletedKeyFails) {
    FreshMachine m;
    os::Key key = nullptr;
    ASSERT_EQ(os::Reg().CreateKeyEx(os::CurrentUser(), "Software\\Gone", 0, os::kKeyAllAccess, &key,
                                    nullptr),
              0);
    ASSERT_EQ(os::Reg().DeleteKey(os::CurrentUser(), "Software\\Gone"), 0);
    EXPECT_EQ(os::Reg().SetValueEx(key, "v", os::kRegDword, "\1\0\0\0", 4), 1018);
    os::Reg().CloseKey(key);
}

// The 64-bit view: where each write lands and what each read sees.
TEST(SimRegistry, A32BitProcessOn64BitWindowsSeesTheRedirectedView) {
    MachineOptions o;
    o.win64 = true;
    FreshMachine m(o);
    struct Case {
        int line;
        os::Key root;
        const char* path;
        Dword access;
        const char16_t* stored;  // where the key lands, below HKLM
    };
    const Case cases[] = {
        {__LINE__, os::LocalMachine(), "Software\\Velkor", os::kKeyWrite,
         u"SOFTWARE\\Wow6432Node\\Velkor"},
        {__LINE__, os::LocalMachine(), "Software\\Velkor64", os::kKeyWrite | os::kKeyWow64_64Key,
         u"SOFTWARE\\Velkor64"},
        {__LINE__, os::ClassesRoot(), "CLSID\\{1}", os::kKeyWrite,
         u"SOFTWARE\\Classes\\Wow6432Node\\CLSID\\{1}"},
        {__LINE__, os::ClassesRoot(), "CLSID\\{2}", os::kKeyWrite | os::kKeyWow64_64Key,
         u"SOFTWARE\\Classes\\CLSID\\{2}"},
        {__LINE__, os::ClassesRoot(), ".vlk", os::kKeyWrite, u"SOFTWARE\\Classes\\.vlk"},  // shared
        {__LINE__, os::LocalMachine(), "Software\\Classes\\.rev", os::kKeyWrite,
         u"SOFTWARE\\Classes\\.rev"},
        {__LINE__, os::LocalMachine(), "Software\\Classes\\CLSID\\{3}", os::kKeyWrite,
         u"SOFTWARE\\Classes\\Wow6432Node\\CLSID\\{3}"},
        {__LINE__, os::LocalMachine(), "SYSTEM\\Velkor", os::kKeyWrite, u"SYSTEM\\Velkor"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case at line " << c.line);
        ASSERT_EQ(WriteString(c.root, c.path, "v", "x", c.access), 0);
        EXPECT_NE(m->Registry().Find(Hive::kLocalMachine, c.stored), nullptr);
    }
    EXPECT_EQ(m->Registry().Find(Hive::kLocalMachine, u"SOFTWARE\\Velkor"), nullptr);
    // Reads: the default view is the 32-bit one; the flag reaches the other.
    EXPECT_EQ(ReadString(os::LocalMachine(), "Software\\Velkor", "v"), "x");
    EXPECT_EQ(
        ReadString(os::LocalMachine(), "Software\\Velkor", "v", os::kKeyRead | os::kKeyWow64_64Key),
        "<no key>");
    EXPECT_EQ(ReadString(os::LocalMachine(), "Software\\Velkor64", "v"), "<no key>");
    EXPECT_EQ(ReadString(os::ClassesRoot(), "CLSID\\{2}", "v"), "<no key>");
    EXPECT_EQ(ReadString(os::ClassesRoot(), "CLSID\\{2}", "v", os::kKeyRead | os::kKeyWow64_64Key),
              "x");
    // A handle keeps its view for what is opened below it.
    os::Key software = nullptr;
    ASSERT_EQ(os::Reg().OpenKeyEx(os::LocalMachine(), "Software", os::kKeyRead, &software), 0);
    EXPECT_EQ(ReadString(software, "Velkor", "v"), "x");
    EXPECT_EQ(ReadString(software, "Wow6432Node\\Velkor", "v"), "<no key>");
    os::Reg().CloseKey(software);
    // Deleting goes through the default view too.
    EXPECT_EQ(os::Reg().DeleteKey(os::LocalMachine(), "Software\\Velkor"), 0);
    EXPECT_EQ(m->Registry().Find(Hive::kLocalMachine, u"SOFTWARE\\Wow6432Node\\Velkor"), nullptr);
    os::Bool wow64 = 0, present = 0;
    EXPECT_TRUE(os::Sys().IsWow64Process(&wow64, &present));
    EXPECT_TRUE(wow64);
    EXPECT_TRUE(present);
}

TEST(SimRegistry, On32BitWindowsTheViewFlagsChangeNothing) {
    FreshMachine m;
    ASSERT_EQ(WriteString(os::LocalMachine(), "Software\\Velkor", "v", "x",
                          os::kKeyWrite | os::kKeyWow64_64Key),
              0);
    EXPECT_NE(m->Registry().Find(Hive::kLocalMachine, u"SOFTWARE\\Velkor"), nullptr);
    EXPECT_EQ(ReadString(os::LocalMachine(), "Software\\Velkor", "v"), "x");
    ASSERT_EQ(WriteString(os::ClassesRoot(), "CLSID\\{1}", "v", "x"), 0);
    EXPECT_NE(m->Registry().Find(Hive::kLocalMachine, u"SOFTWARE\\Classes\\CLSID\\{1}"), nullptr);
    os::Bool wow64 = 1, present = 0;
    EXPECT_TRUE(os::Sys().IsWow64Process(&wow64, &present));
    EXPECT_FALSE(wow64);
}

TEST(SimRegistry, AUserWithoutAdministratorRightsCannotChangeTheMachine) {
    MachineOptions o;
    o.admin = false;
    FreshMachine m(o);
    EXPECT_EQ(WriteString(os::ClassesRoot(), ".zip", "", "Velkor.ZIP"), os::kErrorAccessDenied);
    EXPECT_EQ(WriteString(os::LocalMachine(), "Software\\New", "v", "x"), os::kErrorAccessDenied);
    EXPECT_EQ(m->Registry().Find(Hive::kLocalMachine, u"SOFTWARE\\New"), nullptr);
    EXPECT_EQ(os::Reg().DeleteKey(os::ClassesRoot(), ".zip\\ShellNew"), os::kErrorAccessDenied);
    EXPECT_EQ(ReadString(os::ClassesRoot(), ".zip", ""), "WinArc.zip");
    os::Key key = nullptr;
    EXPECT_EQ(os::Reg().OpenKeyEx(os::ClassesRoot(), ".zip", os::kKeyAllAccess, &key),
              os::kErrorAccessDenied);
    EXPECT_EQ(WriteString(os::CurrentUser(), "Software\\Velkor", "v", "x"), 0);
    // The older platforms have no access control.
    MachineOptions old;
    old.family = Family::k9x;
    old.admin = false;
    FreshMachine m9x(old);
    EXPECT_EQ(WriteString(os::ClassesRoot(), ".zip", "", "Velkor.ZIP"), 0);
    ASSERT_EQ(os::Reg().OpenKeyEx(os::ClassesRoot(), ".zip", os::kKeyRead, &key), 0);
    EXPECT_EQ(os::Reg().SetValueEx(key, "x", os::kRegSz, "y", 2), 0);  // rights are not checked
    os::Reg().CloseKey(key);
}

TEST(SimRegistry, StringsConvertWithTheAnsiCodePage) {
    for (unsigned acp : {1251u, 1252u, 932u}) {
        SCOPED_TRACE(acp);
        MachineOptions o;
        o.acp = acp;
        FreshMachine m(o);
        const std::string utf8 = acp == 1251 ? "Удаление" : acp == 1252 ? "Désinstaller" : "削除";
        const std::string ansi = m->Utf8ToAnsi(utf8);
        ASSERT_EQ(WriteString(os::CurrentUser(), "Software\\Velkor", "Text", ansi.c_str()), 0);
        EXPECT_EQ(ReadString(os::CurrentUser(), "Software\\Velkor", "Text"), ansi);
        m.Reload();  // registry.reg holds UTF-8
        EXPECT_EQ(ReadString(os::CurrentUser(), "Software\\Velkor", "Text"), ansi);
        std::string text;
        std::ifstream in(m.Folder() + "/registry.reg");
        text.assign(std::istreambuf_iterator<char>(in), {});
        EXPECT_NE(text.find("\"Text\"=\"" + utf8 + "\""), std::string::npos);
    }
}

TEST(SimRegistry, EveryCallIsTraced) {
    FreshMachine m;
    m->Trace().Clear();
    ASSERT_EQ(WriteString(os::ClassesRoot(), ".zip", "", "Velkor.ZIP"), 0);
    const std::vector<std::string> expected = {
        "RegCreateKeyExA HKCR\\.zip access=0x20006 -> 0 (opened)",
        "RegSetValueExA HKCR\\.zip @ REG_SZ \"Velkor.ZIP\" -> 0",
        "RegCloseKey HKCR\\.zip -> 0",
    };
    EXPECT_EQ(m->TraceLines(), expected);
    EXPECT_EQ(m->Trace().Count("RegSetValueExA"), 1);
}

}  // namespace
}  // namespace sim

// A fresh sample machine for the tests of the handler classes, the shell
// extension, the shortcuts and the whole integration, with OLE initialised as
// the program's entry does, and readers that look at the machine directly
// (the raw registry store, the files, the link files) rather than through the
// code under test.
#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "common/machine_fixture.h"
#include "platform/sim/machine.h"
#include "platform/sim/shell_link_format.h"
#include "platform/sim/text.h"

namespace shell_test {

using core_test::MachineSetup;

inline MachineSetup Nt() { return core_test::Nt(); }
inline MachineSetup Win64() { return core_test::Win64(); }
inline MachineSetup Win9x() { return core_test::Win9x(); }
// Windows 2000: the NT family without IsWow64Process.
inline MachineSetup Win2000() {
    MachineSetup setup;
    setup.major = 5;
    setup.minor = 0;
    return setup;
}

class ShellTest : public core_test::MachineTest {
  protected:
    void SetUp() override { UseShellMachine(Nt()); }

    // A fresh machine of `setup` with OLE initialised for the program's thread.
    void UseShellMachine(const MachineSetup& setup) {
        UseMachine(setup);
        os::Sh().OleInitialize();
    }

    // A UTF-8 text in the machine's ANSI code page, and back.
    std::string Ansi(const std::string& utf8) { return machine().Utf8ToAnsi(utf8); }
    std::string Utf8(const std::string& ansi) { return machine().AnsiToUtf8(ansi); }

    // The folder of the program file, with a trailing backslash (UTF-8).
    std::string ProgramFolder() {
        const std::string& path = machine().Config().programPath;
        return path.substr(0, path.rfind('\\') + 1);
    }
    // Moves the program file to `path` (UTF-8), making its folders.
    void MoveProgram(const std::string& path) {
        for (size_t at = path.find('\\', 3); at != std::string::npos; at = path.find('\\', at + 1))
            machine().Files().CreateDirectory(path.substr(0, at));
        if (!Exists(path)) {
            ASSERT_EQ(machine().Files().WriteAll(path, "MZ program"), 0) << path;
        }
        machine().Config().programPath = path;
    }

    // The special folder of machine.ini (UTF-8), with "\" and `name` appended.
    std::string Folder(const std::string& name, const std::string& rest = "") {
        const std::string* folder = machine().SpecialFolder(name);
        EXPECT_TRUE(folder) << "no special folder " << name;
        if (!folder) return "";
        return rest.empty() ? *folder : *folder + "\\" + rest;
    }

    bool Exists(const std::string& path) {
        os::Dword attributes = 0;
        return machine().Files().GetAttributes(path, &attributes) == 0;
    }
    std::optional<std::string> FileBytes(const std::string& path) {
        std::string bytes;
        if (machine().Files().ReadAll(path, &bytes) != 0) return std::nullopt;
        return bytes;
    }
    void PutFile(const std::string& path, const std::string& bytes) {
        ASSERT_EQ(machine().Files().WriteAll(path, bytes), 0) << path;
    }
    void PutFolder(const std::string& path) {
        ASSERT_EQ(machine().Files().CreateDirectory(path), 0) << path;
    }

    // The link file at `path`, as Windows reads it back; texts in UTF-8.
    struct Link {
        std::string target;
        std::string description;
    };
    std::optional<Link> ReadLink(const std::string& path) {
        std::optional<std::string> bytes = FileBytes(path);
        if (!bytes) return std::nullopt;
        sim::ShellLinkFile link;
        std::string error;
        if (!sim::DecodeShellLink(*bytes, machine().Ansi(), &link, &error)) {
            ADD_FAILURE() << path << ": " << error;
            return std::nullopt;
        }
        return Link{sim::Utf16ToUtf8(link.target), sim::Utf16ToUtf8(link.description)};
    }

    // The raw registry store, below a hive, without views or redirection:
    // "SOFTWARE\\Classes\\CLSID\\{...}" is the 64-bit branch,
    // "SOFTWARE\\Classes\\Wow6432Node\\CLSID\\{...}" the 32-bit one.
    bool HasRawKey(sim::Hive hive, const std::string& path) {
        return machine().Registry().Find(hive, sim::Utf8ToUtf16(path)) != nullptr;
    }
    // A REG_SZ value of the raw store (UTF-8), or nothing.
    std::optional<std::string> RawString(sim::Hive hive, const std::string& path,
                                         const std::string& name) {
        sim::RegNode* key = machine().Registry().Find(hive, sim::Utf8ToUtf16(path));
        if (!key) return std::nullopt;
        const sim::RegValue* value = key->Value(sim::Utf8ToUtf16(name));
        if (!value || value->type != os::kRegSz) return std::nullopt;
        std::u16string text;
        for (size_t i = 0; i + 1 < value->data.size(); i += 2)
            text += static_cast<char16_t>(value->data[i] | (value->data[i + 1] << 8));
        while (!text.empty() && text.back() == u'\0') text.pop_back();
        return sim::Utf16ToUtf8(text);
    }
    // HKEY_CLASSES_ROOT as the store holds it.
    static std::string Classes(const std::string& rest) { return "SOFTWARE\\Classes\\" + rest; }
    static constexpr sim::Hive kMachine = sim::Hive::kLocalMachine;
    static constexpr sim::Hive kUser = sim::Hive::kCurrentUser;
};

// The built-in texts of the program, in code page 1251 as the string table holds them.
inline std::string Cp1251(const std::string& utf8) {
    return sim::CodePage::Find(1251)->FromWide(sim::Utf8ToUtf16(utf8));
}

}  // namespace shell_test

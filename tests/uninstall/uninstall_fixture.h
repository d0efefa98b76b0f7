// A fresh sample machine for each uninstall test, in a folder of its own, with
// the program run as the process of its own that it is, and the processes it
// starts (the self-removal script) run after it.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/sim/machine.h"

namespace uninstall_test {

struct MachineKind {
    const char* name;
    sim::Family family;
    unsigned acp;
    unsigned oemcp;
};
// Both families with the Russian code pages: the cases that hold on both.
extern const MachineKind kBothFamilies[2];

class UninstallTest : public ::testing::Test {
  protected:
    UninstallTest();
    ~UninstallTest() override;
    void SetUp() override { UseMachine(kBothFamilies[0]); }

    // Replaces the machine with a fresh sample machine of `kind`.
    void UseMachine(const MachineKind& kind);
    // The same with every option of the sample (64-bit Windows, other
    // versions, code pages, rights).
    void UseMachine(const sim::MachineOptions& options);
    sim::Machine& machine() { return *machine_; }
    bool Nt() const { return machine_->Config().Nt(); }

    // The program file and its folder (with the trailing backslash), as
    // Windows paths in UTF-8.
    std::string Program() const { return machine_->Config().programPath; }
    std::string Folder() const;
    // The self-removal script's path in the temporary folder.
    std::string ScriptPath() const;

    // Moves the program file and its list into the new folder of
    // `programPath` (made with its parents); the other files stay.
    void MoveProgram(const std::string& programPath);

    // Files of the machine by Windows path (UTF-8); the test fails when a
    // file cannot be written.
    void PutFile(const std::string& path, const std::string& bytes);
    void MakeFolder(const std::string& path);
    bool Exists(const std::string& path) const;
    std::string ReadFile(const std::string& path) const;
    void SetAttributes(const std::string& path, os::Dword attributes);
    // Uninstall.lst in the program folder.
    void SetList(const std::string& bytes) { PutFile(Folder() + "Uninstall.lst", bytes); }
    // A file held open by another process ("image", "open" or "locked").
    void MakeBusy(const std::string& path, const std::string& how);
    // The user's next answers ("yes", "no", "ok", ...).
    void Answer(const std::vector<std::string>& actions);

    // Runs the program with the command-line tail `tail` to its exit; the
    // processes it starts wait (RunStarted).
    void RunProgram(const std::string& tail);
    // Runs the processes that the program started, to the end of the last.
    void RunStarted();
    // Runs `body` inside the program's process, as the entry would.
    void InProgram(const std::function<void()>& body);

    // The trace lines of `call` (the lines that begin with it and a blank).
    std::vector<std::string> Calls(const std::string& call) const;
    // The position of the first trace line that begins with `prefix`; the
    // test fails when there is none.
    size_t Position(const std::string& prefix) const;
    // The captions and texts of the message boxes shown, "caption|text".
    std::vector<std::string> Boxes() const;

    // Every file and folder of the machine: path -> bytes ("<folder>" for a
    // folder), leaving out the paths below `except` (folded comparison).
    std::map<std::string, std::string> Snapshot(const std::string& except = "") const;

  private:
    std::string dir_;
    std::unique_ptr<sim::Machine> machine_;
};

// Bytes of a UTF-8 text in a machine's ANSI code page.
std::string Ansi(sim::Machine& m, const std::string& utf8);

}  // namespace uninstall_test

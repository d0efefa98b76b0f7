// A fresh simulated machine for each localisation test, with the program's
// process-wide state started afresh on it, and helpers to put a language
// file and a language module beside the program.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/platform.h"

namespace sim {
class Machine;
}

namespace lng_test {

// The language modules the sim build makes (cmake/resources.cmake).
std::string EnglishModulePath();    // English, 32-bit
std::string EnglishModule64Path();  // the same as a 64-bit file
std::string RtlTestModulePath();    // right to left, lacks 5107, empty 5104
// The whole content of a host file; the test fails when it cannot be read.
std::string ReadHostFile(const std::string& path);

// Bytes in the code page 1251 of a UTF-8 text.
std::string Cp1251(const std::string& utf8);

class LocalisationTest : public ::testing::Test {
  protected:
    LocalisationTest();
    ~LocalisationTest() override;
    void SetUp() override { UseMachine(1251); }

    // Replaces the test's machine with a fresh sample machine whose ANSI code
    // page is `acp`, installs it and starts the process-wide state afresh.
    void UseMachine(unsigned acp);
    sim::Machine& machine();
    // The program's instance handle on the simulated machine.
    os::Module Instance() const;
    // "C:\Program Files\Velkor\" (the program's folder, with the backslash).
    std::string ProgramFolder() const;
    // Writes `bytes` into the file at the Windows path `path` (UTF-8).
    void PutFile(const std::string& path, const std::string& bytes);
    // Puts the host file `hostPath` beside the program as vlklng.dll.
    void PutModule(const std::string& hostPath);
    // Puts a language file beside the program as uninstall.lng.
    void PutLanguageFile(const std::string& bytes) {
        PutFile(ProgramFolder() + "uninstall.lng", bytes);
    }
    // The start-up of the program's localisation: the language module, then
    // the language file "uninstall.lng".
    void StartLocalisation();

  private:
    struct Holder;
    std::unique_ptr<Holder> holder_;
};

// A language file: the marker, then `lines` (each followed by CR LF).
std::string LanguageFile(const std::string& lines);
// The translation line of `text` (key type, dialog name) with `translation`.
std::string Entry(int keyType, const char* dialogName, const std::string& text,
                  const std::string& translation);

}  // namespace lng_test

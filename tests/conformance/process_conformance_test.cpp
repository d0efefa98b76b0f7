// Starting a process, as Windows answers (checked under wine64 too): what
// CreateProcessA refuses, and a start of the command interpreter.
#include <string>
#include <vector>

#include "conformance/fixture.h"

namespace conformance {
namespace {

using os::Dword;

constexpr Dword kErrorDirectory = 267;  // ERROR_DIRECTORY

class ProcessConformance : public ConformanceTest {
  protected:
    // CreateProcessA with the command line `commandLine`, hidden, in the
    // working folder `directory` (null: the caller's).
    bool Start(const std::string& commandLine, const char* directory = nullptr) {
        std::vector<char> line(commandLine.begin(), commandLine.end());
        line.push_back('\0');
        os::StartupInfo startup{};
        startup.size = os::kStartupInfoSize;
        startup.flags = os::kStartfUseShowWindow;
        startup.showWindow = os::kSwHide;
        started_ = os::ProcessInformation{};
        return os::Proc().CreateProcessA(nullptr, line.data(), 0, 0, directory, &startup,
                                         &started_) != 0;
    }
    Dword Error() { return os::Sys().GetLastError(); }
    std::string Comspec() {
        char value[1024];
        const Dword length = os::Sys().GetEnvironmentVariableA("COMSPEC", value, sizeof value);
        EXPECT_GT(length, 0u);
        EXPECT_LT(length, sizeof value);
        return length > 0 && length < sizeof value ? value : "";
    }
    os::ProcessInformation started_{};
};

TEST_F(ProcessConformance, ProgramThatDoesNotExist) {
    const struct {
        int line;
        std::string commandLine;
    } cases[] = {
        {__LINE__, "\"" + Path("missing.exe") + "\" /wait"},
        {__LINE__, Path("missing") + " /wait"},
        // COMSPEC unset: the command line starts with a blank.
        {__LINE__, " /c \"" + Path("script.bat") + "\""},
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(Start(c.commandLine)) << "case at line " << c.line;
        EXPECT_EQ(Error(), static_cast<Dword>(os::kErrorFileNotFound)) << "case at line " << c.line;
    }
}

TEST_F(ProcessConformance, WorkingFolderThatIsNoFolder) {
    EXPECT_FALSE(Start(Comspec() + " /c exit", Path("missing").c_str()));
    EXPECT_EQ(Error(), kErrorDirectory);
}

TEST_F(ProcessConformance, InterpreterStarts) {
    ASSERT_TRUE(Start(Comspec() + " /c exit", Path().c_str())) << Error();
    EXPECT_NE(started_.process, nullptr);
    EXPECT_NE(started_.thread, nullptr);
    EXPECT_NE(started_.processId, 0u);
}

}  // namespace
}  // namespace conformance

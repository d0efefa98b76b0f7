#include "localisation/lng_fixture.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/entry.h"
#include "localisation/ext_resource.h"
#include "localisation/language_resources.h"
#include "localisation/text_key.h"
#include "platform/sim/machine.h"
#include "platform/sim/services.h"
#include "platform/sim/text.h"

namespace lng_test {

namespace fs = std::filesystem;

std::string EnglishModulePath() { return std::string(VLK_BINARY_DIR) + "/lang/vlklng.dll"; }
std::string EnglishModule64Path() { return std::string(VLK_BINARY_DIR) + "/lang/x64/vlklng.dll"; }
std::string RtlTestModulePath() { return std::string(VLK_BINARY_DIR) + "/lang/rtltest/vlklng.dll"; }

std::string ReadHostFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    EXPECT_TRUE(in.good() || in.eof()) << "cannot read " << path;
    EXPECT_FALSE(bytes.str().empty()) << path << " is missing or empty";
    return bytes.str();
}

std::string Cp1251(const std::string& utf8) {
    return sim::CodePage::Find(1251)->FromWide(sim::Utf8ToUtf16(utf8));
}

struct LocalisationTest::Holder {
    std::string folder;
    std::unique_ptr<sim::Machine> machine;

    ~Holder() {
        // What static destruction would release, while the machine is there.
        if (machine) ProgramProcessEnd();
        machine.reset();
        std::error_code ec;
        if (!folder.empty()) fs::remove_all(folder, ec);
    }
};

LocalisationTest::LocalisationTest() = default;
LocalisationTest::~LocalisationTest() = default;

void LocalisationTest::UseMachine(unsigned acp) {
    holder_.reset();
    holder_ = std::make_unique<Holder>();
    char pattern[] = "/tmp/vlk-lng-XXXXXX";
    ASSERT_TRUE(mkdtemp(pattern)) << "no temporary folder";
    holder_->folder = pattern;
    const std::string dir = holder_->folder + "/machine";
    sim::MachineOptions options;
    options.acp = acp;
    std::string error;
    ASSERT_TRUE(sim::WriteSampleMachine(dir, options, &error)) << error;
    holder_->machine = sim::Machine::Load(dir, &error);
    ASSERT_TRUE(holder_->machine) << error;
    holder_->machine->Install();
    ProgramProcessStart();
}

sim::Machine& LocalisationTest::machine() { return *holder_->machine; }

os::Module LocalisationTest::Instance() const { return sim::SimSystem::ProgramInstance(); }

std::string LocalisationTest::ProgramFolder() const {
    const std::string& program = holder_->machine->Config().programPath;
    return program.substr(0, program.rfind('\\') + 1);
}

void LocalisationTest::PutFile(const std::string& path, const std::string& bytes) {
    ASSERT_EQ(machine().Files().WriteAll(path, bytes), 0) << path;
}

void LocalisationTest::PutModule(const std::string& hostPath) {
    PutFile(ProgramFolder() + "vlklng.dll", ReadHostFile(hostPath));
}

void LocalisationTest::StartLocalisation() {
    TheExtResource().Load(Instance(), nullptr);
    TheLanguageResources().Load("uninstall.lng");
}

std::string LanguageFile(const std::string& lines) {
    return "; a language file\r\n***messages***\r\n" + lines;
}

std::string Entry(int keyType, const char* dialogName, const std::string& text,
                  const std::string& translation) {
    char key[kTextKeySize];
    ComputeTextKey(key, keyType, dialogName, text.c_str());
    return std::string(key) + "=\"" + translation + "\"\r\n";
}

}  // namespace lng_test

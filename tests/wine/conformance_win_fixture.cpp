// The conformance suite's machine under Windows (wine64): the real API, with a
// scratch key below HKEY_CURRENT_USER and a scratch folder in the temporary
// folder, both made fresh for each test and removed after it.
#include <process.h>

#include <atomic>
#include <filesystem>
#include <string>
#include <system_error>

#include "conformance/fixture.h"

namespace os {
void DefaultPlatform(Platform* platform);
}

namespace conformance {
namespace {

std::string UniqueName() {
    static std::atomic<int> counter{0};
    return "VlkConformance-" + std::to_string(_getpid()) + "-" + std::to_string(++counter);
}

// Deletes a key and everything below it, deepest keys first (RegDeleteKey
// refuses a key with subkeys on the NT family).
void DeleteTree(os::Registry& reg, os::Key root, const std::string& path) {
    os::Key key = nullptr;
    if (reg.OpenKeyEx(root, path.c_str(), os::kKeyAllAccess, &key) == os::kErrorSuccess) {
        for (;;) {
            char name[256];
            os::Dword size = sizeof name;
            if (reg.EnumKeyEx(key, 0, name, &size) != os::kErrorSuccess) break;
            const std::string child = path + "\\" + name;
            DeleteTree(reg, root, child);
            // A key that could not be deleted would be enumerated again forever.
            os::Key still = nullptr;
            if (reg.OpenKeyEx(root, child.c_str(), os::kKeyRead, &still) == os::kErrorSuccess) {
                reg.CloseKey(still);
                break;
            }
        }
        reg.CloseKey(key);
    }
    reg.DeleteKey(root, path.c_str());
}

class WinMachine final : public Machine {
  public:
    WinMachine() {
        os::DefaultPlatform(&platform_);
        const std::string name = UniqueName();

        key_ = "Software\\" + name;
        os::Key key = nullptr;
        if (platform_.registry->CreateKeyEx(os::CurrentUser(), key_.c_str(),
                                            os::kRegOptionNonVolatile, os::kKeyAllAccess, &key,
                                            nullptr) == os::kErrorSuccess) {
            platform_.registry->CloseKey(key);
        }

        char temp[1024];
        const os::Dword length = platform_.files->GetTempPathA(sizeof temp, temp);
        std::string folder =
            length > 0 && length < sizeof temp ? std::string(temp, length) : "C:\\";
        if (folder.back() != '\\') folder += '\\';
        folder_ = folder + name;
        platform_.files->CreateDirectoryA(folder_.c_str());
    }

    ~WinMachine() override {
        DeleteTree(*platform_.registry, os::CurrentUser(), key_);
        std::error_code ec;
        for (auto it = std::filesystem::recursive_directory_iterator(folder_, ec);
             !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
            platform_.files->SetFileAttributesA(it->path().string().c_str(),
                                                os::kFileAttributeNormal);
        }
        std::filesystem::remove_all(folder_, ec);
    }

    os::Platform Platform() const override { return platform_; }
    std::string ScratchKey() const override { return key_; }
    std::string ScratchFolder() const override { return folder_; }
    bool NtFamily() const override {
        os::VersionInfo version{};
        return platform_.system->GetVersionExA(&version) &&
               version.platformId == os::kPlatformWin32Nt;
    }

  private:
    os::Platform platform_{};
    std::string key_;
    std::string folder_;
};

}  // namespace

std::unique_ptr<Machine> MakeConformanceMachine() { return std::make_unique<WinMachine>(); }

}  // namespace conformance

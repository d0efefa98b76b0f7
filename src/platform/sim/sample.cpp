// The built-in sample machine: the archiver installed, .zip and .jar owned by
// other programs, the folders and environment of a Windows of the chosen kind.
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "platform/sim/machine.h"
#include "platform/sim/text.h"

namespace sim {

namespace {

struct Layout {
    std::string windows, system, programFiles, program, profile, allUsers, temp, appData;
    std::string desktop, startMenu, commonDesktop, commonStartMenu, personal, templates;
};

Layout LayoutFor(const MachineConfig& c) {
    Layout l;
    if (!c.Nt()) {
        l.windows = "C:\\WINDOWS";
        l.system = l.windows + "\\SYSTEM";
        l.programFiles = "C:\\Program Files";
        l.temp = l.windows + "\\TEMP";
        l.appData = l.windows + "\\Application Data";
        l.desktop = l.windows + "\\Desktop";
        l.startMenu = l.windows + "\\Start Menu";
        l.commonDesktop = l.desktop;
        l.commonStartMenu = l.startMenu;
        l.personal = "C:\\My Documents";
        l.templates = l.windows + "\\ShellNew";
    } else if (c.major >= 6) {
        l.windows = "C:\\Windows";
        l.system = l.windows + "\\system32";
        l.programFiles = c.win64 ? "C:\\Program Files (x86)" : "C:\\Program Files";
        l.profile = "C:\\Users\\User";
        l.allUsers = "C:\\ProgramData";
        l.temp = l.profile + "\\AppData\\Local\\Temp";
        l.appData = l.profile + "\\AppData\\Roaming";
        l.desktop = l.profile + "\\Desktop";
        l.startMenu = l.appData + "\\Microsoft\\Windows\\Start Menu";
        l.commonDesktop = "C:\\Users\\Public\\Desktop";
        l.commonStartMenu = l.allUsers + "\\Microsoft\\Windows\\Start Menu";
        l.personal = l.profile + "\\Documents";
        l.templates = l.appData + "\\Microsoft\\Windows\\Templates";
    } else {
        l.windows = "C:\\WINDOWS";
        l.system = l.windows + "\\system32";
        l.programFiles = c.win64 ? "C:\\Program Files (x86)" : "C:\\Program Files";
        l.profile = "C:\\Documents and Settings\\User";
        l.allUsers = "C:\\Documents and Settings\\All Users";
        l.temp = l.profile + "\\Local Settings\\Temp";
        l.appData = l.profile + "\\Application Data";
        l.desktop = l.profile + "\\Desktop";
        l.startMenu = l.profile + "\\Start Menu";
        l.commonDesktop = l.allUsers + "\\Desktop";
        l.commonStartMenu = l.allUsers + "\\Start Menu";
        l.personal = l.profile + "\\My Documents";
        l.templates = l.profile + "\\Templates";
    }
    l.program = l.programFiles + "\\Velkor";
    return l;
}

// The files of the installed archiver, relative to its folder, as the
// installation wrote them, in the order of its list of installed files:
// each folder after the files in it.
const char* const kInstalledFiles[] = {
    "Velkor.exe",   "Velkor.hlp",       "Vlk.txt",          "vlkext.dll",
    "vlkext64.dll", "Formats\\Cab.fmt", "Formats\\Lzh.fmt", "Formats\\Readme.txt",
};

class Writer {
  public:
    explicit Writer(std::string dir) : dir_(std::move(dir)) {}

    // A file or folder of the machine, by its Windows path.
    void File(const std::string& windowsPath, const std::string& bytes) {
        const std::string host = Host(windowsPath);
        std::filesystem::create_directories(std::filesystem::path(host).parent_path(), ec_);
        std::ofstream out(host, std::ios::binary);
        out << bytes;
        if (!out) failed_ = host;
    }
    void Folder(const std::string& windowsPath) {
        std::filesystem::create_directories(Host(windowsPath), ec_);
        if (ec_) failed_ = windowsPath;
    }
    void Text(const std::string& name, const std::string& text) {
        std::ofstream out(dir_ + "/" + name, std::ios::binary);
        out << text;
        if (!out) failed_ = name;
    }
    const std::string& Failed() const { return failed_; }

  private:
    std::string Host(const std::string& windowsPath) const {
        std::string host = dir_ + "/drives/" + windowsPath.substr(0, 1);
        for (char c : windowsPath.substr(2)) host += c == '\\' ? '/' : c;
        return host;
    }
    std::string dir_;
    std::error_code ec_;
    std::string failed_;
};

}  // namespace

bool WriteSampleMachine(const std::string& dir, const MachineOptions& options, std::string* error) {
    struct stat st;
    if (stat(dir.c_str(), &st) == 0) {
        *error = dir + " exists already";
        return false;
    }
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    if (ec) {
        *error = "cannot create " + dir + ": " + ec.message();
        return false;
    }

    MachineConfig c;
    c.family = options.family;
    c.major = options.major ? options.major : (options.family == Family::kNt ? 5 : 4);
    c.minor = options.major ? options.minor : (options.family == Family::kNt ? 1 : 10);
    c.win64 = options.win64;
    c.acp = options.acp;
    c.oemcp = options.oemcp;
    c.admin = options.admin;
    if (c.Nt() && c.major == 5 && c.minor == 1) c.servicePack = "Service Pack 3";
    const Layout l = LayoutFor(c);
    c.programPath = l.program + "\\uninstall.exe";

    const std::string comspec = c.Nt() ? l.system + "\\cmd.exe" : l.windows + "\\COMMAND.COM";
    if (c.Nt()) {
        c.environment = {
            {"ALLUSERSPROFILE", l.allUsers},
            {"APPDATA", l.appData},
            {"COMPUTERNAME", "VELKOR-PC"},
            {"COMSPEC", comspec},
            {"HOMEDRIVE", "C:"},
            {"HOMEPATH", l.profile.substr(2)},
            {"OS", "Windows_NT"},
            {"PATH", l.system + ";" + l.windows + ";" + l.system + "\\Wbem"},
            {"PATHEXT", ".COM;.EXE;.BAT;.CMD"},
            {"ProgramFiles", l.programFiles},
            {"SystemDrive", "C:"},
            {"SystemRoot", l.windows},
            {"TEMP", l.temp},
            {"TMP", l.temp},
            {"USERNAME", "User"},
            {"USERPROFILE", l.profile},
            {"windir", l.windows},
        };
        if (c.win64) {
            c.environment.push_back({"ProgramW6432", "C:\\Program Files"});
            c.environment.push_back({"PROCESSOR_ARCHITEW6432", "AMD64"});
        }
    } else {
        c.environment = {
            {"COMSPEC", comspec},  {"PATH", l.windows + ";" + l.windows + "\\COMMAND"},
            {"PROMPT", "$p$g"},    {"TEMP", l.temp},
            {"TMP", l.temp},       {"winbootdir", l.windows},
            {"windir", l.windows},
        };
    }
    c.folders = {
        {"desktop", l.desktop},
        {"startmenu", l.startMenu},
        {"programs", l.startMenu + "\\Programs"},
        {"startup", l.startMenu + "\\Programs\\Startup"},
        {"appdata", l.appData},
        {"personal", l.personal},
        {"templates", l.templates},
        {"common_desktop", l.commonDesktop},
        {"common_startmenu", l.commonStartMenu},
        {"common_programs", l.commonStartMenu + "\\Programs"},
        {"windows", l.windows},
        {"system", l.system},
        {"program_files", l.programFiles},
    };
    if (c.Nt()) {
        // What a limited user may not change on the NT family.
        c.denied = {{l.windows, "nonadmin"}, {"C:\\Program Files", "nonadmin"}};
        if (c.win64) c.denied.push_back({"C:\\Program Files (x86)", "nonadmin"});
    }

    Writer w(dir);
    w.Text("machine.ini", c.Format());

    // Files.
    w.File(c.programPath,
           "MZ\x90 Velkor uninstall.exe (the program file of the simulated machine)\r\n");
    for (const char* name : kInstalledFiles) {
        const std::string path = l.program + "\\" + name;
        w.File(path, std::string("Velkor archiver: ") + name + "\r\n");
    }
    std::string list;
    for (const char* name : kInstalledFiles) {
        list += std::string(name) + "\r\n";
        if (std::string(name) == "Formats\\Readme.txt") list += "Formats\r\n";
    }
    // The new-archive templates that setup writes into the program folder are
    // listed too, so that the uninstall leaves the folder empty.
    list += "vlknew.dat\r\nzipnew.dat\r\nuninstall.exe\r\nUninstall.lst\r\n";
    w.File(l.program + "\\Uninstall.lst", list);
    w.File(l.programFiles + "\\WinArc\\WinArc.exe", "WinArc archiver\r\n");
    w.File(l.programFiles + "\\Java\\jre6\\bin\\javaw.exe", "Java runtime\r\n");
    w.File(comspec, "the command interpreter\r\n");
    w.File(l.windows + "\\win.ini", "[windows]\r\n");
    for (const std::string& folder :
         {l.system, l.temp, l.desktop, l.startMenu + "\\Programs\\Startup", l.appData, l.personal,
          l.templates, l.commonDesktop, l.commonStartMenu + "\\Programs"})
        w.Folder(folder);
    if (c.win64) w.Folder("C:\\Program Files\\Common Files");

    // Registry.
    RegistryStore reg;
    auto set = [&](Hive hive, const std::string& key, const std::string& name,
                   const std::string& value) {
        reg.Create(hive, Utf8ToUtf16(key))->SetValue(Utf8ToUtf16(name), 1, RegSzBytes(value));
    };
    auto key = [&](Hive hive, const std::string& path) { reg.Create(hive, Utf8ToUtf16(path)); };
    const Hive lm = Hive::kLocalMachine, cu = Hive::kCurrentUser;
    const std::string classes = "SOFTWARE\\Classes\\";
    const std::string winarc = "C:\\Program Files\\WinArc\\WinArc.exe";
    set(lm, classes + ".zip", "", "WinArc.zip");
    set(lm, classes + ".zip", "Content Type", "application/zip");
    set(lm, classes + ".zip\\ShellNew", "NullFile", "");
    set(lm, classes + "WinArc.zip", "", "WinArc ZIP archive");
    set(lm, classes + "WinArc.zip\\DefaultIcon", "", winarc + ",1");
    set(lm, classes + "WinArc.zip\\shell\\open\\command", "", "\"" + winarc + "\" \"%1\"");
    set(lm, classes + ".jar", "", "jarfile");
    set(lm, classes + ".jar", "Content Type", "application/java-archive");
    set(lm, classes + "jarfile", "", "Executable Jar File");
    set(lm, classes + "jarfile\\shell\\open\\command", "",
        "\"" + l.programFiles + "\\Java\\jre6\\bin\\javaw.exe\" -jar \"%1\" %*");
    set(lm, classes + ".txt", "", "txtfile");
    set(lm, classes + "txtfile", "", "Text Document");
    set(lm, classes + "txtfile\\shell\\open\\command", "", l.system + "\\NOTEPAD.EXE %1");
    key(lm, classes + "CLSID");
    const std::vector<std::string> softwareRoots =
        c.win64 ? std::vector<std::string>{"SOFTWARE\\", "SOFTWARE\\Wow6432Node\\"}
                : std::vector<std::string>{"SOFTWARE\\"};
    for (const std::string& root : softwareRoots) {
        const std::string cv = root + "Microsoft\\Windows\\CurrentVersion";
        set(lm, cv, "ProgramFilesDir",
            root == "SOFTWARE\\" && c.win64 ? "C:\\Program Files" : l.programFiles);
        set(lm, cv, "CommonFilesDir",
            (root == "SOFTWARE\\" && c.win64 ? "C:\\Program Files" : l.programFiles) +
                "\\Common Files");
        key(lm, cv + "\\App Paths");
        key(lm, cv + "\\Uninstall");
        if (c.Nt()) key(lm, cv + "\\Shell Extensions\\Approved");
    }
    if (c.win64) key(lm, classes + "Wow6432Node\\CLSID");
    key(lm, "SYSTEM\\CurrentControlSet\\Control\\Session Manager");
    key(cu, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer");
    key(cu, "Software\\Classes");
    w.Text("registry.reg", reg.Save());
    w.Text("files.ini", "[attributes]\n\n[short names]\n");

    if (!w.Failed().empty()) {
        *error = "cannot write the sample machine: " + w.Failed();
        return false;
    }
    return true;
}

}  // namespace sim

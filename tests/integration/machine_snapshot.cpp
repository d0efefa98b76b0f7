#include "integration/machine_snapshot.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/sim/machine.h"
#include "platform/sim/text.h"

namespace shell_test {

namespace {

std::string ValueText(const sim::RegValue& value) {
    std::ostringstream out;
    if (value.type == os::kRegSz || value.type == os::kRegExpandSz) {
        std::u16string text;
        for (size_t i = 0; i + 1 < value.data.size(); i += 2)
            text += static_cast<char16_t>(value.data[i] | (value.data[i + 1] << 8));
        if (!text.empty() && text.back() == u'\0') text.pop_back();
        out << (value.type == os::kRegSz ? "REG_SZ " : "REG_EXPAND_SZ ")
            << sim::Quote(sim::Utf16ToUtf8(text));
    } else {
        out << "type=" << value.type << " hex:";
        char hex[4];
        for (uint8_t byte : value.data) {
            snprintf(hex, sizeof hex, "%02x,", byte);
            out << hex;
        }
    }
    return out.str();
}

void AddKey(const sim::RegNode& node, const std::string& path, std::set<std::string>* lines) {
    lines->insert("key " + path);
    for (const sim::RegValue& value : node.Values()) {
        const std::string name =
            value.name.empty() ? "@" : sim::Quote(sim::FoldUtf8(sim::Utf16ToUtf8(value.name)));
        lines->insert("value " + path + " " + name + " = " + ValueText(value));
    }
    for (size_t i = 0; i < node.ChildCount(); ++i) {
        const sim::RegNode* child = node.ChildAt(i);
        AddKey(*child, path + "\\" + sim::FoldUtf8(sim::Utf16ToUtf8(child->Name())), lines);
    }
}

}  // namespace

std::set<std::string> Snapshot(sim::Machine& machine) {
    std::set<std::string> lines;
    AddKey(*machine.Registry().Root(sim::Hive::kLocalMachine), "HKLM", &lines);
    AddKey(*machine.Registry().Root(sim::Hive::kCurrentUser), "HKCU", &lines);
    namespace fs = std::filesystem;
    const std::string root = machine.Files().Root();
    for (const auto& drive : fs::directory_iterator(root)) {
        for (const auto& entry : fs::recursive_directory_iterator(drive.path())) {
            std::string relative = fs::relative(entry.path(), drive.path()).string();
            std::replace(relative.begin(), relative.end(), '/', '\\');
            const std::string path = drive.path().filename().string() + ":\\" + relative;
            const std::string name = sim::FoldUtf8(path);
            if (entry.is_directory()) {
                lines.insert("folder " + name);
                continue;
            }
            os::Dword attributes = 0;
            machine.Files().GetAttributes(path, &attributes);
            std::ifstream in(entry.path(), std::ios::binary);
            std::ostringstream bytes;
            bytes << in.rdbuf();
            lines.insert("file " + name + " attributes=" + sim::Hex(attributes) +
                         " bytes=" + sim::Quote(bytes.str()));
        }
    }
    return lines;
}

std::vector<std::string> Difference(const std::set<std::string>& before,
                                    const std::set<std::string>& after) {
    std::vector<std::string> out;
    for (const std::string& line : after)
        if (!before.count(line)) out.push_back("+ " + line);
    for (const std::string& line : before)
        if (!after.count(line)) out.push_back("- " + line);
    return out;
}

}  // namespace shell_test

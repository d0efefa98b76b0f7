#include "integration/reg_dump.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "platform/platform.h"

namespace assoc_test {
namespace {

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

bool LessNoCase(const std::string& a, const std::string& b) { return Lower(a) < Lower(b); }

std::string Hex(const std::vector<unsigned char>& data) {
    std::string text;
    char byte[4];
    for (unsigned char b : data) {
        std::snprintf(byte, sizeof byte, "%02x", b);
        if (!text.empty()) text += ' ';
        text += byte;
    }
    return text;
}

std::string Replace(std::string text, const std::string& from, const std::string& to) {
    if (from.empty()) return text;
    for (size_t at = 0; (at = Lower(text).find(Lower(from), at)) != std::string::npos;) {
        text.replace(at, from.size(), to);
        at += to.size();
    }
    return text;
}

std::string Child(const std::string& path, const std::string& name) {
    return path.empty() ? name : path + "\\" + name;
}

std::string RootName(os::Key root) {
    if (root == os::ClassesRoot()) return "HKCR";
    if (root == os::CurrentUser()) return "HKCU";
    if (root == os::LocalMachine()) return "HKLM";
    return "?";
}

// The names of the subkeys of an open key, in the order the registry gives them.
std::vector<std::string> SubkeyNames(os::Key key) {
    std::vector<std::string> names;
    for (os::Dword index = 0;; ++index) {
        char name[512];
        os::Dword nameSize = sizeof name;
        if (os::Reg().EnumKeyEx(key, index, name, &nameSize) != os::kErrorSuccess) break;
        names.emplace_back(name, nameSize);
    }
    return names;
}

void DumpInto(os::Key root, const std::string& path, const std::string& folder, std::string* out) {
    os::Registry& reg = os::Reg();
    os::Key key = nullptr;
    if (reg.OpenKeyEx(root, path.c_str(), os::kKeyRead, &key) != os::kErrorSuccess) return;
    *out += "[" + RootName(root) + "\\" + path + "]\n";

    struct Value {
        std::string name;
        os::Dword type;
        std::vector<unsigned char> data;
    };
    std::vector<Value> values;
    for (os::Dword index = 0;; ++index) {
        char name[512];
        os::Dword nameSize = sizeof name;
        std::vector<unsigned char> data(4096);
        os::Dword dataSize = static_cast<os::Dword>(data.size());
        os::Dword type = 0;
        if (reg.EnumValue(key, index, name, &nameSize, &type, data.data(), &dataSize) !=
            os::kErrorSuccess) {
            break;
        }
        data.resize(dataSize);
        values.push_back({std::string(name, nameSize), type, data});
    }
    std::sort(values.begin(), values.end(),
              [](const Value& a, const Value& b) { return LessNoCase(a.name, b.name); });
    for (const Value& v : values) {
        std::string line = "  \"" + v.name + "\" = ";
        if (v.type == os::kRegSz) {
            std::string text(v.data.begin(), v.data.end());
            text = text.substr(0, text.find('\0'));
            // The size only when it is not the text's with one terminator
            // (it changes with the program folder, which is written as a name).
            line += "sz";
            if (v.data.size() != text.size() + 1) line += "(" + std::to_string(v.data.size()) + ")";
            line += " \"" + Replace(text, folder, "<program>\\") + "\"";
        } else if (v.type == os::kRegDword) {
            line += "dword " + Hex(v.data);
        } else {
            line += "type " + std::to_string(v.type) + " " + Hex(v.data);
        }
        *out += line + "\n";
    }

    std::vector<std::string> subkeys = SubkeyNames(key);
    reg.CloseKey(key);
    std::sort(subkeys.begin(), subkeys.end(), LessNoCase);
    for (const std::string& sub : subkeys) DumpInto(root, Child(path, sub), folder, out);
}

}  // namespace

void PutKey(os::Key root, const std::string& path) {
    os::Key key = nullptr;
    if (os::Reg().CreateKeyEx(root, path.c_str(), os::kRegOptionNonVolatile, os::kKeyAllAccess,
                              &key, nullptr) == os::kErrorSuccess) {
        os::Reg().CloseKey(key);
    }
}

void PutValue(os::Key root, const std::string& path, const std::string& name, os::Dword type,
              const void* data, os::Dword size) {
    os::Key key = nullptr;
    if (os::Reg().CreateKeyEx(root, path.c_str(), os::kRegOptionNonVolatile, os::kKeyAllAccess,
                              &key, nullptr) != os::kErrorSuccess) {
        return;
    }
    os::Reg().SetValueEx(key, name.c_str(), type, data, size);
    os::Reg().CloseKey(key);
}

void PutDword(os::Key root, const std::string& path, const std::string& name, os::Dword value) {
    const unsigned char data[4] = {
        static_cast<unsigned char>(value), static_cast<unsigned char>(value >> 8),
        static_cast<unsigned char>(value >> 16), static_cast<unsigned char>(value >> 24)};
    PutValue(root, path, name, os::kRegDword, data, sizeof data);
}

void PutString(os::Key root, const std::string& path, const std::string& name,
               const std::string& text) {
    PutValue(root, path, name, os::kRegSz, text.c_str(), static_cast<os::Dword>(text.size() + 1));
}

std::optional<RawValue> ReadRaw(os::Key root, const std::string& path, const std::string& name) {
    os::Key key = nullptr;
    if (os::Reg().OpenKeyEx(root, path.c_str(), os::kKeyRead, &key) != os::kErrorSuccess) {
        return std::nullopt;
    }
    RawValue value{0, std::vector<unsigned char>(4096)};
    os::Dword size = static_cast<os::Dword>(value.data.size());
    long result = os::Reg().QueryValueEx(key, name.c_str(), &value.type, value.data.data(), &size);
    os::Reg().CloseKey(key);
    if (result != os::kErrorSuccess) return std::nullopt;
    value.data.resize(size);
    return value;
}

std::optional<std::string> ReadString(os::Key root, const std::string& path,
                                      const std::string& name) {
    std::optional<RawValue> value = ReadRaw(root, path, name);
    if (!value) return std::nullopt;
    std::string text(value->data.begin(), value->data.end());
    return text.substr(0, text.find('\0'));
}

std::optional<os::Dword> ReadDword(os::Key root, const std::string& path, const std::string& name) {
    std::optional<RawValue> raw = ReadRaw(root, path, name);
    if (!raw || raw->type != os::kRegDword || raw->data.size() != 4) return std::nullopt;
    return raw->data[0] | raw->data[1] << 8 | raw->data[2] << 16 |
           static_cast<os::Dword>(raw->data[3]) << 24;
}

bool HasKey(os::Key root, const std::string& path) {
    os::Key key = nullptr;
    if (os::Reg().OpenKeyEx(root, path.c_str(), os::kKeyQueryValue, &key) != os::kErrorSuccess) {
        return false;
    }
    os::Reg().CloseKey(key);
    return true;
}

void EraseTree(os::Key root, const std::string& path) {
    if (path.empty()) return;  // never a whole root
    os::Registry& reg = os::Reg();
    os::Key key = nullptr;
    if (reg.OpenKeyEx(root, path.c_str(), os::kKeyRead, &key) == os::kErrorSuccess) {
        const std::vector<std::string> subkeys = SubkeyNames(key);
        reg.CloseKey(key);
        for (const std::string& sub : subkeys) EraseTree(root, Child(path, sub));
    }
    reg.DeleteKey(root, path.c_str());
}

std::string DumpKey(os::Key root, const std::string& path, const std::string& folder) {
    std::string out;
    DumpInto(root, path, folder, &out);
    return out;
}

}  // namespace assoc_test

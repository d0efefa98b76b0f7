#include "platform/sim/registry_store.h"

#include <cstdio>
#include <iterator>

#include "platform/sim/text.h"
#include "platform/sim/text_file.h"

namespace sim {

// ---- keys ----

RegNode* RegNode::Child(std::u16string_view name) const {
    auto it = children_.find(Upcase(name));
    return it == children_.end() ? nullptr : it->second.get();
}

std::shared_ptr<RegNode> RegNode::ChildShared(std::u16string_view name) const {
    auto it = children_.find(Upcase(name));
    return it == children_.end() ? nullptr : it->second;
}

RegNode* RegNode::AddChild(std::u16string_view name, bool* created) {
    std::shared_ptr<RegNode>& slot = children_[Upcase(name)];
    if (created) *created = !slot;
    if (!slot) slot = std::make_shared<RegNode>(std::u16string(name), this);
    return slot.get();
}

RegNode* RegNode::ChildAt(size_t index) const {
    if (index >= children_.size()) return nullptr;
    auto it = children_.begin();
    std::advance(it, index);
    return it->second.get();
}

void RegNode::RemoveChild(RegNode* child) {
    auto it = children_.find(Upcase(child->Name()));
    if (it == children_.end() || it->second.get() != child) return;
    it->second->MarkDeleted();
    children_.erase(it);
}

void RegNode::MarkDeleted() {
    deleted_ = true;
    for (auto& [key, child] : children_) child->MarkDeleted();
}

RegValue* RegNode::Value(std::u16string_view name) {
    const std::u16string folded = Upcase(name);
    for (RegValue& v : values_)
        if (Upcase(v.name) == folded) return &v;
    return nullptr;
}

void RegNode::SetValue(std::u16string_view name, uint32_t type, std::vector<uint8_t> data) {
    if (RegValue* v = Value(name)) {
        v->type = type;
        v->data = std::move(data);
        return;
    }
    values_.push_back({std::u16string(name), type, std::move(data)});
}

bool RegNode::RemoveValue(std::u16string_view name) {
    const std::u16string folded = Upcase(name);
    for (auto it = values_.begin(); it != values_.end(); ++it) {
        if (Upcase(it->name) == folded) {
            values_.erase(it);
            return true;
        }
    }
    return false;
}

std::u16string RegNode::Path() const {
    if (!parent_) return u"";
    std::u16string above = parent_->Path();
    return above.empty() ? name_ : above + u"\\" + name_;
}

const char* HiveName(Hive hive) {
    switch (hive) {
        case Hive::kLocalMachine:
            return "HKEY_LOCAL_MACHINE";
        case Hive::kCurrentUser:
            return "HKEY_CURRENT_USER";
        case Hive::kUsers:
            break;
    }
    return "HKEY_USERS";
}
const char* HiveShortName(Hive hive) {
    switch (hive) {
        case Hive::kLocalMachine:
            return "HKLM";
        case Hive::kCurrentUser:
            return "HKCU";
        case Hive::kUsers:
            break;
    }
    return "HKU";
}

std::vector<std::u16string_view> SplitKeyPath(std::u16string_view path) {
    std::vector<std::u16string_view> parts;
    size_t pos = 0;
    while (pos <= path.size()) {
        size_t next = path.find(u'\\', pos);
        if (next == std::u16string_view::npos) next = path.size();
        if (next > pos) parts.push_back(path.substr(pos, next - pos));
        pos = next + 1;
    }
    return parts;
}

RegistryStore::RegistryStore()
    : machine_(std::make_shared<RegNode>(u"", nullptr)),
      user_(std::make_shared<RegNode>(u"", nullptr)),
      users_(std::make_shared<RegNode>(u"", nullptr)) {}

RegNode* RegistryStore::Root(Hive hive) const { return RootShared(hive).get(); }
std::shared_ptr<RegNode> RegistryStore::RootShared(Hive hive) const {
    switch (hive) {
        case Hive::kLocalMachine:
            return machine_;
        case Hive::kCurrentUser:
            return user_;
        case Hive::kUsers:
            break;
    }
    return users_;
}

RegNode* RegistryStore::Find(Hive hive, std::u16string_view path) const {
    RegNode* node = Root(hive);
    for (std::u16string_view part : SplitKeyPath(path)) {
        node = node->Child(part);
        if (!node) return nullptr;
    }
    return node;
}

RegNode* RegistryStore::Create(Hive hive, std::u16string_view path) {
    RegNode* node = Root(hive);
    for (std::u16string_view part : SplitKeyPath(path)) node = node->AddChild(part);
    return node;
}

// ---- the registry file ----

namespace {

const char kHeader[] = "Windows Registry Editor Version 5.00";

std::u16string BytesUtf16(const std::vector<uint8_t>& bytes) {
    std::u16string text;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2)
        text += static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8));
    return text;
}

// Parses a quoted text at the start of `s` ("..." with \\ \" \n \r \0
// escapes); on success `s` is left after the closing quote.
bool ParseQuoted(std::string_view* s, std::string* out, std::string* error) {
    if (s->empty() || s->front() != '"') {
        *error = "expected a quoted text";
        return false;
    }
    out->clear();
    for (size_t i = 1; i < s->size(); ++i) {
        const char c = (*s)[i];
        if (c == '"') {
            s->remove_prefix(i + 1);
            return true;
        }
        if (c != '\\') {
            *out += c;
            continue;
        }
        if (++i >= s->size()) break;
        switch ((*s)[i]) {
            case '\\':
                *out += '\\';
                break;
            case '"':
                *out += '"';
                break;
            case 'n':
                *out += '\n';
                break;
            case 'r':
                *out += '\r';
                break;
            case '0':
                *out += '\0';
                break;
            default:
                *error = std::string("unknown escape \\") + (*s)[i] + " in a quoted text";
                return false;
        }
    }
    *error = "quoted text without its closing quote";
    return false;
}

bool ParseHexBytes(std::string_view s, std::vector<uint8_t>* bytes, std::string* error) {
    bytes->clear();
    s = TrimBlanks(s);
    if (s.empty()) return true;
    size_t pos = 0;
    while (true) {
        while (pos < s.size() && (s[pos] == ' ' || s[pos] == '\t')) ++pos;
        size_t start = pos;
        while (pos < s.size() && isxdigit(static_cast<unsigned char>(s[pos]))) ++pos;
        if (pos - start < 1 || pos - start > 2) {
            *error = "bad hex byte list";
            return false;
        }
        bytes->push_back(static_cast<uint8_t>(
            std::stoul(std::string(s.substr(start, pos - start)), nullptr, 16)));
        while (pos < s.size() && (s[pos] == ' ' || s[pos] == '\t')) ++pos;
        if (pos == s.size()) return true;
        if (s[pos] != ',') {
            *error = "bad hex byte list";
            return false;
        }
        ++pos;
        // A trailing comma (as in a continued list) ends the list too.
        size_t rest = pos;
        while (rest < s.size() && (s[rest] == ' ' || s[rest] == '\t')) ++rest;
        if (rest == s.size()) return true;
    }
}

// Parses the data part of a value line ("text", dword:..., hex...:...).
// `ansi`: the code page of a REGEDIT4 file, whose string types in hex form
// hold ANSI bytes; they are stored as UTF-16, as the "A" calls would store
// them.
bool ParseData(std::string_view s, const CodePage* ansi, uint32_t* type, std::vector<uint8_t>* data,
               std::string* error) {
    s = TrimBlanks(s);
    if (!s.empty() && s.front() == '"') {
        std::string text;
        if (!ParseQuoted(&s, &text, error)) return false;
        if (!TrimBlanks(s).empty()) {
            *error = "text after the closing quote";
            return false;
        }
        if (!IsValidUtf8(text)) {
            *error = "text that is not UTF-8";
            return false;
        }
        *type = 1;
        std::u16string wide = Utf8ToUtf16(text);
        wide += u'\0';
        *data = Utf16LeBytes(wide);
        return true;
    }
    if (s.substr(0, 6) == "dword:") {
        std::string_view digits = TrimBlanks(s.substr(6));
        if (digits.empty() || digits.size() > 8) {
            *error = "bad dword";
            return false;
        }
        for (char c : digits) {
            if (!isxdigit(static_cast<unsigned char>(c))) {
                *error = "bad dword";
                return false;
            }
        }
        const uint32_t v = static_cast<uint32_t>(std::stoul(std::string(digits), nullptr, 16));
        *type = 4;
        *data = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8),
                 static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 24)};
        return true;
    }
    if (s.substr(0, 4) == "hex:") {
        *type = 3;
        return ParseHexBytes(s.substr(4), data, error);
    }
    if (s.substr(0, 4) == "hex(") {
        size_t close = s.find("):");
        if (close == std::string_view::npos || close == 4 || close > 12) {
            *error = "bad hex(type): prefix";
            return false;
        }
        std::string digits(s.substr(4, close - 4));
        for (char c : digits) {
            if (!isxdigit(static_cast<unsigned char>(c))) {
                *error = "bad hex(type): prefix";
                return false;
            }
        }
        *type = static_cast<uint32_t>(std::stoul(digits, nullptr, 16));
        if (!ParseHexBytes(s.substr(close + 2), data, error)) return false;
        if (ansi && (*type == 1 || *type == 2 || *type == 7)) {
            const std::string bytes(data->begin(), data->end());
            *data = Utf16LeBytes(ansi->ToWide(bytes));
        }
        return true;
    }
    *error = "unknown value data (neither \"text\", dword: nor hex:)";
    return false;
}

// Splits "[ROOT\path]" into its hive and path; HKEY_CLASSES_ROOT becomes
// HKEY_LOCAL_MACHINE\SOFTWARE\Classes and HKEY_CURRENT_CONFIG the hardware
// profile that it stands for.
bool ParseKeyName(std::string_view name, Hive* hive, std::u16string* path, std::string* error) {
    size_t slash = name.find('\\');
    std::string root(name.substr(0, slash));
    std::string rest = slash == std::string_view::npos ? "" : std::string(name.substr(slash + 1));
    for (char& c : root) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    std::string prefix;
    if (root == "HKEY_LOCAL_MACHINE" || root == "HKLM") {
        *hive = Hive::kLocalMachine;
    } else if (root == "HKEY_CURRENT_USER" || root == "HKCU") {
        *hive = Hive::kCurrentUser;
    } else if (root == "HKEY_CLASSES_ROOT" || root == "HKCR") {
        *hive = Hive::kLocalMachine;
        prefix = "SOFTWARE\\Classes";
    } else if (root == "HKEY_USERS" || root == "HKU") {
        *hive = Hive::kUsers;
    } else if (root == "HKEY_CURRENT_CONFIG" || root == "HKCC") {
        *hive = Hive::kLocalMachine;
        prefix = "SYSTEM\\CurrentControlSet\\Hardware Profiles\\Current";
    } else {
        *error = "unknown root key " + std::string(name.substr(0, slash)) +
                 " (a key begins with HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER, HKEY_CLASSES_ROOT,"
                 " HKEY_USERS or HKEY_CURRENT_CONFIG)";
        return false;
    }
    if (!IsValidUtf8(rest)) {
        *error = "key name that is not UTF-8";
        return false;
    }
    if (!prefix.empty()) rest = rest.empty() ? prefix : prefix + "\\" + rest;
    *path = Utf8ToUtf16(rest);
    return true;
}

// A name or text as ParseQuoted reads it back: line breaks are escaped too,
// as a value name may hold them and a raw one would end the line.
std::string EscapeName(std::u16string_view name) {
    std::string out;
    for (char c : Utf16ToUtf8(name)) {
        if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else {
            if (c == '\\' || c == '"') out += '\\';
            out += c;
        }
    }
    return out;
}

// True when REG_SZ data can be written as "text": UTF-16 with one terminator
// at the end, no other NUL, no line breaks or other control characters, and
// no unpaired surrogates.
bool IsPlainString(const std::vector<uint8_t>& data) {
    if (data.size() < 2 || data.size() % 2 != 0) return false;
    const std::u16string text = BytesUtf16(data);
    if (text.back() != 0) return false;
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        const char16_t c = text[i];
        if (c < 0x20 && c != '\t') return false;
        if (c >= 0xD800 && c <= 0xDBFF) {
            if (i + 2 >= text.size() || text[i + 1] < 0xDC00 || text[i + 1] > 0xDFFF) return false;
            ++i;
        } else if (c >= 0xDC00 && c <= 0xDFFF) {
            return false;
        }
    }
    return true;
}

void WriteHex(std::string* out, const std::string& lead, const std::vector<uint8_t>& data) {
    std::string line = lead;
    for (size_t i = 0; i < data.size(); ++i) {
        char byte[4];
        snprintf(byte, sizeof byte, "%02x", data[i]);
        line += byte;
        if (i + 1 < data.size()) {
            line += ',';
            if (line.size() > 76) {  // regedit's line breaks
                *out += line + "\\\n";
                line = "  ";
            }
        }
    }
    *out += line + "\n";
}

void WriteValue(std::string* out, const RegValue& v) {
    const std::string name = v.name.empty() ? "@" : "\"" + EscapeName(v.name) + "\"";
    if (v.type == 1 && IsPlainString(v.data)) {
        std::u16string text = BytesUtf16(v.data);
        text.pop_back();
        *out += name + "=\"" + EscapeName(text) + "\"\n";
    } else if (v.type == 4 && v.data.size() == 4) {
        char buf[32];
        snprintf(buf, sizeof buf, "dword:%08x",
                 v.data[0] | (v.data[1] << 8) | (v.data[2] << 16) | (uint32_t(v.data[3]) << 24));
        *out += name + "=" + buf + "\n";
    } else if (v.type == 3) {
        WriteHex(out, name + "=hex:", v.data);
    } else {
        char prefix[32];
        snprintf(prefix, sizeof prefix, "=hex(%x):", v.type);
        WriteHex(out, name + prefix, v.data);
    }
}

void WriteKey(std::string* out, const std::string& path, const RegNode& node) {
    *out += "[" + path + "]\n";
    for (const RegValue& v : node.Values()) WriteValue(out, v);
    *out += "\n";
    for (size_t i = 0; i < node.ChildCount(); ++i) {
        const RegNode* child = node.ChildAt(i);
        WriteKey(out, path + "\\" + Utf16ToUtf8(child->Name()), *child);
    }
}

}  // namespace

namespace {

// The first line that is neither blank nor a comment, trimmed.
std::string_view FirstLine(std::string_view text) {
    size_t pos = 0;
    while (pos < text.size()) {
        size_t lf = text.find('\n', pos);
        if (lf == std::string_view::npos) lf = text.size();
        const std::string_view line = TrimBlanks(text.substr(pos, lf - pos));
        if (!line.empty() && line[0] != ';') return line;
        pos = lf + 1;
    }
    return {};
}

// The registry file as UTF-8 text. *ansiForm: a REGEDIT4 file, read in
// `ansi` (null: UTF-8).
bool DecodeRegistryFile(std::string_view input, const CodePage* ansi, std::string* text,
                        const CodePage** ansiForm, std::string* error) {
    *ansiForm = nullptr;
    if (HasUtf16Mark(input)) return DecodeUtf16File(input, text, error);
    std::string_view bytes = input;
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
    if (FirstLine(bytes) != "REGEDIT4") {
        *text = std::string(bytes);
        return true;
    }
    *ansiForm = ansi ? ansi : CodePage::Find(65001);
    *text = *ansiForm ? Utf16ToUtf8((*ansiForm)->ToWide(bytes)) : std::string(bytes);
    return true;
}

}  // namespace

bool RegistryStore::Load(std::string_view input, std::string* error, const CodePage* ansi) {
    RegistryStore fresh;
    if (!fresh.Parse(input, ansi, error)) return false;
    machine_ = fresh.machine_;
    user_ = fresh.user_;
    users_ = fresh.users_;
    return true;
}

bool RegistryStore::Import(std::string_view input, std::string* error, const CodePage* ansi) {
    // Whether a file is well-formed does not depend on the keys it meets, so
    // a trial on an empty registry finds every error first.
    RegistryStore trial;
    if (!trial.Parse(input, ansi, error)) return false;
    return Parse(input, ansi, error);
}

bool RegistryStore::Parse(std::string_view input, const CodePage* ansi, std::string* error) {
    std::string text;
    const CodePage* ansiForm = nullptr;
    if (!DecodeRegistryFile(input, ansi, &text, &ansiForm, error)) return false;

    RegistryStore& fresh = *this;
    RegNode* current = nullptr;
    bool header = false;
    int number = 0;
    size_t pos = 0;
    auto fail = [&](int line, const std::string& what) {
        *error = "line " + std::to_string(line) + ": " + what;
        return false;
    };
    while (pos < text.size()) {
        size_t lf = text.find('\n', pos);
        if (lf == std::string::npos) lf = text.size();
        std::string line(TrimBlanks(std::string_view(text).substr(pos, lf - pos)));
        pos = lf + 1;
        const int first = ++number;
        // Hex lists go on over lines that end in a backslash.
        while (!line.empty() && line.back() == '\\' && line.find("=hex") != std::string::npos &&
               pos < text.size()) {
            lf = text.find('\n', pos);
            if (lf == std::string::npos) lf = text.size();
            line.pop_back();
            line += std::string(TrimBlanks(std::string_view(text).substr(pos, lf - pos)));
            pos = lf + 1;
            ++number;
        }
        if (line.empty() || line[0] == ';') continue;
        if (!header) {
            if (line != kHeader && line != "REGEDIT4")
                return fail(first, std::string("not a registry file (the first line must be \"") +
                                       kHeader + "\" or \"REGEDIT4\")");
            header = true;
            continue;
        }
        if (line[0] == '[') {
            if (line.back() != ']') return fail(first, "key line without its closing ]");
            std::string_view name = std::string_view(line).substr(1, line.size() - 2);
            const bool remove = !name.empty() && name[0] == '-';
            if (remove) name.remove_prefix(1);
            Hive hive;
            std::u16string path;
            std::string what;
            if (!ParseKeyName(name, &hive, &path, &what)) return fail(first, what);
            if (remove) {
                current = nullptr;
                if (RegNode* node = fresh.Find(hive, path); node && node->Parent())
                    node->Parent()->RemoveChild(node);
            } else {
                current = fresh.Create(hive, path);
            }
            continue;
        }
        if (line[0] != '@' && line[0] != '"')
            return fail(first, "neither a [key] nor a value: " + line);
        if (!current) return fail(first, "a value outside any key");
        std::string_view rest(line);
        std::string name, what;
        if (rest[0] == '@') {
            rest.remove_prefix(1);
        } else if (!ParseQuoted(&rest, &name, &what)) {
            return fail(first, what);
        }
        rest = TrimBlanks(rest);
        if (rest.empty() || rest[0] != '=') return fail(first, "value name without =");
        rest.remove_prefix(1);
        if (!IsValidUtf8(name)) return fail(first, "value name that is not UTF-8");
        if (TrimBlanks(rest) == "-") {
            current->RemoveValue(Utf8ToUtf16(name));
            continue;
        }
        uint32_t type = 0;
        std::vector<uint8_t> data;
        if (!ParseData(rest, ansiForm, &type, &data, &what)) return fail(first, what);
        current->SetValue(Utf8ToUtf16(name), type, std::move(data));
    }
    if (!header) return fail(1, std::string("empty registry file (no \"") + kHeader + "\" line)");
    return true;
}

std::string RegistryStore::Save() const {
    std::string out = std::string(kHeader) + "\n\n";
    WriteKey(&out, HiveName(Hive::kCurrentUser), *user_);
    WriteKey(&out, HiveName(Hive::kLocalMachine), *machine_);
    if (users_->ChildCount() || !users_->Values().empty())
        WriteKey(&out, HiveName(Hive::kUsers), *users_);
    return out;
}

std::string FormatValue(const RegValue& value) {
    std::string line;
    WriteValue(&line, value);
    std::string out;
    for (size_t i = 0; i < line.size(); ++i) {
        if (line.compare(i, 4, "\\\n  ") == 0) {
            i += 3;
        } else if (line[i] != '\n') {
            out += line[i];
        }
    }
    return out;
}

}  // namespace sim

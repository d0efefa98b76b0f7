#include "platform/sim/file_list.h"

#include "platform/sim/text.h"
#include "platform/sim/text_file.h"

namespace sim {

namespace {

// The list as UTF-8 text.
bool Decode(std::string_view bytes, const CodePage& ansi, std::string* text, std::string* error) {
    if (HasUtf16Mark(bytes)) return DecodeUtf16File(bytes, text, error);
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
    *text = IsValidUtf8(bytes) ? std::string(bytes) : Utf16ToUtf8(ansi.ToWide(bytes));
    return true;
}

// Checks and normalizes one path; *why says what is wrong with it.
bool CheckPath(std::string_view raw, std::string* path, std::string* why) {
    std::string p(raw);
    for (char& c : p)
        if (c == '/') c = '\\';
    const bool letter =
        p.size() >= 3 && ((p[0] >= 'A' && p[0] <= 'Z') || (p[0] >= 'a' && p[0] <= 'z'));
    if (!letter || p[1] != ':' || p[2] != '\\') {
        *why = "not a full Windows path with a drive letter (C:\\...)";
        return false;
    }
    if (Utf8ToUtf16(p).size() > 259) {
        *why = "longer than a Windows path may be (259 characters)";
        return false;
    }
    p[0] = static_cast<char>(p[0] & ~0x20);
    std::string out = p.substr(0, 2);
    size_t pos = 3;
    while (pos < p.size()) {
        size_t end = p.find('\\', pos);
        if (end == std::string::npos) end = p.size();
        const std::string name = p.substr(pos, end - pos);
        if (name.empty()) {
            *why = "an empty name between two backslashes";
            return false;
        }
        if (name == "." || name == "..") {
            *why = "\".\" and \"..\" are not names of files";
            return false;
        }
        for (char c : name) {
            if (static_cast<unsigned char>(c) < 0x20 ||
                std::string_view("<>:\"|?*").find(c) != std::string_view::npos) {
                *why = "the name \"" + name + "\" holds a character that Windows names cannot hold";
                return false;
            }
        }
        if (name.back() == '.' || name.back() == ' ') {
            *why = "the name \"" + name + "\" ends in a dot or a blank, which Windows drops";
            return false;
        }
        if (name.size() > 255) {
            *why = "the name \"" + name.substr(0, 40) + "...\" is too long";
            return false;
        }
        out += "\\" + name;
        pos = end + 1;
    }
    if (out.size() == 2) out += "\\";
    *path = out;
    return true;
}

bool ParseSize(std::string_view text, uint64_t* size) {
    if (text.empty() || text.size() > 13) return false;
    uint64_t v = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + static_cast<uint64_t>(c - '0');
    }
    if (v > kMaxListedFileSize) return false;
    *size = v;
    return true;
}

}  // namespace

bool ParseFileList(std::string_view bytes, const CodePage& ansi, std::vector<ListedFile>* files,
                   std::string* error) {
    std::string text;
    if (!Decode(bytes, ansi, &text, error)) return false;
    std::vector<ListedFile> out;
    int number = 0;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t lf = text.find('\n', pos);
        if (lf == std::string::npos) lf = text.size();
        const std::string_view line = TrimBlanks(std::string_view(text).substr(pos, lf - pos));
        pos = lf + 1;
        ++number;
        if (line.empty() || line[0] == ';' || line[0] == '#') continue;
        auto fail = [&](const std::string& what) {
            *error = "line " + std::to_string(number) + ": " + what;
            return false;
        };
        ListedFile f;
        f.line = number;
        std::string_view path = line;
        const size_t bar = line.find('|');
        if (bar != std::string_view::npos) {
            path = TrimBlanks(line.substr(0, bar));
            const std::string_view size = TrimBlanks(line.substr(bar + 1));
            if (!ParseSize(size, &f.size))
                return fail("the size after \"|\" must be a number of bytes up to " +
                            std::to_string(kMaxListedFileSize) + ": " + std::string(size));
        }
        f.folder = !path.empty() && (path.back() == '\\' || path.back() == '/');
        if (f.folder && bar != std::string_view::npos)
            return fail("a folder (ending in \\) has no size");
        if (f.folder && path.size() > 3) path.remove_suffix(1);
        std::string why;
        if (!CheckPath(path, &f.path, &why)) return fail(why + ": " + std::string(path));
        if (f.path.size() == 3 && !f.folder)
            return fail("a drive's root is a folder: " + std::string(path));
        out.push_back(f);
    }
    *files = std::move(out);
    return true;
}

}  // namespace sim

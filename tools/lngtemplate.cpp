// Writes a language file for translators: a header, the messages marker, and
// for every string and every dialog caption and control text of the program
// its key and its text, with the untranslated text in a comment above; then
// each dialog's scale entry and the right-to-left switch. Keys depend on the
// ANSI code page in which the program will show its texts, so the file is
// written for one code page, in that code page.
//
//   lngtemplate [--translations MODULE] CODEPAGE [OUTPUT]
//
// Without --translations every entry holds the untranslated text, so an entry
// that is left as it is changes nothing. With it the entries hold the texts
// of the language module MODULE (a vlklng.dll): its strings by id, its
// dialogs' texts control by control.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "localisation/text_key.h"
#include "platform/platform.h"
#include "platform/sim/pe_resources.h"
#include "platform/sim/res_dialog.h"
#include "platform/sim/text.h"

namespace {

const char* const kDialogs[] = {"SETUPDLG", "CONTEXTITEMS"};

int Usage() {
    std::cerr << "usage: lngtemplate [--translations MODULE] CODEPAGE [OUTPUT]\n";
    return 2;
}

// A text as the language file writes it: backslash, line feed, carriage
// return and tab as escapes; double quotes need none (the last one ends it).
std::string Escaped(const std::string& ansi) {
    std::string out;
    for (char c : ansi) {
        if (c == '\\') {
            out += "\\\\";
        } else if (!sim::AppendLineEscape(c, &out)) {
            out += c;
        }
    }
    return out;
}

class TemplateWriter {
  public:
    explicit TemplateWriter(const sim::CodePage& codePage) : codePage_(codePage) {}

    void Line(const std::string& ansi) { out_ << ansi << "\r\n"; }
    void Comment(const std::u16string& text) { Line("; " + Escaped(codePage_.FromWide(text))); }
    // The entry of `source` (the untranslated text) holding `translation`;
    // an entry whose key was written before is left out.
    void Entry(int keyType, const char* dialogName, const std::u16string& source,
               const std::u16string& translation, const std::u16string& note) {
        const std::string ansi = codePage_.FromWide(source);
        char key[kTextKeySize];
        ComputeTextKey(key, keyType, dialogName, ansi.c_str());
        for (const std::string& k : keys_) {
            if (k == key) return;
        }
        keys_.push_back(key);
        Comment(note + source);
        Line(std::string(key) + "=\"" + Escaped(codePage_.FromWide(translation)) + "\"");
    }
    std::string Text() const { return out_.str(); }

  private:
    const sim::CodePage& codePage_;
    std::ostringstream out_;
    std::vector<std::string> keys_;
};

std::u16string U16(const std::string& utf8) { return sim::Utf8ToUtf16(utf8); }

bool LoadDialog(const sim::ResourceSet& set, const char* name, sim::DialogTemplate* dialog) {
    const std::vector<uint8_t>* bytes = set.Find(os::IntResource(os::kRtDialog), name);
    std::string error;
    if (!bytes) return false;
    if (!sim::ParseDialogTemplate(*bytes, dialog, &error)) {
        std::cerr << "lngtemplate: dialog " << name << ": " << error << "\n";
        return false;
    }
    return true;
}

// The translation of control `index` of `dialog`: the module's control at
// the same place when it has the same id, else `fallback`.
std::u16string ControlTranslation(const sim::DialogTemplate* translated, size_t index,
                                  const sim::DialogItem& item) {
    if (translated && index < translated->items.size() && translated->items[index].id == item.id &&
        !translated->items[index].title.isOrdinal && !translated->items[index].title.text.empty()) {
        return translated->items[index].title.text;
    }
    return item.title.text;
}

void WriteStrings(TemplateWriter& writer, const sim::ResourceSet& program,
                  const sim::ResourceSet* module) {
    writer.Line("");
    writer.Line("; Strings: messages, shortcut names, descriptions");
    for (unsigned id : program.StringIds()) {
        const std::u16string source = program.String(id);
        std::u16string translation = module ? module->String(id) : std::u16string();
        if (translation.empty()) translation = source;
        writer.Entry(kKeyTypeString, nullptr, source, translation, U16(std::to_string(id) + ": "));
    }
}

bool WriteDialog(TemplateWriter& writer, const char* name, const sim::ResourceSet& program,
                 const sim::ResourceSet* module) {
    sim::DialogTemplate dialog;
    if (!LoadDialog(program, name, &dialog)) {
        std::cerr << "lngtemplate: the program has no dialog " << name << "\n";
        return false;
    }
    sim::DialogTemplate translatedDialog;
    const sim::DialogTemplate* translated =
        module && LoadDialog(*module, name, &translatedDialog) ? &translatedDialog : nullptr;
    writer.Line("");
    writer.Line(std::string("; Dialog ") + name);
    writer.Entry(kKeyTypeDialog, name, u"", u"100*100",
                 U16("scale: horizontal*vertical percentages"));
    writer.Entry(kKeyTypeDialog, name, dialog.caption,
                 translated && !translated->caption.empty() ? translated->caption : dialog.caption,
                 U16("caption: "));
    for (size_t i = 0; i < dialog.items.size(); ++i) {
        const sim::DialogItem& item = dialog.items[i];
        if (item.title.isOrdinal || item.title.text.empty()) continue;
        writer.Entry(
            kKeyTypeDialog, name, item.title.text, ControlTranslation(translated, i, item),
            U16(std::to_string(item.id == 0xFFFF ? -1 : static_cast<int>(item.id)) + ": "));
    }
    return true;
}

void WriteHeader(TemplateWriter& writer, unsigned codePage) {
    writer.Line("; Velkor uninstall: language file uninstall.lng");
    writer.Line("; Texts and keys for the ANSI code page " + std::to_string(codePage) + ".");
    const char* const lines[] = {
        ";",
        "; The translations follow the line of asterisks below, one a line: the",
        "; text's key, \"=\" and the text in double quotes. The key belongs to the",
        "; untranslated text, shown in the comment line above the entry. Lines that",
        "; begin otherwise are comments. In a text \\n stands for a line feed, \\t for",
        "; a tab and \\\\ for a backslash; double quotes inside need no escape.",
        "; An entry left as it is changes nothing, nor does one that is removed.",
        "; The scale entry of a dialog enlarges it and its controls (120*110: 120 %",
        "; of the width, 110 % of the height); the last entry switches the dialogs",
        "; to right-to-left layout when it reads RTL.",
        "",
        "***messages***",
    };
    for (const char* line : lines) writer.Line(line);
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    std::string modulePath;
    if (args.size() >= 2 && args[0] == "--translations") {
        modulePath = args[1];
        args.erase(args.begin(), args.begin() + 2);
    }
    if (args.empty() || args.size() > 2) return Usage();
    char* end = nullptr;
    const unsigned long number = strtoul(args[0].c_str(), &end, 10);
    const sim::CodePage* codePage = end != args[0].c_str() && *end == '\0'
                                        ? sim::CodePage::Find(static_cast<unsigned>(number))
                                        : nullptr;
    if (!codePage) {
        std::cerr << "lngtemplate: no code page " << args[0] << "\n";
        return 1;
    }

    std::unique_ptr<sim::ResourceSet> module;
    if (!modulePath.empty()) {
        std::ifstream in(modulePath, std::ios::binary);
        const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                         std::istreambuf_iterator<char>());
        std::string error;
        module = in ? sim::ResourceSet::FromPe(bytes, &error) : nullptr;
        if (!module) {
            std::cerr << "lngtemplate: " << modulePath << ": "
                      << (error.empty() ? "cannot be read" : error) << "\n";
            return 1;
        }
    }

    TemplateWriter writer(*codePage);
    WriteHeader(writer, codePage->Number());
    const sim::ResourceSet& program = sim::ProgramResources();
    WriteStrings(writer, program, module.get());
    for (const char* dialog : kDialogs) {
        if (!WriteDialog(writer, dialog, program, module.get())) return 1;
    }
    writer.Line("");
    writer.Line("; Right-to-left layout of the dialogs: RTL; left to right: LTR");
    writer.Entry(kKeyTypeDialog, "LTR", u"LTR", u"LTR", u"");

    const std::string text = writer.Text();
    if (args.size() == 2) {
        std::ofstream out(args[1], std::ios::binary);
        out << text;
        if (!out) {
            std::cerr << "lngtemplate: cannot write " << args[1] << "\n";
            return 1;
        }
    } else {
        std::cout << text;
    }
    return 0;
}

// Fuzz target: the language file reader (LanguageResources::Load) and its
// translation lookups (Translate, the scale entries, the localisation of the
// program's two dialogs).
//
// Input: one byte that picks the ANSI code page (1251, 1252 or the
// double-byte 932), then the bytes of uninstall.lng.
//
// Besides what the sanitizers catch, it checks:
//  - the file is taken exactly when it holds the messages marker with at
//    least 3 bytes after it;
//  - a text whose key does not occur in the file comes back unchanged;
//  - a translation into a small buffer is the translation into a large one,
//    cut at a character boundary no shorter than it must be, and always
//    terminated inside the buffer;
//  - translating in place gives what translating into another buffer gives.
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "localisation/language_resources.h"
#include "localisation/text_key.h"
#include "platform/platform.h"
#include "platform/sim/machine.h"
#include "platform/sim/pe_resources.h"
#include "platform/sim/res_dialog.h"
#include "platform/sim/services.h"
#include "platform/sim/text.h"
#include "support/check.h"
#include "support/fuzz_machine.h"

namespace {

const unsigned kCodePages[] = {1251, 1252, 932};
const char* const kDialogs[] = {"SETUPDLG", "CONTEXTITEMS"};
constexpr size_t kLargeBuffer = 1024;
constexpr size_t kSmallBuffers[] = {1, 2, 3, 9, 11, 64, 255, 256, 512};

// A text the program translates: its source text, dialog name and key type.
struct Probe {
    std::string source;
    const char* dialog;
    int keyType;
};

// The program's own texts in code page `acp`: its string table, the captions
// and control texts of its dialogs, their scale entries, the right-to-left
// switch, and a text of its own.
std::vector<Probe> MakeProbes(unsigned acp) {
    const sim::CodePage& page = *sim::CodePage::Find(acp);
    const sim::ResourceSet& resources = sim::ProgramResources();
    std::vector<Probe> probes = {{"abc", nullptr, kKeyTypeString}, {"LTR", "LTR", kKeyTypeDialog}};
    for (unsigned id : resources.StringIds()) {
        probes.push_back({page.FromWide(resources.String(id)), nullptr, kKeyTypeString});
    }
    for (const char* name : kDialogs) {
        probes.push_back({"", name, kKeyTypeDialog});
        const std::vector<uint8_t>* bytes = resources.Find(os::IntResource(os::kRtDialog), name);
        sim::DialogTemplate dialog;
        std::string error;
        if (!bytes || !sim::ParseDialogTemplate(*bytes, &dialog, &error)) {
            fuzz::Fail(std::string("the program's dialog ") + name + " cannot be read");
        }
        probes.push_back({page.FromWide(dialog.caption), name, kKeyTypeDialog});
        for (const sim::DialogItem& item : dialog.items) {
            if (item.title.present && !item.title.isOrdinal && !item.title.text.empty()) {
                probes.push_back({page.FromWide(item.title.text), name, kKeyTypeDialog});
            }
        }
    }
    return probes;
}

const std::vector<Probe>& Probes(unsigned acp) {
    static std::map<unsigned, std::vector<Probe>> probes;
    auto found = probes.find(acp);
    if (found == probes.end()) found = probes.emplace(acp, MakeProbes(acp)).first;
    return found->second;
}

// True when the reader must take the file: the marker starts at one of the
// byte positions it searches and at least 3 bytes follow it.
bool MarkerExpected(const std::string& file) {
    static const std::string kMarker = "***messages**";
    const size_t found = file.find(kMarker);
    return found != std::string::npos && found + kMarker.size() + 3 <= file.size() &&
           found <= 523264;
}

// Translates `probe` into a heap buffer of exactly `capacity` bytes, so that
// a write past it is caught.
std::string Translate(const LanguageResources& language, const Probe& probe, size_t capacity) {
    std::unique_ptr<char[]> buffer(new char[capacity]);
    memset(buffer.get(), '#', capacity);
    language.Translate(buffer.get(), capacity, probe.source.c_str(), probe.dialog, probe.keyType);
    const void* end = memchr(buffer.get(), '\0', capacity);
    FUZZ_CHECK(end != nullptr, "translation not terminated inside a buffer of %zu", capacity);
    return std::string(buffer.get());
}

// Checks `probe`, with one of the small buffers: which one varies with
// `turn`, so that every size is tried over the inputs.
void CheckTranslations(const LanguageResources& language, const std::string& file,
                       const Probe& probe, size_t turn) {
    const std::string large = Translate(language, probe, kLargeBuffer);

    char key[kTextKeySize];
    ComputeTextKey(key, probe.keyType, probe.dialog, probe.source.c_str());
    if (file.find(key) == std::string::npos) {
        // No line can carry the key: the text stays as it is (it is shorter
        // than the large buffer).
        FUZZ_CHECK(large == probe.source, "text \"%s\" (key %s) changed without a translation",
                   probe.source.c_str(), key);
    }

    const size_t capacity = kSmallBuffers[turn % (sizeof kSmallBuffers / sizeof kSmallBuffers[0])];
    const std::string small = Translate(language, probe, capacity);
    FUZZ_CHECK(small.size() < capacity, "%zu bytes in a buffer of %zu", small.size(), capacity);
    FUZZ_CHECK(large.compare(0, small.size(), small) == 0,
               "translation of key %s into %zu bytes is no prefix of the whole", key, capacity);
    // A cut loses at most the lead byte of a character that did not fit.
    if (small.size() < large.size()) {
        FUZZ_CHECK(small.size() + 2 >= capacity, "key %s cut to %zu bytes in a buffer of %zu", key,
                   small.size(), capacity);
    }

    std::unique_ptr<char[]> same(new char[kLargeBuffer]);
    memcpy(same.get(), probe.source.c_str(), probe.source.size() + 1);
    language.Translate(same.get(), kLargeBuffer, same.get(), probe.dialog, probe.keyType);
    FUZZ_CHECK(large == same.get(), "key %s translated in place differs", key);
}

// Opens the program's dialog `name`, localises it by `language` when it
// opens, and closes it again.
const LanguageResources* g_localizing = nullptr;
const char* g_dialogName = nullptr;

intptr_t LocalizingProc(os::Window dialog, unsigned message, os::WParam, os::LParam) {
    if (message != os::kWmInitDialog) return 0;
    g_localizing->LocalizeDialog(dialog, g_dialogName, false);
    g_localizing->ApplyRightToLeft(dialog);
    os::Gui().EndDialog(dialog, 1);
    return 1;
}

void LocalizeProgramDialogs(const LanguageResources& language) {
    for (const char* name : kDialogs) {
        g_localizing = &language;
        g_dialogName = name;
        const intptr_t result = os::Gui().DialogBoxParamA(sim::SimSystem::ProgramInstance(), name,
                                                          nullptr, LocalizingProc, 0);
        FUZZ_CHECK(result == 1, "the dialog %s did not open (%ld)", name,
                   static_cast<long>(result));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const unsigned acp = kCodePages[data[0] % (sizeof kCodePages / sizeof kCodePages[0])];
    fuzz::UseMachine(acp);
    const std::string file(reinterpret_cast<const char*>(data) + 1, size - 1);
    fuzz::PutFile(fuzz::ProgramFolder() + "uninstall.lng", file);
    LanguageResources language;
    language.Load("uninstall.lng");
    FUZZ_CHECK(language.IsLoaded() == MarkerExpected(file), "file %s although the marker is %s",
               language.IsLoaded() ? "taken" : "not taken",
               MarkerExpected(file) ? "there" : "missing");

    const std::vector<Probe>& probes = Probes(acp);
    for (size_t i = 0; i < probes.size(); ++i) {
        CheckTranslations(language, file, probes[i], i + file.size());
    }
    LocalizeProgramDialogs(language);
    return 0;
}

#include "dialogs/dialog_fixture.h"

#include <cstring>
#include <map>

#include "app/entry.h"
#include "localisation/dialog_hook.h"
#include "localisation/ext_resource.h"
#include "localisation/language_resources.h"
#include "localisation/text_key.h"
#include "platform/sim/actions.h"
#include "platform/sim/services.h"
#include "platform/sim/text.h"

namespace dialog_test {

namespace {

constexpr unsigned kWmDestroy = 0x0002;

// The test dialogs by window, each with what its test gave it; a dialog
// takes the pending one with its first message.
std::map<os::Window, TestDialog*>& TestDialogs() {
    static std::map<os::Window, TestDialog*> dialogs;
    return dialogs;
}
TestDialog* g_pending = nullptr;

intptr_t TestDialogProc(os::Window dialog, unsigned message, os::WParam wParam, os::LParam lParam) {
    auto it = TestDialogs().find(dialog);
    if (it == TestDialogs().end()) it = TestDialogs().emplace(dialog, g_pending).first;
    const TestDialog& test = *it->second;
    if (message == os::kWmInitDialog && test.arrange) test.arrange(dialog);
    if (test.hook) {
        CommonDialogHook(dialog, message, wParam, test.page, test.helpContext, "TESTDLG", lParam);
    }
    if (message == kWmDestroy) {
        TestDialogs().erase(dialog);
        return 0;
    }
    if (message == os::kWmInitDialog) return 1;
    return test.handle ? test.handle(dialog, message, wParam, lParam) : 0;
}

}  // namespace

// --- TemplateBuilder

TemplateBuilder::TemplateBuilder(uint32_t style, int16_t x, int16_t y, int16_t cx, int16_t cy,
                                 const std::u16string& caption, std::optional<Font> font,
                                 bool extended)
    : extended_(extended) {
    if (font) {
        style |= os::kDsSetFont;
    } else {
        style &= ~os::kDsSetFont;
    }
    if (extended_) {
        Word(1);
        Word(0xFFFF);
        Dword(0);  // help id
        Dword(0);  // extended style
        Dword(style);
    } else {
        Dword(style);
        Dword(0);
    }
    countAt_ = bytes_.size();
    Word(0);
    for (int16_t v : {x, y, cx, cy}) Word(static_cast<uint16_t>(v));
    Word(0);  // no menu
    Word(0);  // the dialog class
    Text(caption);
    if (font) {
        Word(font->points);
        if (extended_) {
            Word(400);            // weight
            bytes_.push_back(0);  // not italic
            bytes_.push_back(1);  // DEFAULT_CHARSET
        }
        Text(font->face);
    }
}

void TemplateBuilder::Word(uint16_t value) {
    bytes_.push_back(static_cast<uint8_t>(value));
    bytes_.push_back(static_cast<uint8_t>(value >> 8));
}

void TemplateBuilder::Dword(uint32_t value) {
    Word(static_cast<uint16_t>(value));
    Word(static_cast<uint16_t>(value >> 16));
}

void TemplateBuilder::Text(const std::u16string& text) {
    for (char16_t c : text) Word(c);
    Word(0);
}

void TemplateBuilder::Align() {
    while (bytes_.size() % 4) bytes_.push_back(0);
}

void TemplateBuilder::Item(uint32_t style, int16_t x, int16_t y, int16_t cx, int16_t cy, int id) {
    Align();
    if (extended_) {
        Dword(0);  // help id
        Dword(0);  // extended style
        Dword(style);
    } else {
        Dword(style);
        Dword(0);
    }
    for (int16_t v : {x, y, cx, cy}) Word(static_cast<uint16_t>(v));
    if (extended_) {
        Dword(static_cast<uint32_t>(id));
    } else {
        Word(static_cast<uint16_t>(id));
    }
    ++count_;
    bytes_[countAt_] = static_cast<uint8_t>(count_);
    bytes_[countAt_ + 1] = static_cast<uint8_t>(count_ >> 8);
}

TemplateBuilder& TemplateBuilder::Add(uint32_t style, int16_t x, int16_t y, int16_t cx, int16_t cy,
                                      int id, uint16_t classOrdinal, const std::u16string& text) {
    Item(style, x, y, cx, cy, id);
    Word(0xFFFF);
    Word(classOrdinal);
    Text(text);
    Word(0);  // no creation data
    return *this;
}

TemplateBuilder& TemplateBuilder::Add(uint32_t style, int16_t x, int16_t y, int16_t cx, int16_t cy,
                                      int id, const std::u16string& className,
                                      const std::u16string& text) {
    Item(style, x, y, cx, cy, id);
    Text(className);
    Text(text);
    Word(0);
    return *this;
}

const void* TemplateBuilder::Data() {
    aligned_.assign((bytes_.size() + 3) / 4, 0);
    memcpy(aligned_.data(), bytes_.data(), bytes_.size());
    return aligned_.data();
}

// --- Language files

std::string Ansi(const std::string& utf8) {
    return sim::CodePage::Find(1251)->FromWide(sim::Utf8ToUtf16(utf8));
}

std::string Entry(const char* dialogName, const std::string& text, const std::string& translation) {
    char key[kTextKeySize];
    const std::string source = Ansi(text);
    ComputeTextKey(key, kKeyTypeDialog, dialogName, source.c_str());
    return std::string(key) + "=\"" + Ansi(translation) + "\"";
}

std::string LanguageFile(const std::vector<std::string>& lines) {
    std::string file = "Translators' notes.\r\n***messages**\r\n";
    for (const std::string& line : lines) file += line + "\r\n";
    return file;
}

std::string RightToLeftEntry() { return Entry("LTR", "LTR", "RTL"); }

// --- DialogTest

DialogTest::DialogTest() { UseFreshMachine(); }

void DialogTest::UseFreshMachine() {
    if (machine_) ProgramProcessEnd();
    machine_.reset();
    machine_ = std::make_unique<sim::TestMachine>();
    ui().SetWaitObserver([this](os::Window dialog) {
        if (!inspectors_.empty()) inspectors_.back()(dialog);
    });
    mark_ = 0;
}

DialogTest::~DialogTest() {
    ui().SetWaitObserver(nullptr);
    ProgramProcessEnd();
}

sim::SimDialogUi& DialogTest::ui() { return *sim::SimDialogUi::Of(*machine().Platform().ui); }

os::Module DialogTest::Instance() const { return sim::SimSystem::ProgramInstance(); }

void DialogTest::UseLanguageFile(const std::vector<std::string>& lines) {
    const std::string& program = machine().Config().programPath;
    machine_->WriteFile(program.substr(0, program.rfind('\\') + 1) + "uninstall.lng",
                        LanguageFile(lines));
    // A language file is read once per process: a new one needs a new start.
    ProgramProcessEnd();
    ProgramProcessStart();
    TheExtResource().Load(Instance(), nullptr);
    TheLanguageResources().Load("uninstall.lng");
    ASSERT_TRUE(TheLanguageResources().IsLoaded());
}

void DialogTest::Act(const std::vector<std::string>& actions) {
    for (const std::string& line : actions) {
        sim::Action action;
        std::string error;
        ASSERT_TRUE(sim::Actions::Parse(line, &action, &error)) << error;
        machine().UserActions().Add(action);
    }
}

intptr_t DialogTest::OpenTestDialog(TemplateBuilder& dialogTemplate, const TestDialog& dialog,
                                    const std::function<void(os::Window)>& inspect,
                                    os::Window owner) {
    TestDialog copy = dialog;
    bool inspected = false;
    inspectors_.push_back([&](os::Window waiting) {
        inspected = true;
        if (inspect) inspect(waiting);
        os::Gui().EndDialog(waiting, 1);
    });
    g_pending = &copy;
    const intptr_t result = os::Gui().DialogBoxIndirectParamA(Instance(), dialogTemplate.Data(),
                                                              owner, TestDialogProc, 0);
    inspectors_.pop_back();
    EXPECT_TRUE(inspected || result == -1) << "the dialog never waited for the user";
    return result;
}

void DialogTest::WhenWaiting(std::function<void(os::Window)> inspect) {
    inspectors_.clear();
    inspectors_.push_back(std::move(inspect));
}

const sim::SimWindow& DialogTest::Window(os::Window handle) {
    const sim::SimWindow* window = ui().Find(handle);
    if (!window) {
        ADD_FAILURE() << "no window " << handle;
        static const sim::SimWindow none;
        return none;
    }
    return *window;
}

const sim::SimWindow& DialogTest::Control(os::Window dialog, int id) {
    for (const sim::SimWindow* child : Window(dialog).children)
        if (child->id == id) return *child;
    ADD_FAILURE() << "no control " << id;
    static const sim::SimWindow none;
    return none;
}

std::vector<std::string> DialogTest::Calls(const std::string& call) const {
    std::vector<std::string> lines;
    const std::vector<std::string>& all = machine_->machine().TraceLines();
    for (size_t i = mark_; i < all.size(); ++i)
        if (all[i].rfind(call + " ", 0) == 0) lines.push_back(all[i]);
    return lines;
}

std::optional<uint32_t> DialogTest::UserDword(const std::string& path, const std::string& name) {
    sim::RegNode* key = machine().Registry().Find(sim::Hive::kCurrentUser,
                                                  sim::Utf8ToUtf16("Software\\Velkor\\" + path));
    if (!key) return std::nullopt;
    const sim::RegValue* value = key->Value(sim::Utf8ToUtf16(name));
    if (!value || value->type != os::kRegDword || value->data.size() != 4) return std::nullopt;
    return static_cast<uint32_t>(value->data[0] | value->data[1] << 8 | value->data[2] << 16 |
                                 value->data[3] << 24);
}

void DialogTest::PutUserDword(const std::string& path, const std::string& name, uint32_t value) {
    sim::RegNode* key = machine().Registry().Create(sim::Hive::kCurrentUser,
                                                    sim::Utf8ToUtf16("Software\\Velkor\\" + path));
    key->SetValue(sim::Utf8ToUtf16(name), os::kRegDword,
                  {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                   static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)});
}

void DialogTest::PutExtensionOwner(const std::string& ext,
                                   const std::optional<std::string>& owner) {
    const std::u16string path = sim::Utf8ToUtf16("SOFTWARE\\Classes\\" + ext);
    sim::RegistryStore& registry = machine().Registry();
    if (!owner) {
        if (sim::RegNode* key = registry.Find(sim::Hive::kLocalMachine, path)) {
            key->Parent()->RemoveChild(key);
        }
        return;
    }
    std::vector<uint8_t> data;
    for (char16_t c : sim::Utf8ToUtf16(*owner) + u'\0') {
        data.push_back(static_cast<uint8_t>(c));
        data.push_back(static_cast<uint8_t>(c >> 8));
    }
    registry.Create(sim::Hive::kLocalMachine, path)->SetValue(u"", os::kRegSz, data);
}

bool DialogTest::UserKeyExists(const std::string& path) {
    return machine().Registry().Find(sim::Hive::kCurrentUser,
                                     sim::Utf8ToUtf16("Software\\Velkor\\" + path)) != nullptr;
}

bool DialogTest::MachineKeyExists(const std::string& path) {
    return machine().Registry().Find(sim::Hive::kLocalMachine, sim::Utf8ToUtf16(path)) != nullptr;
}

}  // namespace dialog_test

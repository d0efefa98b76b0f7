// The shell-link object: its fields, and its save as a link file.
#include "platform/sim/machine.h"
#include "platform/sim/shell_link_format.h"
#include "platform/sim/shell_service.h"
#include "platform/sim/text.h"

namespace sim {

namespace {

std::string WideToUtf8(const os::Wchar* text) {
    std::u16string wide;
    for (const os::Wchar* p = text; *p; ++p) wide += static_cast<char16_t>(*p);
    return Utf16ToUtf8(wide);
}

std::string HResultText(os::HResult result) { return Hex(static_cast<uint32_t>(result)); }

}  // namespace

os::HResult SimShell::SaveShellLink(const os::ShellLinkFields& fields, const os::Wchar* linkPath,
                                    os::Bool remember, os::ShellLinkStep* failedAt) {
    auto done = [&](os::ShellLinkStep step, os::HResult result) {
        if (failedAt) *failedAt = step;
        return result;
    };
    // COM objects need OLE (or COM) initialised on the thread.
    if (oleInitialized_ == 0) {
        m_.Trace().Add("CoCreateInstance",
                       "CLSID_ShellLink IID_IShellLinkA -> " + HResultText(os::kCoENotInitialized));
        return done(os::ShellLinkStep::kCreate, os::kCoENotInitialized);
    }
    m_.Trace().Add("CoCreateInstance", "CLSID_ShellLink IID_IShellLinkA -> 0");

    ShellLinkFile link;
    auto set = [&](const char* call, const char* text, std::u16string* field) {
        if (!text) return;
        m_.Trace().Add(std::string("IShellLinkA::") + call, Quote(m_.AnsiToUtf8(text)) + " -> 0");
        *field = m_.Ansi().ToWide(text);
    };
    if (fields.path) {
        // The object keeps the target's full path and what it knows of the file.
        std::string target = m_.AnsiToUtf8(fields.path);
        std::string full;
        if (m_.Files().FullPath(target, &full) == 0) target = full;
        m_.Trace().Add("IShellLinkA::SetPath", Quote(m_.AnsiToUtf8(fields.path)) + " -> 0");
        link.target = Utf8ToUtf16(target);
        os::Dword attributes = 0;
        std::string bytes;
        if (m_.Files().GetAttributes(target, &attributes) == 0) {
            link.fileAttributes = attributes;
            if (!(attributes & os::kFileAttributeDirectory) &&
                m_.Files().ReadAll(target, &bytes) == 0) {
                link.fileSize = static_cast<uint32_t>(bytes.size());
            }
        }
    }
    set("SetArguments", fields.arguments, &link.arguments);
    set("SetWorkingDirectory", fields.workingDirectory, &link.workingDirectory);
    set("SetDescription", fields.description, &link.description);
    if (fields.iconPath) {
        set("SetIconLocation", fields.iconPath, &link.iconLocation);
        link.iconIndex = fields.iconIndex;
    }
    m_.Trace().Add("IShellLinkA::QueryInterface", "IID_IPersistFile -> 0");

    if (!linkPath) {
        m_.Trace().Add("IPersistFile::Save", "null -> " + HResultText(os::kEInvalidArg));
        return done(os::ShellLinkStep::kSave, os::kEInvalidArg);
    }
    const std::string path = WideToUtf8(linkPath);
    std::string bytes;
    os::HResult result = os::kSOk;
    if (!EncodeShellLink(link, m_.Ansi(), &bytes)) {
        result = os::kEFail;
    } else if (long err = m_.Files().WriteAll(path, bytes)) {
        result = os::HResultFromWin32(err);
    }
    m_.Trace().Add("IPersistFile::Save", Quote(path) + " remember=" + std::to_string(remember) +
                                             " -> " + HResultText(result));
    return done(os::Succeeded(result) ? os::ShellLinkStep::kNone : os::ShellLinkStep::kSave,
                result);
}

}  // namespace sim

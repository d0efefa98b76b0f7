// Shell and COM: the shell32 and ole32 calls.
#include <ole2.h>
#include <shellapi.h>
#include <shlobj.h>
#include <string.h>

#include "platform/win32/handles.h"
#include "platform/win32/win_platform.h"

namespace os::win {

HResult WinShell::OleInitialize() { return ::OleInitialize(nullptr); }

void WinShell::OleUninitialize() { ::OleUninitialize(); }

HResult WinShell::GetSpecialFolderPath(int csidl, char* path, Dword size) {
    if (path && size) path[0] = '\0';
    LPITEMIDLIST list = nullptr;
    const HRESULT found = ::SHGetSpecialFolderLocation(nullptr, csidl, &list);
    if (FAILED(found)) return found;
    if (!list) return E_FAIL;
    char converted[MAX_PATH];
    converted[0] = '\0';
    const BOOL ok = ::SHGetPathFromIDListA(list, converted);
    IMalloc* allocator = nullptr;
    if (SUCCEEDED(::SHGetMalloc(&allocator)) && allocator) {
        allocator->Free(list);
        allocator->Release();
    }
    const void* end = memchr(converted, '\0', sizeof converted);
    if (!ok || !end || !path) return E_FAIL;
    const size_t length = static_cast<size_t>(static_cast<const char*>(end) - converted);
    if (length >= size) return E_FAIL;
    memcpy(path, converted, length + 1);
    return S_OK;
}

HResult WinShell::SaveShellLink(const ShellLinkFields& link, const Wchar* linkPath, Bool remember,
                                ShellLinkStep* failedAt) {
    ShellLinkStep step = ShellLinkStep::kNone;
    IShellLinkA* shellLink = nullptr;
    HRESULT result = ::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                        IID_IShellLinkA, reinterpret_cast<void**>(&shellLink));
    if (FAILED(result) || !shellLink) {
        if (failedAt) *failedAt = ShellLinkStep::kCreate;
        return FAILED(result) ? result : E_FAIL;
    }
    if (link.path) shellLink->SetPath(link.path);
    if (link.arguments) shellLink->SetArguments(link.arguments);
    if (link.workingDirectory) shellLink->SetWorkingDirectory(link.workingDirectory);
    if (link.description) shellLink->SetDescription(link.description);
    if (link.iconPath) shellLink->SetIconLocation(link.iconPath, link.iconIndex);
    IPersistFile* persist = nullptr;
    result = shellLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist));
    if (FAILED(result) || !persist) {
        step = ShellLinkStep::kQueryPersistFile;
        if (!FAILED(result)) result = E_NOINTERFACE;
    } else {
        result = persist->Save(ToWide(linkPath), remember);
        if (FAILED(result)) step = ShellLinkStep::kSave;
        persist->Release();
    }
    shellLink->Release();
    if (failedAt) *failedAt = step;
    return result;
}

int WinShell::FileOperationA(FileOperation* operation) {
    SHFILEOPSTRUCTA op;
    memset(&op, 0, sizeof op);
    op.hwnd = ToHwnd(operation->owner);
    op.wFunc = operation->func;
    op.pFrom = operation->from;
    op.pTo = operation->to;
    op.fFlags = operation->flags;
    const int result = ::SHFileOperationA(&op);
    operation->anyOperationsAborted = op.fAnyOperationsAborted;
    return result;
}

void WinShell::ChangeNotify(long eventId, unsigned flags, const void* item1, const void* item2) {
    ::SHChangeNotify(eventId, flags, item1, item2);
}

intptr_t WinShell::ShellExecuteA(Window owner, const char* verb, const char* file,
                                 const char* parameters, const char* directory, int show) {
    return reinterpret_cast<intptr_t>(
        ::ShellExecuteA(ToHwnd(owner), verb, file, parameters, directory, show));
}

}  // namespace os::win

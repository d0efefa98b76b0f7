// The platform layer: one small interface per Windows service.
//
// Every call the program makes to Windows goes through these interfaces. Each
// operation keeps the meaning of the Win32 call it is named after: ANSI texts,
// the same results and the same error codes (see types.h). Two backends
// implement them: the real API (win32/) and the simulated machine (sim/).
//
// One process-wide Platform is installed by the entry (WinMain or the
// simulated machine's main) before the program runs; os::Get() returns it.
#pragma once

#include "platform/types.h"
#include "platform/ui_types.h"

namespace os {

// Windows registry (advapi32). Results are Win32 error codes (0 on success).
class Registry {
  public:
    virtual ~Registry() = default;
    // RegCreateKeyExA with reserved 0, no class, no security attributes.
    // *disposition (optional): 1 created, 2 opened.
    virtual long CreateKeyEx(Key root, const char* subKey, Dword options, Dword access, Key* result,
                             Dword* disposition) = 0;
    // RegOpenKeyExA with options 0.
    virtual long OpenKeyEx(Key root, const char* subKey, Dword access, Key* result) = 0;
    virtual long CloseKey(Key key) = 0;
    // RegSetValueExA.
    virtual long SetValueEx(Key key, const char* valueName, Dword type, const void* data,
                            Dword size) = 0;
    // RegQueryValueExA: type and data optional; *size is in/out. A buffer too
    // small gives kErrorMoreData with *size set to the needed size.
    virtual long QueryValueEx(Key key, const char* valueName, Dword* type, void* data,
                              Dword* size) = 0;
    // RegDeleteKeyA: on the NT family refuses a key that has subkeys (5).
    virtual long DeleteKey(Key root, const char* subKey) = 0;
    virtual long DeleteValue(Key key, const char* valueName) = 0;
    // RegEnumKeyExA: *nameSize in characters, in/out; kErrorNoMoreItems at the end.
    virtual long EnumKeyEx(Key key, Dword index, char* name, Dword* nameSize) = 0;
    // RegEnumValueA: *nameSize in characters, *dataSize in bytes; data optional.
    virtual long EnumValue(Key key, Dword index, char* name, Dword* nameSize, Dword* type,
                           void* data, Dword* dataSize) = 0;
    // RegDeleteKeyExA with reserved 0: `access` names the view (kKeyWow64_64Key
    // or kKeyWow64_32Key) that the key is deleted from; RegDeleteKeyA cannot
    // reach the other view of a 32-bit process on 64-bit Windows. Only 64-bit
    // Windows and the later systems have the call: elsewhere 120
    // (ERROR_CALL_NOT_IMPLEMENTED), which is also what a backend without it gives.
    virtual long DeleteKeyEx(Key /*root*/, const char* /*subKey*/, Dword /*access*/) {
        return kErrorCallNotImplemented;
    }
};

// Files and folders (kernel32). Bool results follow Win32: nonzero on success,
// and LastError() tells the failure.
class Files {
  public:
    virtual ~Files() = default;
    virtual FileHandle CreateFileA(const char* name, Dword access, Dword share, Dword creation,
                                   Dword flagsAndAttributes) = 0;
    virtual FileHandle CreateFileW(const Wchar* name, Dword access, Dword share, Dword creation,
                                   Dword flagsAndAttributes) = 0;
    virtual Bool ReadFile(FileHandle file, void* buffer, Dword count, Dword* read) = 0;
    virtual Bool WriteFile(FileHandle file, const void* buffer, Dword count, Dword* written) = 0;
    // SetFilePointer with the 64-bit form: low part and *high (optional) in/out.
    virtual Dword SetFilePointer(FileHandle file, long low, long* high, Dword method) = 0;
    virtual Dword GetFileType(FileHandle file) = 0;
    virtual Bool CloseHandle(FileHandle file) = 0;
    virtual FileHandle GetStdInput() = 0;

    virtual Dword GetFileAttributesA(const char* name) = 0;
    virtual Dword GetFileAttributesW(const Wchar* name) = 0;
    virtual Bool SetFileAttributesA(const char* name, Dword attributes) = 0;
    virtual Bool DeleteFileA(const char* name) = 0;
    virtual Bool DeleteFileW(const Wchar* name) = 0;
    virtual Bool CreateDirectoryA(const char* name) = 0;
    virtual Bool RemoveDirectoryA(const char* name) = 0;
    virtual Bool MoveFileA(const char* from, const char* to) = 0;
    // MoveFileExA; with kMoveFileDelayUntilReboot and a null `to` the file is
    // deleted at the next restart.
    virtual Bool MoveFileExA(const char* from, const char* to, Dword flags) = 0;
    // Length of the result without the terminator, the needed size when the
    // buffer is too small, 0 on failure.
    virtual Dword GetShortPathNameA(const char* longPath, char* shortPath, Dword size) = 0;
    virtual Dword GetTempPathA(Dword size, char* buffer) = 0;
    virtual unsigned GetWindowsDirectoryA(char* buffer, unsigned size) = 0;
    virtual Dword GetCurrentDirectoryA(Dword size, char* buffer) = 0;
    virtual Bool SetCurrentDirectoryA(const char* path) = 0;
    virtual Bool WritePrivateProfileStringA(const char* section, const char* key, const char* value,
                                            const char* fileName) = 0;
};

// Version, code pages, modules and resources, environment, time (kernel32, user32).
class System {
  public:
    virtual ~System() = default;
    virtual Dword GetLastError() = 0;
    virtual void SetLastError(Dword code) = 0;

    virtual Bool GetVersionExA(VersionInfo* info) = 0;
    virtual Bool GetCPInfo(Dword codePage, CpInfo* info) = 0;
    virtual Bool IsDBCSLeadByte(unsigned char byte) = 0;
    virtual Dword GetACP() = 0;
    virtual Dword GetOEMCP() = 0;
    // CompareStringA: 1 less, 2 equal, 3 greater, 0 on failure. Lengths -1 for NUL-terminated.
    virtual int CompareStringA(Dword locale, Dword flags, const char* a, int lengthA, const char* b,
                               int lengthB) = 0;
    virtual int MultiByteToWideChar(Dword codePage, Dword flags, const char* source,
                                    int sourceLength, Wchar* dest, int destLength) = 0;
    virtual int WideCharToMultiByte(Dword codePage, Dword flags, const Wchar* source,
                                    int sourceLength, char* dest, int destLength,
                                    const char* defaultChar, Bool* usedDefault) = 0;

    // Modules and resources. Module null means the program itself.
    virtual Dword GetModuleFileNameA(Module module, char* buffer, Dword size) = 0;
    virtual Module LoadLibraryA(const char* name) = 0;
    virtual Bool FreeLibrary(Module module) = 0;
    // IsWow64Process for the current process, found the way GetProcAddress would:
    // returns false when the system lacks the function (*present = false).
    virtual Bool IsWow64Process(Bool* wow64, Bool* present) = 0;
    // FindResourceA + LoadResource + LockResource + SizeofResource in one step.
    // `name` and `type` are either texts or integer ids (MAKEINTRESOURCE form).
    virtual const void* FindResourceData(Module module, const char* name, const char* type,
                                         Dword* size) = 0;
    // LoadStringA: number of characters copied (0 when missing or empty).
    virtual int LoadStringA(Module module, unsigned id, char* buffer, int size) = 0;
    virtual Icon LoadIconA(Module module, const char* name) = 0;

    virtual Dword GetEnvironmentVariableA(const char* name, char* buffer, Dword size) = 0;
    virtual void Sleep(Dword milliseconds) = 0;
};

// User interface (user32): message boxes, modal dialogs and the window calls
// on them, system metrics and colours, the help viewer. Messages, styles and
// metrics are those of ui_types.h; texts are ANSI.
class Ui {
  public:
    virtual ~Ui() = default;
    // MessageBoxA: the button pressed (kIdOk, kIdYes, ...), 0 on failure.
    virtual int MessageBoxA(Window owner, const char* text, const char* caption, unsigned type) = 0;

    // DialogBoxParamA: the dialog template `templateName` (a text or an
    // IntResource id) of `instance`, modal over `owner` (may be null); `param`
    // reaches WM_INITDIALOG. The result that EndDialog gave; -1 when the
    // dialog could not be made (no template, a control of an unknown class),
    // 0 for an invalid owner.
    virtual intptr_t DialogBoxParamA(Module instance, const char* templateName, Window owner,
                                     DialogProc proc, LParam param) = 0;
    // DialogBoxIndirectParamA: the same from a template in memory
    // (DLGTEMPLATE or DLGTEMPLATEEX, DWORD-aligned).
    virtual intptr_t DialogBoxIndirectParamA(Module instance, const void* dialogTemplate,
                                             Window owner, DialogProc proc, LParam param) = 0;
    // EndDialog: the modal loop ends with `result` once the current message is done.
    virtual Bool EndDialog(Window dialog, intptr_t result) = 0;
    // GetDlgItem: the control with that id, or null.
    virtual Window GetDlgItem(Window dialog, int id) = 0;
    virtual LResult SendMessageA(Window window, unsigned message, WParam wParam, LParam lParam) = 0;
    virtual LResult SendDlgItemMessageA(Window dialog, int id, unsigned message, WParam wParam,
                                        LParam lParam) = 0;
    // IsDlgButtonChecked / CheckDlgButton: kBstUnchecked, kBstChecked, kBstIndeterminate.
    virtual unsigned IsDlgButtonChecked(Window dialog, int id) = 0;
    virtual Bool CheckDlgButton(Window dialog, int id, unsigned check) = 0;
    // GetWindowTextA: the bytes copied (at most size - 1, terminated).
    virtual int GetWindowTextA(Window window, char* buffer, int size) = 0;
    virtual Bool SetWindowTextA(Window window, const char* text) = 0;
    // GetClassNameA: the bytes copied.
    virtual int GetClassNameA(Window window, char* buffer, int size) = 0;
    // GetWindowLongA / SetWindowLongA with kGwlStyle, kGwlExStyle or kGwlId;
    // SetWindowLongA returns the previous value.
    virtual int32_t GetWindowLongA(Window window, int index) = 0;
    virtual int32_t SetWindowLongA(Window window, int index, int32_t value) = 0;
    // GetWindowRect: in screen coordinates. GetClientRect: left and top 0.
    virtual Bool GetWindowRect(Window window, Rect* rect) = 0;
    virtual Bool GetClientRect(Window window, Rect* rect) = 0;
    // SetWindowPos: a control's position is in its parent's client
    // coordinates (from the right edge in a mirrored parent).
    virtual Bool SetWindowPos(Window window, Window insertAfter, int x, int y, int cx, int cy,
                              unsigned flags) = 0;
    // GetWindow with kGwChild, kGwHwndNext or kGwOwner.
    virtual Window GetWindow(Window window, unsigned command) = 0;
    // GetParent: a control's parent, a popup window's owner.
    virtual Window GetParent(Window window) = 0;
    virtual Bool InvalidateRect(Window window, const Rect* rect, Bool erase) = 0;
    // EnableWindow: nonzero when the window was disabled before.
    virtual Bool EnableWindow(Window window, Bool enable) = 0;
    virtual Bool IsWindowEnabled(Window window) = 0;
    virtual Bool SetForegroundWindow(Window window) = 0;
    virtual int GetSystemMetrics(int index) = 0;
    virtual Dword GetSysColor(int index) = 0;
    // WinHelpA: starts the help viewer on `helpFile`.
    virtual Bool WinHelpA(Window owner, const char* helpFile, unsigned command, uintptr_t data) = 0;
};

// Windows shell (shell32) and COM (ole32): OLE for the thread, special
// folders, shell links, the shell's file operation, change notification and
// ShellExecuteA. Results are HRESULTs where the Win32 call gives one.
using HResult = int32_t;
enum : HResult {
    kSOk = 0,
    kSFalse = 1,
    kENoInterface = static_cast<HResult>(0x80004002u),
    kEFail = static_cast<HResult>(0x80004005u),
    kEInvalidArg = static_cast<HResult>(0x80070057u),
    kCoENotInitialized = static_cast<HResult>(0x800401F0u),
};
inline bool Succeeded(HResult result) { return result >= 0; }
// HRESULT_FROM_WIN32.
inline HResult HResultFromWin32(long error) {
    return error <= 0 ? static_cast<HResult>(error)
                      : static_cast<HResult>((static_cast<uint32_t>(error) & 0xFFFF) | 0x80070000u);
}

// Special-folder identifiers (CSIDL_...).
enum : int {
    kCsidlPrograms = 0x0002,
    kCsidlStartMenu = 0x000B,
    kCsidlDesktopDirectory = 0x0010,
    kCsidlCommonPrograms = 0x0017,
};
// MAX_PATH: what SHGetPathFromIDListA writes at most, terminator included.
enum : Dword { kMaxPath = 260 };

// What a shell-link object is given before it is saved (the IShellLinkA
// setters); a null text is not set, and so is an icon without a path.
struct ShellLinkFields {
    const char* path;  // SetPath: the target
    const char* arguments;
    const char* workingDirectory;
    const char* description;
    const char* iconPath;
    int iconIndex;
};
// The COM call of a shell-link save that failed.
enum class ShellLinkStep {
    kNone,              // saved
    kCreate,            // CoCreateInstance(CLSID_ShellLink, IID_IShellLinkA)
    kQueryPersistFile,  // IShellLinkA::QueryInterface(IID_IPersistFile)
    kSave,              // IPersistFile::Save
};

// SHFILEOPSTRUCTA as the program fills it. `from` (and `to`) are lists: each
// path ends with a zero, and the list with a second zero.
struct FileOperation {
    Window owner;
    unsigned func;
    const char* from;
    const char* to;
    Word flags;
    Bool anyOperationsAborted;  // out
};
enum : unsigned { kFoDelete = 3 };
enum : Word {
    kFofSilent = 0x0004,
    kFofNoConfirmation = 0x0010,
    kFofAllowUndo = 0x0040,
};

// SHChangeNotify events and flags.
enum : long { kShcneAssocChanged = 0x08000000 };
enum : unsigned {
    kShcnfIdList = 0x0000,
    kShcnfFlush = 0x1000,
};
enum : int { kSwShowNormal = 1 };

class Shell {
  public:
    virtual ~Shell() = default;
    // OleInitialize(NULL): kSOk, kSFalse when the thread had it already, or a
    // failure. Each call that succeeds wants its OleUninitialize.
    virtual HResult OleInitialize() = 0;
    virtual void OleUninitialize() = 0;

    // SHGetSpecialFolderLocation (no owner) and SHGetPathFromIDListA, the
    // item-ID list freed again through the allocator of SHGetMalloc. kSOk and
    // the folder's path in `path` of `size` bytes; a failure when the folder
    // cannot be looked up (the lookup's HRESULT), has no file-system path or
    // does not fit (kEFail); `path` then holds the empty text (when size > 0).
    virtual HResult GetSpecialFolderPath(int csidl, char* path, Dword size) = 0;

    // The shell-link object, created in-process (CLSID_ShellLink, IShellLinkA),
    // given the fields and saved through its IPersistFile to `linkPath` with
    // `remember`, then released. The setters' results are not looked at. The
    // result is that of the first of CoCreateInstance, QueryInterface and Save
    // that failed, else Save's; *failedAt (optional) names that call.
    virtual HResult SaveShellLink(const ShellLinkFields& link, const Wchar* linkPath, Bool remember,
                                  ShellLinkStep* failedAt) = 0;

    // SHFileOperationA: 0 on success, else an error code.
    virtual int FileOperationA(FileOperation* operation) = 0;
    // SHChangeNotify.
    virtual void ChangeNotify(long eventId, unsigned flags, const void* item1,
                              const void* item2) = 0;
    // ShellExecuteA: a value above 32 on success, else an error code.
    virtual intptr_t ShellExecuteA(Window owner, const char* verb, const char* file,
                                   const char* parameters, const char* directory, int show) = 0;
};

// Processes (kernel32): starting a program. The command interpreter that
// runs the self-removal script is started this way.
//
// STARTUPINFOA as the program fills it: every field it does not name is zero.
struct StartupInfo {
    Dword size;           // cb: the size of the ANSI record (kStartupInfoSize)
    Dword flags;          // kStartfUseShowWindow, kStartfUseStdHandles
    Word showWindow;      // with kStartfUseShowWindow: kSwHide, ...
    FileHandle stdInput;  // with kStartfUseStdHandles
    FileHandle stdOutput;
    FileHandle stdError;
};
// PROCESS_INFORMATION: the new process's and thread's handles and ids.
struct ProcessInformation {
    void* process;
    void* thread;
    Dword processId;
    Dword threadId;
};
enum : Dword {
    kStartupInfoSize = 68,  // sizeof(STARTUPINFOA) of a 32-bit process
    kStartfUseShowWindow = 0x00000001,
    kStartfUseStdHandles = 0x00000100,
    kDetachedProcess = 0x00000008,
    kCreateNoWindow = 0x08000000,
};
enum : Word { kSwHide = 0 };

class Process {
  public:
    virtual ~Process() = default;
    // CreateProcessA without process or thread security attributes and with
    // the caller's own environment. `applicationName` and `currentDirectory`
    // may be null (the program is the command line's first token; the
    // caller's current directory). `processInformation` must not be null.
    // Nonzero on success; LastError() tells the failure.
    virtual Bool CreateProcessA(const char* applicationName, char* commandLine, Bool inheritHandles,
                                Dword creationFlags, const char* currentDirectory,
                                const StartupInfo* startupInfo,
                                ProcessInformation* processInformation) = 0;
};

// The process-wide set of services.
struct Platform {
    Registry* registry;
    Files* files;
    System* system;
    Ui* ui;
    Shell* shell;
    Process* process;
};

// Installs the platform for this process; the previous one is replaced.
void Install(const Platform& platform);
// The installed platform.
const Platform& Get();

inline Registry& Reg() { return *Get().registry; }
inline Files& Fs() { return *Get().files; }
inline System& Sys() { return *Get().system; }
inline Ui& Gui() { return *Get().ui; }
inline Shell& Sh() { return *Get().shell; }
inline Process& Proc() { return *Get().process; }

// Integer resource name as FindResourceData takes it (MAKEINTRESOURCE).
inline const char* IntResource(unsigned id) {
    return reinterpret_cast<const char*>(static_cast<uintptr_t>(id & 0xFFFF));
}
inline bool IsIntResource(const char* name) {
    return (reinterpret_cast<uintptr_t>(name) >> 16) == 0;
}
enum : unsigned {
    kRtIcon = 3,
    kRtDialog = 5,
    kRtString = 6,
    kRtGroupIcon = 14,
    kRtManifest = 24,
};

}  // namespace os

// Services that pass every call on to another platform's, for tests that make
// single calls fail: derive, override the call, install with Platform().
#pragma once

#include "platform/platform.h"

namespace core_test {

class ForwardingSystem : public os::System {
  public:
    explicit ForwardingSystem(os::System& next) : next_(next) {}
    os::Dword GetLastError() override { return next_.GetLastError(); }
    void SetLastError(os::Dword code) override { next_.SetLastError(code); }
    os::Bool GetVersionExA(os::VersionInfo* info) override { return next_.GetVersionExA(info); }
    os::Bool GetCPInfo(os::Dword codePage, os::CpInfo* info) override {
        return next_.GetCPInfo(codePage, info);
    }
    os::Bool IsDBCSLeadByte(unsigned char byte) override { return next_.IsDBCSLeadByte(byte); }
    os::Dword GetACP() override { return next_.GetACP(); }
    os::Dword GetOEMCP() override { return next_.GetOEMCP(); }
    int CompareStringA(os::Dword locale, os::Dword flags, const char* a, int lengthA, const char* b,
                       int lengthB) override {
        return next_.CompareStringA(locale, flags, a, lengthA, b, lengthB);
    }
    int MultiByteToWideChar(os::Dword codePage, os::Dword flags, const char* source,
                            int sourceLength, os::Wchar* dest, int destLength) override {
        return next_.MultiByteToWideChar(codePage, flags, source, sourceLength, dest, destLength);
    }
    int WideCharToMultiByte(os::Dword codePage, os::Dword flags, const os::Wchar* source,
                            int sourceLength, char* dest, int destLength, const char* defaultChar,
                            os::Bool* usedDefault) override {
        return next_.WideCharToMultiByte(codePage, flags, source, sourceLength, dest, destLength,
                                         defaultChar, usedDefault);
    }
    os::Dword GetModuleFileNameA(os::Module module, char* buffer, os::Dword size) override {
        return next_.GetModuleFileNameA(module, buffer, size);
    }
    os::Module LoadLibraryA(const char* name) override { return next_.LoadLibraryA(name); }
    os::Bool FreeLibrary(os::Module module) override { return next_.FreeLibrary(module); }
    os::Bool IsWow64Process(os::Bool* wow64, os::Bool* present) override {
        return next_.IsWow64Process(wow64, present);
    }
    const void* FindResourceData(os::Module module, const char* name, const char* type,
                                 os::Dword* size) override {
        return next_.FindResourceData(module, name, type, size);
    }
    int LoadStringA(os::Module module, unsigned id, char* buffer, int size) override {
        return next_.LoadStringA(module, id, buffer, size);
    }
    os::Icon LoadIconA(os::Module module, const char* name) override {
        return next_.LoadIconA(module, name);
    }
    os::Dword GetEnvironmentVariableA(const char* name, char* buffer, os::Dword size) override {
        return next_.GetEnvironmentVariableA(name, buffer, size);
    }
    void Sleep(os::Dword milliseconds) override { next_.Sleep(milliseconds); }

  protected:
    os::System& next_;
};

class ForwardingFiles : public os::Files {
  public:
    explicit ForwardingFiles(os::Files& next) : next_(next) {}
    os::FileHandle CreateFileA(const char* name, os::Dword access, os::Dword share,
                               os::Dword creation, os::Dword flags) override {
        return next_.CreateFileA(name, access, share, creation, flags);
    }
    os::FileHandle CreateFileW(const os::Wchar* name, os::Dword access, os::Dword share,
                               os::Dword creation, os::Dword flags) override {
        return next_.CreateFileW(name, access, share, creation, flags);
    }
    os::Bool ReadFile(os::FileHandle file, void* buffer, os::Dword count,
                      os::Dword* read) override {
        return next_.ReadFile(file, buffer, count, read);
    }
    os::Bool WriteFile(os::FileHandle file, const void* buffer, os::Dword count,
                       os::Dword* written) override {
        return next_.WriteFile(file, buffer, count, written);
    }
    os::Dword SetFilePointer(os::FileHandle file, long low, long* high, os::Dword method) override {
        return next_.SetFilePointer(file, low, high, method);
    }
    os::Dword GetFileType(os::FileHandle file) override { return next_.GetFileType(file); }
    os::Bool CloseHandle(os::FileHandle file) override { return next_.CloseHandle(file); }
    os::FileHandle GetStdInput() override { return next_.GetStdInput(); }
    os::Dword GetFileAttributesA(const char* name) override {
        return next_.GetFileAttributesA(name);
    }
    os::Dword GetFileAttributesW(const os::Wchar* name) override {
        return next_.GetFileAttributesW(name);
    }
    os::Bool SetFileAttributesA(const char* name, os::Dword attributes) override {
        return next_.SetFileAttributesA(name, attributes);
    }
    os::Bool DeleteFileA(const char* name) override { return next_.DeleteFileA(name); }
    os::Bool DeleteFileW(const os::Wchar* name) override { return next_.DeleteFileW(name); }
    os::Bool CreateDirectoryA(const char* name) override { return next_.CreateDirectoryA(name); }
    os::Bool RemoveDirectoryA(const char* name) override { return next_.RemoveDirectoryA(name); }
    os::Bool MoveFileA(const char* from, const char* to) override {
        return next_.MoveFileA(from, to);
    }
    os::Bool MoveFileExA(const char* from, const char* to, os::Dword flags) override {
        return next_.MoveFileExA(from, to, flags);
    }
    os::Dword GetShortPathNameA(const char* longPath, char* shortPath, os::Dword size) override {
        return next_.GetShortPathNameA(longPath, shortPath, size);
    }
    os::Dword GetTempPathA(os::Dword size, char* buffer) override {
        return next_.GetTempPathA(size, buffer);
    }
    unsigned GetWindowsDirectoryA(char* buffer, unsigned size) override {
        return next_.GetWindowsDirectoryA(buffer, size);
    }
    os::Dword GetCurrentDirectoryA(os::Dword size, char* buffer) override {
        return next_.GetCurrentDirectoryA(size, buffer);
    }
    os::Bool SetCurrentDirectoryA(const char* path) override {
        return next_.SetCurrentDirectoryA(path);
    }
    os::Bool WritePrivateProfileStringA(const char* section, const char* key, const char* value,
                                        const char* fileName) override {
        return next_.WritePrivateProfileStringA(section, key, value, fileName);
    }

  protected:
    os::Files& next_;
};

}  // namespace core_test

// Resources as the simulated machine reads them: the program's own compiled
// resources (a .res file embedded in the sim build) and the resource section of
// a DLL file that LoadLibraryA loads (the language module).
//
// Both are parsed from the documented binary formats; malformed input is
// rejected with a message, never read out of bounds.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace sim {

class ResourceSet {
  public:
    // Parses a PE file (DLL or EXE) and its resource section. Null and *error
    // set when the bytes are not a well-formed PE file.
    static std::unique_ptr<ResourceSet> FromPe(const std::vector<uint8_t>& bytes,
                                               std::string* error);
    // Parses a compiled .res file (as windres -O res writes it).
    static std::unique_ptr<ResourceSet> FromRes(const uint8_t* data, size_t size,
                                                std::string* error);

    virtual ~ResourceSet() = default;
    // Finds a resource; `type` and `name` are texts or integer ids in the
    // MAKEINTRESOURCE form (os::IntResource). Texts compare without regard to
    // ASCII case, and "#123" stands for the id 123, as FindResourceA takes
    // them. With several languages the first one stored is taken. Null when absent.
    virtual const std::vector<uint8_t>* Find(const char* type, const char* name) const = 0;
    // The UTF-16 text of string `id` (empty when missing), as LoadStringW sees it.
    virtual std::u16string String(unsigned id) const = 0;

    // The ids of all strings with a text, ascending.
    virtual std::vector<unsigned> StringIds() const = 0;
    // The names of the resources of `type`, in stored order: "#123" for an
    // integer id, else the name as stored (UTF-8).
    virtual std::vector<std::string> Names(const char* type) const = 0;
};

// The program's own resources, embedded in the sim build.
const ResourceSet& ProgramResources();

}  // namespace sim

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
    // MAKEINTRESOURCE form (os::IntResource). Null when absent.
    virtual const std::vector<uint8_t>* Find(const char* type, const char* name) const = 0;
    // The UTF-16 text of string `id` (empty when missing), as LoadStringW sees it.
    virtual std::u16string String(unsigned id) const = 0;
};

// The program's own resources, embedded in the sim build.
const ResourceSet& ProgramResources();

}  // namespace sim

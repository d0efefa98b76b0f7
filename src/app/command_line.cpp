// The command-line tail: what follows the program name.
#include "app/entry.h"

namespace {
bool IsBlank(char c) { return c == ' ' || c == '\t'; }
}  // namespace

const char* CommandLineTail(const char* commandLine) {
    if (!commandLine) return "";
    const char* p = commandLine;
    while (IsBlank(*p)) ++p;
    if (*p == '"') {
        ++p;
        while (*p != '\0' && *p != '"' && *p != '\t') ++p;
        if (*p == '"') ++p;
    } else {
        while (*p != '\0' && !IsBlank(*p)) ++p;
    }
    while (IsBlank(*p)) ++p;
    return p;
}

// The keys of the language file: the CRC-32 of a key-type prefix, an optional
// dialog name and the untranslated text, as 8 lowercase hexadecimal digits.
#pragma once

#include <stddef.h>
#include <stdint.h>

enum : int {
    kKeyTypeString = 0,  // texts fetched by GetString, prefix "s"
    kKeyTypeDialog = 1,  // dialog captions, control texts, scale entries, the
                         // right-to-left switch; prefix "$"
};

enum : size_t {
    kTextKeyLength = 8,
    kTextKeySize = kTextKeyLength + 1,  // with the terminator
};

// The standard CRC-32 (reflected, polynomial 0xEDB88320) of `size` bytes,
// continued from `crc` (start with 0xFFFFFFFF, complement the end result).
uint32_t UpdateCrc32(uint32_t crc, const void* data, size_t size);

// Writes the key of `text` for `keyType` into `key`: the complemented CRC-32
// over the prefix, `dialogName` (when not null) and `text`, as "%08x".
void ComputeTextKey(char key[kTextKeySize], int keyType, const char* dialogName, const char* text);

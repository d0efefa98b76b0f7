#include "localisation/text_key.h"

#include <string.h>

namespace {

// The 256-entry table, built on the first key computation.
uint32_t g_crcTable[256];
bool g_crcTableBuilt = false;

void BuildCrcTable() {
    for (uint32_t n = 0; n < 256; ++n) {
        uint32_t c = n;
        for (int bit = 0; bit < 8; ++bit) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        g_crcTable[n] = c;
    }
    g_crcTableBuilt = true;
}

const char* KeyTypePrefix(int keyType) { return keyType == kKeyTypeDialog ? "$" : "s"; }

}  // namespace

uint32_t UpdateCrc32(uint32_t crc, const void* data, size_t size) {
    if (!g_crcTableBuilt) BuildCrcTable();
    const unsigned char* bytes = static_cast<const unsigned char*>(data);
    for (size_t i = 0; i < size; ++i) crc = g_crcTable[(crc ^ bytes[i]) & 0xFF] ^ (crc >> 8);
    return crc;
}

void ComputeTextKey(char key[kTextKeySize], int keyType, const char* dialogName, const char* text) {
    uint32_t crc = 0xFFFFFFFFu;
    crc = UpdateCrc32(crc, KeyTypePrefix(keyType), 1);
    if (dialogName) crc = UpdateCrc32(crc, dialogName, strlen(dialogName));
    crc = UpdateCrc32(crc, text, strlen(text));
    crc = ~crc;
    static const char kDigits[] = "0123456789abcdef";
    for (size_t i = 0; i < kTextKeyLength; ++i) {
        key[i] = kDigits[(crc >> (4 * (kTextKeyLength - 1 - i))) & 0xF];
    }
    key[kTextKeyLength] = '\0';
}

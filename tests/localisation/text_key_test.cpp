// The keys of the language file, computed by the code for the worked texts.
#include "localisation/text_key.h"

#include <gtest/gtest.h>

namespace {

TEST(TextKey, WorkedKeys) {
    struct Case {
        int line;
        int keyType;
        const char* dialogName;
        const char* text;
        const char* key;
    };
    const Case cases[] = {
        // "sabc"
        {__LINE__, kKeyTypeString, nullptr, "abc", "92ab48be"},
        // The scale entries: "$SETUPDLG", "$CONTEXTITEMS".
        {__LINE__, kKeyTypeDialog, "SETUPDLG", "", "9b889d24"},
        {__LINE__, kKeyTypeDialog, "CONTEXTITEMS", "", "e70335f9"},
        // The right-to-left switch: "$LTRLTR".
        {__LINE__, kKeyTypeDialog, "LTR", "LTR", "50a17ae8"},
        // The dialog name and the text are simply concatenated.
        {__LINE__, kKeyTypeDialog, "LT", "RLTR", "50a17ae8"},
        {__LINE__, kKeyTypeDialog, nullptr, "LTRLTR", "50a17ae8"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case at line " << c.line);
        char key[kTextKeySize];
        ComputeTextKey(key, c.keyType, c.dialogName, c.text);
        EXPECT_STREQ(key, c.key);
    }
}

TEST(TextKey, KeyTypeAndBytesMatter) {
    char strings[kTextKeySize], dialogs[kTextKeySize], high[kTextKeySize];
    ComputeTextKey(strings, kKeyTypeString, nullptr, "OK");
    ComputeTextKey(dialogs, kKeyTypeDialog, nullptr, "OK");
    EXPECT_STRNE(strings, dialogs);
    // Bytes above 127 count as they are (the ANSI texts of the program).
    ComputeTextKey(high, kKeyTypeString, nullptr, "\xC0\xE1");
    EXPECT_STREQ(high, [] {
        // CRC-32 of "s\xC0\xE1" bit by bit, independent of the table.
        uint32_t crc = 0xFFFFFFFFu;
        for (unsigned char byte : {0x73, 0xC0, 0xE1}) {
            crc ^= byte;
            for (int bit = 0; bit < 8; ++bit) crc = (crc & 1) ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
        }
        static char text[kTextKeySize];
        snprintf(text, sizeof text, "%08x", ~crc);
        return text;
    }());
}

}  // namespace

// The message of the helper switch warning, which the self-removal script
// starts the program with when the program file survived its deletion.
#pragma once

#include <stddef.h>

// Composes the message into `text` of `size` bytes: string 5105, a line feed,
// then string 5106 with `programPath` in place of its "%s" (put in as text,
// never used as a format). A longer message is cut at a character boundary.
void ComposeWarningText(char* text, size_t size, const char* programPath);

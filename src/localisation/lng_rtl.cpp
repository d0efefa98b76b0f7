#include <string.h>

#include "localisation/ext_resource.h"
#include "localisation/language_resources.h"
#include "localisation/text_key.h"
#include "platform/platform.h"

namespace {
enum : size_t { kSwitchSize = 1024 };
}

void LanguageResources::DetectRightToLeft() {
    // A language module for a right-to-left language carries a dialog
    // resource named "RTL"; only its presence counts.
    os::Dword size = 0;
    if (os::Sys().FindResourceData(ResourceModule(), "RTL", os::IntResource(os::kRtDialog),
                                   &size)) {
        rightToLeft_ = true;
        return;
    }
    char result[kSwitchSize];
    Translate(result, sizeof result, "LTR", "LTR", kKeyTypeDialog);
    rightToLeft_ = strcmp(result, "RTL") == 0;
}

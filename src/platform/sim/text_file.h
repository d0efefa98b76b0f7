// The text of files that Windows tools write in UTF-16LE ("Unicode" files
// such as regedit's exports), which begin with the byte-order mark FF FE.
#pragma once

#include <string>
#include <string_view>

namespace sim {

bool HasUtf16Mark(std::string_view bytes);
// The text of such a file (mark included in `bytes`) as UTF-8. False, with
// the text and *error ("line N: ..."), when it ends in half a character.
bool DecodeUtf16File(std::string_view bytes, std::string* text, std::string* error);

}  // namespace sim

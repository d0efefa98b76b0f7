#include "uninstall/removal_script.h"

#include "common/text.h"

bool ComposeRemovalScript(bool ntFamily, const char* program, const char* folder,
                          const char* script, RemovalScript* text) {
    const bool first =
        ntFamily
            ? FormatInto(text->first, kScriptPieceSize, "\"%s\" /wait\r\n", program)
            : FormatInto(text->first, kScriptPieceSize, "start /wait \"%s\" /wait\r\n", program);
    return first &&
           FormatInto(text->block, kScriptPieceSize,
                      "del \"%s\"\r\nrd \"%s\"\r\nif not exist \"%s\" goto done\r\n", program,
                      folder, program) &&
           FormatInto(text->last, kScriptPieceSize,
                      ":done\r\nif exist \"%s\" \"%s\" /warning\r\ndel \"%s\"", program, program,
                      script);
}

#pragma once
// The stand-in's macro language: one command per line, played over a
// document held in memory. README.md describes the language.
#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>

// A document as the stand-in holds it: its bytes and the insertion point
// (a byte offset into them).
struct Document {
    std::string text;
    std::size_t insertion = 0;
};

// What a macro leaves behind besides its edits.
struct MacroOutcome {
    // How long the server reports the macro as still playing.
    unsigned playingMilliseconds = 0;
};

// Raised by a macro's Error line and by a line the player cannot read; the
// message is the description the caller sees.
class MacroError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Plays the macro's source over the document. Edits made before a failing
// line stay in the document.
MacroOutcome playMacro(std::string_view source, Document& document);

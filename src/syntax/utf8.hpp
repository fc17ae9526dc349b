// UTF-8 decoding of the framed input text, character by character.
#pragma once

#include <cstddef>
#include <string_view>

namespace hipaa::syntax {

// The byte length (1 to 4) of the character that starts at `offset`.
// Raises Incomplete when no character can start there: a stray
// continuation byte, a lead byte not followed by enough continuation bytes,
// or the end of the text inside a sequence.
//
// A byte below 0x80 is one character; 110xxxxx leads two bytes; 111xxxxx
// leads three bytes, except that a well-formed four-byte sequence for a code
// point from U+10000 to U+10FFFF (lead 0xF0 to 0xF4) is read as one
// character.  Overlong encodings are accepted.
std::size_t char_length(std::string_view text, std::size_t offset);

// The same decoding without failures, for position reporting over text that
// the lexer has already accepted: a malformed byte counts as one character.
std::size_t char_length_lenient(std::string_view text, std::size_t offset) noexcept;

} // namespace hipaa::syntax

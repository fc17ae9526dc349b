// Tokens shared by the policy and declarations lexers.  The kind is the
// grammar's own enumeration, held as a small integer so that one repair
// machine serves both grammars.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace hipaa::syntax {

struct Token {
  int kind = 0;
  // Byte offset of the token's first character in the framed text.
  std::size_t offset = 0;
  // ID and STR: the identifier or the string's characters without quotes.
  // DATE: the literal as written.  A view into the framed text, or into a
  // static placeholder for tokens inserted by repair.
  std::string_view text;
  // INT: the value.  DATE: the index of the converted date in the lexer's
  // date table, or -1 for an inserted placeholder (the epoch).
  std::int32_t value = 0;
};

} // namespace hipaa::syntax

// A token stream that remembers every token it has lexed, so that the
// repair machinery can read earlier tokens again without lexing the text a
// second time (and without repeating the lexer's messages).
#pragma once

#include "syntax/token.hpp"

#include <cstddef>
#include <vector>

namespace hipaa::syntax {

template <class Lexer> class TokenStream {
public:
  explicit TokenStream(Lexer& lexer) : lexer_(lexer) {}

  // The token at `index`, lexing up to it on first use.  Past the end
  // marker the stream keeps returning the end marker's token.
  Token at(std::size_t index) {
    while (tokens_.size() <= index) {
      if (!tokens_.empty() && tokens_.back().kind == Lexer::kEof) return tokens_.back();
      tokens_.push_back(lexer_.next());
    }
    return tokens_[index];
  }

  Lexer& lexer() { return lexer_; }

private:
  Lexer& lexer_;
  std::vector<Token> tokens_;
};

} // namespace hipaa::syntax

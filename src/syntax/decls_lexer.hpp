// The declarations lexer: framed declarations text to declaration tokens.
// It shares the policy lexer's conventions (scanner.hpp); it has no number
// literals, and its own punctuation, keywords and directives.
#pragma once

#include "syntax/scanner.hpp"
#include "syntax/token.hpp"

#include <iosfwd>
#include <string_view>

namespace hipaa::syntax {

// Declaration token kinds, in the repair search's order of preference.
enum DeclTok : int {
  D_ID,
  D_DOT,
  D_COLON,
  D_ARROW,
  D_PLUS,
  D_MINUS,
  D_RPAREN,
  D_LPAREN,
  D_COMMA,
  D_SORT,
  D_PRED,
  D_SUBJ,
  D_DB,
  D_EVAL,
  D_SYM,
  D_SQL,
  D_STRING_KW,
  D_INT_KW,
  D_DATE_KW,
  D_ANY,
  D_DBINFO,
  D_INFIX,
  D_STR,
  D_START_DECL,
  D_EOF,
  kDeclTokenCount
};

// The printable name of a declaration token kind.
const char* decl_token_name(int kind);

class DeclsLexer {
public:
  static constexpr int kEof = D_EOF;

  DeclsLexer(std::string_view framed, std::ostream& diag) : scanner_(framed, diag) {}

  // The next token; EOF at the end marker.  Raises Incomplete for
  // malformed UTF-8.
  Token next();

  std::string_view text() const { return scanner_.text(); }

private:
  Token make(int kind, std::size_t start, std::size_t length);
  bool lex_percent(Token& token);
  Token lex_identifier();

  Scanner scanner_;
};

} // namespace hipaa::syntax

// The policy lexer: framed policy or term text to policy tokens.
#pragma once

#include "dates/date.hpp"
#include "syntax/scanner.hpp"
#include "syntax/token.hpp"

#include <iosfwd>
#include <string_view>
#include <vector>

namespace hipaa::syntax {

// Policy token kinds.  The order is the repair search's order of preference
// among inserted and substituted tokens (see repair_search.hpp): identifiers and
// closing brackets first, then the other punctuation, keywords and literals.
enum PolicyTok : int {
  P_ID,
  P_RPAREN,
  P_LPAREN,
  P_RBRACK,
  P_LBRACK,
  P_RBRACE,
  P_LBRACE,
  P_RANGLE,
  P_LANGLE,
  P_COLON,
  P_TRUE,
  P_FALSE,
  P_AND,
  P_OR,
  P_ALL,
  P_EX,
  P_IMP,
  P_COMPILE,
  P_ANY,
  P_DATE_KW,
  P_INT_KW,
  P_STRING_KW,
  P_STR,
  P_INT,
  P_DATE,
  P_START_FORMULA,
  P_START_TERM,
  P_EOF,
  kPolicyTokenCount
};

// The printable name of a policy token kind, as repair reports show it.
const char* policy_token_name(int kind);

class PolicyLexer {
public:
  static constexpr int kEof = P_EOF;

  // `framed` must outlive the lexer and its tokens.  "Unknown symbol: "
  // lines go to `diag`.
  PolicyLexer(std::string_view framed, std::ostream& diag) : scanner_(framed, diag) {}

  // The next token; EOF at the end marker (and at the end of the text).
  // Raises Overflow for an integer outside 32 bits, Incomplete for
  // malformed UTF-8, and the date conversion's failures.
  Token next();

  std::string_view text() const { return scanner_.text(); }
  // The converted date literals, indexed by their tokens' values.
  const std::vector<DateValue>& dates() const { return dates_; }

private:
  Token make(int kind, std::size_t start, std::size_t length);
  Token end_marker_token();
  bool lex_marker(Token& token);
  Token lex_identifier();
  Token lex_number();
  Token lex_signed_integer();
  Token lex_string(std::size_t length);

  Scanner scanner_;
  std::vector<DateValue> dates_;
};

} // namespace hipaa::syntax

#include "syntax/policy_lexer.hpp"

#include "base/failure.hpp"
#include "syntax/framing.hpp"

#include <cstdint>
#include <string>

namespace hipaa::syntax {

namespace {

constexpr const char* kNames[kPolicyTokenCount] = {"ID",         ")",
                                                   "(",          "]",
                                                   "[",          "}",
                                                   "{",          ">",
                                                   "<",          ":",
                                                   "true",       "false",
                                                   "and",        "or",
                                                   "all",        "ex",
                                                   "imp",        "COMPILE",
                                                   "any",        "date",
                                                   "int",        "string",
                                                   "STR",        "INT",
                                                   "DATE",       "START_FORMULA",
                                                   "START_TERM", "EOF"};

struct Keyword {
  std::string_view word;
  int kind;
};

constexpr Keyword kKeywords[] = {
    {"all", P_ALL},      {"ex", P_EX},      {"and", P_AND},          {"or", P_OR},
    {"imp", P_IMP},      {"true", P_TRUE},  {"false", P_FALSE},      {"any", P_ANY},
    {"date", P_DATE_KW}, {"int", P_INT_KW}, {"string", P_STRING_KW}, {"COMPILE", P_COMPILE}};

int identifier_kind(std::string_view word) {
  for (const Keyword& keyword : kKeywords) {
    if (keyword.word == word) return keyword.kind;
  }
  return P_ID;
}

int punctuation_kind(unsigned char c) {
  switch (c) {
  case ':': return P_COLON;
  case '(': return P_LPAREN;
  case ')': return P_RPAREN;
  case '[': return P_LBRACK;
  case ']': return P_RBRACK;
  case '{': return P_LBRACE;
  case '}': return P_RBRACE;
  case '<': return P_LANGLE;
  case '>': return P_RANGLE;
  default: return -1;
  }
}

// The value of a run of digits, negated when `negative`; Overflow outside
// the 32-bit signed range.
std::int32_t integer_value(std::string_view digits, bool negative) {
  const std::uint64_t limit = negative ? 2147483648ULL : 2147483647ULL;
  std::uint64_t value = 0;
  for (const char digit : digits) {
    value = value * 10 + static_cast<std::uint64_t>(digit - '0');
    if (value > limit) raise("Overflow");
  }
  const auto magnitude = static_cast<std::int64_t>(value);
  return static_cast<std::int32_t>(negative ? -magnitude : magnitude);
}

} // namespace

const char* policy_token_name(int kind) {
  return kind >= 0 && kind < kPolicyTokenCount ? kNames[kind] : "?";
}

Token PolicyLexer::make(int kind, std::size_t start, std::size_t length) {
  scanner_.advance(length);
  return Token{kind, start, scanner_.text().substr(start, length), 0};
}

Token PolicyLexer::end_marker_token() { return make(P_EOF, scanner_.pos(), kEndMarker.size()); }

// A marker after "%": the start markers and the end marker.
bool PolicyLexer::lex_marker(Token& token) {
  if (scanner_.looking_at(kFormulaMarker)) {
    token = make(P_START_FORMULA, scanner_.pos(), kFormulaMarker.size());
  } else if (scanner_.looking_at(kTermMarker)) {
    token = make(P_START_TERM, scanner_.pos(), kTermMarker.size());
  } else if (scanner_.looking_at(kEndMarker)) {
    token = end_marker_token();
  } else {
    return false;
  }
  return true;
}

// identifier: letter-or-_ { letter | digit | _ # $ ' - / @ }; keywords win.
Token PolicyLexer::lex_identifier() {
  const std::size_t length = scanner_.identifier_length();
  Token token = make(P_ID, scanner_.pos(), length);
  token.kind = identifier_kind(token.text);
  return token;
}

// number: digits [ ":" digits ":" digits [ ":" digits ":" digits ":" digits ] ]
// The longest prefix with one, three or six digit groups is the token: one
// group is an INT, three or six a DATE.
Token PolicyLexer::lex_number() {
  const std::string_view text = scanner_.text();
  const std::size_t start = scanner_.pos();
  std::size_t at = start;
  std::size_t group_ends[7] = {};
  int groups = 0;
  while (groups < 6) {
    if (groups > 0) {
      if (at + 1 >= text.size() || text[at] != ':' ||
          !is_digit(static_cast<unsigned char>(text[at + 1])))
        break;
      ++at;
    }
    while (at < text.size() && is_digit(static_cast<unsigned char>(text[at]))) ++at;
    group_ends[++groups] = at;
  }
  const int used = groups >= 6 ? 6 : groups >= 3 ? 3 : 1;
  const std::size_t length = group_ends[used] - start;
  if (used == 1) {
    Token token = make(P_INT, start, length);
    token.value = integer_value(token.text, false);
    return token;
  }
  Token token = make(P_DATE, start, length);
  dates_.push_back(date_from_literal(std::string(token.text)));
  token.value = static_cast<std::int32_t>(dates_.size() - 1);
  return token;
}

// signed integer: ( "-" | "~" ) digits
Token PolicyLexer::lex_signed_integer() {
  const std::string_view text = scanner_.text();
  const std::size_t start = scanner_.pos();
  std::size_t at = start + 1;
  while (at < text.size() && is_digit(static_cast<unsigned char>(text[at]))) ++at;
  Token token = make(P_INT, start, at - start);
  token.value = integer_value(token.text.substr(1), true);
  return token;
}

// string: '"' { any character but '"' and LF } '"'
Token PolicyLexer::lex_string(std::size_t length) {
  Token token = make(P_STR, scanner_.pos(), length);
  token.text = token.text.substr(1, length - 2);
  return token;
}

Token PolicyLexer::next() {
  for (;;) {
    scanner_.skip_white();
    if (scanner_.at_end()) return Token{P_EOF, scanner_.pos(), {}, 0};
    const unsigned char c = scanner_.peek();
    if (c == '(' && scanner_.peek(1) == '*') {
      if (scanner_.skip_block_comment() == Scanner::CommentEnd::EndMarker)
        return end_marker_token();
      continue;
    }
    if (c == '%') {
      Token token;
      if (lex_marker(token)) return token;
      if (scanner_.skip_line_comment() == Scanner::CommentEnd::EndMarker) return end_marker_token();
      continue;
    }
    if (const int kind = punctuation_kind(c); kind >= 0) return make(kind, scanner_.pos(), 1);
    if (starts_identifier(c)) return lex_identifier();
    if (is_digit(c)) return lex_number();
    if ((c == '-' || c == '~') && is_digit(scanner_.peek(1))) return lex_signed_integer();
    if (c == '"') {
      if (const std::size_t length = scanner_.string_length(); length > 0)
        return lex_string(length);
    }
    scanner_.skip_unknown();
  }
}

} // namespace hipaa::syntax

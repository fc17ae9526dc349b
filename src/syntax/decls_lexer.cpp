#include "syntax/decls_lexer.hpp"

#include "syntax/framing.hpp"

namespace hipaa::syntax {

namespace {

constexpr const char* kNames[kDeclTokenCount] = {
    "ID",   ".",    ":",       "->",     "+",    "-",          ")",   "(",      ",",
    "sort", "pred", "SUBJ",    "DB",     "EVAL", "SYM",        "SQL", "string", "int",
    "date", "any",  "%dbinfo", "%infix", "STR",  "START_DECL", "EOF"};

struct Word {
  std::string_view text;
  int kind;
};

constexpr Word kKeywords[] = {{"sort", D_SORT},    {"pred", D_PRED},        {"SUBJ", D_SUBJ},
                              {"DB", D_DB},        {"EVAL", D_EVAL},        {"SYM", D_SYM},
                              {"SQL", D_SQL},      {"string", D_STRING_KW}, {"int", D_INT_KW},
                              {"date", D_DATE_KW}, {"any", D_ANY}};

// What may follow "%": markers, then directives.  Anything else starts a
// line comment.
constexpr Word kPercentWords[] = {
    {kDeclsMarker, D_START_DECL}, {kEndMarker, D_EOF}, {"%dbinfo", D_DBINFO}, {"%infix", D_INFIX}};

int identifier_kind(std::string_view word) {
  for (const Word& keyword : kKeywords) {
    if (keyword.text == word) return keyword.kind;
  }
  return D_ID;
}

int punctuation_kind(unsigned char c) {
  switch (c) {
  case ':': return D_COLON;
  case ',': return D_COMMA;
  case '.': return D_DOT;
  case '(': return D_LPAREN;
  case ')': return D_RPAREN;
  case '+': return D_PLUS;
  default: return -1;
  }
}

} // namespace

const char* decl_token_name(int kind) {
  return kind >= 0 && kind < kDeclTokenCount ? kNames[kind] : "?";
}

Token DeclsLexer::make(int kind, std::size_t start, std::size_t length) {
  scanner_.advance(length);
  return Token{kind, start, scanner_.text().substr(start, length), 0};
}

bool DeclsLexer::lex_percent(Token& token) {
  for (const Word& word : kPercentWords) {
    if (scanner_.looking_at(word.text)) {
      token = make(word.kind, scanner_.pos(), word.text.size());
      return true;
    }
  }
  return false;
}

Token DeclsLexer::lex_identifier() {
  const std::size_t length = scanner_.identifier_length();
  Token token = make(D_ID, scanner_.pos(), length);
  token.kind = identifier_kind(token.text);
  return token;
}

Token DeclsLexer::next() {
  for (;;) {
    scanner_.skip_white();
    if (scanner_.at_end()) return Token{D_EOF, scanner_.pos(), {}, 0};
    const unsigned char c = scanner_.peek();
    if (c == '(' && scanner_.peek(1) == '*') {
      if (scanner_.skip_block_comment() == Scanner::CommentEnd::EndMarker) {
        return make(D_EOF, scanner_.pos(), kEndMarker.size());
      }
      continue;
    }
    if (c == '%') {
      Token token;
      if (lex_percent(token)) return token;
      if (scanner_.skip_line_comment() == Scanner::CommentEnd::EndMarker) {
        return make(D_EOF, scanner_.pos(), kEndMarker.size());
      }
      continue;
    }
    if (c == '-') {
      const bool arrow = scanner_.peek(1) == '>';
      return make(arrow ? D_ARROW : D_MINUS, scanner_.pos(), arrow ? 2 : 1);
    }
    if (const int kind = punctuation_kind(c); kind >= 0) return make(kind, scanner_.pos(), 1);
    if (starts_identifier(c)) return lex_identifier();
    if (c == '"') {
      if (const std::size_t length = scanner_.string_length(); length > 0) {
        Token token = make(D_STR, scanner_.pos(), length);
        token.text = token.text.substr(1, length - 2);
        return token;
      }
    }
    scanner_.skip_unknown();
  }
}

} // namespace hipaa::syntax

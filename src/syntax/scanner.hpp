// The lexical conventions that the policy lexer and the declarations lexer
// share: characters, white space, both comment forms (with the end marker
// still recognised inside them), identifiers, string literals and the
// "Unknown symbol: " message.  Each lexer adds its own tokens on top.
#pragma once

#include <cstddef>
#include <iosfwd>
#include <string_view>

namespace hipaa::syntax {

class Scanner {
public:
  Scanner(std::string_view text, std::ostream& diag) : text_(text), diag_(diag) {}

  std::string_view text() const { return text_; }
  std::size_t pos() const { return pos_; }
  void advance(std::size_t count) { pos_ += count; }
  bool at_end() const { return pos_ >= text_.size(); }
  // The byte at pos() + ahead, or 0 past the end of the text.
  unsigned char peek(std::size_t ahead = 0) const {
    const std::size_t at = pos_ + ahead;
    return at < text_.size() ? static_cast<unsigned char>(text_[at]) : 0;
  }
  bool looking_at(std::string_view word) const { return text_.substr(pos_).starts_with(word); }

  // Skips blanks, tabs, LF and CR.
  void skip_white();

  // What ended a comment: its own end, or the end marker met inside it
  // (pos() then stands on the marker's "%").
  enum class CommentEnd { Closed, EndMarker };
  // At "(*": skips to just after the first "*)".
  CommentEnd skip_block_comment();
  // At "%": skips to just after the next LF or CR.
  CommentEnd skip_line_comment();

  // At a letter or "_": the identifier's length.  Identifiers continue with
  // letters, digits and "_", "#", "$", "'", "-", "/", "@".
  std::size_t identifier_length() const;

  // At a double quote: the length of the string literal including both
  // quotes, or 0 when no closing quote comes before the line ends.
  std::size_t string_length() const;

  // Writes "Unknown symbol: " and the character at pos(), then skips it.
  void skip_unknown();

private:
  std::string_view text_;
  std::ostream& diag_;
  std::size_t pos_ = 0;
};

inline bool is_letter(unsigned char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
inline bool is_digit(unsigned char c) { return c >= '0' && c <= '9'; }
inline bool starts_identifier(unsigned char c) { return is_letter(c) || c == '_'; }

} // namespace hipaa::syntax

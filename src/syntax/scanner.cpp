#include "syntax/scanner.hpp"

#include "syntax/framing.hpp"
#include "syntax/utf8.hpp"

#include <ostream>

namespace hipaa::syntax {

namespace {

bool continues_identifier(unsigned char c) {
  switch (c) {
  case '_':
  case '#':
  case '$':
  case '\'':
  case '-':
  case '/':
  case '@': return true;
  default: return is_letter(c) || is_digit(c);
  }
}

} // namespace

void Scanner::skip_white() {
  while (!at_end()) {
    const unsigned char c = peek();
    if (c != ' ' && c != '\t' && c != '\n' && c != '\r') return;
    ++pos_;
  }
}

Scanner::CommentEnd Scanner::skip_block_comment() {
  pos_ += 2;
  while (!at_end()) {
    if (peek() == '*' && peek(1) == ')') {
      pos_ += 2;
      return CommentEnd::Closed;
    }
    if (peek() == '%' && looking_at(kEndMarker)) return CommentEnd::EndMarker;
    pos_ += char_length(text_, pos_);
  }
  return CommentEnd::Closed;
}

Scanner::CommentEnd Scanner::skip_line_comment() {
  ++pos_;
  while (!at_end()) {
    const unsigned char c = peek();
    if (c == '\n' || c == '\r') {
      ++pos_;
      return CommentEnd::Closed;
    }
    if (c == '%' && looking_at(kEndMarker)) return CommentEnd::EndMarker;
    pos_ += char_length(text_, pos_);
  }
  return CommentEnd::Closed;
}

std::size_t Scanner::identifier_length() const {
  std::size_t end = pos_ + 1;
  while (end < text_.size() && continues_identifier(static_cast<unsigned char>(text_[end]))) ++end;
  return end - pos_;
}

std::size_t Scanner::string_length() const {
  std::size_t at = pos_ + 1;
  while (at < text_.size()) {
    const char c = text_[at];
    if (c == '"') return at + 1 - pos_;
    if (c == '\n') return 0;
    at += char_length(text_, at);
  }
  return 0;
}

void Scanner::skip_unknown() {
  const std::size_t length = char_length(text_, pos_);
  diag_ << "Unknown symbol: ";
  diag_.write(text_.data() + pos_, static_cast<std::streamsize>(length));
  diag_ << '\n';
  diag_.flush();
  pos_ += length;
}

} // namespace hipaa::syntax

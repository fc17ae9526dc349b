#include "syntax/utf8.hpp"

#include "base/failure.hpp"

namespace hipaa::syntax {

namespace {

constexpr std::size_t kMalformed = 0;

bool is_continuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// True when `count` continuation bytes follow the lead byte at `offset`.
bool continuations_follow(std::string_view text, std::size_t offset, std::size_t count) {
  if (text.size() - offset <= count) return false;
  for (std::size_t i = 1; i <= count; ++i) {
    if (!is_continuation(static_cast<unsigned char>(text[offset + i]))) return false;
  }
  return true;
}

// A well-formed four-byte sequence for U+10000..U+10FFFF.
bool is_four_byte_char(std::string_view text, std::size_t offset) {
  const auto lead = static_cast<unsigned char>(text[offset]);
  if (lead < 0xF0 || lead > 0xF4 || !continuations_follow(text, offset, 3)) return false;
  const unsigned code = ((lead & 0x07u) << 18) |
                        ((static_cast<unsigned char>(text[offset + 1]) & 0x3Fu) << 12) |
                        ((static_cast<unsigned char>(text[offset + 2]) & 0x3Fu) << 6) |
                        (static_cast<unsigned char>(text[offset + 3]) & 0x3Fu);
  return code >= 0x10000 && code <= 0x10FFFF;
}

std::size_t decode_length(std::string_view text, std::size_t offset) {
  const auto lead = static_cast<unsigned char>(text[offset]);
  if (lead < 0x80) return 1;
  if (lead < 0xC0) return kMalformed;
  if (lead < 0xE0) return continuations_follow(text, offset, 1) ? 2 : kMalformed;
  if (is_four_byte_char(text, offset)) return 4;
  return continuations_follow(text, offset, 2) ? 3 : kMalformed;
}

} // namespace

std::size_t char_length(std::string_view text, std::size_t offset) {
  const std::size_t length = decode_length(text, offset);
  if (length == kMalformed) raise("Incomplete");
  return length;
}

std::size_t char_length_lenient(std::string_view text, std::size_t offset) noexcept {
  const std::size_t length = decode_length(text, offset);
  return length == kMalformed ? 1 : length;
}

} // namespace hipaa::syntax

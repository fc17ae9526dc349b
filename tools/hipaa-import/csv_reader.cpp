#include "csv_reader.hpp"

#include "common/tool_error.hpp"

#include <cerrno>
#include <cstring>

namespace hipaa::import {

using tools::ToolError;

namespace {

bool is_blank(int c) { return c == ' ' || c == '\t'; }

void trim_right(std::string& field) {
  while (!field.empty() && is_blank(static_cast<unsigned char>(field.back()))) field.pop_back();
}

// The length of the UTF-8 sequence at `at`, or 0 when it is malformed,
// overlong, a surrogate or beyond U+10FFFF.
std::size_t utf8_length(const std::string& text, std::size_t at) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  unsigned char lead = byte(at);
  if (lead < 0x80) return 1;
  std::size_t length;
  unsigned long code;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    code = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    code = lead & 0x0F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    code = lead & 0x07;
  } else {
    return 0;
  }
  if (at + length > text.size()) return 0;
  for (std::size_t i = 1; i < length; ++i) {
    if ((byte(at + i) & 0xC0) != 0x80) return 0;
    code = (code << 6) | (byte(at + i) & 0x3F);
  }
  const bool overlong = (length == 3 && code < 0x800) || (length == 4 && code < 0x10000);
  const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
  if (overlong || surrogate || code > 0x10FFFF) return 0;
  return length;
}

std::string hex_byte(unsigned char byte) {
  const char* digits = "0123456789ABCDEF";
  return std::string("0x") + digits[byte >> 4] + digits[byte & 0xF];
}

} // namespace

std::string text_problem(const std::string& text) {
  std::size_t character = 1;
  for (std::size_t at = 0; at < text.size(); ++character) {
    if (text[at] == '\0') {
      return "holds a NUL byte at character " + std::to_string(character);
    }
    std::size_t length = utf8_length(text, at);
    if (length == 0) {
      return "is not valid UTF-8: byte " + hex_byte(static_cast<unsigned char>(text[at])) +
             " at character " + std::to_string(character) +
             " (save the file as UTF-8, or give its encoding with --encoding)";
    }
    at += length;
  }
  return "";
}

CsvReader::CsvReader(const std::string& path, std::string shown) : shown_(std::move(shown)) {
  if (path == "-") {
    file_.reset(stdin);
  } else {
    file_.reset(std::fopen(path.c_str(), "rb"));
    if (!file_) {
      int code = errno;
      if (code == ENOENT) throw ToolError(shown_ + ": no such file");
      throw ToolError("cannot read " + shown_ + ": " + std::strerror(code));
    }
  }
  // A byte-order mark, as spreadsheets write it before "CSV UTF-8".
  static const unsigned char kMark[3] = {0xEF, 0xBB, 0xBF};
  unsigned char start[3];
  std::size_t got = std::fread(start, 1, 3, file_.get());
  if (got == 3 && std::memcmp(start, kMark, 3) == 0) {
    bytes_ = 3;
    return;
  }
  for (std::size_t i = got; i > 0; --i) {
    if (std::ungetc(start[i - 1], file_.get()) == EOF) {
      throw ToolError("cannot read " + shown_ + ": cannot push back its first bytes");
    }
  }
}

int CsvReader::get() {
  int c = getc_unlocked(file_.get());
  if (c == '\n') ++line_;
  if (c != EOF) ++bytes_;
  return c;
}

int CsvReader::peek() {
  int c = getc_unlocked(file_.get());
  if (c != EOF) std::ungetc(c, file_.get());
  return c;
}

void CsvReader::skip_blanks() {
  while (is_blank(peek())) get();
}

void CsvReader::fail(long line, const std::string& reason) const {
  throw ToolError(shown_ + ":" + std::to_string(line) + ": " + reason);
}

// quoted = '"' { any character but '"' | '""' } '"'
void CsvReader::read_quoted_field(std::string& field) {
  const long start = line_;
  get(); // the opening quote
  for (;;) {
    int c = get();
    if (c == EOF) fail(start, "unbalanced quote: the quoted field that starts here is not closed");
    if (c != '"') {
      field.push_back(static_cast<char>(c));
      continue;
    }
    if (peek() != '"') break;
    get();
    field.push_back('"');
  }
  skip_blanks();
  int next = peek();
  if (next != ',' && next != '\n' && next != '\r' && next != EOF) {
    fail(line_, "unexpected text after the closing quote of a field");
  }
}

// unquoted = { any character but ',' '"' CR LF }
void CsvReader::read_unquoted_field(std::string& field, long line) {
  for (;;) {
    int c = peek();
    if (c == EOF || c == ',' || c == '\n' || c == '\r') break;
    if (c == '"') fail(line, "a double quote inside an unquoted field (quote the whole field)");
    field.push_back(static_cast<char>(get()));
  }
  trim_right(field);
}

// record = field { ',' field } ( CRLF | LF | end of file ), where
// field = blanks ( quoted | unquoted ) blanks
bool CsvReader::next_record(std::vector<std::string>& fields) {
  fields.clear();
  // Blank lines between records are skipped.
  while (peek() == '\n' || peek() == '\r') get();
  if (peek() == EOF) {
    if (std::ferror(file_.get())) throw ToolError("cannot read " + shown_ + ": read error");
    return false;
  }
  record_line_ = line_;
  for (;;) {
    std::string& field = fields.emplace_back();
    skip_blanks();
    if (peek() == '"') {
      read_quoted_field(field);
    } else {
      read_unquoted_field(field, record_line_);
    }
    int c = get();
    if (c == ',') continue;
    if (c == '\r' && peek() == '\n') get();
    return true;
  }
}

} // namespace hipaa::import

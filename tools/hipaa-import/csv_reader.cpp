#include "csv_reader.hpp"

#include "common/tool_error.hpp"

#include <iconv.h>
#include <sys/types.h>

#include <cctype>
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

std::string normal_name(const std::string& encoding) {
  std::string name;
  for (char c : encoding) {
    if (c != '-' && c != '_') name += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  }
  return name;
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

bool names_utf8(const std::string& encoding) { return normal_name(encoding) == "UTF8"; }

bool names_utf16(const std::string& encoding) {
  const std::string name = normal_name(encoding);
  return name == "UTF16" || name == "UTF16LE" || name == "UTF16BE";
}

// UTF-16 decoded to UTF-8 chunk by chunk, as a stream of the C library
// (fopencookie), so that the reader above it sees UTF-8 bytes.
struct CsvReader::Decoder {
  std::FILE* raw = nullptr;
  iconv_t handle = reinterpret_cast<iconv_t>(-1);
  std::string encoding;
  char input[16384];
  std::size_t held = 0;
  bool end = false;
  bool failed = false;

  ~Decoder() {
    if (handle != reinterpret_cast<iconv_t>(-1)) iconv_close(handle);
  }

  static ssize_t read(void* cookie, char* buffer, std::size_t size) {
    auto* self = static_cast<Decoder*>(cookie);
    for (;;) {
      if (!self->end && self->held < sizeof self->input) {
        std::size_t got =
            std::fread(self->input + self->held, 1, sizeof self->input - self->held, self->raw);
        if (got == 0) self->end = true;
        self->held += got;
      }
      if (self->held == 0) return 0;
      char* in = self->input;
      std::size_t in_left = self->held;
      char* out = buffer;
      std::size_t out_left = size;
      std::size_t status = iconv(self->handle, &in, &in_left, &out, &out_left);
      const int code = errno;
      std::memmove(self->input, in, in_left);
      self->held = in_left;
      const std::size_t produced = size - out_left;
      if (status == static_cast<std::size_t>(-1) && code == EILSEQ && produced == 0) {
        self->failed = true;
        errno = EILSEQ;
        return -1;
      }
      if (produced > 0) return static_cast<ssize_t>(produced);
      // An incomplete character at the very end of the file.
      if (self->end) {
        self->failed = true;
        errno = EILSEQ;
        return -1;
      }
    }
  }
};

CsvReader::~CsvReader() = default;

CsvReader::CsvReader(const std::string& path, std::string shown, const std::string& declared)
    : shown_(std::move(shown)) {
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
  // A byte-order mark, as spreadsheets write it before "CSV UTF-8" or
  // "Unicode text".
  static const unsigned char kMark[3] = {0xEF, 0xBB, 0xBF};
  unsigned char start[3];
  std::size_t got = std::fread(start, 1, 3, file_.get());
  std::size_t skip = 0;
  std::string decode;
  if (got == 3 && std::memcmp(start, kMark, 3) == 0) {
    mark_ = ByteOrderMark::Utf8;
    skip = 3;
  } else if (got >= 2 && start[0] == 0xFF && start[1] == 0xFE) {
    mark_ = ByteOrderMark::Utf16LE;
    skip = 2;
    decode = "UTF-16LE";
  } else if (got >= 2 && start[0] == 0xFE && start[1] == 0xFF) {
    mark_ = ByteOrderMark::Utf16BE;
    skip = 2;
    decode = "UTF-16BE";
  }
  if (decode.empty() && mark_ == ByteOrderMark::None && names_utf16(declared)) {
    // Without a mark, UTF-16 is big-endian unless the name says otherwise.
    decode = normal_name(declared) == "UTF16LE" ? "UTF-16LE" : "UTF-16BE";
  }
  bytes_ = static_cast<long long>(skip);
  if (!decode.empty()) {
    decoder_ = std::make_unique<Decoder>();
    decoder_->raw = file_.get();
    decoder_->encoding = decode;
    decoder_->handle = iconv_open("UTF-8", decode.c_str());
    if (decoder_->handle == reinterpret_cast<iconv_t>(-1)) {
      throw ToolError("cannot read " + shown_ + ": no decoder for " + decode);
    }
    for (std::size_t i = skip; i < got; ++i) decoder_->input[decoder_->held++] = static_cast<char>(start[i]);
    cookie_io_functions_t functions{&Decoder::read, nullptr, nullptr, nullptr};
    decoded_.reset(fopencookie(decoder_.get(), "r", functions));
    if (!decoded_) throw ToolError("cannot read " + shown_ + ": cannot decode " + decode);
    return;
  }
  if (skip == 3) return;
  for (std::size_t i = got; i > skip; --i) {
    if (std::ungetc(start[i - 1], file_.get()) == EOF) {
      throw ToolError("cannot read " + shown_ + ": cannot push back its first bytes");
    }
  }
}

int CsvReader::get() {
  std::FILE* stream = decoded_ ? decoded_.get() : file_.get();
  int c = getc_unlocked(stream);
  if (c == '\n') ++line_;
  if (c != EOF) ++bytes_;
  if (c == EOF && decoder_ && decoder_->failed) {
    fail(line_, "the file is not " + decoder_->encoding + " text");
  }
  return c;
}

int CsvReader::peek() {
  std::FILE* stream = decoded_ ? decoded_.get() : file_.get();
  int c = getc_unlocked(stream);
  if (c != EOF) std::ungetc(c, stream);
  if (c == EOF && decoder_ && decoder_->failed) {
    fail(line_, "the file is not " + decoder_->encoding + " text");
  }
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
    if (std::ferror(file_.get()) || (decoded_ && std::ferror(decoded_.get()))) {
      throw ToolError("cannot read " + shown_ + ": read error");
    }
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

// Turning text of a named encoding (ISO-8859-1, WINDOWS-1252, ...) into
// UTF-8 with the C library's iconv, for files that spreadsheets saved in a
// legacy encoding.
#pragma once

#include <iconv.h>

#include <string>

namespace hipaa::import {

class Transcoder {
public:
  // A ToolError when the C library does not know `encoding`.
  explicit Transcoder(const std::string& encoding);
  Transcoder(const Transcoder&) = delete;
  Transcoder& operator=(const Transcoder&) = delete;
  ~Transcoder();

  // `text` in UTF-8; a ToolError when it is not text of the encoding.
  std::string to_utf8(const std::string& text);

private:
  std::string encoding_;
  iconv_t handle_;
};

} // namespace hipaa::import

#include "transcoder.hpp"

#include "common/tool_error.hpp"

#include <cerrno>

namespace hipaa::import {

Transcoder::Transcoder(const std::string& encoding)
    : encoding_(encoding), handle_(iconv_open("UTF-8", encoding.c_str())) {
  if (handle_ == reinterpret_cast<iconv_t>(-1)) {
    throw tools::UsageError("unknown encoding \"" + encoding + "\" (try ISO-8859-1 or "
                            "WINDOWS-1252; iconv --list names them all)");
  }
}

Transcoder::~Transcoder() { iconv_close(handle_); }

std::string Transcoder::to_utf8(const std::string& text) {
  std::string result;
  std::string input = text;
  char* in = input.data();
  std::size_t in_left = input.size();
  char buffer[4096];
  iconv(handle_, nullptr, nullptr, nullptr, nullptr);
  while (in_left > 0) {
    char* out = buffer;
    std::size_t out_left = sizeof buffer;
    std::size_t status = iconv(handle_, &in, &in_left, &out, &out_left);
    result.append(buffer, static_cast<std::size_t>(out - buffer));
    if (status == static_cast<std::size_t>(-1) && errno != E2BIG) {
      throw tools::ToolError("the value is not " + encoding_ + " text");
    }
  }
  return result;
}

} // namespace hipaa::import

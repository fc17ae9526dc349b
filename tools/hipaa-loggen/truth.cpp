#include "truth.hpp"

#include <cerrno>
#include <cstring>

namespace hipaa::loggen {

namespace {

// A field of RFC 4180: quoted when it holds a comma, quote, CR or LF.
std::string csv_field(std::string_view text) {
  if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + "\"";
}

} // namespace

TruthFile::TruthFile(const std::string& path, bool overwrite)
    : output_(path, overwrite), file_(output_.temporary_path(), std::ios::binary) {
  if (!file_) throw tools::ToolError("cannot write " + path + ": " + std::strerror(errno));
  file_ << "message,kind,verdict,clause\r\n";
}

void TruthFile::add(std::string_view message, const Planted& planted) {
  file_ << csv_field(message) << ',' << planted.kind << ',' << planted.verdict << ','
        << planted.clause << "\r\n";
}

void TruthFile::finish() {
  file_.close();
  if (file_.fail()) {
    throw tools::ToolError("cannot write " + output_.path() + ": " + std::strerror(errno));
  }
  output_.commit();
}

} // namespace hipaa::loggen

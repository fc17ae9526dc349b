#include "truth.hpp"

#include "common/csv_field.hpp"

#include <cerrno>
#include <cstring>

namespace hipaa::loggen {

TruthFile::TruthFile(const std::string& path, bool overwrite)
    : output_(path, overwrite), file_(output_.temporary_path(), std::ios::binary) {
  if (!file_) throw tools::ToolError("cannot write " + path + ": " + std::strerror(errno));
  file_ << "message,kind,verdict,clause\r\n";
}

void TruthFile::add(std::string_view message, const Planted& planted) {
  file_ << tools::csv_field(message) << ',' << planted.kind << ',' << planted.verdict << ','
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

#include "csv_writer.hpp"

#include "common/csv_field.hpp"
#include "common/tool_error.hpp"

#include <cerrno>
#include <cstring>

#include <unistd.h>

namespace hipaa::exporting {

using tools::ToolError;

CsvWriter::CsvWriter(const std::string& path) : path_(path) {
  file_.reset(std::fopen(path.c_str(), "wb"));
  if (!file_) throw ToolError("cannot write " + path + ": " + std::strerror(errno));
}

void CsvWriter::record(const std::vector<std::string>& fields) {
  line_.clear();
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) line_ += ',';
    tools::append_csv_field(line_, fields[i], true);
  }
  line_ += '\n';
  if (std::fwrite(line_.data(), 1, line_.size(), file_.get()) != line_.size()) {
    throw ToolError("cannot write " + path_ + ": " + std::strerror(errno));
  }
}

void CsvWriter::finish() {
  std::FILE* file = file_.release();
  const bool flushed = std::fflush(file) == 0 && ::fsync(fileno(file)) == 0;
  const int code = errno;
  if (std::fclose(file) != 0 || !flushed) {
    throw ToolError("cannot write " + path_ + ": " + std::strerror(flushed ? errno : code));
  }
}

} // namespace hipaa::exporting

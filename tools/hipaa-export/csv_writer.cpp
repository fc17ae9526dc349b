#include "csv_writer.hpp"

#include "common/csv_field.hpp"
#include "common/tool_error.hpp"

#include <cerrno>
#include <cstring>

#include <unistd.h>

namespace hipaa::exporting {

using tools::ToolError;

CsvWriter::CsvWriter(const std::string& path, tools::Formulas formulas)
    : path_(path), formulas_(formulas) {
  file_.reset(std::fopen(path.c_str(), "wb"));
  if (!file_) throw ToolError("cannot write " + path + ": " + std::strerror(errno));
}

void CsvWriter::header(const std::vector<std::string>& names) {
  line_.clear();
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (i > 0) line_ += ',';
    if (i == 0 && formulas_ == tools::Formulas::Neutralised) {
      // The mark: one "'" before the first name, whatever it is.
      tools::append_csv_field(line_, "'" + names[i], true);
    } else {
      tools::append_csv_field(line_, names[i], true, formulas_);
    }
  }
  write_line();
}

void CsvWriter::record(const std::vector<std::string>& fields) {
  line_.clear();
  tools::append_csv_record(line_, fields, true, formulas_);
  write_line();
}

void CsvWriter::write_line() {
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

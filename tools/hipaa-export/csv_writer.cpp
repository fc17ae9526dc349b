#include "csv_writer.hpp"

#include "common/tool_error.hpp"

#include <cerrno>
#include <cstring>

#include <unistd.h>

namespace hipaa::exporting {

using tools::ToolError;

std::string csv_field(const std::string& field) {
  const bool blank_edge = !field.empty() && (field.front() == ' ' || field.front() == '\t' ||
                                             field.back() == ' ' || field.back() == '\t');
  if (!blank_edge && field.find_first_of(",\"\r\n") == std::string::npos) return field;
  std::string quoted = "\"";
  for (char c : field) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  return quoted + "\"";
}

CsvWriter::CsvWriter(const std::string& path) : path_(path) {
  file_.reset(std::fopen(path.c_str(), "wb"));
  if (!file_) throw ToolError("cannot write " + path + ": " + std::strerror(errno));
}

void CsvWriter::record(const std::vector<std::string>& fields) {
  line_.clear();
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) line_ += ',';
    line_ += csv_field(fields[i]);
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

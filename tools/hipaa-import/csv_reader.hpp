// Reading CSV files as RFC 4180 describes them: fields separated by commas,
// records by LF or CRLF, fields in double quotes may hold commas, line
// breaks and doubled quotes.  Records are read one at a time.
#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace hipaa::import {

class CsvReader {
public:
  // Opens `path`; a ToolError when it cannot be read.
  explicit CsvReader(std::string path);

  // Reads the next non-blank record into `fields`; false at the end of the
  // file.  A malformed record is a ToolError naming the file and line.
  bool next_record(std::vector<std::string>& fields);

  // The line on which the record last read begins (from 1).
  long record_line() const { return record_line_; }
  const std::string& path() const { return path_; }

private:
  struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
  };

  int get();
  int peek();
  [[noreturn]] void fail(long line, const std::string& reason) const;
  // field = quoted / unquoted; both stop before the separator.
  void read_quoted_field(std::string& field);
  void read_unquoted_field(std::string& field, long line);

  std::string path_;
  std::unique_ptr<std::FILE, FileCloser> file_;
  long line_ = 1;
  long record_line_ = 0;
};

} // namespace hipaa::import

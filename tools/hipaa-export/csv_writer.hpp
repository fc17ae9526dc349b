// Writing CSV files that hipaa-import reads back unchanged: a field is put in
// double quotes (inner quotes doubled) when it holds a comma, a quote, a line
// break, or blanks at either end, which the reader would otherwise remove.
#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace hipaa::exporting {

class CsvWriter {
public:
  // Creates `path`; a ToolError when it cannot be.
  explicit CsvWriter(const std::string& path);

  void record(const std::vector<std::string>& fields);

  // Flushes and closes the file; write errors surface here.
  void finish();

private:
  struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
  };
  std::string path_;
  std::unique_ptr<std::FILE, FileCloser> file_;
  std::string line_;
};

} // namespace hipaa::exporting

// Writing CSV files that hipaa-import reads back unchanged: a field is put in
// double quotes (inner quotes doubled) when it holds a comma, a quote, a line
// break, or blanks at either end, which the reader would otherwise remove; a
// record of one empty field is written as "", since the reader skips blank
// lines.  With Formulas::Neutralised, cells a spreadsheet would run get a
// leading "'", and the header's first name one more, which tells the
// importer to remove them.
#pragma once

#include "common/csv_field.hpp"

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace hipaa::exporting {

class CsvWriter {
public:
  // Creates `path`; a ToolError when it cannot be.
  CsvWriter(const std::string& path, tools::Formulas formulas);

  void header(const std::vector<std::string>& names);
  void record(const std::vector<std::string>& fields);

  // Flushes and closes the file; write errors surface here.
  void finish();

private:
  struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
  };
  void write_line();

  std::string path_;
  tools::Formulas formulas_;
  std::unique_ptr<std::FILE, FileCloser> file_;
  std::string line_;
};

} // namespace hipaa::exporting

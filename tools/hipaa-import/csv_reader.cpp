#include "csv_reader.hpp"

#include "../common/tool_error.hpp"

#include <cerrno>
#include <cstring>

namespace hipaa::import {

using tools::ToolError;

CsvReader::CsvReader(std::string path) : path_(std::move(path)) {
  file_.reset(std::fopen(path_.c_str(), "rb"));
  if (!file_) throw ToolError("cannot read " + path_ + ": " + std::strerror(errno));
}

int CsvReader::get() {
  int c = std::getc(file_.get());
  if (c == '\n') ++line_;
  return c;
}

int CsvReader::peek() {
  int c = std::getc(file_.get());
  if (c != EOF) std::ungetc(c, file_.get());
  return c;
}

void CsvReader::fail(long line, const std::string& reason) const {
  throw ToolError(path_ + ":" + std::to_string(line) + ": " + reason);
}

// quoted = '"' { any character but '"' | '""' } '"'
void CsvReader::read_quoted_field(std::string& field) {
  const long start = line_;
  get(); // the opening quote
  for (;;) {
    int c = get();
    if (c == EOF) fail(start, "unbalanced quote: the quoted field that starts here is not closed");
    if (c != '"') {
      field.push_back(static_cast<char>(c));
      continue;
    }
    if (peek() != '"') break;
    get();
    field.push_back('"');
  }
  int next = peek();
  if (next != ',' && next != '\n' && next != '\r' && next != EOF) {
    fail(line_, "unexpected text after the closing quote of a field");
  }
}

// unquoted = { any character but ',' '"' CR LF }
void CsvReader::read_unquoted_field(std::string& field, long line) {
  for (;;) {
    int c = peek();
    if (c == EOF || c == ',' || c == '\n' || c == '\r') return;
    if (c == '"') fail(line, "a double quote inside an unquoted field (quote the whole field)");
    field.push_back(static_cast<char>(get()));
  }
}

// record = field { ',' field } ( CRLF | LF | end of file )
bool CsvReader::next_record(std::vector<std::string>& fields) {
  fields.clear();
  // Blank lines between records are skipped.
  while (peek() == '\n' || peek() == '\r') get();
  if (peek() == EOF) {
    if (std::ferror(file_.get())) throw ToolError("cannot read " + path_ + ": read error");
    return false;
  }
  record_line_ = line_;
  for (;;) {
    std::string& field = fields.emplace_back();
    if (peek() == '"') {
      read_quoted_field(field);
    } else {
      read_unquoted_field(field, record_line_);
    }
    int c = get();
    if (c == ',') continue;
    if (c == '\r' && peek() == '\n') get();
    return true;
  }
}

} // namespace hipaa::import

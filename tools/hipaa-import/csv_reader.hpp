// Reading CSV files as RFC 4180 describes them, and as spreadsheets export
// them: fields separated by commas, records by LF or CRLF, fields in double
// quotes may hold commas, line breaks and doubled quotes.  A byte-order mark
// at the start is skipped: after a UTF-16 one (or for a file declared
// UTF-16) the text is decoded to UTF-8 as it is read.  Blanks (spaces and
// tabs) around a field are removed; inside double quotes they are kept.
// Records are read one at a time.
#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace hipaa::import {

// The byte-order mark a file starts with.
enum class ByteOrderMark { None, Utf8, Utf16LE, Utf16BE };

// Whether an encoding name (any case, with or without "-" or "_") is
// UTF-8, or UTF-16 of either byte order.
bool names_utf8(const std::string& encoding);
bool names_utf16(const std::string& encoding);

class CsvReader {
public:
  // Opens `path`, or standard input for "-"; a ToolError when it cannot be
  // read ("no such file" for a missing one).  `shown` names the file in
  // messages.  A file declared UTF-16 (`declared`), or starting with a
  // UTF-16 mark, is decoded to UTF-8.
  CsvReader(const std::string& path, std::string shown, const std::string& declared = "");
  ~CsvReader();
  CsvReader(const CsvReader&) = delete;
  CsvReader& operator=(const CsvReader&) = delete;

  ByteOrderMark mark() const { return mark_; }
  // Whether the reader decodes UTF-16: its fields are UTF-8 already.
  bool decodes() const { return decoder_ != nullptr; }

  // Reads the next non-blank record into `fields`; false at the end of the
  // file.  A record whose quotes do not balance is a ToolError naming the
  // file and line: nothing after it can be read reliably.
  bool next_record(std::vector<std::string>& fields);

  // The line on which the record last read begins (from 1).
  long record_line() const { return record_line_; }
  const std::string& name() const { return shown_; }
  // Bytes read so far, for progress reports.
  long long bytes_read() const { return bytes_; }

private:
  struct FileCloser {
    void operator()(std::FILE* file) const {
      if (file != stdin) std::fclose(file);
    }
  };

  int get();
  int peek();
  void skip_blanks();
  [[noreturn]] void fail(long line, const std::string& reason) const;
  void read_quoted_field(std::string& field);
  void read_unquoted_field(std::string& field, long line);

  struct Decoder;

  std::string shown_;
  std::unique_ptr<std::FILE, FileCloser> file_;
  std::unique_ptr<Decoder> decoder_; // after file_: the stream reads through it
  std::unique_ptr<std::FILE, FileCloser> decoded_;
  ByteOrderMark mark_ = ByteOrderMark::None;
  long line_ = 1;
  long record_line_ = 0;
  long long bytes_ = 0;
};

// Why `text` cannot be a stored value, or "" when it can: a NUL byte or
// bytes that are not UTF-8, with the character position (from 1).
std::string text_problem(const std::string& text);

} // namespace hipaa::import

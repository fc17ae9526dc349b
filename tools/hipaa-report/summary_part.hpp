// summary-part.jsonl: what a shard's instances add to the summary page,
// so that the merge can make the whole report's page without judging
// anything again.  One JSON object per line for every instance the page
// lists or counts by clause or day (every one that is not plainly
// compliant: neither overdue nor settled by a decision), in position
// order, then one line with the number of the others per rule.  A field
// the page comes to need from a record is one more entry in record_line
// and record_of.
#pragma once

#include "record.hpp"

#include <cstddef>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

namespace hipaa::report {

constexpr const char* kSummaryPartFile = "summary-part.jsonl";

class SummaryPartWriter {
public:
  SummaryPartWriter(std::ofstream& out, std::size_t rules) : out_(out), plain_(rules) {}

  void add(const Record& record);
  // The closing line.
  void finish();

private:
  std::ofstream& out_;
  std::vector<std::size_t> plain_; // plainly compliant, per rule
  std::string first_day_, last_day_; // of the plainly compliant ones
};

// Reads a part back; a ToolError naming `path` for a line it cannot read.
class SummaryPartReader {
public:
  SummaryPartReader(std::string path, std::size_t rules);

  // The next listed record, or nothing at the closing line.
  std::optional<Record> next();
  // Per rule, the plainly compliant instances; read at the closing line.
  const std::vector<std::size_t>& plain() const { return plain_; }
  // The first and last day of the plainly compliant instances, or "".
  const std::string& first_day() const { return first_day_; }
  const std::string& last_day() const { return last_day_; }

private:
  [[noreturn]] void damaged(const std::string& why) const;

  std::string path_;
  std::ifstream in_;
  std::size_t line_ = 0;
  std::vector<std::size_t> plain_;
  std::string first_day_, last_day_;
  bool closed_ = false;
};

} // namespace hipaa::report

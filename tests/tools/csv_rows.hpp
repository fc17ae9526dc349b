// The records of the CSV files the tools write, keyed by their header.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace hipaa::testing {

using CsvRow = std::map<std::string, std::string>;

// The records of an RFC 4180 text, header included.
inline std::vector<std::vector<std::string>> csv_records(const std::string& text) {
  std::vector<std::vector<std::string>> records(1, std::vector<std::string>(1));
  bool quoted = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (quoted) {
      if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
        records.back().back() += '"';
        ++i;
      } else if (c == '"') {
        quoted = false;
      } else {
        records.back().back() += c;
      }
    } else if (c == '"') {
      quoted = true;
    } else if (c == ',') {
      records.back().emplace_back();
    } else if (c == '\n') {
      records.emplace_back(1);
    } else if (c != '\r') {
      records.back().back() += c;
    }
  }
  records.pop_back(); // after the last line end
  return records;
}

// The rows of an RFC 4180 text, keyed by the header's names.
inline std::vector<CsvRow> csv_rows(const std::string& text) {
  std::vector<std::vector<std::string>> records = csv_records(text);
  std::vector<CsvRow> rows;
  for (std::size_t r = 1; r < records.size(); ++r) {
    EXPECT_EQ(records[r].size(), records[0].size()) << "record " << r;
    CsvRow row;
    for (std::size_t i = 0; i < records[r].size() && i < records[0].size(); ++i) {
      row[records[0][i]] = records[r][i];
    }
    rows.push_back(std::move(row));
  }
  return rows;
}

} // namespace hipaa::testing

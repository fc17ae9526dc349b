#include "table_import.hpp"

#include "csv_reader.hpp"
#include "value_encoding.hpp"

#include "../common/tool_error.hpp"

#include <vector>

namespace hipaa::import {

using tools::ToolError;

namespace {

std::string column_list(const LogTable& table) {
  std::string list;
  for (const std::string& column : table.columns) list += (list.empty() ? "" : ", ") + column;
  return list;
}

// For each header field, the index of its column in the table.
std::vector<std::size_t> match_header(const std::vector<std::string>& header,
                                      const LogTable& table, const std::string& where) {
  std::vector<std::size_t> positions;
  std::vector<bool> seen(table.columns.size(), false);
  for (const std::string& name : header) {
    std::size_t index = 0;
    while (index < table.columns.size() && table.columns[index] != name) ++index;
    if (index == table.columns.size()) {
      throw ToolError(where + "header names \"" + name + "\", which is not a column of table " +
                      table.name + " (" + column_list(table) + ")");
    }
    if (seen[index]) throw ToolError(where + "header names column \"" + name + "\" twice");
    seen[index] = true;
    positions.push_back(index);
  }
  for (std::size_t i = 0; i < table.columns.size(); ++i) {
    if (!seen[i]) {
      throw ToolError(where + "header lacks column \"" + table.columns[i] + "\" of table " +
                      table.name + " (" + column_list(table) + ")");
    }
  }
  return positions;
}

std::string location(const CsvReader& reader) {
  return reader.path() + ":" + std::to_string(reader.record_line()) + ": ";
}

} // namespace

std::int64_t import_table(const std::string& path, const LogTable& table,
                          const Signature& signature, tools::NewDatabase& database) {
  CsvReader reader(path);
  std::vector<std::string> fields;
  if (!reader.next_record(fields)) {
    throw ToolError(path + ":1: the file is empty; its first line must name the columns");
  }
  const std::vector<std::size_t> positions = match_header(fields, table, location(reader));
  tools::RowInserter inserter = database.inserter(table.name, table.columns.size());
  std::int64_t rows = 0;
  while (reader.next_record(fields)) {
    if (fields.size() != positions.size()) {
      throw ToolError(location(reader) + "expected " + std::to_string(positions.size()) +
                      " fields, found " + std::to_string(fields.size()));
    }
    for (std::size_t i = 0; i < fields.size(); ++i) {
      const std::size_t column = positions[i];
      try {
        inserter.bind(static_cast<int>(column), encode_value(fields[i], table.sorts[column], signature));
      } catch (const ToolError& error) {
        throw ToolError(location(reader) + "column " + table.columns[column] + ": " + error.what());
      }
    }
    inserter.insert();
    ++rows;
  }
  return rows;
}

} // namespace hipaa::import

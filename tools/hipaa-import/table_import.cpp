#include "table_import.hpp"

#include "csv_reader.hpp"
#include "transcoder.hpp"

#include "common/tool_error.hpp"

#include <optional>

namespace hipaa::import {

using tools::LogTable;
using tools::ToolError;

void ErrorList::add(std::string message) {
  if (messages_.size() >= limit_) throw ErrorLimitReached{};
  messages_.push_back(std::move(message));
}

namespace {

std::string column_list(const LogTable& table) {
  std::string list;
  for (const std::string& column : table.columns) list += (list.empty() ? "" : ", ") + column;
  return list;
}

// For each header field, the index of its column in the table; absent for
// an ignored extra column.
std::vector<std::optional<std::size_t>> match_header(const std::vector<std::string>& header,
                                                     const LogTable& table, bool ignore_extra,
                                                     const std::string& where) {
  std::vector<std::optional<std::size_t>> positions;
  std::vector<bool> seen(table.columns.size(), false);
  for (const std::string& name : header) {
    std::optional<std::size_t> index = table.column_index(name);
    if (!index) {
      if (ignore_extra) {
        positions.push_back(std::nullopt);
        continue;
      }
      throw ToolError(where + "header names \"" + name + "\", which is not a column of table " +
                      table.name + " (" + column_list(table) +
                      "; --ignore-extra-columns skips such columns)");
    }
    if (seen[*index]) throw ToolError(where + "header names column \"" + name + "\" twice");
    seen[*index] = true;
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
  return reader.name() + ":" + std::to_string(reader.record_line()) + ": ";
}

} // namespace

std::int64_t read_table(const TableSource& source, const LogTable& table,
                        const ValueEncoder& encoder, const ReadOptions& options,
                        ErrorList& errors, const RowSink& sink) {
  try {
    CsvReader reader(source.path, source.shown);
    std::optional<Transcoder> transcoder;
    if (!options.encoding.empty()) transcoder.emplace(options.encoding);
    std::vector<std::string> fields;
    // Reads the next record, in UTF-8 when the file has another encoding.
    const auto next = [&]() {
      if (!reader.next_record(fields)) return false;
      if (!transcoder) return true;
      for (std::string& field : fields) {
        try {
          field = transcoder->to_utf8(field);
        } catch (const ToolError& error) {
          field.clear();
          errors.add(location(reader) + error.what());
        }
      }
      return true;
    };
    if (!next()) {
      throw ToolError(source.shown + ":1: the file is empty; its first line must name the columns");
    }
    for (const std::string& name : fields) {
      std::string problem = text_problem(name);
      if (!problem.empty()) throw ToolError(location(reader) + "the header " + problem);
    }
    const auto positions =
        match_header(fields, table, options.ignore_extra_columns, location(reader));
    std::vector<std::string> printed(table.columns.size());
    std::vector<std::string> given(table.columns.size());
    std::int64_t rows = 0;
    while (next()) {
      if (options.progress && rows % 65536 == 0) options.progress(rows, reader.bytes_read());
      ++rows;
      if (fields.size() != positions.size()) {
        errors.add(location(reader) + "expected " + std::to_string(positions.size()) +
                   " fields, found " + std::to_string(fields.size()));
        continue;
      }
      bool good = true;
      for (std::size_t i = 0; i < fields.size(); ++i) {
        if (!positions[i]) continue;
        const std::size_t column = *positions[i];
        const std::string& field = fields[i];
        std::string problem = text_problem(field);
        try {
          if (!problem.empty()) throw ToolError("the value " + problem);
          given[column] = field;
          const bool empty_allowed =
              column < options.may_be_empty.size() && options.may_be_empty[column];
          printed[column] = empty_allowed && field.empty()
                                ? std::string()
                                : encoder.encode(field, table.sorts[column]);
        } catch (const ToolError& error) {
          errors.add(location(reader) + "column " + table.columns[column] + ": " + error.what());
          good = false;
        }
      }
      if (good) sink(printed, given, reader.record_line());
    }
    if (options.progress) options.progress(rows, reader.bytes_read());
    return rows;
  } catch (const ErrorLimitReached&) {
    throw;
  } catch (const ToolError& error) {
    errors.add(error.what());
    return 0;
  }
}

} // namespace hipaa::import

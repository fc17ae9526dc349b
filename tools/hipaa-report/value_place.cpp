#include "value_place.hpp"

#include "../common/log_reader.hpp"
#include "../common/log_tables.hpp"

#include "base/failure.hpp"
#include "syntax/utf8.hpp"

namespace hipaa::report {

namespace {

bool is_utf8(const std::string& text) {
  try {
    for (std::size_t at = 0; at < text.size(); at += syntax::char_length(text, at)) {
    }
  } catch (const Failure&) {
    return false;
  }
  return true;
}

std::string shown(const std::string& value) {
  constexpr std::size_t kShown = 60;
  if (value.size() <= kShown) return value;
  return value.substr(0, kShown) + "... (" + std::to_string(value.size()) + " bytes)";
}

} // namespace

std::string first_value_not_utf8(const std::string& db_path, const Signature& signature) {
  std::string place;
  try {
    tools::LogReader log(db_path);
    for (const tools::LogTable& table : tools::log_tables_of(signature)) {
      if (!log.has_table(table.name) || !place.empty()) continue;
      std::string list;
      for (const std::string& column : table.columns) list += ", " + tools::quote_identifier(column);
      log.each_row("SELECT " + log.row_id(table.name) + list + " FROM " +
                       tools::quote_identifier(table.name) + log.row_order(table.name),
                   {}, [&](const tools::TextRow& row) {
                     for (std::size_t c = 0; c < table.columns.size(); ++c) {
                       const std::string& value = row[c + 1];
                       if (is_utf8(value)) continue;
                       place = "table " + table.name + " row " + row[0] + ", column " +
                               table.columns[c] + ": " + shown(value);
                       return false;
                     }
                     return true;
                   });
    }
  } catch (const std::exception&) { // Failure and ToolError alike: no place to name
    return "";
  }
  return place;
}

} // namespace hipaa::report

#include "derived_rows.hpp"

#include "value_encoding.hpp"

#include "common/tool_error.hpp"

#include "dates/date.hpp"

#include <deque>
#include <map>
#include <set>

namespace hipaa::import {

using tools::LogTable;

std::int64_t seconds_of(const std::string& printed_date) {
  mpz_class seconds = date_from_literal(printed_date) / kNanosPerSecond;
  return seconds.get_si();
}

LogTable RolePeriods::file_layout(const LogTable& role_table) {
  auto person = role_table.column_index("person");
  auto role = role_table.column_index("role");
  if (!person || !role) {
    throw tools::ToolError("role periods need a table " + role_table.name +
                           " with columns person and role");
  }
  return {tools::case_tables::kRolePeriods,
          tools::case_tables::kRolePeriods,
          {"person", "role", "from", "to"},
          {role_table.sorts[*person], role_table.sorts[*role], Sort::date(), Sort::date()}};
}

void RolePeriods::add(const std::vector<std::string>& printed,
                      const std::vector<std::string>& given) {
  Period period{printed[1], seconds_of(printed[2]), std::numeric_limits<std::int64_t>::max()};
  if (!printed[3].empty()) {
    std::optional<DateFields> to = read_calendar_date(given[3]);
    const bool whole_day = to && to->hour == 0 && to->minute == 0 && to->second == 0 &&
                           given[3].size() == 10;
    period.until = whole_day ? seconds_of(date_to_text(date_plus_days(
                                   date_from_literal(printed[3]), 1)))
                             : seconds_of(printed[3]) + 1;
  }
  periods_[printed[0]].push_back(std::move(period));
}

std::int64_t close_inclusions(tools::NewDatabase& database, const LogTable& table) {
  if (table.columns.size() < 2) return 0;
  const std::string name = tools::quote_identifier(table.name);
  // Direct rows: sub -> (super, further columns), in storage order.
  std::map<std::string, std::vector<std::vector<std::string>>> up;
  std::set<std::pair<std::string, std::string>> present;
  {
    sqlite3_stmt* raw = nullptr;
    const std::string sql = "SELECT * FROM " + name + " ORDER BY rowid";
    if (sqlite3_prepare_v2(database.handle(), sql.c_str(), -1, &raw, nullptr) != SQLITE_OK) {
      throw tools::ToolError("cannot read table " + table.name);
    }
    std::unique_ptr<sqlite3_stmt, tools::StatementFinalizer> statement(raw);
    while (sqlite3_step(raw) == SQLITE_ROW) {
      std::vector<std::string> row;
      for (int i = 0; i < sqlite3_column_count(raw); ++i) {
        const unsigned char* text = sqlite3_column_text(raw, i);
        row.emplace_back(text ? reinterpret_cast<const char*>(text) : "");
      }
      present.emplace(row[0], row[1]);
      up[row[0]].push_back(row);
    }
  }
  tools::RowInserter inserter = database.inserter(table.name, table.columns.size());
  std::int64_t added = 0;
  for (const auto& [sub, direct] : up) {
    // Breadth first, so the further columns come from the shortest path.
    std::set<std::string> reached;
    std::deque<std::pair<std::string, const std::vector<std::string>*>> queue;
    for (const auto& row : direct) queue.emplace_back(row[1], &row);
    while (!queue.empty()) {
      auto [super, first] = queue.front();
      queue.pop_front();
      if (super == sub || !reached.insert(super).second) continue;
      if (present.insert({sub, super}).second) {
        std::vector<std::string> row = *first;
        row[1] = super;
        for (std::size_t i = 0; i < row.size(); ++i) inserter.bind(static_cast<int>(i), row[i]);
        inserter.insert();
        ++added;
      }
      auto next = up.find(super);
      if (next == up.end()) continue;
      for (const auto& row : next->second) queue.emplace_back(row[1], first);
    }
  }
  return added;
}

} // namespace hipaa::import

#include "case_rows.hpp"

#include "value_encoding.hpp"

#include "common/calendar_span.hpp"
#include "common/tool_error.hpp"

#include "dates/date.hpp"

#include <limits>
#include <memory>
#include <set>

namespace hipaa::import {

using tools::LogTable;

namespace {

// The end-date columns, by table, that a day given alone extends.
const std::vector<std::pair<const char*, const char*>> kDayEnds = {
    {"authorization", "expires"},  {"ba_agreement", "ends"},   {"data_use_agreement", "ends"},
    {"restriction", "ends"},       {"personal_rep", "until"},
    {"ohca_participant", "ends"},
};

bool given_as_day(const std::string& given) {
  std::optional<DateFields> fields = read_calendar_date(given);
  return fields && given.size() == 10;
}

// Runs `sql` and calls `row` with the text of every row's columns.
void each_row(tools::NewDatabase& database, const std::string& sql,
              const std::function<void(const std::vector<std::string>&)>& row) {
  sqlite3_stmt* raw = nullptr;
  if (sqlite3_prepare_v2(database.handle(), sql.c_str(), -1, &raw, nullptr) != SQLITE_OK) {
    throw tools::ToolError("cannot run \"" + sql + "\": " + sqlite3_errmsg(database.handle()));
  }
  std::unique_ptr<sqlite3_stmt, tools::StatementFinalizer> statement(raw);
  std::vector<std::string> values;
  while (sqlite3_step(raw) == SQLITE_ROW) {
    values.clear();
    for (int i = 0; i < sqlite3_column_count(raw); ++i) {
      const unsigned char* text = sqlite3_column_text(raw, i);
      values.emplace_back(text ? reinterpret_cast<const char*>(text) : "");
    }
    row(values);
  }
}

} // namespace

std::int64_t period_until(const std::string& printed_to, const std::string& given_to) {
  if (printed_to.empty()) return std::numeric_limits<std::int64_t>::max();
  if (given_as_day(given_to)) {
    return seconds_of(date_to_text(date_plus_days(date_from_literal(printed_to), 1)));
  }
  return seconds_of(printed_to) + 1;
}

LogTable ActsForPeriods::file_layout(const LogTable& acts_for_table) {
  auto person = acts_for_table.column_index("person");
  auto entity = acts_for_table.column_index("entity");
  auto kind = acts_for_table.column_index("kind");
  if (!person || !entity || !kind) {
    throw tools::ToolError("acts_for periods need a table " + acts_for_table.name +
                           " with columns person, entity and kind");
  }
  return {kActsForPeriods,
          kActsForPeriods,
          {"person", "entity", "kind", "from", "to"},
          {acts_for_table.sorts[*person], acts_for_table.sorts[*entity],
           acts_for_table.sorts[*kind], Sort::date(), Sort::date()}};
}

void ActsForPeriods::add(const std::vector<std::string>& printed,
                         const std::vector<std::string>& given) {
  periods_[printed[0]].push_back(
      {printed[1], printed[2], seconds_of(printed[3]), period_until(printed[4], given[4])});
}

bool extend_day_ends(const LogTable& table, std::vector<std::string>& printed,
                     const std::vector<std::string>& given) {
  bool changed = false;
  for (const auto& [name, column] : kDayEnds) {
    if (table.name != name) continue;
    auto index = table.column_index(column);
    if (!index || printed[*index].empty() || !given_as_day(given[*index])) continue;
    const std::int64_t last = period_until(printed[*index], given[*index]) - 1;
    printed[*index] = date_to_text(DateValue(static_cast<long>(last)) * kNanosPerSecond);
    changed = true;
  }
  return changed;
}

std::int64_t add_calendar_spans(tools::NewDatabase& database, const std::vector<LogTable>& tables) {
  const LogTable* spans = tools::find_table(tables, "calendar_span");
  if (spans == nullptr) return 0;
  std::set<std::pair<std::string, std::string>> written; // start, span
  each_row(database, "SELECT start, span FROM calendar_span",
           [&](const std::vector<std::string>& row) { written.emplace(row[0], row[1]); });
  tools::RowInserter inserter = database.inserter(spans->name, 3);
  std::int64_t added = 0;
  const std::pair<const char*, const char*> starts[] = {
      {"access_request", "received"}, {"accounting_request", "received"}, {"deceased", "died"}};
  for (const auto& [name, column] : starts) {
    const LogTable* table = tools::find_table(tables, name);
    if (table == nullptr || !table->column_index(column)) continue;
    each_row(database,
             "SELECT DISTINCT " + tools::quote_identifier(column) + " FROM " +
                 tools::quote_identifier(name),
             [&](const std::vector<std::string>& row) {
               for (const tools::CalendarSpan& span : tools::spans_of_table(name)) {
                 if (!written.emplace(row[0], span.name).second) continue;
                 inserter.insert({row[0], span.name, tools::calendar_span_end(row[0], span)});
                 ++added;
               }
             });
  }
  return added;
}

void for_each_subject_at(tools::NewDatabase& database,
                         const std::function<void(const std::string&, const std::string&)>& row) {
  each_row(database,
           "SELECT DISTINCT h.subject, d.at FROM disclose d JOIN hasattrof_db h ON h.info = d.info",
           [&](const std::vector<std::string>& values) { row(values[0], values[1]); });
}

} // namespace hipaa::import

// Rows of the case study that the importer computes beyond role periods:
// - acts_for periods (person, entity, kind, from, to) become one acts_for_db
//   row for each disclosure the person sends while the period lasts, as
//   role periods do; the entity's own roles at that moment follow, since
//   the audit asks for them where the entity discloses through its people;
// - an end date given as a day (an authorisation's expiry, the end of a
//   contract, a data use agreement, a restriction or a representation)
//   lasts to the end of that day;
// - calendar_span rows: the calendar deadlines of every access and
//   accounting request and the fifty years after every death.
#pragma once

#include "derived_rows.hpp"

#include "common/log_tables.hpp"
#include "common/sqlite_writer.hpp"

#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

namespace hipaa::import {

inline constexpr const char* kActsForPeriods = "acts_for_periods";
inline constexpr const char* kActsFor = "acts_for_db";

class ActsForPeriods {
public:
  // The columns of a periods file: person, entity and kind as in the
  // acts_for table, from and to as dates; to may be empty.
  static tools::LogTable file_layout(const tools::LogTable& acts_for_table);

  void add(const std::vector<std::string>& printed, const std::vector<std::string>& given);
  bool empty() const { return periods_.empty(); }

  // Calls `row(entity, kind)` for every entity `person` acts for at `seconds`.
  template <class RowFn>
  void entities_at(const std::string& person, std::int64_t seconds, RowFn&& row) const {
    auto found = periods_.find(person);
    if (found == periods_.end()) return;
    for (const Period& period : found->second) {
      if (period.from <= seconds && seconds < period.until) row(period.entity, period.kind);
    }
  }

private:
  struct Period {
    std::string entity;
    std::string kind;
    std::int64_t from;
    std::int64_t until; // exclusive
  };
  std::unordered_map<std::string, std::vector<Period>> periods_;
};

// The first second after the period that ends at the printed date `to`,
// given as `given`: a day given without a time lasts to its end.
std::int64_t period_until(const std::string& printed_to, const std::string& given_to);

// For a row of `table` read from a file: every end-date column given as a
// day alone is moved to the last second of that day.  Returns whether the
// row was changed.
bool extend_day_ends(const tools::LogTable& table, std::vector<std::string>& printed,
                     const std::vector<std::string>& given);

// Adds the calendar_span rows for the rows already in the database: the
// deadlines of every request and the fifty years after every death.
// Returns the number of rows added.
std::int64_t add_calendar_spans(tools::NewDatabase& database,
                                const std::vector<tools::LogTable>& tables);

// Calls `row(subject, at)` once for every individual whose attribute a
// disclosure carries, with the time of that disclosure, so that the
// individual's own roles (inmate, armed forces member) are recorded too.
void for_each_subject_at(tools::NewDatabase& database,
                         const std::function<void(const std::string&, const std::string&)>& row);

} // namespace hipaa::import

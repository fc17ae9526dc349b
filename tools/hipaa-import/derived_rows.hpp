// Rows the importer computes instead of asking users to write them:
// - role periods (person, role, from, to) become one role row for each
//   party of each disclosure made while the period lasts, since the audit
//   asks for a role at the exact time of a disclosure;
// - the attribute inclusions are closed transitively, since the audit asks
//   only for direct rows (diagnosis in phi, not diagnosis in medical-record
//   in phi).
#pragma once

#include "common/log_tables.hpp"
#include "common/sqlite_writer.hpp"

#include <cstdint>
#include <limits>
#include <string>
#include <unordered_map>
#include <vector>

namespace hipaa::import {

class RolePeriods {
public:
  // The columns a periods file has: person and role as in the role table,
  // from and to as dates; to may be empty (the period has not ended).
  static tools::LogTable file_layout(const tools::LogTable& role_table);

  // Adds the period of one record of the periods file: printed values and
  // the fields as given.  A `to` given as a day lasts to the end of that day.
  void add(const std::vector<std::string>& printed, const std::vector<std::string>& given);

  bool empty() const { return periods_.empty(); }

  // Calls `row(role)` for every role `person` holds at `seconds`.
  template <class RowFn>
  void roles_at(const std::string& person, std::int64_t seconds, RowFn&& row) const {
    auto found = periods_.find(person);
    if (found == periods_.end()) return;
    for (const Period& period : found->second) {
      if (period.from <= seconds && seconds < period.until) row(period.role);
    }
  }

private:
  struct Period {
    std::string role;
    std::int64_t from;
    std::int64_t until; // exclusive
  };
  std::unordered_map<std::string, std::vector<Period>> periods_;
};

// Seconds since the epoch of a printed date.
std::int64_t seconds_of(const std::string& printed_date);

// Adds to `table` (sub, super, further columns...) every pair that follows
// from its rows by transitivity, each with the further columns of the first
// row on its path; returns the number of rows added.
std::int64_t close_inclusions(tools::NewDatabase& database, const tools::LogTable& table);

} // namespace hipaa::import

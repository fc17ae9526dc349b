// Calendar spans of the case study (table calendar_span): the ends of the
// deadlines of the right of access and of the accounting, counted in
// calendar days of the local time zone from the day of receipt, and the
// end of the fifty years after a death during which the information of the
// deceased stays protected.  The importer, the generator and the tests all
// compute them here, so that a log holds the same rows whoever wrote it.
#pragma once

#include "dates/date.hpp"

#include <cstdio>
#include <string>
#include <vector>

namespace hipaa::tools {

struct CalendarSpan {
  const char* name; // the constant of sort span
  long days;        // calendar days after the day of the start, or 0
  long years;       // years after the start, or 0
};

inline constexpr CalendarSpan kDays30{"days-30", 30, 0};
inline constexpr CalendarSpan kDays60{"days-60", 60, 0};
inline constexpr CalendarSpan kDays90{"days-90", 90, 0};
inline constexpr CalendarSpan kYears50{"years-50", 0, 50};

// The spans each table's start date opens: 164.524(b)(2) 30 days and the
// one extension of 30 more, 164.528(c)(1) 60 and 30 more, 164.502(f) 50
// years.  Empty for any other table.
inline std::vector<CalendarSpan> spans_of_table(const std::string& table) {
  if (table == "access_request") return {kDays30, kDays60};
  if (table == "accounting_request") return {kDays60, kDays90};
  if (table == "deceased") return {kYears50};
  return {};
}

// The end of `span` from the printed date `start` ("YYYY:MM:DD:hh:mm:ss"),
// printed: for days, the last second of the n-th calendar day after the day
// of `start`; for years, the same clock time n years later (29 February
// then falls on 1 March).
inline std::string calendar_span_end(const std::string& start, const CalendarSpan& span) {
  DateFields fields;
  if (std::sscanf(start.c_str(), "%ld:%ld:%ld:%ld:%ld:%ld", &fields.year, &fields.month,
                  &fields.day, &fields.hour, &fields.minute, &fields.second) < 3) {
    return start;
  }
  if (span.days != 0) {
    fields.day += span.days;
    fields.hour = 23;
    fields.minute = 59;
    fields.second = 59;
  }
  fields.year += span.years;
  return date_to_text(date_from_fields(fields));
}

} // namespace hipaa::tools

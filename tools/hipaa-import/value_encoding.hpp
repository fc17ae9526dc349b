// Turning one field of a user's CSV file into the printed term that its
// column stores, the form the audit reads back and checks.
#pragma once

#include "dates/date.hpp"
#include "logic/declarations.hpp"

#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace hipaa::import {

// A calendar date written "YYYY-MM-DD" or "YYYY:MM:DD", optionally followed
// by a time "hh:mm" or "hh:mm:ss" (after a blank or "T" in the first form,
// after ":" in the second).  Absent when the text is not such a date or
// names a day or time that does not exist.
std::optional<DateFields> read_calendar_date(const std::string& text);

// The date of `text` (as read_calendar_date reads it) in the local time
// zone.  A ToolError when it is no date, or names a wall-clock time the
// zone skips (the hour lost when daylight saving time begins), which would
// otherwise be stored as another time.
DateValue read_local_date(const std::string& text);

// The date of `fields`, read from `text`, in the local time zone; the
// ToolErrors of read_local_date.
DateValue local_date(const DateFields& fields, const std::string& text);

// Up to `count` of `candidates` nearest to `text` in edit distance, nearest
// first, among those close enough to be a likely misspelling.
std::vector<std::string> nearest_names(const std::string& text,
                                       const std::vector<std::string>& candidates,
                                       std::size_t count);

// Encodes values for the columns of one declarations' tables:
// - string: the text in double quotes (it may not hold a quote or a line
//   feed, which a string value cannot; a CR alone it may); text already in that printed form,
//   as an export of the log gives it, is kept as it is;
// - int: a 32-bit integer, written with "-" or "~" for minus;
// - date: a calendar date as above, in the six-field form;
// - any other sort: a constant declared with the sort, or a term in policy
//   syntax that checks against it.
// A ToolError explains a value that does not fit: the value, what was
// expected and, for a constant, the nearest declared ones.
class ValueEncoder {
public:
  explicit ValueEncoder(const Signature& signature);

  std::string encode(const std::string& text, const Sort& sort) const;

private:
  std::string encode_term(const std::string& text, const Sort& sort) const;
  [[noreturn]] void reject_constant(const std::string& text, const Sort& sort) const;

  const Signature& signature_;
  // Every declared constant without arguments, with its sort; and by sort,
  // in declaration order.
  std::unordered_map<std::string, Sort> constants_;
  std::unordered_map<std::string, std::vector<std::string>> constants_by_sort_;
};

// One value, with an encoder made for it: for a single use.
std::string encode_value(const std::string& text, const Sort& sort, const Signature& signature);

} // namespace hipaa::import

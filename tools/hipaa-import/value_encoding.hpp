// Turning one field of a user's CSV file into the printed term that its
// column stores, the form the audit reads back and checks.
#pragma once

#include "dates/date.hpp"
#include "logic/declarations.hpp"

#include <optional>
#include <string>

namespace hipaa::import {

// A calendar date written "YYYY-MM-DD" or "YYYY:MM:DD", optionally followed
// by a time "hh:mm" or "hh:mm:ss" (after a blank or "T" in the first form,
// after ":" in the second).  Absent when the text is not such a date or
// names a day or time that does not exist.
std::optional<DateFields> read_calendar_date(const std::string& text);

// The printed term for `text` in a column of sort `sort`:
// - string: the text in double quotes (it may not hold a quote or a line
//   break, which a string value cannot);
// - int: a 32-bit integer, written with "-" or "~" for minus;
// - date: a calendar date as above, in the six-field form;
// - any other sort: a term in policy syntax (a constant, usually) that must
//   check against the sort, so a constant must be declared with it.
// A ToolError explains a value that does not fit.
std::string encode_value(const std::string& text, const Sort& sort, const Signature& signature);

} // namespace hipaa::import

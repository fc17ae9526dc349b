// Dates as exports write them: a format per file column, strftime-like,
// given with --date-format, and the diagnosis of a date that fits no format
// (an ambiguous day/month order is named, with the choice to make).
#pragma once

#include "dates/date.hpp"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace hipaa::import {

// One date format.  Directives: %Y (four-digit year), %y (two digits,
// 1970 to 2069), %m and %d (month and day, one or two digits), %b (month
// name, three letters or in full, any case), %H (hour 0-23) and %I (1-12,
// with %p for AM or PM, the two together), %M, %S (one or two digits), %% (a percent
// sign); a blank matches one or more blanks; any other character matches
// itself.  "excel" reads spreadsheet serial numbers (days since 1899-12-30,
// a fraction for the time of day).
class DateFormat {
public:
  // A UsageError for an unknown directive or a format that gives no day.
  explicit DateFormat(const std::string& pattern);

  std::optional<DateFields> read(std::string_view text) const;
  bool has_time() const { return has_time_; }
  const std::string& pattern() const { return pattern_; }

private:
  std::optional<DateFields> read_excel(std::string_view text) const;

  std::string pattern_;
  bool excel_ = false;
  bool has_time_ = false;
};

// The formats of one import: one for every date column, one per table, one
// per table column (the most specific wins).
class DateFormats {
public:
  // Adds one --date-format value: "FORMAT", "TABLE=FORMAT" or
  // "TABLE.COLUMN=FORMAT".  A UsageError when the same scope is given twice.
  void add(const std::string& option);

  // The format for `column` of `table`, or null (ISO forms only).
  const DateFormat* find(const std::string& table, const std::string& column) const;

private:
  struct Scoped {
    std::string table, column; // empty: any
    DateFormat format;
  };
  std::vector<Scoped> formats_;
};

// The fields of `text` in `format` or, failing that (or without a format),
// in one of the ISO forms.  A ToolError explains a text that fits neither,
// naming the day/month choice for a form like 03/04/2010.
DateFields read_date_fields(const std::string& text, const DateFormat* format);

// The stored form of date `text` (as read_date_fields reads it) in the
// local time zone; a ToolError as read_local_date gives one.  When `format`
// read it, `given` becomes its ISO text, the form the computed rows read.
std::string encode_date(const std::string& text, const DateFormat* format, std::string& given);

// `fields` as ISO text: "YYYY-MM-DD" when `with_time` is false, else
// "YYYY-MM-DD hh:mm:ss".
std::string iso_text(const DateFields& fields, bool with_time);

} // namespace hipaa::import

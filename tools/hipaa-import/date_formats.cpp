#include "date_formats.hpp"

#include "value_encoding.hpp"

#include "common/tool_error.hpp"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>

namespace hipaa::import {

using tools::ToolError;
using tools::UsageError;

namespace {

const char* const kMonths[12] = {"january", "february", "march",     "april",   "may",      "june",
                                 "july",    "august",   "september", "october", "november", "december"};

bool is_digit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }

// Reads `min` to `max` digits at `pos`.
bool digits(std::string_view text, std::size_t& pos, std::size_t min, std::size_t max, long& value) {
  std::size_t count = 0;
  value = 0;
  while (count < max && pos < text.size() && is_digit(text[pos])) {
    value = value * 10 + (text[pos] - '0');
    ++pos;
    ++count;
  }
  return count >= min;
}

bool month_name(std::string_view text, std::size_t& pos, long& month) {
  for (int m = 0; m < 12; ++m) {
    const std::string_view full = kMonths[m];
    for (std::size_t length : {full.size(), std::size_t{3}}) {
      if (pos + length > text.size()) continue;
      bool same = true;
      for (std::size_t i = 0; i < length && same; ++i) {
        same = std::tolower(static_cast<unsigned char>(text[pos + i])) == full[i];
      }
      if (same) {
        month = m + 1;
        pos += length;
        return true;
      }
    }
  }
  return false;
}

bool is_leap(long year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

bool exists(const DateFields& f) {
  static const long kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (f.year < 1 || f.month < 1 || f.month > 12 || f.day < 1) return false;
  const long days = f.month == 2 && is_leap(f.year) ? 29 : kDays[f.month - 1];
  return f.day <= days && f.hour <= 23 && f.minute <= 59 && f.second <= 59;
}

// The civil date `days` days after 1970-01-01.
DateFields civil_from_days(long long days) {
  days += 719468;
  const long long era = (days >= 0 ? days : days - 146096) / 146097;
  const long long doe = days - era * 146097;
  const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const long long mp = (5 * doy + 2) / 153;
  DateFields f;
  f.day = static_cast<long>(doy - (153 * mp + 2) / 5 + 1);
  f.month = static_cast<long>(mp < 10 ? mp + 3 : mp - 9);
  f.year = static_cast<long>(yoe + era * 400 + (f.month <= 2 ? 1 : 0));
  return f;
}

// "03/04/2010" and the like: two numbers of one or two digits, then a
// four-digit year, with one separator; the first two numbers.
bool day_month_pair(const std::string& text, long& first, long& second, char& separator) {
  std::size_t pos = 0;
  if (!digits(text, pos, 1, 2, first) || pos >= text.size()) return false;
  separator = text[pos];
  if (separator != '/' && separator != '.' && separator != '-') return false;
  ++pos;
  long year = 0;
  if (!digits(text, pos, 1, 2, second) || pos >= text.size() || text[pos] != separator) return false;
  ++pos;
  std::size_t start = pos;
  if (!digits(text, pos, 2, 4, year) || (pos - start != 2 && pos - start != 4)) return false;
  return pos == text.size() || text[pos] == ' ' || text[pos] == 'T';
}

std::string time_part_spec(const std::string& text) {
  const std::size_t blank = text.find(' ');
  if (blank == std::string::npos) return "";
  const std::string rest = text.substr(blank + 1);
  const bool meridian = rest.find("AM") != std::string::npos || rest.find("PM") != std::string::npos ||
                        rest.find("am") != std::string::npos || rest.find("pm") != std::string::npos;
  const bool seconds = std::count(rest.begin(), rest.end(), ':') >= 2;
  return std::string(meridian ? " %I" : " %H") + ":%M" + (seconds ? ":%S" : "") +
         (meridian ? " %p" : "");
}

} // namespace

DateFormat::DateFormat(const std::string& pattern) : pattern_(pattern) {
  if (pattern == "excel") {
    excel_ = true;
    has_time_ = true;
    return;
  }
  bool year = false, month = false, day = false, twelve = false, meridian = false;
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] != '%') continue;
    if (++i == pattern.size()) throw UsageError("--date-format \"" + pattern + "\" ends in %");
    switch (pattern[i]) {
    case 'Y': case 'y': year = true; break;
    case 'm': case 'b': month = true; break;
    case 'd': day = true; break;
    case 'I': twelve = true; has_time_ = true; break;
    case 'p': meridian = true; has_time_ = true; break;
    case 'H': case 'M': case 'S': has_time_ = true; break;
    case '%': break;
    default:
      throw UsageError("--date-format \"" + pattern + "\": unknown directive %" + pattern[i] +
                       " (known: %Y %y %m %b %d %H %I %M %S %p %%, or \"excel\")");
    }
  }
  if (twelve != meridian) {
    throw UsageError("--date-format \"" + pattern + "\": %I (hour 1-12) and %p (AM or PM) go together");
  }
  if (!year || !month || !day) {
    throw UsageError("--date-format \"" + pattern + "\" must give a year, a month and a day");
  }
}

std::optional<DateFields> DateFormat::read(std::string_view text) const {
  if (excel_) return read_excel(text);
  DateFields f;
  std::size_t pos = 0;
  bool twelve_hour = false;
  std::optional<bool> afternoon;
  for (std::size_t i = 0; i < pattern_.size(); ++i) {
    const char c = pattern_[i];
    if (c == ' ') {
      if (pos >= text.size() || text[pos] != ' ') return std::nullopt;
      while (pos < text.size() && text[pos] == ' ') ++pos;
      continue;
    }
    if (c != '%' || pattern_[i + 1] == '%') {
      if (c == '%') ++i;
      if (pos >= text.size() || text[pos] != pattern_[i]) return std::nullopt;
      ++pos;
      continue;
    }
    bool ok = true;
    switch (pattern_[++i]) {
    case 'Y': ok = digits(text, pos, 4, 4, f.year); break;
    case 'y':
      ok = digits(text, pos, 2, 2, f.year);
      f.year += f.year < 70 ? 2000 : 1900;
      break;
    case 'm': ok = digits(text, pos, 1, 2, f.month); break;
    case 'b': ok = month_name(text, pos, f.month); break;
    case 'd': ok = digits(text, pos, 1, 2, f.day); break;
    case 'H': ok = digits(text, pos, 1, 2, f.hour); break;
    case 'I':
      ok = digits(text, pos, 1, 2, f.hour) && f.hour >= 1 && f.hour <= 12;
      twelve_hour = true;
      break;
    case 'M': ok = digits(text, pos, 1, 2, f.minute); break;
    case 'S': ok = digits(text, pos, 1, 2, f.second); break;
    case 'p':
      if (pos + 2 > text.size()) return std::nullopt;
      {
        const char a = static_cast<char>(std::toupper(static_cast<unsigned char>(text[pos])));
        const char m = static_cast<char>(std::toupper(static_cast<unsigned char>(text[pos + 1])));
        if ((a != 'A' && a != 'P') || m != 'M') return std::nullopt;
        afternoon = a == 'P';
        pos += 2;
      }
      break;
    }
    if (!ok) return std::nullopt;
  }
  if (pos != text.size()) return std::nullopt;
  if (twelve_hour) {
    if (!afternoon) return std::nullopt;
    f.hour = f.hour % 12 + (*afternoon ? 12 : 0);
  }
  if (!exists(f)) return std::nullopt;
  return f;
}

// Serial 1 is 1900-01-01; the spreadsheet counts a 29 February 1900 that
// never was, so that from serial 61 on the days run from 1899-12-30.
std::optional<DateFields> DateFormat::read_excel(std::string_view text) const {
  std::size_t pos = 0;
  long long days = 0;
  while (pos < text.size() && is_digit(text[pos]) && pos < 7) days = days * 10 + (text[pos++] - '0');
  if (pos == 0 || days < 1 || days == 60) return std::nullopt;
  long long seconds = 0;
  if (pos < text.size()) {
    if (text[pos] != '.' || pos + 1 == text.size()) return std::nullopt;
    double fraction = 0, scale = 0.1;
    for (++pos; pos < text.size(); ++pos, scale /= 10) {
      if (!is_digit(text[pos])) return std::nullopt;
      fraction += (text[pos] - '0') * scale;
    }
    seconds = std::llround(fraction * 86400);
  }
  if (days < 60) ++days;
  const long long from_epoch = days - 25569; // serial 25569 is 1970-01-01
  DateFields f = civil_from_days(from_epoch + seconds / 86400);
  seconds %= 86400;
  f.hour = static_cast<long>(seconds / 3600);
  f.minute = static_cast<long>(seconds / 60 % 60);
  f.second = static_cast<long>(seconds % 60);
  return f;
}

void DateFormats::add(const std::string& option) {
  std::string table, column, pattern = option;
  const std::size_t equals = option.find('=');
  if (equals != std::string::npos && option.find('%') > equals) {
    std::string scope = option.substr(0, equals);
    pattern = option.substr(equals + 1);
    const std::size_t dot = scope.find('.');
    table = scope.substr(0, dot);
    if (dot != std::string::npos) column = scope.substr(dot + 1);
    if (table.empty() || (dot != std::string::npos && column.empty())) {
      throw UsageError("--date-format needs FORMAT, TABLE=FORMAT or TABLE.COLUMN=FORMAT, not \"" +
                       option + "\"");
    }
  }
  for (const Scoped& each : formats_) {
    if (each.table == table && each.column == column) {
      throw UsageError("--date-format given twice for " +
                       (table.empty() ? std::string("every date column") : option.substr(0, equals)));
    }
  }
  formats_.push_back({table, column, DateFormat(pattern)});
}

const DateFormat* DateFormats::find(const std::string& table, const std::string& column) const {
  const DateFormat* best = nullptr;
  int best_rank = -1;
  for (const Scoped& each : formats_) {
    if (!each.table.empty() && each.table != table) continue;
    if (!each.column.empty() && each.column != column) continue;
    const int rank = (each.table.empty() ? 0 : 1) + (each.column.empty() ? 0 : 1);
    if (rank > best_rank) best = &each.format, best_rank = rank;
  }
  return best;
}

DateFields read_date_fields(const std::string& text, const DateFormat* format) {
  if (format) {
    if (auto fields = format->read(text)) return *fields;
  }
  if (auto fields = read_calendar_date(text)) return *fields;
  if (format) {
    throw ToolError("invalid date \"" + text + "\" (expected the form " + format->pattern() +
                    " of --date-format, or YYYY-MM-DD with an optional hh:mm:ss)");
  }
  long first = 0, second = 0;
  char separator = 0;
  if (day_month_pair(text, first, second, separator)) {
    const std::size_t year_at = text.find(separator, text.find(separator) + 1) + 1;
    std::size_t year_end = year_at;
    while (year_end < text.size() && is_digit(text[year_end])) ++year_end;
    const std::string year = year_end - year_at == 2 ? "%y" : "%Y";
    const std::string s(1, separator);
    const std::string month_first = "%m" + s + "%d" + s + year + time_part_spec(text);
    const std::string day_first = "%d" + s + "%m" + s + year + time_part_spec(text);
    if (first > 12 && second <= 12) {
      throw ToolError("date \"" + text + "\" is written day first; give --date-format \"" +
                      day_first + "\"");
    }
    if (second > 12 && first <= 12) {
      throw ToolError("date \"" + text + "\" is written month first; give --date-format \"" +
                      month_first + "\"");
    }
    throw ToolError("ambiguous date \"" + text + "\": give --date-format \"" + month_first +
                    "\" (month first) or \"" + day_first + "\" (day first)");
  }
  throw ToolError("invalid date \"" + text +
                  "\" (expected an existing day as YYYY-MM-DD, optionally with hh:mm:ss)");
}

std::string encode_date(const std::string& text, const DateFormat* format, std::string& given) {
  std::optional<DateFields> formatted = format ? format->read(text) : std::nullopt;
  const DateFields fields = formatted ? *formatted : read_date_fields(text, format);
  if (formatted) given = iso_text(fields, format->has_time());
  return date_to_text(local_date(fields, text));
}

std::string iso_text(const DateFields& f, bool with_time) {
  char text[40];
  if (with_time) {
    std::snprintf(text, sizeof text, "%04ld-%02ld-%02ld %02ld:%02ld:%02ld", f.year, f.month, f.day,
                  f.hour, f.minute, f.second);
  } else {
    std::snprintf(text, sizeof text, "%04ld-%02ld-%02ld", f.year, f.month, f.day);
  }
  return text;
}

} // namespace hipaa::import

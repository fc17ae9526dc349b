#include "value_encoding.hpp"

#include "../common/tool_error.hpp"

#include "check/sorts.hpp"
#include "base/failure.hpp"
#include "logic/printer.hpp"
#include "syntax/policy_parser.hpp"

#include <cctype>
#include <climits>
#include <sstream>

namespace hipaa::import {

using tools::ToolError;

namespace {

bool is_leap(long year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

long days_in_month(long year, long month) {
  static const long kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && is_leap(year) ? 29 : kDays[month - 1];
}

// Reads `count` digits at `pos` into `value`; false when they are not all
// digits.
bool read_digits(const std::string& text, std::size_t& pos, std::size_t count, long& value) {
  if (pos + count > text.size()) return false;
  value = 0;
  for (std::size_t i = 0; i < count; ++i) {
    char c = text[pos + i];
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    value = value * 10 + (c - '0');
  }
  pos += count;
  return true;
}

bool expect(const std::string& text, std::size_t& pos, const std::string& allowed) {
  if (pos >= text.size() || allowed.find(text[pos]) == std::string::npos) return false;
  ++pos;
  return true;
}

bool fields_exist(const DateFields& f) {
  return f.year >= 1 && f.month >= 1 && f.month <= 12 && f.day >= 1 &&
         f.day <= days_in_month(f.year, f.month) && f.hour <= 23 && f.minute <= 59 &&
         f.second <= 59;
}

std::string without_final_newline(std::string text) {
  while (!text.empty() && text.back() == '\n') text.pop_back();
  return text;
}

std::string encode_string(const std::string& text) {
  if (text.find('"') != std::string::npos) {
    throw ToolError("a string value cannot hold a double quote");
  }
  if (text.find_first_of("\n\r") != std::string::npos) {
    throw ToolError("a string value cannot hold a line break");
  }
  return print_term(*make_str(text));
}

std::string encode_int(const std::string& text) {
  std::size_t pos = 0;
  bool negative = false;
  if (!text.empty() && (text[0] == '-' || text[0] == '~')) {
    negative = true;
    pos = 1;
  }
  if (pos == text.size()) throw ToolError("\"" + text + "\" is not an integer");
  long long value = 0;
  for (; pos < text.size(); ++pos) {
    if (!std::isdigit(static_cast<unsigned char>(text[pos]))) {
      throw ToolError("\"" + text + "\" is not an integer");
    }
    value = value * 10 + (text[pos] - '0');
    if (value > static_cast<long long>(INT_MAX) + 1) break;
  }
  if (negative) value = -value;
  if (value < INT_MIN || value > INT_MAX) {
    throw ToolError("integer \"" + text + "\" is outside the 32-bit range");
  }
  return print_int(static_cast<std::int32_t>(value));
}

std::string encode_date(const std::string& text) {
  std::optional<DateFields> fields = read_calendar_date(text);
  if (!fields) {
    throw ToolError("invalid date \"" + text +
                    "\" (expected an existing day as YYYY-MM-DD, optionally with hh:mm:ss)");
  }
  try {
    return date_to_text(date_from_fields(*fields));
  } catch (const Failure&) {
    throw ToolError("date \"" + text + "\" cannot be represented");
  }
}

// Any other sort: a term in policy syntax that passes the value check.
std::string encode_term(const std::string& text, const Sort& sort, const Signature& signature) {
  // Comments would let text vanish from the stored value unnoticed.
  if (text.find('%') != std::string::npos || text.find("(*") != std::string::npos) {
    throw ToolError("\"" + text + "\" is not a value of sort " + print_sort(sort));
  }
  std::ostringstream diagnostics;
  std::optional<TermPtr> term;
  try {
    term = parse_term(text, diagnostics);
  } catch (const Failure&) {
    term.reset();
  }
  if (!term || !diagnostics.str().empty()) {
    throw ToolError("\"" + text + "\" is not a value of sort " + print_sort(sort));
  }
  try {
    check_value_term(**term, sort, signature, diagnostics);
  } catch (const Failure&) {
    throw ToolError("\"" + text + "\" is not a value of sort " + print_sort(sort) + ": " +
                    without_final_newline(diagnostics.str()));
  }
  return print_term(**term);
}

} // namespace

// date = YYYY ( "-" MM "-" DD [ ( " " | "T" ) hh ":" mm [ ":" ss ] ]
//             | ":" MM ":" DD [ ":" hh ":" mm ":" ss ] )
std::optional<DateFields> read_calendar_date(const std::string& text) {
  DateFields fields;
  std::size_t pos = 0;
  if (!read_digits(text, pos, 4, fields.year)) return std::nullopt;
  if (pos >= text.size()) return std::nullopt;
  const char separator = text[pos];
  if (separator != '-' && separator != ':') return std::nullopt;
  ++pos;
  if (!read_digits(text, pos, 2, fields.month) || !expect(text, pos, {separator}) ||
      !read_digits(text, pos, 2, fields.day)) {
    return std::nullopt;
  }
  if (pos < text.size()) {
    if (!expect(text, pos, separator == '-' ? " T" : ":")) return std::nullopt;
    if (!read_digits(text, pos, 2, fields.hour) || !expect(text, pos, ":") ||
        !read_digits(text, pos, 2, fields.minute)) {
      return std::nullopt;
    }
    const bool seconds_required = separator == ':';
    if (pos < text.size() || seconds_required) {
      if (!expect(text, pos, ":") || !read_digits(text, pos, 2, fields.second)) return std::nullopt;
    }
  }
  if (pos != text.size() || !fields_exist(fields)) return std::nullopt;
  return fields;
}

std::string encode_value(const std::string& text, const Sort& sort, const Signature& signature) {
  switch (sort.kind) {
  case Sort::Kind::String: return encode_string(text);
  case Sort::Kind::Int: return encode_int(text);
  case Sort::Kind::Date: return encode_date(text);
  case Sort::Kind::Any:
  case Sort::Kind::Named: return encode_term(text, sort, signature);
  }
  throw ToolError("unknown sort");
}

} // namespace hipaa::import

#include "value_encoding.hpp"

#include "../common/edit_distance.hpp"
#include "../common/local_zone.hpp"
#include "../common/tool_error.hpp"

#include "base/failure.hpp"
#include "check/sorts.hpp"
#include "logic/printer.hpp"
#include "syntax/policy_parser.hpp"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <ctime>
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

// Whether `value` shows, on the local clock, exactly the fields written.
bool reads_back_as(const DateValue& value, const DateFields& f) {
  mpz_class seconds = value / kNanosPerSecond;
  std::time_t t = static_cast<std::time_t>(seconds.get_si());
  std::tm broken{};
  if (localtime_r(&t, &broken) == nullptr) return false;
  return broken.tm_year + 1900L == f.year && broken.tm_mon + 1L == f.month &&
         broken.tm_mday == f.day && broken.tm_hour == f.hour && broken.tm_min == f.minute &&
         broken.tm_sec == f.second;
}

std::string without_final_newline(std::string text) {
  while (!text.empty() && text.back() == '\n') text.pop_back();
  return text;
}

// A value in a message: in double quotes, and cut after its first
// characters, with its length, when long (a file's bad values would
// otherwise fill the error output).
std::string quoted(const std::string& text) {
  constexpr std::size_t kLongest = 200;
  constexpr std::size_t kShown = 60;
  if (text.size() <= kLongest) return "\"" + text + "\"";
  std::size_t cut = kShown;
  // Not inside a UTF-8 sequence.
  while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
  return "\"" + text.substr(0, cut) + "...\" (" + std::to_string(text.size()) + " bytes)";
}

std::string encode_string(const std::string& text) {
  // The printed form itself, as an export of a log holds it.
  if (text.size() >= 2 && text.front() == '"' && text.back() == '"' &&
      text.find('"', 1) == text.size() - 1) {
    return encode_string(text.substr(1, text.size() - 2));
  }
  if (text.find('"') != std::string::npos) {
    throw ToolError("a string value cannot hold a double quote");
  }
  // CR alone is a character like any other in a stored string; LF ends the
  // policy language's strings.
  if (text.find('\n') != std::string::npos) {
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
  if (pos == text.size()) throw ToolError(quoted(text) + " is not an integer");
  long long value = 0;
  for (; pos < text.size(); ++pos) {
    if (!std::isdigit(static_cast<unsigned char>(text[pos]))) {
      throw ToolError(quoted(text) + " is not an integer");
    }
    value = value * 10 + (text[pos] - '0');
    if (value > static_cast<long long>(INT_MAX) + 1) break;
  }
  if (negative) value = -value;
  if (value < INT_MIN || value > INT_MAX) {
    throw ToolError("integer " + quoted(text) + " is outside the 32-bit range");
  }
  return print_int(static_cast<std::int32_t>(value));
}

bool is_identifier(const std::string& text) {
  if (text.empty()) return false;
  for (char c : text) {
    unsigned char u = static_cast<unsigned char>(c);
    if (!(std::isalnum(u) || c == '-' || c == '_' || c == '\'')) return false;
  }
  return true;
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

DateValue read_local_date(const std::string& text) {
  std::optional<DateFields> fields = read_calendar_date(text);
  if (!fields) {
    throw ToolError("invalid date " + quoted(text) +
                    " (expected an existing day as YYYY-MM-DD, optionally with hh:mm:ss)");
  }
  return local_date(*fields, text);
}

DateValue local_date(const DateFields& fields, const std::string& text) {
  DateValue value;
  std::string printed;
  try {
    value = date_from_fields(fields);
    printed = date_to_text(value);
  } catch (const Failure&) {
    throw ToolError("date " + quoted(text) + " cannot be represented");
  }
  if (!reads_back_as(value, fields)) {
    throw ToolError("date " + quoted(text) + " names a time that " + tools::local_zone_name() +
                    " skips when its clocks move forward (it would read back as " + printed +
                    "); give the time as the clocks showed it");
  }
  return value;
}

std::vector<std::string> nearest_names(const std::string& text,
                                       const std::vector<std::string>& candidates,
                                       std::size_t count) {
  std::vector<std::pair<std::size_t, std::string>> ranked;
  const std::size_t limit = std::max<std::size_t>(2, text.size() / 3);
  for (const std::string& candidate : candidates) {
    std::size_t distance = tools::edit_distance(text, candidate);
    // A name that starts the same way is a likely intent too.
    bool prefix = text.size() >= 3 && candidate.rfind(text, 0) == 0;
    if (distance <= limit || prefix) ranked.emplace_back(prefix ? 1 : distance, candidate);
  }
  std::stable_sort(ranked.begin(), ranked.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<std::string> names;
  for (std::size_t i = 0; i < ranked.size() && i < count; ++i) names.push_back(ranked[i].second);
  return names;
}

ValueEncoder::ValueEncoder(const Signature& signature) : signature_(signature) {
  for (const DeclEntry& entry : signature) {
    const ConsDecl* decl = std::get_if<ConsDecl>(&entry.decl);
    if (decl && decl->cls == ConsClass::Sym && decl->arg_sorts.empty()) {
      // The first declaration wins.
      if (constants_.emplace(entry.name, decl->result).second) {
        constants_by_sort_[print_sort(decl->result)].push_back(entry.name);
      }
    }
  }
}

std::string encode_value(const std::string& text, const Sort& sort, const Signature& signature) {
  return ValueEncoder(signature).encode(text, sort);
}

std::string ValueEncoder::encode(const std::string& text, const Sort& sort) const {
  switch (sort.kind) {
  case Sort::Kind::String: return encode_string(text);
  case Sort::Kind::Int: return encode_int(text);
  case Sort::Kind::Date: return date_to_text(read_local_date(text));
  case Sort::Kind::Any:
  case Sort::Kind::Named: return encode_term(text, sort);
  }
  throw ToolError("unknown sort");
}

void ValueEncoder::reject_constant(const std::string& text, const Sort& sort) const {
  const std::string wanted = print_sort(sort);
  std::string message = text.empty() ? "an empty value is not a " + wanted
                                     : quoted(text) + " is not a declared " + wanted;
  auto found = constants_.find(text);
  if (found != constants_.end()) {
    message = quoted(text) + " is declared as " + print_sort(found->second) + ", not as " + wanted;
  }
  auto of_sort = constants_by_sort_.find(print_sort(sort));
  std::vector<std::string> near =
      of_sort == constants_by_sort_.end() ? std::vector<std::string>{}
                                          : nearest_names(text, of_sort->second, 3);
  if (!near.empty()) {
    message += "; did you mean " + quoted(near[0]);
    for (std::size_t i = 1; i < near.size(); ++i) {
      message += (i + 1 == near.size() ? " or " : ", ") + quoted(near[i]);
    }
    message += "?";
  } else {
    message += " (hipaa-import --list-values " + wanted + " lists them)";
  }
  throw ToolError(message);
}

// Any other sort: a declared constant, found without parsing, or a term in
// policy syntax that passes the value check.
std::string ValueEncoder::encode_term(const std::string& text, const Sort& sort) const {
  if (is_identifier(text)) {
    auto found = constants_.find(text);
    if (found != constants_.end() && (sort.kind == Sort::Kind::Any || found->second == sort)) {
      return text;
    }
    if (sort.is_named() && text.find('(') == std::string::npos) reject_constant(text, sort);
  }
  if (text.empty()) reject_constant(text, sort);
  // Comments would let text vanish from the stored value unnoticed.
  if (text.find('%') != std::string::npos || text.find("(*") != std::string::npos) {
    throw ToolError(quoted(text) + " is not a value of sort " + print_sort(sort));
  }
  std::ostringstream diagnostics;
  std::optional<TermPtr> term;
  try {
    term = parse_term(text, diagnostics);
  } catch (const Failure& failure) {
    if (failure.name() == "Overflow") throw ToolError(quoted(text) + " is nested too deeply");
    term.reset();
  }
  if (!term || !diagnostics.str().empty()) {
    throw ToolError(quoted(text) + " is not a value of sort " + print_sort(sort));
  }
  try {
    check_value_term(**term, sort, signature_, diagnostics);
  } catch (const Failure& failure) {
    if (failure.name() == "Overflow") throw ToolError(quoted(text) + " is nested too deeply");
    const std::string why = without_final_newline(diagnostics.str());
    throw ToolError(quoted(text) + " is not a value of sort " + print_sort(sort) +
                    (why.empty() ? " (" + failure.message() + ")" : ": " + why));
  }
  return print_term(**term);
}

} // namespace hipaa::import

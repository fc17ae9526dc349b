// Date values: integer nanoseconds since 1970-01-01 00:00:00 UTC, converted
// from and to the six-field literal form in the machine's local time zone.
#pragma once

#include <gmpxx.h>

#include <string>

namespace hipaa {

using DateValue = mpz_class;

inline constexpr long kNanosPerSecond = 1000000000L;
inline constexpr long kSecondsPerDay = 86400L;

// The fields of a date literal as written: year, month 1-12, day of month,
// hour, minute, second.  Each field is a non-negative decimal number read
// from the literal; a field too large for a long raises Overflow.
struct DateFields {
  long year = 0;
  long month = 0;
  long day = 0;
  long hour = 0;
  long minute = 0;
  long second = 0;
};

// Converts the fields of a literal with mktime in local time.  Raises
// Overflow when the result's printed year would fall outside 1..9999 and
// Date for a month outside 1..12 or a day of 0.
DateValue date_from_fields(const DateFields& fields);

// Reads a literal of three or six colon-separated digit groups ("2010:01:05"
// or "2010:01:05:10:00:00"); the lexer has already checked its shape.
DateValue date_from_literal(const std::string& literal);

// The printed form "%Y:%m:%d:%H:%M:%S" in local time.  Raises Overflow when
// the year would fall outside 1..9999.
std::string date_to_text(const DateValue& value);

// Raises Overflow exactly when date_to_text would, without printing.
void check_date_printable(const DateValue& value);

// value + days * 86400 seconds.
DateValue date_plus_days(const DateValue& value, long days);

} // namespace hipaa

#include "dates/date.hpp"

#include "base/failure.hpp"

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <ctime>

namespace hipaa {

// Conversion rules that the literal form leaves open, fixed here:
// - a three-group literal stands for midnight (00:00:00) of its day;
// - the daylight-saving flag handed to mktime is -1, so the C library decides
//   from the zone's rules whether the wall-clock time is summer time;
// - a day beyond the length of its month, and hours, minutes and seconds
//   beyond their usual ranges, are carried forward by mktime (2010:02:30 is
//   2010:03:02);
// - a month outside 1..12 or a day of 0 does not name a date: Date;
// - time_t is the platform's 64-bit type, and every date whose printed year
//   lies in 1..9999 is accepted, so the printed form is always six numeric
//   fields that read back to the same date; anything else is Overflow.

namespace {

constexpr long kMinYear = 1;
constexpr long kMaxYear = 9999;

bool year_in_range(long year) { return year >= kMinYear && year <= kMaxYear; }

// With TZ unset the C library takes the zone from /etc/localtime and, on
// every mktime, looks at the file again in case it changed: one stat per
// date.  Naming the same file in TZ (the leading colon says "a file") gives
// the same zone, read once.
// Done once, by whichever thread converts a date first.
void settle_local_zone() {
  static const bool settled = [] {
    if (std::getenv("TZ") == nullptr) setenv("TZ", ":/etc/localtime", 0);
    return true;
  }();
  (void)settled;
}

// Breaks seconds down in local time; false when the year is out of range.
bool local_breakdown(std::int64_t seconds, std::tm& broken) {
  std::time_t t = static_cast<std::time_t>(seconds);
  if (localtime_r(&t, &broken) == nullptr) return false;
  return year_in_range(static_cast<long>(broken.tm_year) + 1900);
}

} // namespace

DateValue date_from_fields(const DateFields& fields) {
  if (fields.month < 1 || fields.month > 12 || fields.day < 1) raise("Date");
  // Fields only carry forward, so a year above the range cannot come back
  // into it; a year below it still may (0:12:32 is 1:01:01).
  if (fields.year < 0 || fields.year > kMaxYear) raise("Overflow");
  // Fields that do not fit an int cannot be carried into a year in range.
  if (fields.day > INT_MAX / 2 || fields.hour > INT_MAX / 2 || fields.minute > INT_MAX / 2 ||
      fields.second > INT_MAX / 2) {
    raise("Overflow");
  }
  std::tm broken{};
  broken.tm_year = static_cast<int>(fields.year - 1900);
  broken.tm_mon = static_cast<int>(fields.month - 1);
  broken.tm_mday = static_cast<int>(fields.day);
  broken.tm_hour = static_cast<int>(fields.hour);
  broken.tm_min = static_cast<int>(fields.minute);
  broken.tm_sec = static_cast<int>(fields.second);
  broken.tm_isdst = -1;
  settle_local_zone();
  std::time_t seconds = std::mktime(&broken);
  // mktime normalised the fields in place: check the year it arrived at.
  if (!year_in_range(static_cast<long>(broken.tm_year) + 1900)) raise("Overflow");
  if (seconds == static_cast<std::time_t>(-1)) {
    std::tm check{};
    if (!local_breakdown(-1, check)) raise("Overflow");
  }
  DateValue value = static_cast<long>(seconds);
  value *= kNanosPerSecond;
  return value;
}

DateValue date_from_literal(const std::string& literal) {
  long groups[6] = {0, 0, 0, 0, 0, 0};
  int index = 0;
  for (char c : literal) {
    if (c == ':') {
      if (++index >= 6) raise("Date");
      continue;
    }
    if (c < '0' || c > '9') raise("Date");
    long digit = c - '0';
    if (groups[index] > (LONG_MAX - digit) / 10) raise("Overflow");
    groups[index] = groups[index] * 10 + digit;
  }
  if (index != 2 && index != 5) raise("Date");
  return date_from_fields({groups[0], groups[1], groups[2], groups[3], groups[4], groups[5]});
}

std::string date_to_text(const DateValue& value) {
  mpz_class seconds;
  mpz_tdiv_q_ui(seconds.get_mpz_t(), value.get_mpz_t(), kNanosPerSecond);
  if (!seconds.fits_slong_p()) raise("Overflow");
  std::tm broken{};
  if (!local_breakdown(seconds.get_si(), broken)) raise("Overflow");
  long year = static_cast<long>(broken.tm_year) + 1900;
  if (year < 1000) {
    char buffer[64];
    std::size_t length = std::strftime(buffer, sizeof buffer, "%Y:%m:%d:%H:%M:%S", &broken);
    return std::string(buffer, length);
  }
  // Four-digit years: the same text as "%Y:%m:%d:%H:%M:%S", written directly.
  char text[19];
  auto two = [](char* at, int value) {
    at[0] = static_cast<char>('0' + value / 10);
    at[1] = static_cast<char>('0' + value % 10);
  };
  two(text, static_cast<int>(year / 100));
  two(text + 2, static_cast<int>(year % 100));
  int fields[5] = {broken.tm_mon + 1, broken.tm_mday, broken.tm_hour, broken.tm_min, broken.tm_sec};
  for (int i = 0; i < 5; ++i) {
    text[4 + 3 * i] = ':';
    two(text + 5 + 3 * i, fields[i]);
  }
  return std::string(text, sizeof text);
}

void check_date_printable(const DateValue& value) {
  mpz_class seconds;
  mpz_tdiv_q_ui(seconds.get_mpz_t(), value.get_mpz_t(), kNanosPerSecond);
  if (!seconds.fits_slong_p()) raise("Overflow");
  std::tm broken{};
  if (!local_breakdown(seconds.get_si(), broken)) raise("Overflow");
}

DateValue date_plus_days(const DateValue& value, long days) {
  DateValue offset = days;
  offset *= kSecondsPerDay;
  offset *= kNanosPerSecond;
  return value + offset;
}

} // namespace hipaa

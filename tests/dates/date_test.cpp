#include "dates/date.hpp"

#include "base/failure.hpp"
#include "support/failure_name.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>

namespace hipaa {
namespace {

using hipaa::testing::failure_name;

// Sets TZ for the duration of a test and restores it afterwards.
class ZoneGuard {
public:
  explicit ZoneGuard(const char* zone) {
    const char* old = std::getenv("TZ");
    had_old_ = old != nullptr;
    if (had_old_) old_ = old;
    setenv("TZ", zone, 1);
    tzset();
  }
  ~ZoneGuard() {
    if (had_old_) setenv("TZ", old_.c_str(), 1);
    else unsetenv("TZ");
    tzset();
  }

private:
  bool had_old_ = false;
  std::string old_;
};

TEST(DateConversion, UtcLiteralsAreSecondsSinceEpochInNanoseconds) {
  ZoneGuard zone("UTC");
  EXPECT_EQ(date_from_literal("1970:01:01"), 0);
  EXPECT_EQ(date_from_literal("1970:01:02:00:00:01"), mpz_class("86401000000000"));
  EXPECT_EQ(date_to_text(mpz_class("86401000000000")), "1970:01:02:00:00:01");
  EXPECT_EQ(date_to_text(date_from_literal("2010:1:5")), "2010:01:05:00:00:00");
}

TEST(DateConversion, SameLiteralDiffersAcrossZonesButPrintsTheSame) {
  DateValue utc, new_york;
  {
    ZoneGuard zone("UTC");
    utc = date_from_literal("2011:03:15:10:30:00");
    EXPECT_EQ(date_to_text(utc), "2011:03:15:10:30:00");
  }
  {
    ZoneGuard zone("America/New_York");
    new_york = date_from_literal("2011:03:15:10:30:00");
    EXPECT_EQ(date_to_text(new_york), "2011:03:15:10:30:00");
  }
  EXPECT_EQ(new_york - utc, mpz_class(4 * 3600) * kNanosPerSecond);
}

TEST(DateConversion, DayBeyondItsMonthCarriesForward) {
  ZoneGuard zone("UTC");
  EXPECT_EQ(date_to_text(date_from_literal("2010:02:30")), "2010:03:02:00:00:00");
  EXPECT_EQ(date_to_text(date_from_literal("2010:12:32:25:00:00")), "2011:01:02:01:00:00");
}

TEST(DateConversion, MonthOutOfRangeOrDayZeroIsNotADate) {
  ZoneGuard zone("UTC");
  EXPECT_EQ(failure_name([] { date_from_literal("2010:13:01"); }), "Date");
  EXPECT_EQ(failure_name([] { date_from_literal("2010:00:01"); }), "Date");
  EXPECT_EQ(failure_name([] { date_from_literal("2010:01:00"); }), "Date");
}

TEST(DateRange, DatesAfter2038AreAccepted) {
  ZoneGuard zone("UTC");
  DateValue after = date_from_literal("2038:01:19:03:14:08");
  EXPECT_EQ(after, mpz_class("2147483648000000000"));
  EXPECT_EQ(date_to_text(after), "2038:01:19:03:14:08");
  EXPECT_EQ(date_to_text(date_plus_days(date_from_literal("2037:12:31"), 400)),
            "2039:02:04:00:00:00");
}

TEST(DateRange, YearsOneToNineThousandNineHundredNinetyNine) {
  ZoneGuard zone("UTC");
  EXPECT_EQ(date_to_text(date_from_literal("9999:12:31:23:59:59")), "9999:12:31:23:59:59");
  EXPECT_EQ(failure_name([] { date_from_literal("9999:12:31:23:59:60"); }), "Overflow");
  EXPECT_EQ(failure_name([] { date_from_literal("10000:01:01"); }), "Overflow");
  EXPECT_EQ(failure_name([] { date_from_literal("0:12:31"); }), "Overflow");
  // The year that counts is the one the date prints with: a day carried out
  // of year 0 lands in year 1.
  EXPECT_EQ(date_to_text(date_from_literal("0:12:32")), "1:01:01:00:00:00");
  DateValue first = date_from_literal("1:01:01");
  EXPECT_EQ(date_to_text(first), "1:01:01:00:00:00");
  EXPECT_EQ(date_from_literal(date_to_text(first)), first);
  EXPECT_EQ(failure_name([&] { date_to_text(date_plus_days(first, -1)); }), "Overflow");
  EXPECT_EQ(failure_name([] { date_to_text(mpz_class("100000000000000000000000000")); }),
            "Overflow");
  EXPECT_EQ(failure_name([] { date_from_literal("99999999999999999999999:01:01"); }),
            "Overflow");
}

TEST(DateArithmetic, PlusAddsWholeDaysAcrossDaylightSaving) {
  ZoneGuard zone("Europe/Berlin");
  // Summer time starts on 2010-03-28 in Berlin: one day later is 86400
  // seconds later and reads one hour later on the wall clock.
  DateValue before = date_from_literal("2010:03:27:12:00:00");
  DateValue after = date_plus_days(before, 1);
  EXPECT_EQ(after - before, mpz_class(86400) * kNanosPerSecond);
  EXPECT_EQ(date_to_text(after), "2010:03:28:13:00:00");
  EXPECT_EQ(date_plus_days(before, 0), before);
  EXPECT_EQ(date_to_text(date_plus_days(before, -2)), "2010:03:25:12:00:00");
}

TEST(DateText, AgreesWithStrftimeAcrossYearsAndZones) {
  for (const char* zone_name : {"UTC", "America/New_York", "Asia/Kolkata"}) {
    ZoneGuard zone(zone_name);
    // From year 1 to 9999 in uneven steps, so every field takes many values.
    for (long seconds = -62135596800L + 86400; seconds < 253402214400L; seconds += 7919993L * 13) {
      std::time_t t = seconds;
      std::tm broken{};
      localtime_r(&t, &broken);
      char expected[64];
      std::size_t length = std::strftime(expected, sizeof expected, "%Y:%m:%d:%H:%M:%S", &broken);
      mpz_class value = seconds;
      value *= 1000000000L;
      ASSERT_EQ(date_to_text(value), std::string(expected, length)) << zone_name << " " << seconds;
    }
  }
}

TEST(DateText, PrintableExactlyWhenItPrints) {
  ZoneGuard zone("America/New_York");
  mpz_class first_second = date_from_literal("1:01:01") / 1000000000L;
  for (mpz_class seconds : {first_second, mpz_class(first_second - 1), mpz_class("253402318799"),
                            mpz_class("253402318800"), mpz_class("100000000000000000000")}) {
    mpz_class value = seconds * 1000000000L;
    EXPECT_EQ(failure_name([&] { check_date_printable(value); }),
              failure_name([&] { date_to_text(value); }))
        << seconds.get_str();
  }
}

} // namespace
} // namespace hipaa

#include "base/failure.hpp"
#include "driver/statistics.hpp"
#include "driver/top_level.hpp"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <iostream>
#include <sstream>

namespace hipaa {
namespace {

TEST(FailureMessages, NameOnlyAndPayloads) {
  EXPECT_EQ(Failure("SortClash").message(), "SortClash");
  EXPECT_EQ(Fail("bug: x").message(), "Fail: bug: x");
  EXPECT_EQ(SysErr::from_errno(ENOENT).message(),
            std::string("SysErr: ") + std::strerror(ENOENT) + " [noent]");
  EXPECT_EQ(SysErr("text", std::nullopt).message(), "SysErr: text");
  EXPECT_EQ(SysErr("text", 99999).message(), "SysErr: text [<UNKNOWN>]");
  Io io("openIn", "./hipaa-case-study/hipaa.f", SysErr::from_errno(ENOENT).message());
  EXPECT_EQ(io.message(), "Io: openIn \"./hipaa-case-study/hipaa.f\" failed with SysErr: " +
                              std::string(std::strerror(ENOENT)) + " [noent]");
}

TEST(FailureMessages, ErrnoShortNames) {
  EXPECT_EQ(errno_short_name(EACCES), "acces");
  EXPECT_EQ(errno_short_name(E2BIG), "2big");
  EXPECT_EQ(errno_short_name(EWOULDBLOCK), "again");
  EXPECT_EQ(errno_short_name(EHWPOISON), "hwpoison");
  EXPECT_EQ(errno_short_name(ENOTRECOVERABLE), "notrecoverable");
  EXPECT_EQ(errno_short_name(0), "<UNKNOWN>");
  EXPECT_EQ(errno_short_name(-1), "<UNKNOWN>");
  // Linux leaves 41 and 58 unassigned; every other value up to 133 has a name.
  for (int code = 1; code <= 133; ++code) {
    if (code == 41 || code == 58) {
      EXPECT_EQ(errno_short_name(code), "<UNKNOWN>") << code;
    } else {
      EXPECT_NE(errno_short_name(code), "<UNKNOWN>") << code;
    }
  }
}

TEST(TopLevelHandler, StatusAndStandardErrorLine) {
  std::ostringstream captured;
  std::streambuf* old = std::cerr.rdbuf(captured.rdbuf());
  int ok = run_under_handler([] {});
  int failed = run_under_handler([] { raise("SortClash"); });
  int io_failed = run_under_handler([] { raise_io("openIn", "f", ENOENT); });
  std::cerr.rdbuf(old);
  EXPECT_EQ(ok, 0);
  EXPECT_EQ(failed, 1);
  EXPECT_EQ(io_failed, 1);
  EXPECT_EQ(captured.str(), "unhandled exception: SortClash\nunhandled exception: Io: openIn \"f\" "
                            "failed with SysErr: " +
                                std::string(std::strerror(ENOENT)) + " [noent]\n");
}

TEST(TimeString, ThreeDecimalsCorrectlyRounded) {
  EXPECT_EQ(time_string(0, 0), "0.000");
  EXPECT_EQ(time_string(0, 499999), "0.000");
  EXPECT_EQ(time_string(0, 42000000), "0.042");
  EXPECT_EQ(time_string(0, 12500000000), "12.500");
  EXPECT_EQ(time_string(1000, 1250001000), "1.250");
  EXPECT_EQ(time_string(0, 1999600000), "2.000");
}

TEST(RunClock, NeverDecreases) {
  RunClock clock;
  std::int64_t previous = clock.now();
  for (int i = 0; i < 1000; ++i) {
    std::int64_t reading = clock.now();
    EXPECT_GE(reading, previous);
    EXPECT_EQ(reading % 1000, 0);
    previous = reading;
  }
}

TEST(TestIdentifier, NumericLiteralsVerbatimOthersQuoted) {
  EXPECT_EQ(sql_test_id("3"), "3");
  EXPECT_EQ(sql_test_id("-17"), "-17");
  EXPECT_EQ(sql_test_id("2.50"), "2.50");
  EXPECT_EQ(sql_test_id("1; DROP TABLE res"), "'1; DROP TABLE res'");
  EXPECT_EQ(sql_test_id("o'brien"), "'o''brien'");
  EXPECT_EQ(sql_test_id(""), "''");
  EXPECT_EQ(sql_test_id("1."), "'1.'");
  EXPECT_EQ(sql_test_id("-"), "'-'");
  EXPECT_EQ(sql_test_id(".5"), "'.5'");
}

} // namespace
} // namespace hipaa

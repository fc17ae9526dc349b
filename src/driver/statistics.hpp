// Run statistics: the reduction's duration and the results-table statements.
#pragma once

#include "db/sqlite.hpp"

#include <cstdint>
#include <iosfwd>
#include <string>

namespace hipaa {

// Time of day in integer nanoseconds at microsecond resolution; never
// earlier than the previous reading of the same clock.
class RunClock {
public:
  std::int64_t now();

private:
  std::int64_t last_ = 0;
};

// The duration end - start in seconds, fixed notation with three decimals
// ("0.042"); "~" as the minus sign.
std::string time_string(std::int64_t start, std::int64_t end);

// The test identifier as it stands in the statements: verbatim when it is an
// SQL numeric literal, otherwise a quoted SQL string literal.
std::string sql_test_id(const std::string& test_id);

// Runs the three counting queries, then prints the five UPDATE statements
// for table res, each flushed.
void print_statistics(db::Connection& connection, const std::string& test_id,
                      const std::string& time_text, std::ostream& out);

} // namespace hipaa

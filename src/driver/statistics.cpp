#include "driver/statistics.hpp"

#include "base/failure.hpp"
#include "base/file_io.hpp"

#include <sys/time.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ostream>

namespace hipaa {

std::int64_t RunClock::now() {
  timeval tv{};
  gettimeofday(&tv, nullptr);
  std::int64_t reading = static_cast<std::int64_t>(tv.tv_sec) * 1000000000 +
                         static_cast<std::int64_t>(tv.tv_usec) * 1000;
  if (reading < last_) return last_;
  last_ = reading;
  return reading;
}

std::string time_string(std::int64_t start, std::int64_t end) {
  // The duration goes through its decimal text into a double, then is
  // divided by one second's worth of nanoseconds.
  std::string digits = std::to_string(end - start);
  double seconds = std::strtod(digits.c_str(), nullptr) / std::strtod("1000000000", nullptr);
  if (std::isnan(seconds)) return "nan";
  if (std::isinf(seconds)) return seconds > 0 ? "inf" : "~inf";
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.3f", std::fabs(seconds));
  return (std::signbit(seconds) && seconds != 0.0 ? "~" : "") + std::string(buffer);
}

namespace {

bool is_sql_numeric_literal(const std::string& text) {
  std::size_t i = 0;
  if (i < text.size() && text[i] == '-') ++i;
  std::size_t digits_start = i;
  while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i;
  if (i == digits_start) return false;
  if (i == text.size()) return true;
  if (text[i] != '.') return false;
  std::size_t fraction_start = ++i;
  while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i;
  return i > fraction_start && i == text.size();
}

// The first column of the single row a counting query yields, as the
// database renders it.
std::string count_rows(db::Connection& connection, const char* query) {
  std::optional<db::Statement> statement = db::Statement::prepare(connection, query);
  if (!statement) raise("Option");
  // A step that yields no row (an error) must not pass an empty count off
  // as a result.
  if (statement->step() != db::StepStatus::Row) raise("ErrorRunningDbQuery");
  db::Row row = statement->get_data();
  if (row.empty()) raise("Empty");
  return row.front();
}

} // namespace

std::string sql_test_id(const std::string& test_id) {
  if (is_sql_numeric_literal(test_id)) return test_id;
  std::string quoted = "'";
  for (char c : test_id) {
    quoted += c;
    if (c == '\'') quoted += '\'';
  }
  quoted += '\'';
  return quoted;
}

void print_statistics(db::Connection& connection, const std::string& test_id,
                      const std::string& time_text, std::ostream& out) {
  std::string disclosures = count_rows(connection, "select (count (sender)) from disclose");
  std::string attributes = count_rows(connection, "select (count (info)) from hasattrof_db");
  std::string attr_in = count_rows(connection, "select (count (subattr)) from attr_in_db");
  const std::string id = sql_test_id(test_id);
  const std::string where = " WHERE testId = " + id + ";\n";
  print_flushed(out, "UPDATE res SET totalTime = " + time_text + where);
  print_flushed(out, "UPDATE res SET nDisclosure = " + disclosures + where);
  print_flushed(out, "UPDATE res SET nHasattrof = " + attributes + where);
  print_flushed(out, "UPDATE res SET nAttrin = " + attr_in + where);
  print_flushed(out, "UPDATE res SET avgTime = (SELECT totalTime from res WHERE testId =" + id +
                         ")/(SELECT nDisclosure from res WHERE testId =" + id + ")" + where);
}

} // namespace hipaa

// The rows of the case study's log, written in the printed form of the
// policy terms they stand for: strings in double quotes, constants bare,
// dates in the six-field local form.
#pragma once

#include "../common/sqlite_writer.hpp"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace hipaa::loggen {

// The printed form of a string term ("text" with its quotes).
std::string printed_string(std::string_view text);
// The printed form of a date given in seconds since the epoch.
std::string printed_date(std::int64_t seconds);

// Creates every table of the schema in a new database and inserts rows.
// Arguments are printed forms already.
class LogWriter {
public:
  explicit LogWriter(const std::string& path);
  ~LogWriter();

  void disclose(std::string_view sender, std::string_view recipient, std::string_view message,
                std::string_view at);
  void has_attribute(std::string_view message, std::string_view subject,
                     std::string_view attribute, std::string_view recorded);
  void purpose(std::string_view message, std::string_view purpose, std::string_view stated_by);
  void role(std::string_view person, std::string_view role, std::string_view at);
  // Any other table, by name; the values in column order.
  void row(const std::string& table, std::initializer_list<std::string_view> values);

  std::int64_t disclosures_written() const { return disclosures_; }

  // Builds the indexes, commits and closes the file.
  void finish();

private:
  struct Inserters;
  tools::NewDatabase database_;
  std::unique_ptr<Inserters> inserters_;
  std::int64_t disclosures_ = 0;
};

} // namespace hipaa::loggen

#include "log_writer.hpp"

#include "../common/calendar_span.hpp"

#include "schema.hpp"

#include "dates/date.hpp"
#include "logic/printer.hpp"
#include "logic/term.hpp"

#include <map>

namespace hipaa::loggen {

std::string printed_string(std::string_view text) {
  return print_term(*make_str(std::string(text)));
}

std::string printed_date(std::int64_t seconds) {
  DateValue value = static_cast<long>(seconds);
  value *= kNanosPerSecond;
  return date_to_text(value);
}

struct LogWriter::Inserters {
  explicit Inserters(tools::NewDatabase& database)
      : disclose(database.inserter("disclose", 4)),
        hasattrof(database.inserter("hasattrof_db", 4)),
        purp_in(database.inserter("purp_in_db", 3)), inrole(database.inserter("inrole_db", 3)) {
    for (const TableLayout& table : log_tables()) {
      others.emplace(table.name, database.inserter(table.name, table.columns.size()));
    }
  }

  tools::RowInserter disclose;
  tools::RowInserter hasattrof;
  tools::RowInserter purp_in;
  tools::RowInserter inrole;
  std::map<std::string, tools::RowInserter> others;
};

LogWriter::LogWriter(const std::string& path) : database_(path) {
  for (const TableLayout& table : log_tables()) database_.create_table(table.name, table.columns);
  inserters_ = std::make_unique<Inserters>(database_);
}

LogWriter::~LogWriter() = default;

void LogWriter::disclose(std::string_view sender, std::string_view recipient,
                         std::string_view message, std::string_view at) {
  inserters_->disclose.insert({sender, recipient, message, at});
  ++disclosures_;
}

void LogWriter::has_attribute(std::string_view message, std::string_view subject,
                              std::string_view attribute, std::string_view recorded) {
  inserters_->hasattrof.insert({message, subject, attribute, recorded});
}

void LogWriter::purpose(std::string_view message, std::string_view purpose,
                        std::string_view stated_by) {
  inserters_->purp_in.insert({message, purpose, stated_by});
}

void LogWriter::role(std::string_view person, std::string_view role, std::string_view at) {
  inserters_->inrole.insert({person, role, at});
}

void LogWriter::row(const std::string& table, std::initializer_list<std::string_view> values) {
  auto found = inserters_->others.find(table);
  if (found == inserters_->others.end()) throw tools::ToolError("no log table named " + table);
  found->second.insert(values);
  // A request or a death opens calendar spans, counted from its last
  // column, as the importer computes them.
  const std::vector<tools::CalendarSpan> spans = tools::spans_of_table(table);
  if (spans.empty()) return;
  const std::string start(*(values.end() - 1));
  tools::RowInserter& inserter = inserters_->others.at("calendar_span");
  for (const tools::CalendarSpan& span : spans) {
    inserter.insert({start, span.name, tools::calendar_span_end(start, span)});
  }
}

void LogWriter::finish() {
  inserters_.reset(); // statements must be finalized before the file closes
  for (const TableLayout& table : log_tables()) {
    for (const std::vector<std::string>& index : table.indexes) {
      database_.create_index(table.name, index);
    }
  }
  database_.finish();
}

} // namespace hipaa::loggen

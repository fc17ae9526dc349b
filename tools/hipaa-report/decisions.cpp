#include "decisions.hpp"

#include "../common/csv_field.hpp"

#include "questions.hpp"

#include "../common/tool_error.hpp"
#include "../hipaa-import/csv_reader.hpp"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <ostream>

namespace hipaa::report {

namespace {

std::string lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

bool is_day(const std::string& text) {
  if (text.size() != 10 || text[4] != '-' || text[7] != '-') return false;
  for (std::size_t i : {0, 1, 2, 3, 5, 6, 8, 9}) {
    if (!std::isdigit(static_cast<unsigned char>(text[i]))) return false;
  }
  int year = std::stoi(text.substr(0, 4));
  unsigned month = static_cast<unsigned>(std::stoi(text.substr(5, 2)));
  unsigned day = static_cast<unsigned>(std::stoi(text.substr(8, 2)));
  return std::chrono::year_month_day{std::chrono::year(year), std::chrono::month(month),
                                     std::chrono::day(day)}
      .ok();
}

// Where each column the decisions need stands in the header, if at all.
struct Columns {
  std::optional<std::size_t> id, decision, reviewer, date, note;
};

Columns find_columns(const std::vector<std::string>& header) {
  Columns columns;
  for (std::size_t i = 0; i < header.size(); ++i) {
    std::string name = lower(header[i]);
    std::replace(name.begin(), name.end(), ' ', '_');
    auto take = [&](std::optional<std::size_t>& slot) {
      if (!slot) slot = i;
    };
    if (name == "id" || name == "question_id") take(columns.id);
    else if (name == "decision") take(columns.decision);
    else if (name == "reviewer") take(columns.reviewer);
    else if (name == "date") take(columns.date);
    else if (name == "note") take(columns.note);
  }
  return columns;
}

} // namespace

const char* decision_word(bool yes) { return yes ? "yes" : "no"; }

std::string decision_text(const Decision& decision) {
  return decision.id + " " + decision_word(decision.yes) + " (" + decision.reviewer + ", " +
         decision.date + ")";
}

Decisions Decisions::read(const std::string& path) {
  import::CsvReader reader(path, path);
  Decisions decisions;
  decisions.path_ = path;
  auto fail = [&](long line, const std::string& reason) -> void {
    throw tools::ToolError(path + ":" + std::to_string(line) + ": " + reason);
  };
  std::vector<std::string> fields;
  if (!reader.next_record(fields)) fail(1, "no header line (id,decision,reviewer,date,note)");
  Columns columns = find_columns(fields);
  if (!columns.id || !columns.decision) {
    fail(reader.record_line(),
         "the header needs the columns id and decision (and reviewer, date, note)");
  }
  auto field = [&](const std::optional<std::size_t>& column) -> std::string {
    return column && *column < fields.size() ? fields[*column] : std::string();
  };
  while (reader.next_record(fields)) {
    long line = reader.record_line();
    std::string word = lower(field(columns.decision));
    std::string id = field(columns.id);
    if (word.empty()) continue; // not answered yet
    Decision decision{id, word == "yes", field(columns.reviewer), field(columns.date),
                      field(columns.note), line};
    if (!is_question_id(id)) {
      fail(line, "\"" + id + "\" is not a question id (q and 16 hexadecimal digits)");
    }
    if (word != "yes" && word != "no") {
      fail(line, "the decision on " + id + " is \"" + field(columns.decision) +
                     "\", neither yes nor no");
    }
    if (decision.reviewer.empty()) fail(line, "the decision on " + id + " names no reviewer");
    if (!is_day(decision.date)) {
      fail(line, "the decision on " + id + " has the date \"" + decision.date +
                     "\", not one such as 2010-03-01");
    }
    auto [known, added] = decisions.index_.emplace(id, decisions.list_.size());
    if (!added) {
      const Decision& earlier = decisions.list_[known->second];
      if (earlier.yes != decision.yes) {
        fail(line, "question " + id + " is decided " + decision_word(earlier.yes) + " on line " +
                       std::to_string(earlier.line) + " and " + decision_word(decision.yes) +
                       " here");
      }
      // The same answer given again later covers what was done up to its
      // new date.
      if (decision.date > earlier.date) decisions.list_[known->second] = std::move(decision);
      continue;
    }
    decisions.list_.push_back(std::move(decision));
  }
  return decisions;
}

const Decision* Decisions::find(const std::string& id) const {
  auto found = index_.find(id);
  return found == index_.end() ? nullptr : &list_[found->second];
}

// The decisions whose questions arose in no instance, with their lines.
void write_stale(std::ostream& out, const std::vector<const Decision*>& stale) {
  out << "id,decision,reviewer,date,note,line\r\n";
  for (const Decision* decision : stale) {
    std::string line;
    tools::append_csv_field(line, decision->id);
    line += ',';
    line += decision_word(decision->yes);
    line += ',';
    tools::append_csv_field(line, decision->reviewer);
    line += ',';
    tools::append_csv_field(line, decision->date);
    line += ',';
    tools::append_csv_field(line, decision->note);
    line += ',' + std::to_string(decision->line) + "\r\n";
    out << line;
  }
}

} // namespace hipaa::report

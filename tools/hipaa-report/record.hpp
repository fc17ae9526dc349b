// One row of the report: an instance's verdict with its values, rendered
// for verdicts.csv and verdicts.json by the thread that judged it.
#pragma once

#include "questions.hpp"

#include "reduce/instance_verdict.hpp"
#include "reduce/rule_instances.hpp"

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace hipaa::report {

// The columns of the rules' variables: every variable name once, in policy
// order, a date variable followed by its ISO 8601 form.
class Layout {
public:
  explicit Layout(const std::vector<Rule>& rules);

  const std::vector<Rule>& rules() const { return rules_; }
  // verdicts.csv's header line, ended by CR LF.
  std::string csv_header() const;
  std::size_t value_columns() const { return columns_.size(); }
  // Whether value column `column` is followed by its ISO 8601 form.
  bool date_column(std::size_t column) const { return columns_[column].date; }
  // The column of each bound variable of rule `rule`.
  const std::vector<std::size_t>& columns_of(std::size_t rule) const { return of_rule_[rule]; }

private:
  struct Column {
    std::string name;
    bool date = false;
  };
  std::vector<Rule> rules_;
  std::vector<Column> columns_;
  std::vector<std::vector<std::size_t>> of_rule_;
};

struct Record {
  std::size_t position = 0;
  std::size_t rule = 0;
  Verdict verdict = Verdict::Open;
  std::vector<std::string> clauses;
  bool overdue = false; // a violation only because an awaited disclosure is late
  std::string day;      // YYYY-MM-DD of the first date value, or ""
  std::string values;   // "var = value" pairs, for the summary page
  std::string csv;      // the verdicts.csv line, ended by CR LF
  std::string json;     // the verdicts.json object
  // What people answer: the open residual's questions and its shape over
  // them; the answers that settled it, as "id yes|no (reviewer, date)"
  // joined by "; "; and every answered question its residual held.
  std::vector<Question> questions;
  std::string question_shape;
  std::string decided_by;
  std::vector<std::string> decided; // the ids in decided_by
  std::vector<std::string> answered;
  // The instance's values in plain form, for the page; filled in only for
  // the instances the page lists (not compliant, or settled by a person).
  std::vector<std::string> plain_values;
};

// What a person's part adds to a record's columns.
struct PersonColumns {
  const std::string& questions;  // the shape over question ids, or ""
  const std::string& decided_by; // the answers that settled it, or ""
};

// Renders the records of one thread.  The JSON object of a rule's last
// record is kept and filled in again for the next one of the same shape,
// so that its keys and buffers are not built anew for every instance.
class RecordMaker {
public:
  explicit RecordMaker(const Layout& layout);
  RecordMaker(const RecordMaker&) = delete;
  RecordMaker& operator=(const RecordMaker&) = delete;
  ~RecordMaker();

  Record make(std::size_t rule, std::size_t position, const TermList& tuple,
              const InstanceVerdict& verdict, const PersonColumns& person);

private:
  struct Kept;
  const Layout& layout_;
  std::vector<std::unique_ptr<Kept>> kept_; // per rule
};

// "2010-01-04T12:00:10" for the printed date "2010:01:04:12:00:10".
std::string iso_date(const DateValue& value);

} // namespace hipaa::report

// One row of the report: an instance's verdict with its values, its reason
// and the clauses at stake, rendered for verdicts.csv and verdicts.json by
// the thread that judged it.
#pragma once

#include "catalogue.hpp"
#include "questions.hpp"
#include "local_codes.hpp"

#include "logic/declarations.hpp"
#include "reduce/instance_verdict.hpp"
#include "reduce/rule_instances.hpp"

#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace hipaa::report {

// The version of the columns of verdicts.csv and verdicts.json.
inline constexpr int kVerdictsSchema = 2;

// The value columns of the rules: each bound variable of a rule is named
// after the log column it is read from (the declarations' table mapping of
// the first guard atom that binds it), so that the names stay when the
// policy renames its variables; a variable that no table column binds keeps
// its own name.  Rules share the columns of the same name.
class Layout {
public:
  Layout(const std::vector<Rule>& rules, const Signature& signature);

  const std::vector<Rule>& rules() const { return rules_; }
  // verdicts.csv's header line, ended by CR LF.
  std::string csv_header() const;
  std::size_t value_columns() const { return names_.size(); }
  const std::string& column_name(std::size_t column) const { return names_[column]; }
  // The column of each bound variable of rule `rule`.
  const std::vector<std::size_t>& columns_of(std::size_t rule) const { return of_rule_[rule]; }
  // The column names of a table predicate's table, or null.
  const std::vector<std::string>* table_columns(const std::string& pred) const;

private:
  std::unordered_map<std::string, std::vector<std::string>> tables_;
  std::vector<Rule> rules_;
  std::vector<std::string> names_;
  std::vector<std::vector<std::size_t>> of_rule_;
};

struct Record {
  std::size_t position = 0;
  std::size_t rule = 0;
  Verdict verdict = Verdict::Open;
  // As the judge gives them: for a violation the clauses on the path to the
  // false, for an open instance the open ones, for a compliant one those
  // that permitted it.
  std::vector<std::string> clauses;
  // A violation: the clauses broken ("no clause permits the disclosure" in
  // words where no permission holds) and the permissions that came close.
  std::vector<std::string> broken;
  std::vector<std::string> closest_permissions;
  // "citation title" of each clause of `clauses` of a violation (those of
  // `broken` and `closest_permissions`) or an open instance, from the
  // catalogue; the name where it has none.  Empty for a compliant one.
  std::vector<std::string> titles;
  std::string reason;                // a violation's reason in words, with its values
  std::vector<std::string> warnings; // e.g. a time the local zone skips
  bool overdue = false;              // a violation only because an awaited disclosure is late
  std::string day;                   // YYYY-MM-DD of the first date value, or ""
  std::string values;                // "column = value" pairs, plain, for the summary page
  std::string csv;                   // the verdicts.csv line, ended by CR LF
  std::string json;                  // the verdicts.json object
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
// record is kept and filled in again for the next one, so that its keys
// and buffers are not built anew for every instance.
class RecordMaker {
public:
  RecordMaker(const Layout& layout, const Catalogue& catalogue);
  RecordMaker(const RecordMaker&) = delete;
  RecordMaker& operator=(const RecordMaker&) = delete;
  ~RecordMaker();

  Record make(std::size_t rule, std::size_t position, const TermList& tuple,
              const InstanceVerdict& verdict, const PersonColumns& person);

  // Reasons name the hospital's own codes beside the constants; `codes`
  // must outlive the maker.
  void use_local_codes(const LocalCodes& codes) { local_codes_ = &codes; }

private:
  struct Kept;
  // in_skipped_hour, remembered per hour of the clock: an hour without a
  // forward change of the clocks within two hours before it holds no such
  // time, which is the answer for almost every hour.
  bool skipped(const DateValue& value);
  std::unordered_map<std::int64_t, bool> quiet_hours_;
  mpz_class seconds_; // scratch of skipped(), kept for its buffer
  const Layout& layout_;
  const Catalogue& catalogue_;
  const LocalCodes* local_codes_ = nullptr;
  std::vector<std::unique_ptr<Kept>> kept_; // per rule
};

// "2010-01-04T12:00:10" for the printed date "2010:01:04:12:00:10".
std::string iso_date(const DateValue& value);

// A value as a person reads it: a string without its quotes, a date in
// ISO 8601, anything else as the policy writes it.
std::string plain_value(const Term& term);

// The instance's values by column name, as a sentence shows them.
using ColumnValues = std::vector<std::pair<std::string, std::string>>;

// The sentence that says why a violation is one, from the templates of the
// catalogue: the one written for the failed fact's predicate in its clause,
// else the predicate's own (the atom in policy syntax where there is none).  A value the
// failed fact leaves open is the instance's value of the column of the same
// name where it has one, else named by its table column ("the covered
// entity", from `layout`).
std::string reason_text(const InstanceVerdict& verdict, const Catalogue& catalogue,
                        const Layout& layout, const ColumnValues& instance = {});

// Whether the local zone skips the wall-clock time `value` shows, that is,
// whether it may stand for a time written in a daylight-saving gap, which
// the conversion moves by the gap's length.
bool in_skipped_hour(const DateValue& value);

} // namespace hipaa::report

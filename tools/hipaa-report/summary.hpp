// What the report adds up while records stream past: counts by verdict,
// by clause, by rule and by day, and the list of violations.
#pragma once

#include "record.hpp"

#include <array>
#include <cstddef>
#include <iosfwd>
#include <map>
#include <string>
#include <vector>

namespace hipaa::report {

struct ClauseCounts {
  std::size_t violations = 0;
  std::size_t open = 0;
  std::size_t decided = 0; // instances a person's answers settled
};

struct DayCounts {
  std::size_t violations = 0;
  std::size_t open = 0;
};

// Which of a rule's values name the patient, the sender and the recipient
// (an index into the instance's values, or -1).
struct Roles {
  int patient = -1;
  int sender = -1;
  int recipient = -1;
};

// An instance the page lists: a violation, an open one, or one settled by
// a person's answers.
struct PageRow {
  std::size_t position;
  std::size_t rule;
  Verdict verdict;
  bool overdue;
  std::string day; // YYYY-MM-DD, or ""
  std::string patient, sender, recipient;
  std::vector<std::string> values; // plain, in the rule's variable order
  std::string clauses;
  std::string questions;  // the open residual's shape over question ids
  std::string decided_by; // the answers that settled it
  std::vector<std::string> decided; // their question ids
  std::string reason; // a violation's reason in words
};

class Summary {
public:
  // At most this many instances are kept for the page; the rest are counted.
  static constexpr std::size_t kPageRows = 20000;

  // `page`: whether the rows for the page are kept, or only counted.
  explicit Summary(const Layout& layout, std::vector<Roles> roles = {}, bool page = true)
      : layout_(layout), roles_(std::move(roles)), page_(page), per_rule_(layout.rules().size()) {
    roles_.resize(layout.rules().size());
  }

  void add(const Record& record);

  std::size_t instances() const { return instances_; }
  std::size_t count(Verdict verdict) const { return by_verdict_[static_cast<int>(verdict)]; }
  // Violations that are awaited disclosures past their deadline.
  std::size_t overdue() const { return overdue_; }
  // Instances with a time that may have been written in a daylight-saving
  // gap.
  std::size_t skipped_times() const { return skipped_times_; }
  const std::vector<std::size_t>& per_rule() const { return per_rule_; }
  // Clauses by violations, then open instances, then name.
  std::vector<std::pair<std::string, ClauseCounts>> ranked_clauses() const;
  const std::map<std::string, DayCounts>& days() const { return days_; }
  // The instances for the page, in position order, and how many there were.
  const std::vector<PageRow>& rows() const { return rows_; }
  std::size_t listed_total() const { return listed_total_; }
  // Instances settled by a person's answers, and per question id how many
  // instances its answer settled.
  std::size_t decided() const { return decided_; }
  const std::map<std::string, std::size_t>& settled_by() const { return settled_by_; }
  const Layout& layout() const { return layout_; }
  // The first and last day of any instance, whatever its verdict.
  const std::string& first_day() const { return first_day_; }
  const std::string& last_day() const { return last_day_; }

private:
  const Layout& layout_;
  std::vector<Roles> roles_;
  bool page_;
  std::size_t instances_ = 0;
  std::array<std::size_t, 3> by_verdict_{};
  std::size_t overdue_ = 0;
  std::size_t skipped_times_ = 0;
  std::vector<std::size_t> per_rule_;
  std::map<std::string, ClauseCounts> clauses_;
  std::map<std::string, DayCounts> days_;
  std::vector<PageRow> rows_;
  std::size_t listed_total_ = 0;
  std::string first_day_, last_day_;
  std::size_t decided_ = 0;
  std::map<std::string, std::size_t> settled_by_;
};

// The roles of every rule's values, from the table columns that its guard's
// atoms read: "subject" or "individual" is the patient, "sender" and
// "recipient" themselves.  An evaluated predicate p reads the table of p
// without "-eval", or of p_db.
std::vector<Roles> page_roles(const Layout& layout, const Signature& signature);

// The few lines on standard output: instances audited, the counts by
// verdict, warnings and the clauses most at stake with their citations and
// titles; with decisions, how many instances they settled and which
// decisions are stale.
void print_summary(std::ostream& out, const Summary& summary, const Catalogue& catalogue,
                   const std::string& report_path, const std::vector<std::string>& files,
                   std::size_t questions = 0, const std::vector<std::string>& stale = {});

} // namespace hipaa::report

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
};

struct DayCounts {
  std::size_t violations = 0;
  std::size_t open = 0;
};

struct Violation {
  std::size_t position;
  std::string rule;
  std::string values;
  std::string clauses;
  std::string reason;
};

class Summary {
public:
  explicit Summary(const Layout& layout) : layout_(layout), per_rule_(layout.rules().size()) {}

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
  const std::vector<Violation>& violations() const { return violations_; }
  const Layout& layout() const { return layout_; }

private:
  const Layout& layout_;
  std::size_t instances_ = 0;
  std::array<std::size_t, 3> by_verdict_{};
  std::size_t overdue_ = 0;
  std::size_t skipped_times_ = 0;
  std::vector<std::size_t> per_rule_;
  std::map<std::string, ClauseCounts> clauses_;
  std::map<std::string, DayCounts> days_;
  std::vector<Violation> violations_;
};

// The few lines on standard output: instances audited, the counts by
// verdict and the clauses most at stake.
void print_summary(std::ostream& out, const Summary& summary, const Catalogue& catalogue,
                   const std::string& report_path, const std::vector<std::string>& files);

} // namespace hipaa::report

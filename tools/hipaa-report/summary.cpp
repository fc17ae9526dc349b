#include "summary.hpp"

#include <algorithm>
#include <iomanip>
#include <ostream>

namespace hipaa::report {

namespace {

constexpr std::size_t kTopClauses = 5;

} // namespace

void Summary::add(const Record& record) {
  ++instances_;
  ++by_verdict_[static_cast<int>(record.verdict)];
  ++per_rule_[record.rule];
  if (record.overdue) ++overdue_;
  if (!record.warnings.empty()) ++skipped_times_;
  if (record.verdict == Verdict::Compliant) return;
  bool violation = record.verdict == Verdict::Violation;
  // A violation is charged to the clauses it breaks and the permissions
  // that came close; "no clause permits the disclosure" stands in words.
  std::vector<std::string> at_stake = violation ? record.broken : record.clauses;
  if (violation) {
    at_stake.insert(at_stake.end(), record.closest_permissions.begin(),
                    record.closest_permissions.end());
  }
  for (const std::string& clause : at_stake) {
    ClauseCounts& counts = clauses_[clause];
    ++(violation ? counts.violations : counts.open);
  }
  if (!record.day.empty()) {
    DayCounts& day = days_[record.day];
    ++(violation ? day.violations : day.open);
  }
  if (violation) {
    std::string clauses;
    for (const std::string& clause : record.broken) clauses += (clauses.empty() ? "" : "; ") + clause;
    if (!record.closest_permissions.empty()) {
      clauses += " (closest:";
      for (const std::string& clause : record.closest_permissions) clauses += " " + clause;
      clauses += ")";
    }
    if (record.overdue) clauses += " (overdue)";
    violations_.push_back(Violation{record.position, layout_.rules()[record.rule].name,
                                    record.values, std::move(clauses), record.reason});
  }
}

std::vector<std::pair<std::string, ClauseCounts>> Summary::ranked_clauses() const {
  std::vector<std::pair<std::string, ClauseCounts>> ranked(clauses_.begin(), clauses_.end());
  std::stable_sort(ranked.begin(), ranked.end(), [](const auto& a, const auto& b) {
    if (a.second.violations != b.second.violations)
      return a.second.violations > b.second.violations;
    return a.second.open > b.second.open;
  });
  return ranked;
}

void print_summary(std::ostream& out, const Summary& summary, const Catalogue& catalogue,
                   const std::string& report_path, const std::vector<std::string>& files) {
  const std::vector<Rule>& rules = summary.layout().rules();
  out << "Audited " << summary.instances() << " instances of " << rules.size()
      << (rules.size() == 1 ? " rule" : " rules") << ":";
  for (std::size_t i = 0; i < rules.size(); ++i) {
    out << (i == 0 ? " " : ", ") << rules[i].name << " " << summary.per_rule()[i];
  }
  out << "\n";
  out << "  violation  " << std::setw(9) << summary.count(Verdict::Violation);
  if (summary.overdue() > 0) out << "  (" << summary.overdue() << " overdue)";
  out << "\n";
  out << "  open       " << std::setw(9) << summary.count(Verdict::Open) << "\n";
  out << "  compliant  " << std::setw(9) << summary.count(Verdict::Compliant) << "\n";
  if (summary.skipped_times() > 0) {
    out << "Warning: " << summary.skipped_times()
        << (summary.skipped_times() == 1 ? " instance holds" : " instances hold")
        << " a time just after the local clocks moved forward, which may have been written in "
           "the skipped hour (see the warnings column)\n";
  }
  std::vector<std::pair<std::string, ClauseCounts>> ranked = summary.ranked_clauses();
  if (!ranked.empty()) out << "Clauses most at stake (violations, open):\n";
  for (std::size_t i = 0; i < ranked.size() && i < kTopClauses; ++i) {
    out << "  " << std::left << std::setw(24) << ranked[i].first << std::right << std::setw(9)
        << ranked[i].second.violations << std::setw(9) << ranked[i].second.open;
    if (const ClauseEntry* entry = catalogue.clause(ranked[i].first)) {
      out << "  " << entry->citation << (entry->citation.empty() ? "" : " ") << entry->title;
    }
    out << "\n";
  }
  if (files.empty()) return;
  out << "Report:";
  for (const std::string& file : files) out << " " << report_path << "/" << file;
  out << "\n";
}

} // namespace hipaa::report

#include "summary.hpp"

#include "../common/count_noun.hpp"

#include "reduce/signature_index.hpp"

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
  if (!record.day.empty()) {
    if (first_day_.empty() || record.day < first_day_) first_day_ = record.day;
    if (record.day > last_day_) last_day_ = record.day;
  }
  bool decided = !record.decided_by.empty();
  if (decided) {
    ++decided_;
    for (const std::string& id : record.decided) ++settled_by_[id];
  }
  if (record.verdict == Verdict::Compliant && !decided) return;
  bool violation = record.verdict == Verdict::Violation;
  // A violation is charged to the clauses it breaks and the permissions
  // that came close; "no clause permits the disclosure" stands in words.
  std::vector<std::string> at_stake = violation ? record.broken : record.clauses;
  if (violation) {
    at_stake.insert(at_stake.end(), record.closest_permissions.begin(),
                    record.closest_permissions.end());
  }
  std::string clauses;
  for (const std::string& clause : at_stake) {
    ClauseCounts& counts = clauses_[clause];
    if (decided) ++counts.decided;
    if (record.verdict != Verdict::Compliant) ++(violation ? counts.violations : counts.open);
    clauses += (clauses.empty() ? "" : " ") + clause;
  }
  if (!record.day.empty() && record.verdict != Verdict::Compliant) {
    DayCounts& day = days_[record.day];
    ++(violation ? day.violations : day.open);
  }
  if (violation) {
    clauses.clear();
    for (const std::string& clause : record.broken) clauses += (clauses.empty() ? "" : "; ") + clause;
    if (!record.closest_permissions.empty()) {
      clauses += " (closest:";
      for (const std::string& clause : record.closest_permissions) clauses += " " + clause;
      clauses += ")";
    }
    if (record.overdue) clauses += " (overdue)";
  }
  ++listed_total_;
  if (!page_ || rows_.size() >= kPageRows) return;
  const Roles& roles = roles_[record.rule];
  auto value = [&](int index) {
    return index >= 0 && static_cast<std::size_t>(index) < record.plain_values.size()
               ? record.plain_values[static_cast<std::size_t>(index)]
               : std::string();
  };
  rows_.push_back(PageRow{record.position, record.rule, record.verdict, record.overdue, record.day,
                          value(roles.patient), value(roles.sender), value(roles.recipient),
                          record.plain_values, std::move(clauses), record.question_shape,
                          record.decided_by, record.decided, record.reason});
}

namespace {

// The log table an atom of `pred` reads, if any.
const DbInfo* table_of(const SignatureIndex& decls, const std::string& pred) {
  for (const std::string& name : {pred, pred.size() > 5 && pred.ends_with("-eval")
                                            ? pred.substr(0, pred.size() - 5)
                                            : std::string(),
                                  pred + "_db"}) {
    if (name.empty()) continue;
    const PredDecl* decl = decls.find_pred(name);
    if (decl != nullptr && decl->dbinfo) return &*decl->dbinfo;
  }
  return nullptr;
}

void find_roles(const Guard& guard, const SignatureIndex& decls, const BoundList& bound,
                Roles& roles) {
  if (const auto* atom = guard.as<GAtom>()) {
    const DbInfo* table = table_of(decls, atom->pred);
    if (table == nullptr) return;
    for (std::size_t i = 0; i < atom->args.size() && i < table->columns.size(); ++i) {
      const auto* var = atom->args[i]->as<VarTerm>();
      if (var == nullptr) continue;
      auto at = std::find_if(bound.begin(), bound.end(),
                             [&](const BoundVar& b) { return b.var == var->name; });
      if (at == bound.end()) continue;
      int index = static_cast<int>(at - bound.begin());
      const std::string& column = table->columns[i];
      int* slot = column == "subject" || column == "individual" ? &roles.patient
                  : column == "sender"                          ? &roles.sender
                  : column == "recipient"                       ? &roles.recipient
                                                                : nullptr;
      if (slot != nullptr && *slot < 0) *slot = index;
    }
    return;
  }
  auto each = [&](const GuardList& members) {
    for (const GuardPtr& member : members) find_roles(*member, decls, bound, roles);
  };
  if (const auto* conj = guard.as<GAnd>()) each(conj->conjuncts);
  if (const auto* disj = guard.as<GOr>()) each(disj->disjuncts);
  if (const auto* ex = guard.as<GEx>()) find_roles(*ex->guard, decls, bound, roles);
}

} // namespace

std::vector<Roles> page_roles(const Layout& layout, const Signature& signature) {
  SignatureIndex decls(signature);
  std::vector<Roles> roles;
  for (const Rule& rule : layout.rules()) {
    Roles found;
    if (rule.all != nullptr) find_roles(*rule.all->guard, decls, rule.all->bound, found);
    roles.push_back(found);
  }
  return roles;
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
                   const std::string& report_path, const std::vector<std::string>& files,
                   std::size_t questions, const std::vector<std::string>& stale) {
  const std::vector<Rule>& rules = summary.layout().rules();
  out << "Audited " << tools::count_noun(summary.instances(), "instance", "instances") << " of "
      << tools::count_noun(rules.size(), "rule", "rules") << ":";
  for (std::size_t i = 0; i < rules.size(); ++i) {
    out << (i == 0 ? " " : ", ") << rules[i].name << " " << summary.per_rule()[i];
  }
  out << "\n";
  out << "  violation  " << std::setw(9) << summary.count(Verdict::Violation);
  if (summary.overdue() > 0) out << "  (" << summary.overdue() << " overdue)";
  out << "\n";
  out << "  open       " << std::setw(9) << summary.count(Verdict::Open) << "\n";
  out << "  compliant  " << std::setw(9) << summary.count(Verdict::Compliant) << "\n";
  if (summary.decided() > 0) {
    out << "Settled by decisions: "
        << tools::count_noun(summary.decided(), "instance", "instances") << "\n";
  }
  if (questions > 0) {
    bool listed = std::find(files.begin(), files.end(), "worklist.csv") != files.end();
    out << "Questions for a person: " << questions << (listed ? " (worklist.csv)" : "") << "\n";
  }
  if (!stale.empty()) {
    out << "Stale decisions (their questions no longer arise): " << stale.size() << ":";
    for (std::size_t i = 0; i < stale.size() && i < kTopClauses; ++i) out << " " << stale[i];
    if (stale.size() > kTopClauses) out << " ...";
    out << "\n";
  }
  if (summary.skipped_times() > 0) {
    out << "Warning: " << summary.skipped_times()
        << (summary.skipped_times() == 1 ? " instance holds" : " instances hold")
        << " a time just after the local clocks moved forward, which may have been written in "
           "the skipped hour (see the warnings column)\n";
  }
  std::vector<std::pair<std::string, ClauseCounts>> ranked = summary.ranked_clauses();
  if (!ranked.empty()) out << "Clauses most at stake (violations, open):\n";
  // The names' column as wide as the widest name shown, so that the counts
  // stand in line under their headings.
  std::size_t width = 24;
  for (std::size_t i = 0; i < ranked.size() && i < kTopClauses; ++i) {
    width = std::max(width, ranked[i].first.size());
  }
  for (std::size_t i = 0; i < ranked.size() && i < kTopClauses; ++i) {
    out << "  " << std::left << std::setw(static_cast<int>(width)) << ranked[i].first
        << std::right << std::setw(9)
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

// The relations answered from the audit database: attributes, roles,
// purposes (with their generalisation) and recorded disclosures.
#include "scenario/hipaa_scenario.hpp"

#include "base/failure.hpp"
#include "logic/printer.hpp"

#include <ostream>
#include <span>
#include <string_view>
#include <utility>

namespace hipaa {

namespace {

enum class General { None, Treatment, HealthcareOp, Payment, LawEnforcement };

General generalise(std::string_view purpose) {
  if (purpose == "treatment") return General::Treatment;
  if (purpose == "healthcare-op" || purpose == "healthcare-op-para-1-2") {
    return General::HealthcareOp;
  }
  if (purpose == "payment") return General::Payment;
  if (purpose == "law-enforcement-relevant-id-or-location" ||
      purpose == "report-possible-crime-on-premises" ||
      purpose == "alert-of-crime-commission-location-victims-perpetrator" ||
      purpose == "suspicious-death-notification") {
    return General::LawEnforcement;
  }
  return General::None;
}

// True when `term` is the constant (an App without arguments) `name`.
bool is_constant(const Term& term, std::string_view name) {
  const auto* app = term.as<AppTerm>();
  return app != nullptr && app->args.empty() && app->name == name;
}

} // namespace

const TermPtr* general_purpose(const Term& purpose, const ScenarioConstants& constants) {
  const auto* app = purpose.as<AppTerm>();
  if (app == nullptr || !app->args.empty()) return nullptr;
  switch (generalise(app->name)) {
  case General::Treatment:
    return &constants.treatment;
  case General::HealthcareOp:
    return &constants.healthcare_op;
  case General::Payment:
    return &constants.payment;
  case General::LawEnforcement:
    return &constants.law_enforcement;
  case General::None:
    break;
  }
  return nullptr;
}

void require_row_width(const TermList& values, const TableShape& shape, std::ostream& out) {
  if (values.size() == shape.width) return;
  out << shape.report_prefix << "(" << shape.report_name << " " << print_term_list(values)
      << ")\n";
  out.flush();
  raise("Impossible");
}

HipaaScenario::Call::Call(HipaaScenario& scenario)
    : scenario_(scenario), lists_([&]() -> CallLists& {
        auto& levels = scenario.call_lists_;
        if (levels.size() == scenario.call_depth_) levels.push_back(std::make_unique<CallLists>());
        return *levels[scenario.call_depth_++];
      }()) {}

HipaaScenario::Call::~Call() {
  // Cleared, not freed: the terms go, the room stays for the next call.
  lists_.query.clear();
  lists_.solution.clear();
  --scenario_.call_depth_;
}

void HipaaScenario::query_relation(const TableShape& shape, const TermList& query_args,
                                   Decoder decode, Continuation k) {
  RowDeal* deal = std::exchange(dealing_, nullptr);
  if (deal != nullptr) {
    auto decode_row = [&](const TermList& row) {
      require_row_width(row, shape, out_);
      return decode(row);
    };
    if (tables_.query_db_atom(shape.table_pred, query_args, decode_row, deal)) {
      k(Candidate::none());
    }
    return;
  }
  if (RowCache::Rows rows = answers_.find(shape, query_args)) {
    // As the query hands them on: a consumer that has settled is handed
    // nothing more, one that stops ends the enumeration without the signal.
    for (const TermList& row : *rows) {
      Flow flow = decode(row);
      if (flow == Flow::Stop) return;
      if (flow == Flow::Settled) break;
    }
    k(Candidate::none());
    return;
  }
  // The rows handed on, while every one of them was read and handed on.
  std::vector<TermList> kept;
  bool whole = true;
  const std::size_t written = tables_.log_diagnostics();
  auto decode_row = [&](const TermList& row) {
    require_row_width(row, shape, out_);
    Flow flow = decode(row);
    if (flow != Flow::Continue || kept.size() == RowCache::kMaxRows) whole = false;
    if (whole) kept.push_back(row);
    return flow;
  };
  if (!tables_.query_db_atom(shape.table_pred, query_args, decode_row)) return;
  if (whole && tables_.log_diagnostics() == written) answers_.add(shape, query_args, std::move(kept));
  k(Candidate::none());
}

// Names as views: a name of another length is told apart without comparing
// a character.
std::span<const HipaaScenario::Relation> HipaaScenario::relations() {
  static constexpr Relation kRelations[] = {
      {"hasattrof", 3, &HipaaScenario::hasattrof},
      {"attr_in", 2, &HipaaScenario::attr_in},
      {"disclose-eval", 4, &HipaaScenario::disclose_eval},
      {"purp_in", 2, &HipaaScenario::purp_in},
      {"inrole", 3, &HipaaScenario::inrole},
  };
  return kRelations;
}

// Table relations by name.  False when `pred` is none of them.
bool HipaaScenario::dispatch_relation(const std::string& pred, const TermList& args,
                                      Continuation k) {
  for (const Relation& relation : relations()) {
    if (pred != relation.name) continue;
    if (args.size() != relation.arity) atom_not_understood(pred, args);
    (this->*relation.answer)(args, k);
    return true;
  }
  return false;
}

bool HipaaScenario::answers_by_rows(const std::string& pred, std::size_t arity) const {
  for (const Relation& relation : relations()) {
    if (pred == relation.name) return arity == relation.arity;
  }
  return false;
}

// attr_in(a1, a2) from attr_in_db rows (c1, c2, c3): solution (c1, c2).
void HipaaScenario::attr_in(const TermList& args, Continuation k) {
  Call call(*this);
  TermList& solution = call.solution();
  solution.resize(2);
  auto decode = [&](const TermList& row) {
    solution[0] = row[0];
    solution[1] = row[1];
    return k(Candidate::solution(solution));
  };
  call.query() = {args[0], args[1], constants_.wildcard};
  query_relation(kAttrIn, call.query(), decode, k);
}

// hasattrof(a1, a2, a3) from hasattrof_db rows (c1, c2, c3, c4), constrained
// by a1 only: solution (c1, c2, c3).
void HipaaScenario::hasattrof(const TermList& args, Continuation k) {
  Call call(*this);
  TermList& solution = call.solution();
  auto decode = [&](const TermList& row) {
    solution.assign(row.begin(), row.begin() + 3);
    return k(Candidate::solution(solution));
  };
  const TermPtr& any = constants_.wildcard;
  call.query() = {args[0], any, any, any};
  query_relation(kHasAttrOf, call.query(), decode, k);
}

// disclose-eval(a1..a4) from disclose rows (c1..c4): the row itself.
void HipaaScenario::disclose_eval(const TermList& args, Continuation k) {
  auto decode = [&](const TermList& row) { return k(Candidate::solution(row)); };
  query_relation(kDisclose, args, decode, k);
}

// purp_in(a1, a2) from purp_in_db rows (c1, c2, c3): solution (a1, c2), then
// (a1, general purpose) when c2 is a specific purpose with a general one.
void HipaaScenario::purp_in(const TermList& args, Continuation k) {
  Call call(*this);
  TermList& solution = call.solution();
  solution = {args[0], nullptr};
  auto decode = [&](const TermList& row) {
    solution[1] = row[1];
    if (k(Candidate::solution(solution)) == Flow::Stop) return Flow::Stop;
    const TermPtr* general = general_purpose(*row[1], constants_);
    if (general == nullptr) return Flow::Continue;
    solution[1] = *general;
    return k(Candidate::solution(solution));
  };
  const TermPtr& any = constants_.wildcard;
  call.query() = {args[0], any, any};
  query_relation(kPurpIn, call.query(), decode, k);
}

// inrole(p, r, t) from inrole_db rows (c1, c2, c3) constrained by p and t:
// solution (p, c2, t); a health-care-provider also holds the general role.
void HipaaScenario::inrole(const TermList& args, Continuation k) {
  if (!args[2]->is<DateTerm>()) atom_not_understood("inrole", args);
  Call call(*this);
  TermList& solution = call.solution();
  solution = {args[0], nullptr, args[2]};
  auto decode = [&](const TermList& row) {
    solution[1] = row[1];
    if (k(Candidate::solution(solution)) == Flow::Stop) return Flow::Stop;
    if (!is_constant(*row[1], "health-care-provider")) return Flow::Continue;
    solution[1] = constants_.health_care_provider;
    return k(Candidate::solution(solution));
  };
  call.query() = {args[0], constants_.wildcard, args[2]};
  query_relation(kInRole, call.query(), decode, k);
}

} // namespace hipaa

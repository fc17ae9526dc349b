#include "role_clauses.hpp"

namespace hipaa::tools {

const char* party_name(Party party) {
  switch (party) {
  case Party::Sender: return "sender";
  case Party::Recipient: return "recipient";
  case Party::Individual: return "individual";
  }
  return "";
}

namespace {

// The general purpose that the scenario lets a specific one answer for.
const char* general_purpose(const std::string& purpose) {
  if (purpose == "treatment") return "Treatment";
  if (purpose == "payment") return "Payment";
  if (purpose == "healthcare-op" || purpose == "healthcare-op-para-1-2") return "Healthcare-op";
  if (purpose == "law-enforcement-relevant-id-or-location" ||
      purpose == "report-possible-crime-on-premises" ||
      purpose == "alert-of-crime-commission-location-victims-perpetrator" ||
      purpose == "suspicious-death-notification") {
    return "law-enforcement";
  }
  return nullptr;
}

const std::string* variable(const TermList& args, std::size_t at) {
  if (args.size() <= at) return nullptr;
  const auto* var = std::get_if<VarTerm>(&args[at]->node);
  return var ? &var->name : nullptr;
}

const std::string* constant(const TermList& args, std::size_t at) {
  if (args.size() <= at) return nullptr;
  const auto* app = std::get_if<AppTerm>(&args[at]->node);
  return app && app->args.empty() ? &app->name : nullptr;
}

// Nested deeper than this, a policy is not searched further: its clauses
// are then not all known, which costs only detail in the findings.
constexpr int kMaxDepth = 2000;

} // namespace

struct RoleClauses::Walk {
  RoleClauses& self;
  std::string sender, recipient, message, individual;

  // The parties whose role `pred(args)` tests; a purp_in atom of the
  // message is noted as a purpose the clause tests.
  std::uint8_t atom(const std::string& pred, const TermList& args, std::size_t clause) {
    if (clause == SIZE_MAX) return 0;
    Clause& into = self.clauses_[clause];
    const std::string* first = variable(args, 0);
    std::uint8_t parties = 0;
    if (pred == "inrole" && first) {
      if (*first == sender) parties |= static_cast<std::uint8_t>(Party::Sender);
      if (*first == recipient) parties |= static_cast<std::uint8_t>(Party::Recipient);
      if (*first == individual) parties |= static_cast<std::uint8_t>(Party::Individual);
    }
    if (pred == "purp_in" && first && *first == message) {
      if (const std::string* purpose = constant(args, 1)) into.purposes.insert(*purpose);
    }
    return parties;
  }

  // The parties whose role `g` cannot hold without.  The guard of a
  // universal quantifier is the condition of an implication: a role missing
  // there makes the implication hold, so it asks for no role.
  std::uint8_t guard(const Guard& g, std::size_t clause, bool asks, int depth) {
    if (depth > kMaxDepth) return 0;
    std::uint8_t parties = 0;
    if (const auto* a = g.as<GAtom>()) parties = atom(a->pred, a->args, clause);
    if (const auto* a = g.as<GAnd>()) {
      for (const auto& c : a->conjuncts) parties |= guard(*c, clause, asks, depth + 1);
    }
    if (const auto* o = g.as<GOr>()) {
      parties = 0xff;
      for (const auto& c : o->disjuncts) parties &= guard(*c, clause, asks, depth + 1);
      if (o->disjuncts.empty()) parties = 0;
    }
    if (const auto* e = g.as<GEx>()) parties = guard(*e->guard, clause, asks, depth + 1);
    return asks ? parties : 0;
  }

  // Walks `f` inside the named clause `clause` (SIZE_MAX: none yet) and
  // returns the parties whose role `f` cannot hold without: all of a
  // conjunction's, those every disjunct asks for.  A named subformula asks
  // for its own clause and nothing for the one around it.
  std::uint8_t formula(const Formula& f, std::size_t clause, bool disjunct, int depth) {
    if (depth > kMaxDepth) return 0;
    std::size_t inner = clause;
    if (f.name) {
      inner = self.clauses_.size();
      self.clauses_.push_back({*f.name, {}, 0, disjunct, {}});
      if (clause == SIZE_MAX) {
        self.roots_.push_back(inner);
      } else {
        self.clauses_[clause].children.push_back(inner);
      }
    }
    std::uint8_t parties = 0;
    if (const auto* a = f.as<Atom>()) parties = atom(a->pred, a->args, inner);
    if (const auto* a = f.as<And>()) {
      for (const auto& c : a->conjuncts) parties |= formula(*c, inner, false, depth + 1);
    }
    if (const auto* o = f.as<Or>()) {
      parties = o->disjuncts.empty() ? 0 : 0xff;
      for (const auto& c : o->disjuncts) parties &= formula(*c, inner, true, depth + 1);
    }
    if (const auto* q = f.as<Quantified>()) {
      const bool some = q->kind == Quantifier::Ex;
      parties = guard(*q->guard, inner, some, depth + 1);
      const std::uint8_t body = formula(*q->body, inner, false, depth + 1);
      if (some) parties |= body;
      else parties = 0;
    }
    if (!f.name) return parties;
    if (inner != SIZE_MAX) self.clauses_[inner].parties = parties;
    return 0;
  }
};

namespace {

// The guard atom `pred` of a quantifier's guard (a conjunction of atoms or
// one atom), or null.
const GAtom* guard_atom(const Guard& guard, const char* pred) {
  if (const auto* a = guard.as<GAtom>()) return a->pred == pred ? a : nullptr;
  if (const auto* a = guard.as<GAnd>()) {
    for (const auto& c : a->conjuncts) {
      if (const GAtom* found = guard_atom(*c, pred)) return found;
    }
  }
  return nullptr;
}

// The first universal quantifier over disclosures, searched through the
// conjunctions and names above it.
const Quantified* disclosure_quantifier(const Formula& f) {
  if (const auto* q = f.as<Quantified>()) {
    return q->kind == Quantifier::All && guard_atom(*q->guard, "disclose-eval") ? q : nullptr;
  }
  if (const auto* a = f.as<And>()) {
    for (const auto& c : a->conjuncts) {
      if (const Quantified* found = disclosure_quantifier(*c)) return found;
    }
  }
  return nullptr;
}

} // namespace

RoleClauses::RoleClauses(const Formula& policy) {
  const Quantified* top = disclosure_quantifier(policy);
  if (top == nullptr) return;
  const GAtom* disclosure = guard_atom(*top->guard, "disclose-eval");
  Walk walk{*this, {}, {}, {}, {}};
  if (const std::string* v = variable(disclosure->args, 0)) walk.sender = *v;
  if (const std::string* v = variable(disclosure->args, 1)) walk.recipient = *v;
  if (const std::string* v = variable(disclosure->args, 2)) walk.message = *v;
  if (const GAtom* attribute = guard_atom(*top->guard, "hasattrof")) {
    if (const std::string* v = variable(attribute->args, 1)) walk.individual = *v;
  }
  walk.formula(*top->body, SIZE_MAX, false, 0);
}

// Whether `index` or a clause inside it asks for `party`'s role.
bool RoleClauses::asks(std::size_t index, Party party) const {
  const Clause& clause = clauses_[index];
  if ((clause.parties & static_cast<std::uint8_t>(party)) != 0) return true;
  for (std::size_t child : clause.children) {
    if (asks(child, party)) return true;
  }
  return false;
}

// A clause asks for `party`'s role for a purpose when it tests that role
// itself and tests the purpose itself or, testing none, inside a clause
// that holds it: a clause that tests its own purposes holds for those
// alone.  Where one of a clause's alternatives tests the purpose itself and
// asks for no role of the party, the other alternatives' roles decide
// nothing: that one permits without them.
void RoleClauses::collect(std::size_t index, Party party, const std::set<std::string>& purposes,
                          bool purpose_above, std::vector<std::string>& names) const {
  const Clause& clause = clauses_[index];
  bool purpose = clause.purposes.empty() ? purpose_above : false;
  for (const std::string& name : clause.purposes) purpose |= purposes.count(name) != 0;
  if (purpose && (clause.parties & static_cast<std::uint8_t>(party)) != 0) {
    names.push_back(clause.name);
  }
  bool freed = false;
  for (std::size_t child : clause.children) {
    const Clause& alternative = clauses_[child];
    if (!alternative.alternative || asks(child, party)) continue;
    for (const std::string& name : alternative.purposes) freed |= purposes.count(name) != 0;
  }
  for (std::size_t child : clause.children) {
    if (freed && clauses_[child].alternative) continue;
    collect(child, party, purposes, purpose, names);
  }
}

std::vector<std::string> RoleClauses::depending(Party party,
                                                const std::vector<std::string>& purposes) const {
  std::set<std::string> wanted;
  std::string key;
  for (const std::string& purpose : purposes) {
    wanted.insert(purpose);
    if (const char* general = general_purpose(purpose)) wanted.insert(general);
  }
  for (const std::string& purpose : wanted) key += purpose + " ";
  auto memo = memo_.find({static_cast<std::uint8_t>(party), key});
  if (memo != memo_.end()) return memo->second;
  std::vector<std::string> names;
  for (std::size_t root : roots_) collect(root, party, wanted, false, names);
  memo_.emplace(std::make_pair(static_cast<std::uint8_t>(party), key), names);
  return names;
}

} // namespace hipaa::tools

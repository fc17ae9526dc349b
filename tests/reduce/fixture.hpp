// A small vocabulary in the style of the case study, and shorthands for
// building terms and formulas in tests.
#pragma once

#include "base/failure.hpp"
#include "logic/declarations.hpp"
#include "logic/formula.hpp"
#include "logic/printer.hpp"
#include "support/failure_name.hpp"

#include <functional>
#include <string>

namespace hipaa::testing {

inline PredDecl db_pred(std::vector<Sort> sorts, std::string table,
                        std::vector<std::string> columns) {
  PredDecl decl{PredClass::Db, {}, std::nullopt, DbInfo{std::move(table), std::move(columns)}};
  for (Sort& sort : sorts) decl.args.push_back({Mode::Output, std::move(sort)});
  return decl;
}

inline PredDecl plain_pred(PredClass cls, std::vector<Sort> sorts) {
  PredDecl decl{cls, {}, std::nullopt, std::nullopt};
  for (Sort& sort : sorts) decl.args.push_back({Mode::Input, std::move(sort)});
  return decl;
}

inline ConsDecl cons(ConsClass cls, std::vector<Sort> args, Sort result) {
  return ConsDecl{cls, std::move(args), std::move(result), std::nullopt};
}

inline Signature test_signature() {
  Sort prin = Sort::named("prin");
  Sort msg = Sort::named("msg");
  Sort attr = Sort::named("attr");
  Sort role = Sort::named("role");
  Sort purpose = Sort::named("purpose");
  Sort date = Sort::date();
  Sort text = Sort::string();
  Signature s;
  for (const char* sort : {"prin", "msg", "attr", "role", "purpose"}) s.push_back({SortDecl{}, sort});
  // Log tables of the policy.
  s.push_back({db_pred({prin, prin, text}, "send", {"sender", "receiver", "note"}), "send"});
  s.push_back({db_pred({text}, "tags", {"tag"}), "tagged"});
  s.push_back({db_pred({prin, date}, "visits", {"who", "day"}), "visited"});
  s.push_back({db_pred({prin}, "missing_table", {"who"}), "ghost"});
  s.push_back({plain_pred(PredClass::Subj, {prin}), "trusted"});
  // Declarations that the declaration check would refuse, for the engine's
  // own guards against internal errors.
  s.push_back({plain_pred(PredClass::Db, {prin}), "tableless"});
  s.push_back({db_pred({prin, prin}, "send", {"sender"}), "lopsided"});
  // The scenario's tables.
  s.push_back({db_pred({attr, attr, text}, "attr_in_db", {"subattr", "superattr", "note"}),
               "attr_in_db"});
  s.push_back({db_pred({msg, prin, attr, text}, "hasattrof_db",
                       {"info", "subject", "attr", "note"}),
               "hasattrof_db"});
  s.push_back({db_pred({prin, prin, msg, date}, "disclose", {"sender", "recipient", "info", "time"}),
               "disclose"});
  s.push_back({db_pred({prin, role, date}, "inrole_db", {"person", "role", "time"}), "inrole_db"});
  s.push_back({db_pred({msg, purpose, text}, "purp_in_db", {"info", "purpose", "note"}),
               "purp_in_db"});
  // Evaluated predicates.
  s.push_back({plain_pred(PredClass::Eval, {prin, prin, msg, date}), "disclose-eval"});
  s.push_back({plain_pred(PredClass::Eval, {date, date}), "lessthan"});
  s.push_back({plain_pred(PredClass::Eval, {prin, prin}), "eq_prin"});
  s.push_back({plain_pred(PredClass::Eval, {prin, role, date}), "inrole"});
  s.push_back({plain_pred(PredClass::Eval, {msg, purpose}), "purp_in"});
  s.push_back({plain_pred(PredClass::Eval, {attr, attr}), "attr_in"});
  s.push_back({plain_pred(PredClass::Eval, {msg, prin, attr}), "hasattrof"});
  // Constructors.
  s.push_back({cons(ConsClass::Eval, {date, Sort::integer()}, date), "plus"});
  s.push_back({cons(ConsClass::Eval, {}, Sort::integer()), "prompt"});
  for (const char* name : {"alice", "bob", "carol"}) s.push_back({cons(ConsClass::Sym, {}, prin), name});
  s.push_back({cons(ConsClass::Sym, {prin}, prin), "boss"});
  for (const char* name : {"m1", "m2"}) s.push_back({cons(ConsClass::Sym, {}, msg), name});
  for (const char* name : {"phi", "name", "psychotherapy"}) s.push_back({cons(ConsClass::Sym, {}, attr), name});
  for (const char* name : {"health-care-provider", "Health-care-provider", "nurse"}) {
    s.push_back({cons(ConsClass::Sym, {}, role), name});
  }
  for (const char* name : {"treatment", "Treatment", "healthcare-op-para-1-2", "Healthcare-op",
                           "marketing", "suspicious-death-notification", "law-enforcement"}) {
    s.push_back({cons(ConsClass::Sym, {}, purpose), name});
  }
  return s;
}

inline TermPtr app(std::string name, TermList args = {}) { return make_app(std::move(name), std::move(args)); }
inline TermPtr var(std::string name) { return make_var(std::move(name)); }
inline TermPtr str(std::string text) { return make_str(std::move(text)); }
inline TermPtr date(const std::string& literal) { return make_date(date_from_literal(literal)); }

inline BoundList bound(std::initializer_list<const char*> names) {
  BoundList list;
  for (const char* name : names) list.push_back({std::nullopt, name});
  return list;
}

inline std::string text(const FormulaPtr& formula) { return print_formula(*formula); }

} // namespace hipaa::testing

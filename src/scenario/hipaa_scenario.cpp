// Dispatch of the evaluated predicates, the predicates computed from their
// arguments alone, and the evaluated constructors.
#include "scenario/hipaa_scenario.hpp"

#include "base/failure.hpp"
#include "logic/printer.hpp"

#include <ostream>
#include <string_view>

namespace hipaa {

using namespace std::string_view_literals;

namespace {

// Whether "plus", applied to closed terms of its declared argument sorts,
// always meets a date and an integer value.  That holds when it is declared
// over date and int and no constructor yields a date or an int but the
// scenario's own evaluated ones, which yield values of those sorts: a
// symbol of such a sort would stay an application that "plus" refuses.
bool plus_is_total(const Signature& signature) {
  bool plus_seen = false;
  for (const DeclEntry& entry : signature) {
    const auto* cons = std::get_if<ConsDecl>(&entry.decl);
    bool evaluated = cons != nullptr && cons->cls != ConsClass::Sym;
    if (entry.name == "plus" && !plus_seen) {
      // The first declaration of the name is the one that counts.
      plus_seen = true;
      bool over_values = evaluated && cons->arg_sorts.size() == 2 &&
                         cons->arg_sorts[0] == Sort::date() &&
                         cons->arg_sorts[1] == Sort::integer() &&
                         cons->result.kind == Sort::Kind::Date;
      if (!over_values) return false;
      continue;
    }
    if (cons == nullptr) continue;
    Sort::Kind result = cons->result.kind;
    bool yields_int_value = evaluated && (entry.name == "prompt" || entry.name == "t_reasonable");
    if (result == Sort::Kind::Int && yields_int_value) continue;
    bool yields_date_value = evaluated && entry.name == "plus";
    if (result == Sort::Kind::Date && yields_date_value) continue;
    if (result == Sort::Kind::Date || result == Sort::Kind::Int || result == Sort::Kind::Any) {
      return false;
    }
  }
  return plus_seen;
}

} // namespace

HipaaScenario::HipaaScenario(const Signature& signature, db::Connection& connection,
                             std::ostream& out)
    : out_(out), plus_total_(plus_is_total(signature)),
      tables_(signature, connection, out, *this) {}

bool HipaaScenario::eval_term_total(const std::string& name) const {
  // "prompt" and "t_reasonable" do not look at their arguments.
  if (name == "prompt" || name == "t_reasonable") return true;
  return name == "plus" && plus_total_;
}

void HipaaScenario::atom_not_understood(const std::string& pred, const TermList& args) {
  out_ << "In HipaaScenario.resolve_eval_pred: Atom " << print_atom_text(pred, args)
       << " not understood\n";
  out_.flush();
  raise("BadInput");
}

void HipaaScenario::resolve_eval_pred(const std::string& pred, const TermList& args,
                                      Continuation k) {
  if (dispatch_relation(pred, args, k)) return;
  if (dispatch_computed(pred, args, k)) return;
  atom_not_understood(pred, args);
}

void HipaaScenario::resolve_dealt(const std::string& pred, const TermList& args, RowDeal& deal,
                                  Continuation k) {
  struct Dealing {
    RowDeal*& slot;
    ~Dealing() { slot = nullptr; }
  } dealing{dealing_};
  dealing_ = &deal;
  if (!dispatch_relation(pred, args, k)) atom_not_understood(pred, args);
}

namespace {

// One solution, then the closing no-solution signal unless k stopped.
void deliver_one(Continuation k, const TermList& values) {
  if (k(Candidate::solution(values)) == Flow::Stop) return;
  k(Candidate::none());
}

const DateValue* date_of(const TermPtr& term) {
  const auto* date = term->as<DateTerm>();
  return date == nullptr ? nullptr : &date->value;
}

bool all_dates(const TermList& args) {
  for (const TermPtr& arg : args) {
    if (date_of(arg) == nullptr) return false;
  }
  return true;
}

// eq_prin, eq_time, eq_msg: (a, b) -> (a, a); sub_attr: (a, b) -> (b, b).
// Matching against the atom's own arguments then decides it.
bool is_copying_pred(std::string_view pred) {
  return pred == "eq_prin"sv || pred == "eq_time"sv || pred == "eq_msg"sv || pred == "sub_attr"sv;
}

} // namespace

// Predicates decided from their arguments alone.  False when `pred` is
// none of them.
bool HipaaScenario::dispatch_computed(const std::string& pred, const TermList& args,
                                      Continuation k) {
  if (is_copying_pred(pred)) {
    if (args.size() != 2) atom_not_understood(pred, args);
    const TermPtr& copied = pred == "sub_attr"sv ? args[1] : args[0];
    deliver_one(k, TermList{copied, copied});
    return true;
  }
  if (pred == "lessthan"sv) {
    // d1 <= d2: a less-or-equal test despite its name.
    if (args.size() != 2 || !all_dates(args)) atom_not_understood(pred, args);
    if (*date_of(args[0]) <= *date_of(args[1])) {
      deliver_one(k, args);
    } else {
      k(Candidate::none());
    }
    return true;
  }
  if (pred == "time_in"sv) {
    // d1 < d2 <= d3
    if (args.size() != 3 || !all_dates(args)) atom_not_understood(pred, args);
    const DateValue& d1 = *date_of(args[0]);
    const DateValue& d2 = *date_of(args[1]);
    if (d1 < d2 && d2 <= *date_of(args[2])) {
      deliver_one(k, args);
    } else {
      k(Candidate::none());
    }
    return true;
  }
  return false;
}

TermPtr HipaaScenario::eval_term(const std::string& name, const TermList& args) {
  if (name == "prompt") return constants_.prompt_days;
  if (name == "t_reasonable") return constants_.reasonable_days;
  if (name == "plus" && args.size() == 2) {
    const DateValue* date = date_of(args[0]);
    const auto* days = args[1]->as<IntTerm>();
    if (date != nullptr && days != nullptr) return make_date(date_plus_days(*date, days->value));
  }
  out_ << "In HipaaScenario.eval_term: Term " << print_atom_text(name, args)
       << " not understood\n";
  out_.flush();
  raise("BadInput");
}

} // namespace hipaa

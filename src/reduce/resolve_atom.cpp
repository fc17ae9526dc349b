// Atom resolution: the solutions of one atom, from its table in the audit
// database or from the scenario, handed one at a time to a continuation.
#include "reduce/reduction_fn.hpp"

#include "base/failure.hpp"
#include "logic/printer.hpp"

#include <ostream>

namespace hipaa {

void ReductionFn::resolve_atom(const std::string& pred, const TermList& args, Continuation k) {
  const PredDecl* decl = decls_.find_pred(pred);
  if (decl == nullptr) {
    out_ << "In function ReductionFn.resolve_atom: Purported predicate " << pred
         << "is not a declared predicate\n";
    out_.flush();
    raise("Impossible");
  }
  resolve_declared(*decl, pred, args, k);
}

void ReductionFn::resolve_declared(const PredDecl& decl, const std::string& pred,
                                   const TermList& args, Continuation k) {
  switch (decl.cls) {
  case PredClass::Subj:
    // The reduction keeps subjective atoms and guards never hold one.
    out_ << "In function ReductionFn.resolve_atom: Encountered subjective atom "
         << print_atom_text(pred, args) << "\n";
    out_.flush();
    raise("Impossible");
  case PredClass::Db: {
    auto deliver = [&](const TermList& values) { return k(Candidate::solution(values)); };
    if (log_.query(db_declaration(&decl, pred), args, deliver)) k(Candidate::none());
    return;
  }
  case PredClass::Eval:
  case PredClass::Sql:
    scenario_.resolve_eval_pred(pred, args, k);
    return;
  }
}

void ReductionFn::resolve_dealt(const PredDecl& decl, const std::string& pred,
                                const TermList& args, RowDeal& deal, Continuation k) {
  if (decl.cls != PredClass::Db) {
    scenario_.resolve_dealt(pred, args, deal, k);
    return;
  }
  auto deliver = [&](const TermList& values) { return k(Candidate::solution(values)); };
  if (log_.query(db_declaration(&decl, pred), args, deliver, &deal)) k(Candidate::none());
}

// The declaration of a table-backed predicate: class DB, no infix name, and
// a table with its columns.
const PredDecl& ReductionFn::db_declaration(const PredDecl* decl, const std::string& pred) {
  if (decl == nullptr || decl->cls != PredClass::Db || decl->infix || !decl->dbinfo) {
    out_ << "Bad/unfound declaration for purported DB predicate: " << pred << "\n";
    out_.flush();
    raise("BadDeclaration");
  }
  return *decl;
}

bool ReductionFn::query_db_atom(const std::string& pred, const TermList& args,
                                RowValues on_row, RowDeal* deal) {
  return log_.query(db_declaration(decls_.find_pred(pred), pred), args, on_row, deal);
}

} // namespace hipaa

// Atom resolution: the solutions of one atom, from its table in the audit
// database or from the scenario, handed one at a time to a continuation.
#include "reduce/reduction_fn.hpp"

#include "check/sorts.hpp"
#include "db/query.hpp"
#include "base/failure.hpp"
#include "logic/printer.hpp"
#include "reduce/sql_text.hpp"
#include "reduce/term_match.hpp"
#include "syntax/policy_parser.hpp"

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
  switch (decl->cls) {
  case PredClass::Subj:
    // The reduction keeps subjective atoms and guards never hold one.
    out_ << "In function ReductionFn.resolve_atom: Encountered subjective atom "
         << print_atom_text(pred, args) << "\n";
    out_.flush();
    raise("Impossible");
  case PredClass::Db: {
    auto deliver = [&](const TermList& values) { return k(Candidate::solution(values)); };
    if (query_db_atom(pred, args, deliver)) k(Candidate::none());
    return;
  }
  case PredClass::Eval:
  case PredClass::Sql:
    scenario_.resolve_eval_pred(pred, args, k);
    return;
  }
}

// The declaration of a table-backed predicate: class DB, no infix name, and
// a table with its columns.
const PredDecl& ReductionFn::db_declaration(const std::string& pred) {
  const PredDecl* decl = decls_.find_pred(pred);
  if (decl == nullptr || decl->cls != PredClass::Db || decl->infix || !decl->dbinfo) {
    out_ << "Bad/unfound declaration for purported DB predicate: " << pred << "\n";
    out_.flush();
    raise("BadDeclaration");
  }
  return *decl;
}

const std::vector<Sort>& ReductionFn::argument_sorts(const PredDecl& decl) {
  auto [slot, inserted] = arg_sorts_.try_emplace(&decl);
  if (inserted) {
    slot->second.reserve(decl.args.size());
    for (const PredArg& arg : decl.args) slot->second.push_back(arg.sort);
  }
  return slot->second;
}

namespace {

// SELECT T.c1, .., T.cm FROM T WHERE one equality per closed argument.
QueryPlan db_query_plan(const TermList& args, const DbInfo& info, std::ostream& out) {
  QueryPlan plan;
  plan.tables.push_back(info.table);
  if (args.size() != info.columns.size()) {
    std::string columns;
    for (std::size_t i = 0; i < info.columns.size(); ++i) {
      if (i > 0) columns += ' ';
      columns += info.columns[i];
    }
    out << "Unexpected unequal lengths of args: " << print_term_list(args)
        << " and column names: " << columns << "\n";
    out.flush();
    raise("UnexpectedUnequalLengths");
  }
  for (std::size_t i = 0; i < args.size(); ++i) {
    plan.columns.push_back({info.table, info.columns[i]});
    if (!isClosed(*args[i])) continue;
    plan.constraints.push_back({args[i], ColumnRef{info.table, info.columns[i]}});
  }
  return plan;
}

} // namespace

// Every column text of a row back into a term.  An empty text is a missing
// value (NULL reads as ""): it is refused without parsing, since the repairing
// parser would otherwise invent a term for it that might even match.
void ReductionFn::parse_row(const db::Row& row, TermList& values) {
  values.clear();
  values.reserve(row.size());
  for (const std::string& text : row) {
    std::optional<TermPtr> value;
    if (!text.empty()) value = parse_term(text, out_);
    if (!value) {
      out_ << "Unparseable term: " << text << " obtained from database\n";
      out_.flush();
      raise("UnparseableTerm");
    }
    values.push_back(std::move(*value));
  }
}

bool ReductionFn::query_db_atom(const std::string& pred, const TermList& args,
                                RowValues on_row) {
  const PredDecl& decl = db_declaration(pred);
  const std::vector<Sort>& sorts = argument_sorts(decl);
  std::string sql = query_text(db_query_plan(args, *decl.dbinfo, out_));
  TermList values; // reused from row to row; continuations copy what they keep
  auto handle_row = [&](const db::Row& row) {
    parse_row(row, values);
    check_value_terms(values, sorts, signature_, out_);
    return on_row(values) == Flow::Continue;
  };
  return db::run_query(connection_, sql, out_, handle_row);
}

} // namespace hipaa

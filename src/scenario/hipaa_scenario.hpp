// The meaning of the HIPAA case study's evaluated vocabulary: equalities and
// date comparisons computed from their arguments, role, attribute, purpose
// and disclosure relations answered from the audit database, and the
// evaluated constructors.
#pragma once

#include "reduce/reduction_fn.hpp"
#include "reduce/scenario_interface.hpp"
#include "scenario/row_cache.hpp"

#include <cstddef>
#include <iosfwd>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace hipaa {

// Terms the scenario builds once and shares.
struct ScenarioConstants {
  TermPtr wildcard = make_var("_");
  TermPtr treatment = make_app("Treatment");
  TermPtr healthcare_op = make_app("Healthcare-op");
  TermPtr law_enforcement = make_app("law-enforcement");
  TermPtr payment = make_app("Payment");
  TermPtr health_care_provider = make_app("Health-care-provider");
  TermPtr prompt_days = make_int(5);
  TermPtr reasonable_days = make_int(30);
};

// The general purpose that a specific purpose constant falls under, or null.
const TermPtr* general_purpose(const Term& purpose, const ScenarioConstants& constants);

// How one relation table is queried and how its rows are reported when
// they do not have the width the decoding needs.
struct TableShape {
  const char* table_pred;    // the DB predicate that maps the table
  std::size_t width;         // values per row
  const char* report_prefix; // "Unexpected output from ... table: "
  const char* report_name;   // the name the report writes before the values
};

// The five relation tables.  A purpose row of the wrong width is reported
// under the name of the relation, not of its table.
inline constexpr TableShape kAttrIn{
    "attr_in_db", 3, "Unexpected output from attr_in_db table: ", "attr_in_db"};
inline constexpr TableShape kHasAttrOf{
    "hasattrof_db", 4, "Unexpected output from hasattrof_db table: ", "hasattrof_db"};
inline constexpr TableShape kDisclose{
    "disclose", 4, "Unexpected output from disclose table: ", "disclose"};
inline constexpr TableShape kInRole{
    "inrole_db", 3, "Unexpected output from inrole_db table: ", "inrole_db"};
inline constexpr TableShape kPurpIn{
    "purp_in_db", 3, "Unexpected output from subj_purp_in table: ", "purp_in"};

// Writes the wrong-width report for `values`, flushes, and raises Impossible
// unless the row has the shape's width.
void require_row_width(const TermList& values, const TableShape& shape, std::ostream& out);

class HipaaScenario : public Scenario {
public:
  // The scenario's table queries run through its own engine instance.
  HipaaScenario(const Signature& signature, db::Connection& connection, std::ostream& out);

  void resolve_eval_pred(const std::string& pred, const TermList& args, Continuation k) override;
  bool answers_by_rows(const std::string& pred, std::size_t arity) const override;
  void resolve_dealt(const std::string& pred, const TermList& args, RowDeal& deal,
                     Continuation k) override;
  TermPtr eval_term(const std::string& name, const TermList& args) override;
  bool eval_term_total(const std::string& name) const override;

  const ScenarioConstants& constants() const { return constants_; }

  // The scenario's own table queries answered from `index` where it holds
  // the table.
  void use_table_index(TableIndex* index) { tables_.use_table_index(index); }

private:
  using Decoder = FunctionRef<Flow(const TermList& row)>;

  [[noreturn]] void atom_not_understood(const std::string& pred, const TermList& args);
  bool dispatch_computed(const std::string& pred, const TermList& args, Continuation k);
  bool dispatch_relation(const std::string& pred, const TermList& args, Continuation k);

  // The relations answered from a table, by name: each decodes the rows of
  // one query of its table, in order.
  struct Relation {
    std::string_view name;
    std::size_t arity;
    void (HipaaScenario::*answer)(const TermList&, Continuation);
  };
  static std::span<const Relation> relations();

  // Runs the table query of `shape` with `query_args`, checks each row's
  // width and decodes it into solutions; closes with the no-solution signal.
  // A query answered whole before is answered from the rows kept.  The
  // query of a relation asked through resolve_dealt is dealt, and asked
  // afresh: its rows are neither answered from nor kept in the cache.
  void query_relation(const TableShape& shape, const TermList& query_args, Decoder decode,
                      Continuation k);
  void attr_in(const TermList& args, Continuation k);
  void hasattrof(const TermList& args, Continuation k);
  void disclose_eval(const TermList& args, Continuation k);
  void purp_in(const TermList& args, Continuation k);
  void inrole(const TermList& args, Continuation k);

  // The term lists of one relation call: the query's arguments and the
  // solution handed on.  Kept per level of nesting and reused from call to
  // call, so that a relation asked again costs no allocation.
  struct CallLists {
    TermList query;
    TermList solution;
  };
  class Call {
  public:
    explicit Call(HipaaScenario& scenario);
    Call(const Call&) = delete;
    Call& operator=(const Call&) = delete;
    ~Call();
    TermList& query() { return lists_.query; }
    TermList& solution() { return lists_.solution; }

  private:
    HipaaScenario& scenario_;
    CallLists& lists_;
  };

  std::ostream& out_;
  ScenarioConstants constants_;
  std::vector<std::unique_ptr<CallLists>> call_lists_;
  std::size_t call_depth_ = 0;
  // "plus" cannot fail when every closed term of its argument sorts is a
  // date or an integer value: decided once from the declarations.
  bool plus_total_;
  ReductionFn tables_;
  RowCache answers_;
  // The deal of the relation asked through resolve_dealt, until its query
  // takes it.
  RowDeal* dealing_ = nullptr;
};

} // namespace hipaa

// Sort checking of values parsed back from the audit log.  A value must be
// ground and built from literals and SYM constructors only: anything the
// scenario would have to evaluate cannot have been stored as a value.  This
// runs for every value read, so it allocates nothing unless it reports.

#include "check/diagnostic.hpp"
#include "check/sort_walk.hpp"
#include "check/sorts.hpp"

namespace hipaa {

namespace {

class ValueRules {
public:
  explicit ValueRules(std::ostream& out) : out_(out) {}

  void on_variable(const VarTerm& var, const Sort&) {
    report_failure(out_, "Variable " + var.name + " found in purported value\n", "VarInValue");
  }

  void on_constructor(const AppTerm& app, const ConsDecl& cons) {
    if (cons.cls == ConsClass::Sym) return;
    report_failure(out_, "Non-sym constructor" + app.name + " appears in value\n", "NonSymInValue");
  }

private:
  std::ostream& out_;
};

} // namespace

void check_value_terms(const TermList& values, const std::vector<Sort>& expected,
                       const Signature& signature, std::ostream& out) {
  ValueRules rules(out);
  walk_sorted_terms(std::span<const TermPtr>(values), std::span<const Sort>(expected), signature,
                    rules, out);
}

void check_value_term(const Term& value, const Sort& expected, const Signature& signature,
                      std::ostream& out) {
  ValueRules rules(out);
  walk_sorted_term(value, expected, signature, rules, out);
}

} // namespace hipaa

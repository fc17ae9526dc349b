#include "scenario/reduce_policy.hpp"

#include "reduce/reduction_fn.hpp"
#include "scenario/hipaa_scenario.hpp"

namespace hipaa {

FormulaPtr reduce_policy(const FormulaPtr& formula, const Signature& signature,
                         db::Connection& connection, std::ostream& out) {
  HipaaScenario scenario(signature, connection, out);
  ReductionFn engine(signature, connection, out, scenario);
  return engine.reduce_formula_internal(formula);
}

} // namespace hipaa

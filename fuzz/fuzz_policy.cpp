// The policy parser and the static checks.  Whatever the text, the parse
// ends with a formula (printed, it parses back without repairs to the same
// text) or with nothing, and the checks end with a result or a named
// failure.
#include "check/modes.hpp"
#include "check/scope.hpp"
#include "check/sorts.hpp"
#include "fuzz_support.hpp"
#include "logic/printer.hpp"
#include "syntax/policy_parser.hpp"

using namespace hipaa;

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
  const std::string text = fuzz::as_text(data, size);
  std::ostringstream diag;
  try {
    FormulaParse parse = parse_formula_text(text, diag);
    if (!parse.result) return 0;
    const FormulaPtr* formula = std::get_if<FormulaPtr>(&*parse.result);
    if (formula == nullptr) return 0;

    const std::string printed = print_formula(**formula);
    FormulaParse again = parse_formula_text(printed, diag);
    fuzz::require(again.repair_lines.empty(), "a printed formula parses without repairs", printed);
    const FormulaPtr* reparsed = again.result ? std::get_if<FormulaPtr>(&*again.result) : nullptr;
    fuzz::require(reparsed != nullptr, "a printed formula parses as a formula", printed);
    fuzz::require(print_formula(**reparsed) == printed, "a printed formula prints the same again",
                  printed);

    const Signature& signature = fuzz::case_study_signature();
    FormulaPtr scoped = scope_formula(*formula, {}, diag);
    FormulaPtr sorted = sort_check_formula(scoped, {}, signature, diag);
    if (!sorted->is<True>() && !sorted->is<False>()) mode_check_formula(*sorted, {}, signature, diag);
    print_formula(*sorted);
  } catch (const Failure&) {
  }
  return 0;
}

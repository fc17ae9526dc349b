#include "inputs.hpp"

#include "../common/policy_input.hpp"
#include "../common/tool_error.hpp"

#include "base/failure.hpp"
#include "base/file_io.hpp"
#include "syntax/policy_parser.hpp"

#include <sstream>

namespace hipaa::report {

namespace {

// The text passed the checks once; a second pass has nothing new to say.
FormulaPtr quiet_formula(const std::string& text, const Signature& signature) {
  std::ostringstream quiet;
  FormulaParse parse = parse_formula_text(text, quiet);
  if (!parse.result) raise("Option");
  const FormulaPtr* parsed = std::get_if<FormulaPtr>(&*parse.result);
  if (parsed == nullptr) raise("BadParseType");
  return tools::checked_formula(*parsed, signature, quiet);
}

} // namespace

CheckedPolicy load_policy(const std::string& decls_path, const std::string& policy_path,
                          bool accept_repairs, std::ostream& diag) {
  CheckedPolicy policy;
  policy.signature = tools::load_declarations(decls_path, accept_repairs, diag);
  try {
    policy.text = read_text_file(policy_path);
  } catch (const Io& failure) {
    throw tools::ToolError(failure.message());
  }
  policy.formula =
      tools::load_policy_text(policy_path, policy.text, policy.signature, accept_repairs, diag);
  return policy;
}

CheckedPolicy private_copy(const CheckedPolicy& policy) {
  CheckedPolicy copy;
  copy.signature = policy.signature;
  copy.text = policy.text;
  copy.formula = quiet_formula(copy.text, copy.signature);
  return copy;
}

} // namespace hipaa::report

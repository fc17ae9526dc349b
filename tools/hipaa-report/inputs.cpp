#include "inputs.hpp"

#include "../common/tool_error.hpp"

#include "base/failure.hpp"
#include "base/file_io.hpp"
#include "check/decls_check.hpp"
#include "check/modes.hpp"
#include "check/scope.hpp"
#include "check/sorts.hpp"
#include "syntax/decls_parser.hpp"
#include "syntax/policy_parser.hpp"

#include <ostream>
#include <sstream>

namespace hipaa::report {

namespace {

// Runs one phase on one file; its named failure becomes a message that
// names the file.
template <class Phase> auto on_file(const std::string& path, std::ostream& diag, Phase phase) {
  try {
    return phase();
  } catch (const Io& failure) {
    diag.flush();
    throw tools::ToolError(failure.message());
  } catch (const Failure& failure) {
    diag.flush();
    throw tools::ToolError(path + ": rejected (" + failure.message() + ")");
  }
}

// Parses the policy text and runs the scope, sort and mode checks.
FormulaPtr checked_formula(const std::string& text, const Signature& signature,
                           std::ostream& diag) {
  FormulaParse parse = parse_formula_text(text, diag);
  write_repair_block(parse.repair_lines, diag);
  if (!parse.result) raise("Option");
  const FormulaPtr* parsed = std::get_if<FormulaPtr>(&*parse.result);
  if (parsed == nullptr) raise("BadParseType");
  FormulaPtr scoped = scope_formula(*parsed, {}, diag);
  FormulaPtr sorted = sort_check_formula(scoped, {}, signature, diag);
  if (!sorted->is<True>() && !sorted->is<False>()) {
    mode_check_formula(*sorted, {}, signature, diag);
  }
  return sorted;
}

} // namespace

CheckedPolicy load_policy(const std::string& decls_path, const std::string& policy_path,
                          std::ostream& diag) {
  CheckedPolicy policy;
  policy.signature = on_file(decls_path, diag, [&] {
    std::optional<DeclList> entries = parse_decls_file(decls_path, diag);
    if (!entries) raise("Option");
    check_decls(*entries, diag);
    return std::move(*entries);
  });
  policy.text = on_file(policy_path, diag, [&] { return read_text_file(policy_path); });
  policy.formula = on_file(policy_path, diag,
                           [&] { return checked_formula(policy.text, policy.signature, diag); });
  return policy;
}

CheckedPolicy private_copy(const CheckedPolicy& policy) {
  CheckedPolicy copy;
  copy.signature = policy.signature;
  copy.text = policy.text;
  // The text passed these checks once; a second pass has nothing new to say.
  std::ostringstream quiet;
  copy.formula = checked_formula(copy.text, copy.signature, quiet);
  return copy;
}

} // namespace hipaa::report

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
  policy.formula = on_file(policy_path, diag, [&] {
    std::string text = read_text_file(policy_path);
    FormulaParse parse = parse_formula_text(text, diag);
    write_repair_block(parse.repair_lines, diag);
    if (!parse.result) raise("Option");
    const FormulaPtr* parsed = std::get_if<FormulaPtr>(&*parse.result);
    if (parsed == nullptr) raise("BadParseType");
    FormulaPtr scoped = scope_formula(*parsed, {}, diag);
    FormulaPtr sorted = sort_check_formula(scoped, {}, policy.signature, diag);
    if (!sorted->is<True>() && !sorted->is<False>()) {
      mode_check_formula(*sorted, {}, policy.signature, diag);
    }
    return sorted;
  });
  return policy;
}

} // namespace hipaa::report

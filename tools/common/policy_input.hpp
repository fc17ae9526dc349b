// Reading the declarations and the policy for the tools.  A file that the
// parser could only read by repairing it is refused with the repairs shown
// as suggestions at their places in the file, unless the caller accepts
// repairs, in which case the repaired text is used and the repair lines
// are written as the audit writes them.  A failed check is reported at the
// place of the symbol it names, with a "did you mean" where a declared name
// is close.  Both refusals are SourceErrors.
#pragma once

#include "logic/declarations.hpp"
#include "logic/formula.hpp"

#include <iosfwd>
#include <string>

namespace hipaa::tools {

// Reads, parses and checks a declarations file.
Signature load_declarations(const std::string& path, bool accept_repairs, std::ostream& diag);

// Parses the policy text read from `path` and runs the scope, sort and mode
// checks against `signature`.
FormulaPtr load_policy_text(const std::string& path, const std::string& text,
                            const Signature& signature, bool accept_repairs, std::ostream& diag);

// Scope, sort and mode checks of a parsed formula; diagnostics to `diag`,
// failures as the checks raise them.
FormulaPtr checked_formula(const FormulaPtr& parsed, const Signature& signature,
                           std::ostream& diag);

} // namespace hipaa::tools

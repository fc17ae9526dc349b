// The declarations and the policy, read and checked as the audit does.
#pragma once

#include "logic/declarations.hpp"
#include "logic/formula.hpp"

#include <iosfwd>
#include <string>

namespace hipaa::report {

struct CheckedPolicy {
  Signature signature;
  FormulaPtr formula;
};

// The checks' diagnostics go to `diag`.  A file that does not parse or
// check is a ToolError naming the file and the failure.
CheckedPolicy load_policy(const std::string& decls_path, const std::string& policy_path,
                          std::ostream& diag);

} // namespace hipaa::report

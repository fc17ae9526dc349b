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
  std::string text; // the policy file as read, for private copies
};

// The checks' diagnostics go to `diag`.  A file that does not parse as
// written (unless `accept_repairs`) or fails a check is a SourceError with
// located messages.
CheckedPolicy load_policy(const std::string& decls_path, const std::string& policy_path,
                          bool accept_repairs, std::ostream& diag);

// The same policy with a formula of its own, checked again from the text
// read before: threads that each hold a private copy never write to the
// same reference counts, which would keep moving those cache lines between
// the cores.
CheckedPolicy private_copy(const CheckedPolicy& policy);

} // namespace hipaa::report

// Checks of an audit log against its declarations that find the gaps an
// audit passes over in silence: disclosures it never sees, parties without
// the role a clause asks for, values it reads other than as stored,
// reference data that is missing or not closed, and logs it cannot read.
#pragma once

#include "lint_report.hpp"
#include "log_reader.hpp"
#include "log_tables.hpp"

#include "logic/formula.hpp"

#include <iosfwd>

namespace hipaa::tools {

// Runs every check on `log`.  With `policy`, a party without a role is a
// problem where a clause for its disclosure's purposes asks for that role,
// and the finding names those clauses; without, only a party that has role
// rows at other times is.
LintReport lint_log(LogReader& log, const Signature& signature,
                    const FormulaPtr& policy = nullptr);

// Reads and checks a policy file for the checks above as every tool reads
// one: a file that parses only after a repair, or fails a check, is a
// SourceError at its place unless `accept_repairs`, when the repairs are
// written to `diag` and the repaired policy is used; a file that cannot be
// read is a ToolError.
FormulaPtr load_lint_policy(const std::string& path, const Signature& signature,
                            bool accept_repairs, std::ostream& diag);

} // namespace hipaa::tools

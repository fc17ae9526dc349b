// Checks of an audit log against its declarations that find the gaps an
// audit passes over in silence: disclosures it never sees, roles missing at
// the time they are asked for, values it reads other than as stored,
// reference data that is missing or not closed.
#pragma once

#include "log_reader.hpp"
#include "log_tables.hpp"

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

namespace hipaa::tools {

// One kind of problem: how many instances, and the first few.
struct LintFinding {
  std::string title;
  std::int64_t count = 0;
  std::vector<std::string> examples;
};

struct LintReport {
  std::vector<std::string> notes; // what the log holds, not a problem
  std::vector<LintFinding> findings; // only kinds with a count above 0
};

inline constexpr std::size_t kLintExamples = 5;

// Runs every check on `log`.
LintReport lint_log(LogReader& log, const Signature& signature);

// Writes the notes, then each finding with its count and examples, then a
// closing line ("no problems found" or how many kinds were found).
void print_lint(const LintReport& report, std::ostream& out);

// Only the notes, the count line of each finding and the closing line, as a
// summary ahead of another report.
void print_lint_summary(const LintReport& report, std::ostream& out);

} // namespace hipaa::tools

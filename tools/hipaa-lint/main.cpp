// hipaa-lint: checks an audit log against its declarations for the gaps an
// audit passes over in silence, and reports each kind with examples.
#include "common/command_line.hpp"
#include "common/log_lint.hpp"
#include "common/tool_main.hpp"

#include <iostream>

namespace {

using namespace hipaa;

const std::vector<tools::OptionRule> kOptionRules = {
    {"db", 'd', true},
    {"decls", '\0', true},
    {"declarations", '\0', true},
    {"policy", '\0', true},
    {"format", '\0', true},
    {"accept-repairs", '\0', false},
    {"help", 'h', false},
    {"version", '\0', false},
};

const char* const kUsage =
    "Usage: hipaa-lint [OPTION]...\n"
    "Check an audit log against the declarations for what the audit would pass over\n"
    "in silence, and report each kind of problem with its count and up to five\n"
    "examples:\n"
    "  - disclosures the policy's top-level guard never checks: a purpose but no\n"
    "    attribute row, or only attributes outside phi;\n"
    "  - parties of a checked disclosure with no role row at its time (with the\n"
    "    nearest role row in time); a recipient who is the individual needs none;\n"
    "  - values with leading or trailing blanks or control characters;\n"
    "  - values not declared with their column's sort (attributes, purposes,\n"
    "    roles);\n"
    "  - stored values the audit reads other than as stored: dates that read back\n"
    "    as another time in this time zone, values readable only after repair;\n"
    "  - empty reference tables, and attribute inclusions missing from the\n"
    "    transitive closure;\n"
    "  - requests for access that no disclosure in the log can answer;\n"
    "  - disclosures after the audit_end moment.\n"
    "It also states the log's time span and the audit_end moment it assumes.  The\n"
    "log is only read.\n"
    "\n"
    "  -d, --db PATH            the log (default hipaa.db)\n"
    "      --decls PATH         the declarations (default\n"
    "                           ./hipaa-case-study/hipaa.d)\n"
    "      --accept-repairs     use declarations and a policy that parse only after\n"
    "                           a repair, as repaired (by default they are refused)\n"
    "  -h, --help               show this text and exit\n"
    "      --version            show the version and exit\n"
    "\n"
    "Exit status: 0 when nothing was found, 1 when a problem was found or the log\n"
    "could not be read, 2 for a command line that cannot be used or declarations\n"
    "or a policy that need a repair to parse or fail a check (FILE:LINE:COLUMN:\n"
    "message).\n";

int run(int argc, char** argv) {
  tools::CommandLine line = tools::parse_command_line(argc, argv, kOptionRules);
  if (tools::answered_help_or_version(line, "hipaa-lint", kUsage)) return 0;
  if (!line.positional.empty()) {
    throw tools::UsageError("unexpected argument \"" + line.positional.front() + "\" (try --help)");
  }
  const std::string declarations =
      line.get("decls").value_or(line.get("declarations").value_or("./hipaa-case-study/hipaa.d"));
  const Signature signature = tools::load_signature(declarations, line.has("accept-repairs"));
  const tools::LintFormat format = tools::lint_format_named(line.get("format").value_or("text"));
  const FormulaPtr policy =
      tools::load_lint_policy(line.get("policy").value_or("./hipaa-case-study/hipaa.f"), signature,
                              line.has("accept-repairs"), std::cerr);
  tools::LogReader log(line.get("db").value_or("hipaa.db"));
  const tools::LintReport report = tools::lint_log(log, signature, policy);
  tools::print_lint(report, std::cout, format);
  return report.findings.empty() ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
  return hipaa::tools::run_tool("hipaa-lint", [&] { return run(argc, argv); });
}

// hipaa-lint: checks an audit log against its declarations for the gaps an
// audit passes over in silence, and reports each kind with examples.
#include "common/case_study.hpp"
#include "common/command_line.hpp"
#include "common/log_lint.hpp"
#include "common/tool_main.hpp"

#include <iostream>

namespace {

using namespace hipaa;

const std::vector<tools::OptionRule> kOptionRules = {
    {"db", 'd', true, "PATH", "the log (default hipaa.db)"},
    {"decls", 'D', true, "PATH",
     "the declarations (default hipaa.d of the case study: in $HIPAA_CASE_STUDY, "
     "./hipaa-case-study or the installed one)",
     {"declarations"}},
    {"policy", 'p', true, "PATH",
     "the policy, whose clauses tell which roles a disclosure's parties need (default "
     "hipaa.f of the case study)"},
    {"format", 'F', true, "FORMAT", "text (the default), csv or json"},
    {"accept-repairs", '\0', false, "",
     "use declarations and a policy that parse only after a repair, as repaired (by "
     "default they are refused)"},
    {"help", 'h', false, "", "show this text and exit"},
    {"version", 'V', false, "", "show the version and exit"},
};

const char* const kUsageHead =
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
    "log is only read.\n";

const char* const kUsageTail =
    "Exit status: 0 when nothing was found, 1 when a problem was found or the log\n"
    "could not be read, 2 for a command line that cannot be used or declarations\n"
    "or a policy that need a repair to parse or fail a check (FILE:LINE:COLUMN:\n"
    "message).\n";

int run(int argc, char** argv) {
  tools::CommandLine line = tools::parse_command_line(argc, argv, kOptionRules);
  if (tools::answered_help_or_version(line, "hipaa-lint",
                                      tools::usage_text(kUsageHead, kOptionRules, kUsageTail))) {
    return 0;
  }
  if (!line.positional.empty()) {
    throw tools::UsageError("unexpected argument \"" + line.positional.front() + "\" (try --help)");
  }
  const tools::CaseStudyPlaces places = tools::case_study_places();
  const std::string declarations = tools::case_study_file(line, "decls", "hipaa.d", places);
  const Signature signature = tools::load_signature(declarations, line.has("accept-repairs"));
  const tools::LintFormat format = tools::lint_format_named(line.get("format").value_or("text"));
  const FormulaPtr policy =
      tools::load_lint_policy(tools::case_study_file(line, "policy", "hipaa.f", places), signature,
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

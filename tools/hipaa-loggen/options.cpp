#include "options.hpp"

#include "common/command_line.hpp"

#include <cerrno>
#include <cstdlib>
#include <string>

namespace hipaa::loggen {

using tools::UsageError;

namespace {

const std::vector<tools::OptionRule> kOptionRules = {
    {"disclosures", 'n', true, "N", "rows of the disclose table (default 3000)"},
    {"seed", 's', true, "S", "seed of the generator (default 1)"},
    {"violations", '\0', true, "F",
     "share of disclosures that no clause permits or that a clause forbids, from 0 to 1 "
     "(default 0)"},
    {"out", 'o', true, "PATH", "the database to write (default hipaa.db)", {"output"}},
    {"force", 'f', false, "", "replace PATH if it exists"},
    {"truth", '\0', true, "FILE",
     "also write the verdict each disclosure must get, as CSV: "
     "message,kind,verdict,clause,paragraph"},
    {"help", 'h', false, "", "show this text and exit"},
    {"version", 'V', false, "", "show the version and exit"},
};

std::uint64_t read_seed(const std::string& text) {
  char* end = nullptr;
  errno = 0;
  unsigned long long value = std::strtoull(text.c_str(), &end, 10);
  if (text.empty() || text[0] == '-' || *end != '\0' || errno != 0) {
    throw UsageError("--seed needs a whole number of at least 0, not \"" + text + "\"");
  }
  return value;
}

double read_fraction(const std::string& text) {
  char* end = nullptr;
  errno = 0;
  double value = std::strtod(text.c_str(), &end);
  if (text.empty() || *end != '\0' || errno != 0 || !(value >= 0.0 && value <= 1.0)) {
    throw UsageError("--violations needs a fraction from 0 to 1, not \"" + text + "\"");
  }
  return value;
}

} // namespace

Options parse_options(int argc, char** argv) {
  tools::CommandLine line = tools::parse_command_line(argc, argv, kOptionRules);
  if (!line.positional.empty()) {
    throw UsageError("unexpected argument \"" + line.positional.front() + "\" (try --help)");
  }
  Options options;
  options.help = line.has("help");
  options.version = line.has("version");
  options.force = line.has("force");
  if (auto value = line.get("disclosures")) {
    options.disclosures = tools::read_bounded_count("disclosures", *value, 0, kMaxDisclosures);
  }
  if (auto value = line.get("seed")) options.seed = read_seed(*value);
  if (auto value = line.get("violations")) options.violations = read_fraction(*value);
  if (auto value = line.get("out")) options.output = *value;
  if (options.output.empty()) throw UsageError("--out needs a file name");
  if (auto value = line.get("truth")) options.truth = *value;
  if (line.has("truth") && options.truth.empty()) throw UsageError("--truth needs a file name");
  return options;
}

std::string usage_text() {
  return tools::usage_text(
      "Usage: hipaa-loggen [OPTION]...\n"
      "Write a synthetic audit log for the HIPAA case study: an SQLite database with\n"
      "every table that hipaa-case-study/hipaa.d names, every value in the printed\n"
      "form the audit reads back.  The same seed always gives the same log.\n",
      kOptionRules,
      "The log mixes treatment, payment and operations disclosures, disclosures to\n"
      "business associates, public-interest disclosures (some decided by the log, some\n"
      "left to a human judgement), authorised psychotherapy and marketing disclosures,\n"
      "and requests for access answered in time, late or not yet.\n"
      "The file is written under a temporary name and renamed when complete; an\n"
      "interrupted run removes it.  Exit status: 0 when the log was written, 1 when\n"
      "it could not be, 2 for a command line that cannot be used.\n");
}

} // namespace hipaa::loggen

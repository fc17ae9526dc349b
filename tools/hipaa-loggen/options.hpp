// The generator's command line.
#pragma once

#include <cstdint>
#include <string>

namespace hipaa::loggen {

struct Options {
  std::int64_t disclosures = 3000;
  std::uint64_t seed = 1;
  double violations = 0.0; // share of disclosures that break the policy
  std::string output = "hipaa.db";
  std::string truth; // the planted verdicts' CSV file, or "" for none
  bool force = false;
  bool help = false;
};

// Reads argv; a ToolError names the offending option.
Options parse_options(int argc, char** argv);

// The text printed for --help.
std::string usage_text();

} // namespace hipaa::loggen

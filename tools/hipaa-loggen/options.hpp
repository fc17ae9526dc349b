// The generator's command line.
#pragma once

#include <cstdint>
#include <string>

namespace hipaa::loggen {

// The most disclosures one log may hold: such a log already spans two
// centuries and tens of gigabytes.
inline constexpr std::int64_t kMaxDisclosures = 100000000;

struct Options {
  std::int64_t disclosures = 3000;
  std::uint64_t seed = 1;
  double violations = 0.0; // share of disclosures that break the policy
  std::string output = "hipaa.db";
  std::string truth; // the planted verdicts' CSV file, or "" for none
  bool force = false;
  bool help = false;
  bool version = false;
};

// Reads argv; a UsageError names the offending option.
Options parse_options(int argc, char** argv);

// The text printed for --help.
std::string usage_text();

} // namespace hipaa::loggen

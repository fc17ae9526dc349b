// The synthetic log: a deterministic mix of disclosures for a seed.
#pragma once

#include "log_writer.hpp"
#include "truth.hpp"

#include <cstdint>
#include <functional>

namespace hipaa::loggen {

struct Settings {
  std::int64_t disclosures = 0;
  std::uint64_t seed = 1;
  double violations = 0.0;
  TruthFile* truth = nullptr; // where the planted verdicts go, if anywhere
};

// Called now and then with the number of disclosures written so far.
using Progress = std::function<void(std::int64_t written)>;

// Writes the reference rows (attribute inclusions, protocols, agreements)
// and then exactly settings.disclosures rows of the disclose table, with
// the rows of the other tables that each disclosure needs.
void generate_log(const Settings& settings, LogWriter& log, const Progress& progress);

} // namespace hipaa::loggen

// The synthetic log: a deterministic mix of disclosures for a seed, each
// labelled with what the regulation says of it.
#pragma once

#include "log_writer.hpp"
#include "truth.hpp"

#include <cstdint>
#include <functional>
#include <string>

namespace hipaa::loggen {

struct Settings {
  std::int64_t disclosures = 0;
  std::uint64_t seed = 1;
  double violations = 0.0;
  TruthFile* truth = nullptr; // where the planted verdicts go, if anywhere
};

enum class Verdict { Permitted, Violation, Open };

// What the regulation says of one generated disclosure, or of one request
// for access or for an accounting: the clause that permits it, the one it
// breaks, or the one whose judgement it leaves open.
struct Label {
  std::string message; // the message id as stored (with its quotes); for a
                       // request, the individual who made it
  bool request;        // a request's deadline rather than a disclosure
  std::string kind;    // the generator's name for the kind
  Verdict verdict;
  std::string clause;  // a subformula name of hipaa.f
};

const char* verdict_name(Verdict verdict); // "compliant", "violation", "open"

// Called now and then with the number of disclosures written so far.
using Progress = std::function<void(std::int64_t written)>;
// Called once per label, in the order the disclosures are generated.
using LabelSink = std::function<void(const Label& label)>;

// Writes the reference rows (attribute inclusions, protocols, agreements),
// exactly settings.disclosures rows of the disclose table with the rows of
// the other tables that each disclosure needs, and last the time up to
// which the log is complete (audit_end).
void generate_log(const Settings& settings, LogWriter& log, const Progress& progress,
                  const LabelSink& labels = {});

} // namespace hipaa::loggen

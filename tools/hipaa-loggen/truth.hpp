// The planted verdicts: what each generated disclosure must get from the
// audit, written beside the log as CSV (message,kind,verdict,clause,
// paragraph).
#pragma once

#include "../common/output_file.hpp"

#include <fstream>
#include <string>
#include <string_view>

namespace hipaa::loggen {

// What a kind of disclosure was generated to be.
struct Planted {
  const char* kind;    // the kind of disclosure generated
  const char* verdict; // "compliant", "open" or "violation"
  const char* clause;  // the clause it breaks or that leaves it open, or ""
};

// The paragraph a clause name stands for: "45 CFR 164.512(b)(1)(i)" for
// c164-512-b-1-i-law-subj; "" for a name that is no paragraph.
std::string paragraph_of(std::string_view clause);

class TruthFile {
public:
  // Written under a temporary name and moved into place by finish().
  TruthFile(const std::string& path, bool overwrite);

  // One disclosure: its message id as stored (with its quotes).
  void add(std::string_view message, const Planted& planted);
  void finish();

private:
  tools::OutputFile output_;
  std::ofstream file_;
};

} // namespace hipaa::loggen

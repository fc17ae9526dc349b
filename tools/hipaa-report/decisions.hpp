// The answers people gave to the worklist's questions, read from a CSV file
// (the filled-in worklist.csv, or any file with the columns id and
// decision, and reviewer, date and note).  They settle subjective atoms in
// the residuals; the log itself is never touched.
#pragma once

#include <cstddef>
#include <iosfwd>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace hipaa::report {

struct Decision {
  std::string id;
  bool yes = false;
  std::string reviewer;
  std::string date; // YYYY-MM-DD
  std::string note;
  long line = 0; // where the file states it
};

class Decisions {
public:
  Decisions() = default;

  // Reads `path`.  A file that cannot be used (no id or decision column, a
  // malformed id, a decision other than yes or no, no reviewer, a date that
  // is not YYYY-MM-DD, two different decisions for one question) is a
  // ToolError "PATH:LINE: reason".  The same decision given twice keeps the
  // later date, as an answer covers only what was done up to its date.
  // Rows without a decision are questions not answered yet, and are passed
  // over.
  static Decisions read(const std::string& path);

  const Decision* find(const std::string& id) const;
  // Each question once, in the order of the file.
  const std::vector<Decision>& all() const { return list_; }
  bool empty() const { return list_.empty(); }
  const std::string& path() const { return path_; }

private:
  std::string path_;
  std::vector<Decision> list_;
  std::unordered_map<std::string, std::size_t> index_;
};

// "yes" or "no".
const char* decision_word(bool yes);

// "q1a2b3c4d5e6f7a8b no (reviewer, date)", for the reason of a settled instance.
std::string decision_text(const Decision& decision);

// stale-decisions.csv: the decisions whose questions arose in no
// instance, with the lines that state them.
void write_stale(std::ostream& out, const std::vector<const Decision*>& stale);

} // namespace hipaa::report

// What hipaa-lint finds: kinds of problems with their counts and examples,
// and notes on what the log holds; written as text, CSV or JSON.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

namespace hipaa::tools {

// One kind of problem: a short stable name, a title, how many instances,
// and the first few.
struct LintFinding {
  std::string kind;
  std::string title;
  std::string title_of_one; // the title after a count of 1; "" when it is `title`
  std::int64_t count = 0;
  std::vector<std::string> examples;
};

struct LintReport {
  std::vector<std::string> notes;    // what the log holds, not a problem
  std::vector<LintFinding> findings; // only kinds with a count above 0
};

inline constexpr std::size_t kLintExamples = 5;

// Counts the instances of one kind and keeps the first `limit` examples.
class FindingBuilder {
public:
  FindingBuilder(std::string kind, std::string title, std::size_t limit = kLintExamples);
  // The title after a count of 1 ("disclosure with ..." for "disclosures
  // with ...").
  FindingBuilder& for_one(std::string title);
  void add(const std::string& example);
  std::int64_t count() const { return finding_.count; }
  bool wants_example() const { return finding_.examples.size() < limit_; }
  // Adds the finding to `report` when it has instances.
  void into(LintReport& report) &&;

private:
  LintFinding finding_;
  std::size_t limit_;
};

enum class LintFormat { Text, Csv, Json };

// "text", "csv" or "json"; a UsageError otherwise.
LintFormat lint_format_named(const std::string& name);

// Text: the notes, then each finding with its count and examples, then a
// closing line ("no problems found" or how many kinds were found).
// CSV: one line per example (kind, count, title, example) after a header,
// notes as lines of kind "note".  JSON: one object with "notes",
// "findings" and "problems".
void print_lint(const LintReport& report, std::ostream& out, LintFormat format = LintFormat::Text);

// Only the notes and the count line of each finding, as a summary ahead of
// another report.
void print_lint_summary(const LintReport& report, std::ostream& out);

} // namespace hipaa::tools

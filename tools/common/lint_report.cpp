#include "lint_report.hpp"

#include "csv_field.hpp"
#include "tool_error.hpp"

#include <nlohmann/json.hpp>

#include <ostream>

namespace hipaa::tools {

FindingBuilder::FindingBuilder(std::string kind, std::string title, std::size_t limit)
    : limit_(limit) {
  finding_.kind = std::move(kind);
  finding_.title = std::move(title);
}

FindingBuilder& FindingBuilder::for_one(std::string title) {
  finding_.title_of_one = std::move(title);
  return *this;
}

void FindingBuilder::add(const std::string& example) {
  if (finding_.examples.size() < limit_) finding_.examples.push_back(example);
  ++finding_.count;
}

void FindingBuilder::into(LintReport& report) && {
  if (finding_.count > 0) report.findings.push_back(std::move(finding_));
}

LintFormat lint_format_named(const std::string& name) {
  if (name == "text") return LintFormat::Text;
  if (name == "csv") return LintFormat::Csv;
  if (name == "json") return LintFormat::Json;
  throw UsageError("--format takes text, csv or json, not \"" + name + "\"");
}

namespace {

// "2 disclosures with ...", "1 disclosure with ...".
std::string counted_title(const LintFinding& finding) {
  const bool one = finding.count == 1 && !finding.title_of_one.empty();
  return std::to_string(finding.count) + " " + (one ? finding.title_of_one : finding.title);
}

void print_text(const LintReport& report, std::ostream& out) {
  for (const std::string& note : report.notes) out << note << "\n";
  for (const LintFinding& finding : report.findings) {
    out << counted_title(finding) << ":\n";
    for (const std::string& example : finding.examples) out << "  " << example << "\n";
    if (finding.count > static_cast<std::int64_t>(finding.examples.size())) {
      out << "  ... and " << finding.count - static_cast<std::int64_t>(finding.examples.size())
          << " more\n";
    }
  }
  const std::size_t kinds = report.findings.size();
  if (kinds == 0) {
    out << "no problems found\n";
  } else {
    out << kinds << (kinds == 1 ? " kind of problem found\n" : " kinds of problems found\n");
  }
}

void csv_line(std::ostream& out, const std::string& kind, const std::string& count,
              const std::string& title, const std::string& example) {
  std::string line;
  append_csv_field(line, kind);
  line += ',';
  append_csv_field(line, count);
  line += ',';
  append_csv_field(line, title, true);
  line += ',';
  append_csv_field(line, example, true);
  out << line << "\n";
}

void print_csv(const LintReport& report, std::ostream& out) {
  out << "kind,count,title,example\n";
  for (const std::string& note : report.notes) csv_line(out, "note", "", note, "");
  for (const LintFinding& finding : report.findings) {
    const std::string count = std::to_string(finding.count);
    if (finding.examples.empty()) csv_line(out, finding.kind, count, finding.title, "");
    for (const std::string& example : finding.examples) {
      csv_line(out, finding.kind, count, finding.title, example);
    }
  }
}

void print_json(const LintReport& report, std::ostream& out) {
  nlohmann::ordered_json findings = nlohmann::ordered_json::array();
  for (const LintFinding& finding : report.findings) {
    findings.push_back({{"kind", finding.kind},
                        {"title", finding.title},
                        {"count", finding.count},
                        {"examples", finding.examples}});
  }
  nlohmann::ordered_json document = {{"notes", report.notes},
                                     {"findings", findings},
                                     {"problems", report.findings.size()}};
  // Stored values need not be UTF-8: such bytes are replaced, not refused.
  out << document.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << "\n";
}

} // namespace

void print_lint(const LintReport& report, std::ostream& out, LintFormat format) {
  switch (format) {
  case LintFormat::Text: print_text(report, out); break;
  case LintFormat::Csv: print_csv(report, out); break;
  case LintFormat::Json: print_json(report, out); break;
  }
}

void print_lint_summary(const LintReport& report, std::ostream& out) {
  for (const std::string& note : report.notes) out << note << "\n";
  for (const LintFinding& finding : report.findings) {
    out << counted_title(finding) << "\n";
  }
}

} // namespace hipaa::tools

// The report's writers on values a log can hold: arbitrary bytes as the
// values of an instance of a rule of the case study, and as the clauses at
// stake.  The JSON object parses; the CSV line splits into the header's
// fields with each value's printed form in its column; and summary.html has
// the markup of the same page with harmless values, no more.  The first
// byte picks the rule, the second the verdict; NUL bytes separate the
// values.
#include "../tools/common/csv_field.hpp"
#include "../tools/hipaa-report/catalogue.hpp"
#include "../tools/hipaa-report/decisions.hpp"
#include "../tools/hipaa-report/html_page.hpp"
#include "../tools/hipaa-report/inputs.hpp"
#include "../tools/hipaa-report/record.hpp"
#include "../tools/hipaa-report/summary.hpp"
#include "../tools/hipaa-report/worklist.hpp"
#include "fuzz_support.hpp"
#include "logic/printer.hpp"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <sstream>

using namespace hipaa;
using namespace hipaa::report;

namespace {

struct Policy {
  CheckedPolicy checked;
  Layout layout;
};

const Policy& case_study() {
  static const Policy policy = [] {
    std::ostringstream diag;
    CheckedPolicy checked = load_policy(HIPAA_SOURCE_DIR "/hipaa-case-study/hipaa.d",
                                        HIPAA_SOURCE_DIR "/hipaa-case-study/hipaa.f", false, diag);
    Layout layout(top_level_rules(checked.formula), checked.signature);
    return Policy{std::move(checked), std::move(layout)};
  }();
  return policy;
}

// The fields of one RFC 4180 record, without its line end.
std::vector<std::string> split_csv(const std::string& line) {
  std::vector<std::string> fields(1);
  bool quoted = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (quoted && c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
      fields.back() += '"';
      ++i;
    } else if (c == '"') {
      quoted = !quoted;
    } else if (c == ',' && !quoted) {
      fields.emplace_back();
    } else {
      fields.back() += c;
    }
  }
  return fields;
}

// An instance without questions or decisions.
const std::string kNone;

std::string page_of(const Layout& layout, const Record& record) {
  Summary summary(layout);
  summary.add(record);
  const Wording wording;
  const Worklist worklist(wording);
  const Decisions decisions;
  const std::vector<std::string> stale;
  std::ostringstream page;
  write_html_page(page, PageInput{summary, worklist, decisions, stale}, RunInfo{"hipaa.db", "hipaa.d", "hipaa.f", "2010-01-01T00:00:00",
                                         "", ""});
  return page.str();
}

// The characters that make markup: angle brackets anywhere, and quotes
// outside the page's embedded JSON data, where a value's quote stands
// escaped as \" inside a JSON string and cannot end an attribute.
std::size_t markup(const std::string& page) {
  const std::string opening = "<script type=\"application/json\" id=\"report-data\">";
  const std::size_t data = page.find(opening);
  const std::size_t data_end = data == std::string::npos ? data : page.find("</script>", data);
  std::size_t count = 0;
  for (std::size_t i = 0; i < page.size(); ++i) {
    const char c = page[i];
    const bool in_data = data != std::string::npos && i >= data + opening.size() && i < data_end;
    if (c == '<' || c == '>' || (c == '"' && !in_data)) ++count;
  }
  return count;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
  if (size < 2) return 0;
  const Policy& policy = case_study();
  const std::size_t rule = data[0] % policy.layout.rules().size();
  const Rule& of = policy.layout.rules()[rule];
  std::vector<std::string> pieces(1);
  for (std::size_t i = 2; i < size; ++i) {
    if (data[i] == 0) {
      pieces.emplace_back();
    } else {
      pieces.back() += static_cast<char>(data[i]);
    }
  }
  const std::size_t values = of.all != nullptr ? of.all->bound.size() : 0;
  InstanceVerdict verdict;
  verdict.verdict = static_cast<Verdict>(data[1] % 3);
  verdict.residual = make_true();
  TermList tuple, harmless;
  for (std::size_t i = 0; i < values; ++i) {
    tuple.push_back(make_str(i < pieces.size() ? pieces[i] : ""));
    harmless.push_back(make_str("x"));
  }
  for (std::size_t i = values; i < pieces.size(); ++i) verdict.clauses.push_back(pieces[i]);
  // Harmless clauses, equal where the given ones are equal: the page lists
  // each clause once.
  InstanceVerdict plain = verdict;
  for (std::size_t i = 0; i < plain.clauses.size(); ++i) {
    const auto first = std::find(verdict.clauses.begin(), verdict.clauses.end(), verdict.clauses[i]);
    plain.clauses[i] = "c" + std::to_string(first - verdict.clauses.begin());
  }

  const Catalogue catalogue;
  RecordMaker maker(policy.layout, catalogue);
  const Record record = maker.make(rule, 7, tuple, verdict, PersonColumns{kNone, kNone});
  fuzz::require(nlohmann::json::accept(record.json), "the JSON object parses", record.json);
  // Written as the library itself writes what it reads back.
  fuzz::require(nlohmann::ordered_json::parse(record.json)
                        .dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace) ==
                    record.json,
                "the JSON object is the library's compact text", record.json);
  const std::string header = policy.layout.csv_header();
  fuzz::require(record.csv.ends_with("\r\n"), "the CSV line ends with CR LF", record.csv);
  const std::vector<std::string> names = split_csv(header.substr(0, header.size() - 2));
  const std::vector<std::string> fields = split_csv(record.csv.substr(0, record.csv.size() - 2));
  fuzz::require(fields.size() == names.size(), "the CSV line has the header's fields", record.csv);
  // A string value stands plain in its column, after the position and the
  // rule, guarded where a spreadsheet would run it.
  for (std::size_t i = 0; i < values; ++i) {
    const std::size_t column = 2 + policy.layout.columns_of(rule)[i];
    const std::string& field = fields[column];
    fuzz::require(tools::strip_formula_guard(field) == (i < pieces.size() ? pieces[i] : ""),
                  "a value's column holds its text", record.csv);
    fuzz::require(!tools::needs_formula_guard(field) || field[0] == '\'',
                  "no cell runs as a formula", record.csv);
  }
  RecordMaker plain_maker(policy.layout, catalogue);
  const std::string page = page_of(policy.layout, record);
  const std::string plain_page =
      page_of(policy.layout, plain_maker.make(rule, 7, harmless, plain, PersonColumns{kNone, kNone}));
  fuzz::require(markup(page) == markup(plain_page),
                "values add no markup to the page", page);
  return 0;
}

#include "options.hpp"

#include "../common/case_study.hpp"
#include "../common/command_line.hpp"
#include "../common/tool_main.hpp"

#include "base/failure.hpp"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <sstream>

#include <unistd.h>
#include <vector>

namespace hipaa::report {

using tools::ToolError;

namespace {

const std::vector<tools::OptionRule> kOptionRules = {
    {"db", 'd', true, "PATH", "the audit database (default hipaa.db)"},
    {"decls", 'D', true, "PATH",
     "the declarations (default hipaa.d of the case study: in $HIPAA_CASE_STUDY, "
     "./hipaa-case-study or the installed one)",
     {"declarations"}},
    {"policy", 'p', true, "PATH", "the policy (default hipaa.f of the case study)"},
    {"out", 'o', true, "DIR",
     "the report folder (default report); an earlier report there is replaced when the new "
     "one is complete",
     {"output"}},
    {"decisions", '\0', true, "FILE",
     "answers to the worklist's questions (the filled-in worklist.csv, or any CSV with the "
     "columns id, decision, reviewer, date, note): each settles its question, yes true and "
     "no false, for what was done by the answer's date, before the verdicts are taken; the "
     "log is not touched"},
    {"format", 'F', true, "LIST",
     "any of csv,json,html (default all three): verdicts.csv, verdicts.json, summary.html; "
     "worklist.csv comes with csv"},
    {"as-of", '\0', true, "DATE",
     "an awaited disclosure whose deadline lies before DATE (2010-03-01 or "
     "2010-03-01T12:00:00) is overdue: a violation"},
    {"jobs", 'j', true, "N",
     "reduce instances on N threads (default 1); the report is the same"},
    {"engine", '\0', true, "KIND",
     "set (default): read each table the rules consult once into memory and answer lookups "
     "from it; tuple: one query of the log per lookup; the report is the same"},
    {"memory", '\0', true, "MIB",
     "the memory the set engine's tables may take (default a quarter of physical memory, at "
     "most 4096); a table that does not fit is queried as with --engine tuple"},
    {"shard", '\0', true, "K/N",
     "judge only shard K of N: the instances of every Nth block of each rule's driving "
     "rows; `hipaa-report merge` makes the whole report from shards 0/N to N-1/N"},
    {"catalogue", '\0', true, "FILE",
     "the clause catalogue whose titles and citations the report shows (default "
     "catalogue.csv beside the policy; without one, clauses go by their names alone)"},
    {"accept-repairs", '\0', false, "",
     "use a policy or declarations that parse only after a repair, as repaired (by default "
     "they are refused)"},
    {"quiet", 'q', false, "", "print no summary and no progress"},
    {"no-lint", '\0', false, "",
     "skip the checks of the log (those of hipaa-lint) whose summary comes first"},
    {"violations-ok", '\0', false, "",
     "exit with 0, not 1, when violations are found (for schedulers that count status 1 as "
     "a failed task)"},
    {"help", 'h', false, "", "show this text and exit"},
    {"version", 'V', false, "", "show the version and exit"},
};

// A whole number without sign, blanks or anything after it.
std::optional<unsigned long> whole_number(const std::string& text) {
  if (text.empty() || text.size() > 9) return std::nullopt;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
  }
  return std::stoul(text);
}

Formats read_formats(const std::string& text) {
  Formats formats{false, false, false};
  std::istringstream items(text);
  std::string item;
  bool any = false;
  while (std::getline(items, item, ',')) {
    if (item == "csv") {
      formats.csv = true;
    } else if (item == "json") {
      formats.json = true;
    } else if (item == "html") {
      formats.html = true;
    } else {
      throw ToolError("--format takes csv, json and html separated by commas, not \"" + text +
                      "\"");
    }
    any = true;
  }
  if (!any) throw ToolError("--format needs at least one of csv, json and html");
  return formats;
}

bool is_leap(long year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

// An existing day, hours 0-23, minutes and seconds 0-59: the date's
// conversion would carry any other value into the next field.
bool fields_exist(const DateFields& f) {
  static const long kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (f.month < 1 || f.month > 12 || f.day < 1) return false;
  const long days = f.month == 2 && is_leap(f.year) ? 29 : kDays[f.month - 1];
  return f.day <= days && f.hour <= 23 && f.minute <= 59 && f.second <= 59;
}

// Whether `value` shows, on the local clock, exactly the fields written:
// not so for a time the zone skips when daylight saving time begins.
bool reads_back_as(const DateValue& value, const DateFields& f) {
  mpz_class seconds = value / kNanosPerSecond;
  if (!seconds.fits_slong_p()) return true;
  std::time_t t = static_cast<std::time_t>(seconds.get_si());
  std::tm broken{};
  if (localtime_r(&t, &broken) == nullptr) return true;
  return broken.tm_year + 1900L == f.year && broken.tm_mon + 1L == f.month &&
         broken.tm_mday == f.day && broken.tm_hour == f.hour && broken.tm_min == f.minute &&
         broken.tm_sec == f.second;
}

// YYYY-MM-DD, optionally with THH:MM:SS, or the policy's own
// YYYY:MM:DD[:HH:MM:SS]; local time, as the log's dates.
DateValue read_date(const std::string& text) {
  std::string fields = text;
  for (char& c : fields) {
    if (c == '-' || c == 'T' || c == ' ') c = ':';
  }
  long values[6] = {0, 0, 0, 0, 0, 0};
  int count = 0;
  std::istringstream parts(fields);
  std::string part;
  bool shaped = true;
  while (std::getline(parts, part, ':')) {
    auto value = whole_number(part);
    if (!value || count == 6) {
      shaped = false;
      break;
    }
    values[count++] = static_cast<long>(*value);
  }
  if (!shaped || (count != 3 && count != 6)) {
    throw ToolError("--as-of needs a date such as 2010-03-01 or 2010-03-01T12:00:00, not \"" +
                    text + "\"");
  }
  const DateFields given{values[0], values[1], values[2], values[3], values[4], values[5]};
  DateValue date;
  try {
    date = date_from_fields(given);
  } catch (const Failure&) {
    throw ToolError("--as-of: \"" + text + "\" is not a date");
  }
  if (!fields_exist(given)) {
    throw ToolError("--as-of: \"" + text + "\" names a day or time that does not exist");
  }
  if (!reads_back_as(date, given)) {
    throw ToolError("--as-of: \"" + text + "\" names a time that the local time zone skips");
  }
  return date;
}

void read_shard(const std::string& text, Options& options) {
  std::size_t slash = text.find('/');
  std::optional<unsigned long> k, n;
  if (slash != std::string::npos) {
    k = whole_number(text.substr(0, slash));
    n = whole_number(text.substr(slash + 1));
  }
  if (!k || !n || *n == 0 || *k >= *n) {
    throw ToolError("--shard needs K/N with 0 <= K < N, not \"" + text + "\"");
  }
  options.shard = *k;
  options.shards = *n;
}

unsigned read_jobs(const std::string& text) {
  std::optional<unsigned long> jobs = whole_number(text);
  if (!jobs || *jobs == 0 || *jobs > 256) {
    throw ToolError("--jobs needs a whole number from 1 to 256, not \"" + text + "\"");
  }
  return static_cast<unsigned>(*jobs);
}

bool read_engine(const std::string& text) {
  if (text == "set") return true;
  if (text == "tuple") return false;
  throw ToolError("--engine takes set or tuple, not \"" + text + "\"");
}

std::size_t read_memory(const std::string& text) {
  std::optional<unsigned long> mib = whole_number(text);
  if (!mib || *mib == 0 || *mib > 1048576) {
    throw ToolError("--memory needs a whole number of MiB from 1 to 1048576, not \"" + text +
                    "\"");
  }
  return *mib;
}

std::string read_path(const tools::CommandLine& line, const char* option, std::string fallback) {
  std::optional<std::string> value = line.get(option);
  if (!value) return fallback;
  if (value->empty()) throw ToolError(std::string("--") + option + " needs a path");
  return *value;
}

} // namespace

Options parse_options(int argc, char** argv) {
  tools::CommandLine line = tools::parse_command_line(argc, argv, kOptionRules);
  if (!line.positional.empty()) {
    throw ToolError("unexpected argument \"" + line.positional.front() + "\" (try --help)");
  }
  Options options;
  options.help = line.has("help");
  options.version = line.has("version");
  options.quiet = line.has("quiet");
  options.violations_ok = line.has("violations-ok");
  options.lint = !line.has("no-lint");
  options.accept_repairs = line.has("accept-repairs");
  options.catalogue = read_path(line, "catalogue", "");
  options.db = read_path(line, "db", options.db);
  // Without --decls or --policy the case study is looked for; --help and
  // --version need none.
  if (!options.help && !options.version) {
    const tools::CaseStudyPlaces places = tools::case_study_places("hipaa-case-study");
    options.decls = read_path(line, "decls", "");
    if (options.decls.empty()) {
      options.decls = tools::find_case_study_file("hipaa.d", "decls", places);
    }
    options.policy = read_path(line, "policy", "");
    if (options.policy.empty()) {
      options.policy = tools::find_case_study_file("hipaa.f", "policy", places);
    }
  }
  options.out = read_path(line, "out", options.out);
  options.decisions = read_path(line, "decisions", "");
  if (auto value = line.get("format")) options.formats = read_formats(*value);
  if (auto value = line.get("as-of")) {
    options.as_of = read_date(*value);
    options.as_of_text = *value;
  }
  if (auto value = line.get("jobs")) options.jobs = read_jobs(*value);
  if (auto value = line.get("shard")) read_shard(*value, options);
  if (auto value = line.get("engine")) options.set_engine = read_engine(*value);
  options.memory_mib = default_memory_mib();
  if (auto value = line.get("memory")) options.memory_mib = read_memory(*value);
  return options;
}

std::size_t default_memory_mib() {
  long pages = sysconf(_SC_PHYS_PAGES);
  long page_size = sysconf(_SC_PAGE_SIZE);
  constexpr std::size_t kCap = 4096;
  if (pages <= 0 || page_size <= 0) return 1024;
  std::size_t quarter = static_cast<std::size_t>(pages) / 4 * static_cast<std::size_t>(page_size) /
                        (std::size_t{1} << 20);
  return std::max<std::size_t>(1, std::min(quarter, kCap));
}

std::string usage_text() {
  return tools::usage_text(
      "Usage: hipaa-report [OPTION]...\n"
      "Audit a log against the policy rule by rule and give every instance of a rule\n"
      "(every disclosure, every request) its own verdict: violation, open or\n"
      "compliant, with the clause at stake.  The audit database is only read.\n",
      kOptionRules,
      "Exit status: 0 when no instance is a violation (open ones may remain), 1 when\n"
      "at least one is, 2 when the report could not be made, among others for a\n"
      "policy or declarations that do not parse as written or fail a check\n"
      "(FILE:LINE:COLUMN: message on standard error).\n"
      "\n"
      "hipaa-report merge --out DIR SHARD_DIR... makes the report of a whole run from\n"
      "its shards' folders (see hipaa-report merge --help).\n");
}

std::string version_text() { return tools::version_text("hipaa-report"); }

} // namespace hipaa::report

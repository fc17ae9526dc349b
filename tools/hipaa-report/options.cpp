#include "options.hpp"

#include "../common/command_line.hpp"

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
    {"db", 'd', true},     {"decls", '\0', true}, {"policy", 'p', true},   {"out", 'o', true},
    {"format", 'f', true}, {"as-of", '\0', true}, {"jobs", 'j', true},     {"shard", '\0', true},
    {"quiet", 'q', false}, {"help", 'h', false},  {"version", 'V', false},
    {"no-lint", '\0', false}, {"decisions", '\0', true}, {"violations-ok", '\0', false},
    {"accept-repairs", '\0', false}, {"catalogue", '\0', true},
    {"engine", '\0', true}, {"memory", '\0', true},
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
  options.decls = read_path(line, "decls", options.decls);
  options.policy = read_path(line, "policy", options.policy);
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
  return "Usage: hipaa-report [OPTION]...\n"
         "Audit a log against the policy rule by rule and give every instance of a rule\n"
         "(every disclosure, every request) its own verdict: violation, open or\n"
         "compliant, with the clause at stake.  The audit database is only read.\n"
         "\n"
         "  -d, --db PATH          the audit database (default hipaa.db)\n"
         "      --decls PATH       the declarations (default hipaa-case-study/hipaa.d)\n"
         "  -p, --policy PATH      the policy (default hipaa-case-study/hipaa.f)\n"
         "  -o, --out DIR          the report folder (default report); an earlier report\n"
         "                         there is replaced when the new one is complete\n"
         "      --decisions FILE   answers to the worklist's questions (the filled-in\n"
         "                         worklist.csv, or any CSV with the columns id,\n"
         "                         decision, reviewer, date, note): each settles its\n"
         "                         subjective atom, yes true and no false, before the\n"
         "                         verdicts are taken; the log is not touched\n"
         "  -f, --format LIST      any of csv,json,html (default all three): verdicts.csv,\n"
         "                         verdicts.json, summary.html; worklist.csv comes\n"
         "                         with csv\n"
         "      --as-of DATE       an awaited disclosure whose deadline lies before DATE\n"
         "                         (2010-03-01 or 2010-03-01T12:00:00) is overdue: a\n"
         "                         violation\n"
         "  -j, --jobs N           reduce instances on N threads (default 1); the report\n"
         "                         is the same\n"
         "      --engine KIND      set (default): read each table the rules consult once\n"
         "                         into memory and answer lookups from it; tuple: one\n"
         "                         query of the log per lookup; the report is the same\n"
         "      --memory MIB       the memory the set engine's tables may take (default\n"
         "                         a quarter of physical memory, at most 4096); a table\n"
         "                         that does not fit is queried as with --engine tuple\n"
         "      --shard K/N        judge only shard K of N: the instances of every Nth\n"
         "                         block of each rule's driving rows; `hipaa-report\n"
         "                         merge` makes the whole report from shards 0/N to N-1/N\n"
         "      --catalogue FILE   the clause catalogue whose titles and citations the\n"
         "                         report shows (default catalogue.csv beside the policy;\n"
         "                         without one, clauses go by their names alone)\n"
         "      --accept-repairs   use a policy or declarations that parse only after a\n"
         "                         repair, as repaired (by default they are refused)\n"
         "  -q, --quiet            print no summary and no progress\n"
         "      --no-lint          skip the checks of the log (those of hipaa-lint) whose\n"
         "                         summary comes first\n"
         "      --violations-ok    exit with 0, not 1, when violations are found (for\n"
         "                         schedulers that count status 1 as a failed task)\n"
         "  -h, --help             show this text and exit\n"
         "  -V, --version          show the version and exit\n"
         "\n"
         "Exit status: 0 when no instance is a violation (open ones may remain), 1 when\n"
         "at least one is, 2 when the report could not be made, among others for a\n"
         "policy or declarations that do not parse as written or fail a check\n"
         "(FILE:LINE:COLUMN: message on standard error).\n"
         "\n"
         "hipaa-report merge --out DIR SHARD_DIR... makes the report of a whole run from\n"
         "its shards' folders (see hipaa-report merge --help).\n";
}

std::string version_text() { return "hipaa-report 1.0\n"; }

} // namespace hipaa::report

// hipaa-import: builds an audit database from one's own records, one CSV
// file per log table, every value encoded as the term the declarations
// require.
#include "case_rows.hpp"
#include "csv_reader.hpp"
#include "derived_rows.hpp"
#include "duplicates.hpp"
#include "line_record.hpp"
#include "table_import.hpp"
#include "transcoder.hpp"
#include "value_encoding.hpp"

#include "common/case_study.hpp"
#include "common/command_line.hpp"
#include "common/count_noun.hpp"
#include "common/log_tables.hpp"
#include "common/output_file.hpp"
#include "common/sqlite_writer.hpp"
#include "common/tool_main.hpp"

#include <unistd.h>

#include <iostream>
#include <limits>
#include <map>
#include <algorithm>
#include <optional>

namespace {

using namespace hipaa;
using import::ErrorList;
using import::TableSource;
using tools::LogTable;
using tools::ToolError;
using tools::UsageError;
namespace names = tools::case_tables;

const std::vector<tools::OptionRule> kOptionRules = {
    {"decls", 'D', true, "PATH",
     "the declarations (default hipaa.d of the case study: in $HIPAA_CASE_STUDY, "
     "./hipaa-case-study or the installed one)",
     {"declarations"}},
    {"out", 'o', true, "PATH", "the database to write (default hipaa.db)", {"output"}},
    {"force", 'f', false, "", "replace PATH if it exists"},
    {"table", 't', true, "NAME=FILE[:ENCODING]",
     "read table NAME from FILE (\"-\" for standard input), in ENCODING if given (a file "
     "argument may also end in :ENCODING)"},
    {"map", '\0', true, "FILE",
     "translate local codes: FILE is CSV with the header sort,local,constant and one row per "
     "local code (purpose,ROI-LEGAL,judicial-proceeding)"},
    {"dedupe", '\0', false, "",
     "keep only the first of rows that repeat a row of their table exactly (repeated "
     "disclose and hasattrof_db rows, which would be judged twice, are refused with their "
     "lines by default; other repeats are kept)"},
    {"ignore-extra-columns", '\0', false, "",
     "skip header columns the table does not have (refused by default)"},
    {"max-errors", '\0', true, "N",
     "show N problems in full (default 20); count every later one by kind, file and column"},
    {"encoding", '\0', true, "NAME",
     "the files without their own encoding are in NAME (ISO-8859-1, WINDOWS-1252, "
     "UTF-16LE, ...), not UTF-8"},
    {"force-encoding", '\0', false, "",
     "read a file in its declared encoding even when its byte-order mark or its being "
     "valid UTF-8 says otherwise (refused by default)"},
    {"date-format", '\0', true, "[TABLE[.COLUMN]=]FORMAT",
     "read dates in FORMAT: %Y %y %m %b %d %H %I %M %S %p as strftime writes them "
     "(\"%m/%d/%Y %I:%M %p\"), or excel for serial numbers; for every date column, one "
     "table's or one column's (the most specific wins)"},
    {"complete-until", '\0', true, "DATE", "the log is complete up to DATE"},
    {"formula-guard", '\0', false, "",
     "remove the ' that hipaa-export puts before a cell a spreadsheet would run as a "
     "formula (= + - @ ' tab CR); files whose header starts with ' (hipaa-export's mark) "
     "are read so without it"},
    {"accept-repairs", '\0', false, "",
     "use declarations that parse only after a repair, as repaired (by default they are "
     "refused)"},
    {"list-values", '\0', true, "SORT",
     "print the constants a column of SORT accepts, each with its paragraph and a short "
     "description from values.csv beside the declarations, and exit"},
    {"help", 'h', false, "", "show this text and exit"},
    {"version", 'V', false, "", "show the version and exit"},
};

const char* const kUsageHead =
    "Usage: hipaa-import [OPTION]... TABLE.csv...\n"
    "Build an audit database from CSV files, one per log table.  Each file is named\n"
    "after its table (disclose.csv fills the table disclose), or mapped to one with\n"
    "--table; its first line names the table's columns, in any order; fields follow\n"
    "RFC 4180 (commas, double quotes around fields that hold commas, quotes or line\n"
    "breaks).  A byte-order mark is skipped (a UTF-16 one makes the file read as\n"
    "UTF-16), and blanks around every field are removed (blanks inside double quotes\n"
    "are kept).  Tables without a file are\n"
    "created empty.  Several files may fill one table; their rows are appended in\n"
    "the order given.\n"
    "\n"
    "Values are encoded as the terms the declarations require: text in a string\n"
    "column is stored in double quotes; a date column takes YYYY-MM-DD, optionally\n"
    "with a time hh:mm[:ss] after a blank or T, or the form --date-format gives, and\n"
    "stores YYYY:MM:DD:hh:mm:ss in the local time zone (a day/month order that the\n"
    "value leaves open, as in 03/04/2010, is refused with the choice to make);\n"
    "an int column takes a 32-bit integer; any other column takes a constant\n"
    "declared with its sort.  Every value that does not fit is reported with its\n"
    "file, line and column, and nothing is written.  Values must be UTF-8 unless\n"
    "--encoding or the file's own encoding says otherwise.\n"
    "\n"
    "Computed rows:\n"
    "  - inrole_periods.csv (person, role, from, to; to may be empty) gives each\n"
    "    person's roles over time; every party of every disclosure gets one\n"
    "    inrole_db row per role held at the disclosure's time.  A to given as a\n"
    "    day lasts to the end of that day.\n"
    "  - acts_for_periods.csv (person, entity, kind, from, to) gives who acts for\n"
    "    which covered entity, as workforce-member or business-associate; every\n"
    "    disclosure the person sends while a period lasts gets an acts_for_db row.\n"
    "  - An end date given as a day (expires, ends, until) lasts to the end of\n"
    "    that day; calendar_span rows give the calendar deadlines of every access\n"
    "    and accounting request and the fifty years after every death.\n"
    "  - attr_in_db is closed transitively: give the direct inclusions\n"
    "    (diagnosis in medical-record, medical-record in phi) and every indirect\n"
    "    one (diagnosis in phi) is added.\n"
    "  - audit_end (one column, time) records up to when the log is complete:\n"
    "    --complete-until, or else the time of the last disclosure.\n";

const char* const kUsageTail =
    "Exit status: 0 when the database was written, 1 when a file or value was\n"
    "refused (nothing is written), 2 for a command line that cannot be used or\n"
    "declarations that need a repair to parse or fail a check (FILE:LINE:COLUMN:\n"
    "message).\n";

// The import's memory, whatever the number of rows.
constexpr int kCacheKib = 65536;

std::string base_name(const std::string& path) {
  std::size_t slash = path.find_last_of('/');
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  std::size_t dot = name.find_last_of('.');
  return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

struct Input {
  TableSource source;
  std::string table; // the table name the file fills
};

// FILE or FILE:ENCODING: a name that is no file but ends in ":" and an
// encoding names the file before it, in that encoding.
TableSource source_of(const std::string& given) {
  const std::size_t colon = given.rfind(':');
  if (given == "-" || colon == std::string::npos || colon == 0 || colon + 1 == given.size() ||
      tools::path_exists(given)) {
    return {given, given == "-" ? "standard input" : given};
  }
  const std::string file = given.substr(0, colon), encoding = given.substr(colon + 1);
  if (!import::names_utf16(encoding)) import::Transcoder check(encoding);
  return {file, file == "-" ? "standard input" : file, encoding};
}

std::vector<Input> inputs_of(const tools::CommandLine& line) {
  std::vector<Input> inputs;
  for (const std::string& given : line.positional) {
    TableSource source = source_of(given);
    if (source.path == "-") throw UsageError("standard input needs a table: --table NAME=-");
    const std::string table = base_name(source.path);
    inputs.push_back({std::move(source), table});
  }
  for (const std::string& mapping : line.all("table")) {
    std::size_t equals = mapping.find('=');
    if (equals == std::string::npos || equals == 0 || equals + 1 == mapping.size()) {
      throw UsageError("--table needs NAME=FILE, not \"" + mapping + "\"");
    }
    inputs.push_back({source_of(mapping.substr(equals + 1)), mapping.substr(0, equals)});
  }
  return inputs;
}

// The table each input fills, checked before anything is read: files that
// do not exist, names that are no table, and a file given twice.  Several
// files may fill one table (one export per month, say): their rows follow
// one another in command-line order.
std::vector<const LogTable*> tables_of(const std::vector<Input>& inputs,
                                       const std::vector<LogTable>& tables,
                                       const std::string& declarations, ErrorList& errors) {
  std::vector<const LogTable*> chosen;
  for (const Input& input : inputs) {
    const LogTable* table = tools::find_table(tables, input.table);
    if (input.source.path != "-" && !tools::path_exists(input.source.path)) {
      errors.add(input.source.shown + ": no such file");
    } else if (table == nullptr) {
      std::string known;
      for (const LogTable& each : tables) known += (known.empty() ? "" : ", ") + each.name;
      errors.add(input.source.shown + ": " + declarations + " declares no table named " +
                 input.table + " (tables: " + known + ")");
    }
    for (std::size_t i = 0; i < chosen.size(); ++i) {
      if (table != nullptr && chosen[i] == table &&
          (inputs[i].source.path == input.source.path ||
           tools::same_file(inputs[i].source.path, input.source.path))) {
        errors.add(input.source.shown + ": table " + table->name + " is already filled from " +
                   inputs[i].source.shown);
      }
    }
    chosen.push_back(table);
  }
  return chosen;
}

// The paragraph and a short description of each constant, from values.csv
// beside the declarations (sort,constant,citation,description), when there
// is one.
std::map<std::string, std::pair<std::string, std::string>> descriptions_of(
    const std::string& declarations, const std::string& sort_name) {
  std::map<std::string, std::pair<std::string, std::string>> described;
  const std::size_t slash = declarations.find_last_of('/');
  const std::string path =
      (slash == std::string::npos ? std::string(".") : declarations.substr(0, slash)) + "/values.csv";
  if (!tools::path_exists(path)) return described;
  import::CsvReader reader(path, path);
  std::vector<std::string> fields;
  reader.next_record(fields); // the header
  while (reader.next_record(fields)) {
    if (fields.size() == 4 && fields[0] == sort_name) described[fields[1]] = {fields[2], fields[3]};
  }
  return described;
}

// Each constant of the sort on a line of its own, with its paragraph and
// description when they are known.
int list_values(const Signature& signature, const std::string& declarations,
                const std::string& sort_name) {
  const Sort sort = Sort::named(sort_name);
  std::vector<std::string> names = tools::constants_of_sort(signature, sort);
  if (names.empty()) throw UsageError("the declarations have no constants of sort " + sort_name);
  const auto described = descriptions_of(declarations, sort_name);
  std::size_t width = 0, cite = 0;
  for (const std::string& name : names) {
    width = std::max(width, name.size());
    auto found = described.find(name);
    if (found != described.end()) cite = std::max(cite, found->second.first.size());
  }
  for (const std::string& name : names) {
    auto found = described.find(name);
    if (found == described.end()) {
      std::cout << name << "\n";
      continue;
    }
    std::cout << name << std::string(width - name.size() + 2, ' ') << found->second.first
              << std::string(cite - found->second.first.size() + 2, ' ') << found->second.second
              << "\n";
  }
  return 0;
}

// Progress on a terminal, for long imports.
std::function<void(std::int64_t, long long)> progress_for(const std::string& shown) {
  if (!::isatty(STDERR_FILENO)) return {};
  return [shown](std::int64_t rows, long long bytes) {
    if (rows < 65536) return;
    std::cerr << "\rhipaa-import: " << shown << ": " << tools::count_noun(rows, "row", "rows")
              << ", " << bytes / 1048576
              << " MB" << std::flush;
  };
}

// The first problems each on its own line, every later one counted by
// kind; after more than one, how many there were.
[[noreturn]] void report(const ErrorList& errors) {
  const std::vector<std::string>& messages = errors.messages();
  if (errors.total() == 1) throw ToolError(messages.front());
  for (const std::string& message : messages) std::cerr << "hipaa-import: " << message << "\n";
  const std::int64_t more = errors.total() - static_cast<std::int64_t>(messages.size());
  if (more > 0) {
    std::cerr << "hipaa-import: " << tools::count_noun(more, "more problem", "more problems")
              << " beyond --max-errors " << errors.limit() << ", by kind:\n";
    for (const std::string& kind : errors.summary()) std::cerr << "hipaa-import:   " << kind << "\n";
  }
  throw ToolError(tools::count_noun(errors.total(), "problem", "problems") + "; nothing written");
}

struct Totals {
  std::int64_t rows = 0;
  std::int64_t dropped = 0; // exact repeats that --dedupe left out
  std::size_t files = 0;
};

// Reads every input into the database being built; the caller discards it
// when `errors` is not empty afterwards.
Totals import_all(const std::vector<Input>& inputs, const std::vector<const LogTable*>& targets,
                  const std::vector<LogTable>& tables, const import::ValueEncoder& encoder,
                  const tools::CommandLine& line, const import::DateFormats& dates,
                  const import::CodeMap& codes,
                  tools::NewDatabase& database, ErrorList& errors,
                  std::optional<std::string>& last_disclosure) {
  Totals totals;
  import::ReadOptions options;
  options.ignore_extra_columns = line.has("ignore-extra-columns");
  options.encoding = line.get("encoding").value_or("");
  options.formula_guard = line.has("formula-guard");
  options.force_encoding = line.has("force-encoding");
  options.dates = &dates;
  options.codes = &codes;

  // Role periods first: the disclosures read later are expanded with them.
  import::RolePeriods periods;
  const LogTable* role_table = tools::find_table(tables, names::kRoleAt);
  for (std::size_t i = 0; i < inputs.size(); ++i) {
    if (targets[i] == nullptr || targets[i]->name != names::kRolePeriods) continue;
    import::ReadOptions period_options = options;
    period_options.may_be_empty = {false, false, false, true};
    totals.rows += import::read_table(
        inputs[i].source, *targets[i], encoder, period_options, errors,
        [&](const auto& printed, const auto& given, std::int64_t) { periods.add(printed, given); });
    ++totals.files;
  }
  import::ActsForPeriods agents;
  for (std::size_t i = 0; i < inputs.size(); ++i) {
    if (targets[i] == nullptr || targets[i]->name != import::kActsForPeriods) continue;
    import::ReadOptions period_options = options;
    period_options.may_be_empty = {false, false, false, false, true};
    totals.rows += import::read_table(
        inputs[i].source, *targets[i], encoder, period_options, errors,
        [&](const auto& printed, const auto& given, std::int64_t) { agents.add(printed, given); });
    ++totals.files;
  }
  std::optional<tools::RowInserter> agent_inserter;
  if (!agents.empty()) agent_inserter.emplace(database.inserter(import::kActsFor, 4));
  const std::string role_rows = "hipaa_import_role_rows";
  std::optional<tools::RowInserter> role_inserter;
  if (!periods.empty()) {
    database.exec("CREATE TEMP TABLE " + tools::quote_identifier(role_rows) +
                  " (person TEXT, role TEXT, at TEXT)");
    role_inserter.emplace(database.inserter(role_rows, 3));
  }

  import::LineRecord lines(database);
  import::Duplicates duplicates(database);
  const bool dedupe = line.has("dedupe");
  std::optional<std::int64_t> latest;
  for (std::size_t i = 0; i < inputs.size(); ++i) {
    const LogTable* table = targets[i];
    if (table == nullptr || table->name == names::kRolePeriods ||
        table->name == import::kActsForPeriods) {
      continue;
    }
    tools::RowInserter inserter = database.inserter(table->name, table->columns.size());
    const bool disclosures = table->name == names::kDisclose;
    const auto sender = table->column_index("sender");
    const auto recipient = table->column_index("recipient");
    const auto at = table->column_index("at");
    import::ReadOptions table_options = options;
    table_options.progress = progress_for(inputs[i].source.shown);
    const std::int64_t read = import::read_table(
        inputs[i].source, *table, encoder, table_options, errors,
        [&](const std::vector<std::string>& as_read, const std::vector<std::string>& given,
            std::int64_t line) {
          std::vector<std::string> printed = as_read;
          import::extend_day_ends(*table, printed, given);
          // A repeated disclosure or attribute row would be judged twice;
          // a repeated row of another table changes no verdict, and is
          // looked for only when --dedupe asks to leave it out.
          const bool judged = disclosures || table->name == names::kAttributeOf;
          if (const std::int64_t first =
                  judged || dedupe
                      ? duplicates.earlier(table->name, printed, lines.rows(table->name) + 1)
                      : 0) {
            if (dedupe) {
              ++totals.dropped;
              return;
            }
            errors.add(inputs[i].source.shown + ":" + std::to_string(line) + ": repeats " +
                       lines.place(table->name, first) +
                       " exactly (--dedupe keeps only the first)");
            return;
          }
          for (std::size_t c = 0; c < printed.size(); ++c) inserter.bind(static_cast<int>(c), printed[c]);
          inserter.insert();
          lines.add(table->name, inputs[i].source.shown, line);
          if (!disclosures || !at) return;
          const std::int64_t seconds = import::seconds_of(printed[*at]);
          if (!latest || seconds > *latest) {
            latest = seconds;
            last_disclosure = printed[*at];
          }
          if (agent_inserter && sender) {
            agents.entities_at(printed[*sender], seconds,
                               [&](const std::string& entity, const std::string& kind) {
              agent_inserter->insert({printed[*sender], entity, kind, printed[*at]});
              if (!role_inserter) return;
              periods.roles_at(entity, seconds, [&](const std::string& role) {
                role_inserter->insert({entity, role, printed[*at]});
              });
            });
          }
          if (!role_inserter) return;
          for (auto party : {sender, recipient}) {
            if (!party) continue;
            periods.roles_at(printed[*party], seconds, [&](const std::string& role) {
              role_inserter->insert({printed[*party], role, printed[*at]});
            });
          }
        });
    // The progress line ends once its file is read.
    if (table_options.progress && read >= 65536) std::cerr << "\n";
    totals.rows += read;
    ++totals.files;
  }
  agent_inserter.reset();
  if (role_inserter && errors.empty()) {
    // The individuals' own roles (inmate, armed forces member) at the time
    // of each disclosure about them.
    import::for_each_subject_at(database, [&](const std::string& subject, const std::string& at) {
      periods.roles_at(subject, import::seconds_of(at), [&](const std::string& role) {
        role_inserter->insert({subject, role, at});
      });
    });
  }
  lines.finish();
  if (role_inserter) {
    role_inserter.reset();
    if (role_table == nullptr) {
      throw ToolError("role periods need a table " + std::string(names::kRoleAt));
    }
    const std::string columns = "\"person\", \"role\", \"at\"";
    database.exec("INSERT INTO " + tools::quote_identifier(role_table->name) + " (" + columns +
                  ") SELECT person, role, at FROM " + tools::quote_identifier(role_rows) +
                  " EXCEPT SELECT " + columns + " FROM " +
                  tools::quote_identifier(role_table->name));
  }
  return totals;
}

int run(int argc, char** argv) {
  tools::CommandLine line = tools::parse_command_line(argc, argv, kOptionRules);
  if (tools::answered_help_or_version(line, "hipaa-import",
                                      tools::usage_text(kUsageHead, kOptionRules, kUsageTail))) {
    return 0;
  }
  const std::string declarations =
      tools::case_study_file(line, "decls", "hipaa.d", tools::case_study_places());
  const std::string output_path = line.get("out").value_or("hipaa.db");
  if (output_path.empty()) throw UsageError("--out needs a file name");
  const std::size_t max_errors = static_cast<std::size_t>(tools::read_bounded_count(
      "max-errors", line.get("max-errors").value_or("20"), 1, 1000000));
  const Signature signature = tools::load_signature(declarations, line.has("accept-repairs"));
  if (auto sort = line.get("list-values")) return list_values(signature, declarations, *sort);

  const std::vector<Input> inputs = inputs_of(line);
  if (inputs.empty()) throw UsageError("no CSV files given (try --help)");
  std::vector<std::string> input_paths{declarations};
  for (const Input& input : inputs) input_paths.push_back(input.source.path);
  tools::refuse_output_among_inputs(output_path, input_paths);

  if (auto encoding = line.get("encoding")) {
    if (!import::names_utf16(*encoding)) import::Transcoder check(*encoding);
  }
  const import::ValueEncoder encoder(signature);
  import::DateFormats dates;
  for (const std::string& format : line.all("date-format")) dates.add(format);
  import::CodeMap codes;
  for (const std::string& map : line.all("map")) codes.read(map, signature, encoder);
  std::optional<std::string> complete_until;
  if (auto until = line.get("complete-until")) {
    try {
      complete_until = date_to_text(import::read_local_date(*until));
    } catch (const ToolError& error) {
      throw UsageError(std::string("--complete-until: ") + error.what());
    }
  }

  // The tables a file may fill: the declared ones, and the computed ones
  // that a user may also give.
  std::vector<LogTable> tables = tools::log_tables_of(signature);
  const bool audit_end_declared = tools::find_table(tables, names::kAuditEnd) != nullptr;
  if (!audit_end_declared) tables.push_back(tools::audit_end_table());
  std::vector<LogTable> fillable = tables;
  if (const LogTable* roles = tools::find_table(tables, names::kRoleAt)) {
    fillable.push_back(import::RolePeriods::file_layout(*roles));
  }
  if (const LogTable* acts_for = tools::find_table(tables, import::kActsFor)) {
    fillable.push_back(import::ActsForPeriods::file_layout(*acts_for));
  }

  ErrorList errors(max_errors);
  try {
    const std::vector<const LogTable*> targets = tables_of(inputs, fillable, declarations, errors);
    if (!errors.empty()) report(errors);
    bool audit_end_given = false;
    for (const LogTable* table : targets) audit_end_given |= table->name == names::kAuditEnd;
    if (audit_end_given && complete_until) {
      throw UsageError("--complete-until and a file for table audit_end cannot both be given");
    }

    tools::OutputFile output(output_path, line.has("force"));
    tools::NewDatabase database(output.temporary_path(), kCacheKib);
    for (const LogTable& table : tables) database.create_table(table.name, table.columns);
    std::optional<std::string> last_disclosure;
    Totals totals =
        import_all(inputs, targets, tables, encoder, line, dates, codes, database, errors,
                   last_disclosure);
    if (!errors.empty()) report(errors);

    codes.record(database);
    import::add_calendar_spans(database, tables);
    if (const LogTable* inclusions = tools::find_table(tables, names::kAttributeIn)) {
      import::close_inclusions(database, *inclusions);
    }
    std::optional<std::string> end = complete_until ? complete_until : last_disclosure;
    if (!audit_end_given && end) {
      database.inserter(names::kAuditEnd, 1).insert({*end});
    }
    for (const LogTable& table : tables) {
      for (const std::string& column : table.columns) database.create_index(table.name, {column});
    }
    // Statistics let the audit's queries pick the most selective index.
    database.exec("ANALYZE");
    database.finish();
    // Said before the commit: when standard output fails, nothing is
    // written, as the exit status then says.
    std::cout << "hipaa-import: " << tools::count_noun(totals.rows - totals.dropped, "row", "rows")
              << " from " << tools::count_noun(totals.files, "file", "files") << " written to "
              << output_path;
    if (totals.dropped > 0) {
      std::cout << " (" << tools::count_noun(totals.dropped, "exact repeat", "exact repeats")
                << " left out)";
    }
    std::cout << "\n";
    if (!std::cout.flush()) throw ToolError("cannot write standard output");
    output.commit();
    return 0;
  } catch (const import::ErrorLimitReached&) {
    report(errors);
  }
}

} // namespace

int main(int argc, char** argv) {
  return hipaa::tools::run_tool("hipaa-import", [&] { return run(argc, argv); });
}

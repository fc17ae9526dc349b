// hipaa-export: writes every table of an audit log back as one CSV file per
// table, in the form hipaa-import reads: strings without their quotes,
// dates and constants as stored.
#include "csv_writer.hpp"

#include "common/case_study.hpp"
#include "common/command_line.hpp"
#include "common/count_noun.hpp"
#include "common/log_reader.hpp"
#include "common/log_tables.hpp"
#include "common/output_file.hpp"
#include "common/tool_main.hpp"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <iostream>
#include <optional>

namespace {

using namespace hipaa;
using tools::ToolError;
using tools::UsageError;

const std::vector<tools::OptionRule> kOptionRules = {
    {"db", 'd', true, "PATH", "the log to read (required)"},
    {"out", 'o', true, "DIR",
     "the folder to write into, created if need be (default: the current one)", {"output"}},
    {"decls", 'D', true, "PATH",
     "the declarations, which say which columns hold strings (default hipaa.d of the "
     "case study: in $HIPAA_CASE_STUDY, ./hipaa-case-study or the installed one)",
     {"declarations"}},
    {"force", 'f', false, "", "replace CSV files that exist"},
    {"raw-cells", '\0', false, "",
     "write every cell as stored; by default a cell that starts with = + - @ ' tab or CR, "
     "which a spreadsheet could run as a formula, gets a ' before it, and the header's "
     "first name one more, which tells hipaa-import to remove them again"},
    {"accept-repairs", '\0', false, "",
     "use declarations that parse only after a repair, as repaired (by default they are "
     "refused)"},
    {"help", 'h', false, "", "show this text and exit"},
    {"version", 'V', false, "", "show the version and exit"},
};

const char* const kUsageHead =
    "Usage: hipaa-export --db PATH [OPTION]...\n"
    "Write every table of an audit log as one CSV file per table, TABLE.csv, with a\n"
    "header naming its columns.  Strings are written without their double quotes,\n"
    "dates and constants as stored, so that hipaa-import reads the files back into\n"
    "the same rows:\n"
    "\n"
    "  hipaa-export --db hipaa.db --out records\n"
    "  hipaa-import --out copy.db records/*.csv\n";

const char* const kUsageTail =
    "Each file is written under a temporary name and renamed when complete; every\n"
    "target is checked before the first is written.  The log is only read.  Exit\n"
    "status: 0 when every table was written, 1 when one could not be or the summary\n"
    "line could not be written to standard output (the files written are kept), 2\n"
    "for a command line that cannot be used or declarations that need a repair to\n"
    "parse or fail a check (FILE:LINE:COLUMN: message).\n";

// Whether a column holds strings, by the declarations; undeclared tables
// are written as stored.
std::vector<bool> string_columns(const std::vector<tools::LogTable>& tables,
                                 const std::string& table, const std::vector<std::string>& columns) {
  std::vector<bool> strings(columns.size(), false);
  const tools::LogTable* declared = tools::find_table(tables, table);
  if (declared == nullptr) return strings;
  for (std::size_t i = 0; i < columns.size(); ++i) {
    auto index = declared->column_index(columns[i]);
    strings[i] = index && declared->sorts[*index].kind == Sort::Kind::String;
  }
  return strings;
}

// The text of a stored string, or the stored value when it is no string.
std::string unquoted(const std::string& stored) {
  if (stored.size() >= 2 && stored.front() == '"' && stored.back() == '"' &&
      stored.find('"', 1) == stored.size() - 1) {
    return stored.substr(1, stored.size() - 2);
  }
  return stored;
}

// A table name becomes a file name: one that could leave the folder or
// hide is refused.
void check_file_name(const std::string& table) {
  if (table.empty() || table[0] == '.' || table.find('/') != std::string::npos ||
      table.find('\0') != std::string::npos) {
    throw ToolError("table \"" + table + "\" cannot be written as a file name");
  }
}

int run(int argc, char** argv) {
  tools::CommandLine line = tools::parse_command_line(argc, argv, kOptionRules);
  if (tools::answered_help_or_version(line, "hipaa-export",
                                      tools::usage_text(kUsageHead, kOptionRules, kUsageTail))) {
    return 0;
  }
  if (!line.positional.empty()) {
    throw UsageError("unexpected argument \"" + line.positional.front() + "\" (try --help)");
  }
  std::optional<std::string> db = line.get("db");
  if (!db) throw UsageError("--db PATH names the log to export (try --help)");
  const std::string folder = line.get("out").value_or(".");
  const std::string declarations =
      tools::case_study_file(line, "decls", "hipaa.d", tools::case_study_places());
  // The inputs first: a run that cannot read them creates nothing.
  const std::vector<tools::LogTable> tables =
      tools::log_tables_of(tools::load_signature(declarations, line.has("accept-repairs")));
  tools::LogReader log(*db);
  struct stat info;
  if (::stat(folder.c_str(), &info) != 0 && ::mkdir(folder.c_str(), 0777) != 0) {
    throw ToolError("cannot create the folder " + folder + ": " + std::strerror(errno));
  }
  if (::stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
    throw ToolError(folder + " is not a folder");
  }

  std::vector<std::string> names;
  log.each_row("SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite\\_%' "
               "ESCAPE '\\' AND name NOT IN (?, ?) ORDER BY rowid",
               {tools::case_tables::kImportLines, tools::case_tables::kImportCodes},
               [&](const tools::TextRow& row) {
                 names.push_back(row[0]);
                 return true;
               });
  // Every target is checked before any file is written: a refusal leaves
  // no partial export behind.
  for (const std::string& table : names) {
    check_file_name(table);
    const std::string path = folder + "/" + table + ".csv";
    for (const std::string& input : {*db, declarations}) {
      if (input == path || tools::same_file(input, path)) {
        throw UsageError("the output " + path + " is also an input (" + input +
                         "); choose another --out");
      }
    }
    if (!line.has("force") && tools::path_exists(path)) {
      throw ToolError(path + " already exists; use --force to overwrite it");
    }
  }
  const tools::Formulas cells =
      line.has("raw-cells") ? tools::Formulas::Kept : tools::Formulas::Neutralised;
  std::int64_t rows = 0;
  for (const std::string& table : names) {
    std::vector<std::string> columns;
    log.each_row("SELECT name FROM pragma_table_info(?) ORDER BY cid", {table},
                 [&](const tools::TextRow& row) {
                   columns.push_back(row[0]);
                   return true;
                 });
    const std::vector<bool> strings = string_columns(tables, table, columns);
    const std::string path = folder + "/" + table + ".csv";
    tools::OutputFile output(path, line.has("force"));
    exporting::CsvWriter writer(output.temporary_path(), cells);
    writer.header(columns);
    std::vector<std::string> fields(columns.size());
    log.each_row("SELECT * FROM " + tools::quote_identifier(table) + log.row_order(table), {},
                 [&](const tools::TextRow& row) {
                   for (std::size_t i = 0; i < fields.size(); ++i) {
                     fields[i] = strings[i] ? unquoted(row[i]) : row[i];
                   }
                   writer.record(fields);
                   ++rows;
                   return true;
                 });
    writer.finish();
    output.commit();
  }
  std::cout << "hipaa-export: " << tools::count_noun(rows, "row", "rows") << " of "
            << tools::count_noun(names.size(), "table", "tables") << " written to " << folder
            << "\n";
  return 0;
}

} // namespace

int main(int argc, char** argv) {
  return hipaa::tools::run_tool("hipaa-export", [&] { return run(argc, argv); });
}

// hipaa-import: builds an audit database from one's own records, one CSV
// file per log table, every value encoded as the term the declarations
// require.
#include "log_tables.hpp"
#include "table_import.hpp"

#include "../common/command_line.hpp"
#include "../common/output_file.hpp"
#include "../common/sqlite_writer.hpp"

#include "check/decls_check.hpp"
#include "base/failure.hpp"
#include "syntax/decls_parser.hpp"

#include <iostream>
#include <sstream>

namespace {

using namespace hipaa;
using tools::ToolError;

const std::vector<tools::OptionRule> kOptionRules = {
    {"declarations", 'd', true},
    {"output", 'o', true},
    {"force", 'f', false},
    {"help", 'h', false},
};

const char* const kUsage =
    "Usage: hipaa-import [OPTION]... TABLE.csv...\n"
    "Build an audit database from CSV files, one per log table.  Each file is named\n"
    "after its table (disclose.csv fills the table disclose); its first line names\n"
    "the table's columns, in any order; fields follow RFC 4180 (commas, double\n"
    "quotes around fields that hold commas, quotes or line breaks).  Tables without\n"
    "a file are created empty.\n"
    "\n"
    "Values are encoded as the terms the declarations require: text in a string\n"
    "column is stored in double quotes; a date column takes YYYY-MM-DD, optionally\n"
    "with a time hh:mm[:ss], and stores YYYY:MM:DD:hh:mm:ss; an int column takes a\n"
    "32-bit integer; any other column takes a constant declared with its sort.  The\n"
    "first value that does not fit stops the import with its file and line, and\n"
    "nothing is written.\n"
    "\n"
    "  -d, --declarations PATH  the declarations (default\n"
    "                           ./hipaa-case-study/hipaa.d)\n"
    "  -o, --output PATH        the database to write (default hipaa.db)\n"
    "  -f, --force              replace PATH if it exists\n"
    "  -h, --help               show this text and exit\n";

std::string base_name(const std::string& path) {
  std::size_t slash = path.find_last_of('/');
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  std::size_t dot = name.find_last_of('.');
  return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

Signature load_signature(const std::string& path) {
  std::ostringstream diagnostics;
  try {
    std::optional<DeclList> entries = parse_decls_file(path, diagnostics);
    if (!entries) throw ToolError(path + ": the declarations do not parse");
    check_decls(*entries, diagnostics);
    return *entries;
  } catch (const Failure& failure) {
    std::string detail = diagnostics.str();
    while (!detail.empty() && detail.back() == '\n') detail.pop_back();
    throw ToolError(path + ": " + (detail.empty() ? failure.message() : detail));
  }
}

const import::LogTable& table_for(const std::string& file,
                                  const std::vector<import::LogTable>& tables,
                                  const std::string& declarations) {
  const std::string name = base_name(file);
  for (const import::LogTable& table : tables) {
    if (table.name == name) return table;
  }
  std::string known;
  for (const import::LogTable& table : tables) known += (known.empty() ? "" : ", ") + table.name;
  throw ToolError(file + ": " + declarations + " declares no table named " + name +
                  " (tables: " + known + ")");
}

int run(int argc, char** argv) {
  tools::CommandLine line = tools::parse_command_line(argc, argv, kOptionRules);
  if (line.has("help")) {
    std::cout << kUsage;
    return 0;
  }
  if (line.positional.empty()) throw ToolError("no CSV files given (try --help)");
  const std::string declarations = line.get("declarations").value_or("./hipaa-case-study/hipaa.d");
  const std::string output_path = line.get("output").value_or("hipaa.db");
  const Signature signature = load_signature(declarations);
  const std::vector<import::LogTable> tables = import::log_tables_of(signature);

  std::vector<std::pair<std::string, const import::LogTable*>> files;
  for (const std::string& file : line.positional) {
    const import::LogTable& table = table_for(file, tables, declarations);
    for (const auto& earlier : files) {
      if (earlier.second == &table) {
        throw ToolError(file + ": table " + table.name + " is already filled from " + earlier.first);
      }
    }
    files.emplace_back(file, &table);
  }

  tools::OutputFile output(output_path, line.has("force"));
  tools::NewDatabase database(output.temporary_path());
  for (const import::LogTable& table : tables) database.create_table(table.name, table.columns);
  std::int64_t rows = 0;
  for (const auto& [file, table] : files) rows += import::import_table(file, *table, signature, database);
  for (const import::LogTable& table : tables) {
    for (const std::string& column : table.columns) database.create_index(table.name, {column});
  }
  // Statistics let the audit's queries pick the most selective index.
  database.exec("ANALYZE");
  database.finish();
  output.commit();
  std::cout << "hipaa-import: " << rows << " rows from " << files.size() << " files written to "
            << output_path << "\n";
  return 0;
}

} // namespace

int main(int argc, char** argv) {
  try {
    return run(argc, argv);
  } catch (const ToolError& error) {
    std::cerr << "hipaa-import: " << error.what() << "\n";
  } catch (const Failure& failure) {
    std::cerr << "hipaa-import: " << failure.message() << "\n";
  }
  return 1;
}

// The tables that a declarations file maps its DB predicates to: the
// columns of each and the sort every column's values must have; and the
// tables of the case study that the tools treat specially.
#pragma once

#include "logic/declarations.hpp"

#include <optional>
#include <string>
#include <vector>

namespace hipaa::tools {

struct LogTable {
  std::string name;
  std::string predicate; // the first DB predicate stored in the table
  std::vector<std::string> columns;
  std::vector<Sort> sorts; // one per column

  // The position of column `column`, if the table has it.
  std::optional<std::size_t> column_index(const std::string& column) const;
};

// Every table named by a DbInfo, in declaration order, each once.  A table
// that two predicates declare with different columns or sorts is a
// ToolError.
std::vector<LogTable> log_tables_of(const Signature& signature);

// The table named `name`, or null.
const LogTable* find_table(const std::vector<LogTable>& tables, const std::string& name);

// Reads and checks a declarations file; one that needs a repair to parse,
// or fails a check, is a SourceError with located messages.  With
// `accept_repairs` the repaired declarations are used.
Signature load_signature(const std::string& path, bool accept_repairs = false);

// The names of the declared constants (constructors without arguments) of
// sort `sort`, in declaration order.
std::vector<std::string> constants_of_sort(const Signature& signature, const Sort& sort);

// The case study's tables that the tools know by name: whose rows are
// computed from others, or checked together.
namespace case_tables {
inline constexpr const char* kDisclose = "disclose";         // sender, recipient, info, at
inline constexpr const char* kAttributeOf = "hasattrof_db";  // info, subject, attr, recorded
inline constexpr const char* kAttributeIn = "attr_in_db";    // subattr, superattr, basis
inline constexpr const char* kPurposeOf = "purp_in_db";      // info, purpose, stated_by
inline constexpr const char* kRoleAt = "inrole_db";          // person, role, at
inline constexpr const char* kAccessRequest = "access_request"; // individual, covered_entity, received
inline constexpr const char* kAccountingRequest = "accounting_request"; // the same columns
// Role periods (person, role, from, to) that the importer expands into
// kRoleAt rows; a file, never a table of the log.
inline constexpr const char* kRolePeriods = "inrole_periods";
// The moment up to which the log is complete: one row, one date column.
inline constexpr const char* kAuditEnd = "audit_end";
inline constexpr const char* kAuditEndColumn = "time";
// Where the importer read each row: rows first_row to last_row of table
// tbl come from file, row r from line first_line + (r - first_row).  Not a
// log table: the audit never reads it, the lint names lines with it.
inline constexpr const char* kImportLines = "hipaa_import_lines";
// The local codes an import translated (sort, local, constant), one row per
// row of its --map files, so that readers of the log can name a constant's
// local code.  Not a log table either.
inline constexpr const char* kImportCodes = "hipaa_import_codes";
// The attribute every audited message must carry.
inline constexpr const char* kTopAttribute = "phi";
} // namespace case_tables

// The audit_end table as the tools write it when the declarations do not
// name it.
LogTable audit_end_table();

} // namespace hipaa::tools

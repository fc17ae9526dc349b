#include "log_tables.hpp"

#include "policy_input.hpp"
#include "tool_error.hpp"

#include "base/failure.hpp"

#include <sstream>

namespace hipaa::tools {

namespace {

LogTable table_of(const std::string& predicate, const PredDecl& decl) {
  LogTable table{decl.dbinfo->table, predicate, decl.dbinfo->columns, {}};
  for (const PredArg& arg : decl.args) table.sorts.push_back(arg.sort);
  return table;
}

} // namespace

std::optional<std::size_t> LogTable::column_index(const std::string& column) const {
  for (std::size_t i = 0; i < columns.size(); ++i) {
    if (columns[i] == column) return i;
  }
  return std::nullopt;
}

std::vector<LogTable> log_tables_of(const Signature& signature) {
  std::vector<LogTable> tables;
  for (const DeclEntry& entry : signature) {
    const PredDecl* decl = std::get_if<PredDecl>(&entry.decl);
    if (decl == nullptr || decl->cls != PredClass::Db || !decl->dbinfo) continue;
    LogTable table = table_of(entry.name, *decl);
    bool known = false;
    for (const LogTable& earlier : tables) {
      if (earlier.name != table.name) continue;
      if (earlier.columns != table.columns || earlier.sorts != table.sorts) {
        throw ToolError("table " + table.name + " is declared by " + earlier.predicate + " and " +
                        table.predicate + " with different columns");
      }
      known = true;
    }
    if (!known) tables.push_back(std::move(table));
  }
  return tables;
}

const LogTable* find_table(const std::vector<LogTable>& tables, const std::string& name) {
  for (const LogTable& table : tables) {
    if (table.name == name) return &table;
  }
  return nullptr;
}

Signature load_signature(const std::string& path, bool accept_repairs) {
  std::ostringstream quiet;
  return load_declarations(path, accept_repairs, quiet);
}

std::vector<std::string> constants_of_sort(const Signature& signature, const Sort& sort) {
  std::vector<std::string> names;
  for (const DeclEntry& entry : signature) {
    const ConsDecl* decl = std::get_if<ConsDecl>(&entry.decl);
    if (decl && decl->cls == ConsClass::Sym && decl->arg_sorts.empty() && decl->result == sort) {
      names.push_back(entry.name);
    }
  }
  return names;
}

LogTable audit_end_table() {
  return {case_tables::kAuditEnd, case_tables::kAuditEnd, {case_tables::kAuditEndColumn},
          {Sort::date()}};
}

} // namespace hipaa::tools

#include "log_tables.hpp"

#include "../common/tool_error.hpp"

namespace hipaa::import {

namespace {

LogTable table_of(const std::string& predicate, const PredDecl& decl) {
  LogTable table{decl.dbinfo->table, predicate, decl.dbinfo->columns, {}};
  for (const PredArg& arg : decl.args) table.sorts.push_back(arg.sort);
  return table;
}

} // namespace

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
        throw tools::ToolError("table " + table.name + " is declared by " + earlier.predicate +
                               " and " + table.predicate + " with different columns");
      }
      known = true;
    }
    if (!known) tables.push_back(std::move(table));
  }
  return tables;
}

} // namespace hipaa::import

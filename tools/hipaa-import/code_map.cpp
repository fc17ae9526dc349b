#include "code_map.hpp"

#include "csv_reader.hpp"

#include "common/log_tables.hpp"
#include "common/tool_error.hpp"

#include <map>

namespace hipaa::import {

using tools::ToolError;

void CodeMap::read(const std::string& path, const Signature& signature,
                   const ValueEncoder& encoder) {
  CsvReader reader(path, path);
  std::vector<std::string> fields;
  const auto where = [&] { return path + ":" + std::to_string(reader.record_line()) + ": "; };
  if (!reader.next_record(fields)) throw ToolError(path + ":1: the file is empty");
  if (fields != std::vector<std::string>{"sort", "local", "constant"}) {
    throw ToolError(where() + "the header must be sort,local,constant");
  }
  while (reader.next_record(fields)) {
    if (fields.size() != 3) throw ToolError(where() + "expected 3 fields (sort,local,constant)");
    const std::string& sort_name = fields[0];
    bool declared = false;
    for (const DeclEntry& entry : signature) {
      declared |= entry.name == sort_name && std::holds_alternative<SortDecl>(entry.decl);
    }
    if (!declared) throw ToolError(where() + "\"" + sort_name + "\" is not a declared sort");
    if (fields[1].empty()) throw ToolError(where() + "the local code is empty");
    try {
      encoder.encode(fields[2], Sort::named(sort_name));
    } catch (const ToolError& error) {
      throw ToolError(where() + error.what());
    }
    auto [at, added] = codes_[sort_name].emplace(fields[1], fields[2]);
    if (!added && at->second != fields[2]) {
      throw ToolError(where() + "local code \"" + fields[1] + "\" already stands for " + at->second);
    }
  }
}

void CodeMap::record(tools::NewDatabase& database) const {
  if (codes_.empty()) return;
  std::map<std::string, std::map<std::string, std::string>> sorted;
  for (const auto& [sort, codes] : codes_) sorted[sort].insert(codes.begin(), codes.end());
  database.exec("CREATE TABLE " + tools::quote_identifier(tools::case_tables::kImportCodes) +
                " (sort TEXT, local TEXT, constant TEXT, PRIMARY KEY (sort, local)) WITHOUT ROWID");
  tools::RowInserter inserter = database.inserter(tools::case_tables::kImportCodes, 3);
  for (const auto& [sort, codes] : sorted) {
    for (const auto& [local, constant] : codes) inserter.insert({sort, local, constant});
  }
}

const std::unordered_map<std::string, std::string>* CodeMap::codes_of(const std::string& sort) const {
  auto found = codes_.find(sort);
  return found == codes_.end() ? nullptr : &found->second;
}

} // namespace hipaa::import

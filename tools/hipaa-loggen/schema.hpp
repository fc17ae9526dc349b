// The tables of the case study's log, as hipaa-case-study/hipaa.d maps its
// table predicates, and the indexes that serve the audit's lookups.
#pragma once

#include <string>
#include <vector>

namespace hipaa::loggen {

struct TableLayout {
  std::string name;
  std::vector<std::string> columns;
  // Each entry is one index; its columns are the ones the policy's atoms
  // constrain together, most selective first.
  std::vector<std::vector<std::string>> indexes;
};

// Every table, in the order the generator creates them.
const std::vector<TableLayout>& log_tables();

const TableLayout& table_named(const std::string& name);

} // namespace hipaa::loggen

// Loading one CSV file into its table: the header names the columns, every
// record becomes one row of printed terms.
#pragma once

#include "log_tables.hpp"

#include "../common/sqlite_writer.hpp"

#include <cstdint>
#include <string>

namespace hipaa::import {

// Reads `path` completely into `table`; returns the number of rows.  The
// first problem (header, record shape or value) is a ToolError naming the
// file and the line.
std::int64_t import_table(const std::string& path, const LogTable& table,
                          const Signature& signature, tools::NewDatabase& database);

} // namespace hipaa::import

// A hospital's own codes for purposes, roles, attributes and the other
// declared constants, translated on import: a CSV file of rows (sort, local
// code, constant) given with --map.
#pragma once

#include "value_encoding.hpp"

#include "common/sqlite_writer.hpp"

#include <string>
#include <unordered_map>

namespace hipaa::import {

class CodeMap {
public:
  // Reads `path` (header "sort,local,constant"); a ToolError naming the
  // file and line for a sort that is not declared, a constant not declared
  // with its sort, or a local code given twice with different constants.
  void read(const std::string& path, const Signature& signature, const ValueEncoder& encoder);

  // The codes of `sort` (by its printed name), or null.
  const std::unordered_map<std::string, std::string>* codes_of(const std::string& sort) const;

  bool empty() const { return codes_.empty(); }

  // Writes every code into the table hipaa_import_codes (sort, local,
  // constant) of `database`, by sort and local code; nothing when the map
  // is empty.
  void record(tools::NewDatabase& database) const;

private:
  std::unordered_map<std::string, std::unordered_map<std::string, std::string>> codes_;
};

} // namespace hipaa::import

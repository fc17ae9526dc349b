// The hospital's own codes that hipaa-import translated into the policy's
// constants (its --map), as the importer kept them in the log's side table
// hipaa_import_codes: a reason names the local code beside the constant, so
// that the officer reads the words of her own records.
#pragma once

#include "db/sqlite.hpp"

#include <string>
#include <utility>
#include <vector>

namespace hipaa::report {

class LocalCodes {
public:
  // The codes kept in `connection`'s log; none when the log was not
  // imported with a map.
  static LocalCodes read(db::Connection& connection);

  bool empty() const { return notes_.empty(); }

  // `text` with " (local code A)" or " (local codes A, B)" after the first
  // mention of each constant that has local codes, a mention being the
  // constant's name standing whole between characters that cannot be part
  // of a name.
  std::string annotate(const std::string& text) const;

private:
  std::vector<std::pair<std::string, std::string>> notes_; // constant, note
};

} // namespace hipaa::report

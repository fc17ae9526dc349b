// Repair records and their report lines.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace hipaa::syntax {

enum class RepairAction { Insert, Delete, Substitute, Failure };

struct RepairRecord {
  // Byte offset, in the framed text, of the token concerned: the token
  // before which tokens were inserted, the first deleted or replaced token,
  // or the token at which parsing stopped.
  std::size_t offset;
  RepairAction action;
  // Inserted, deleted or new tokens (kinds); for a failure, the one token.
  std::vector<int> tokens;
  // Replaced tokens of a substitution.
  std::vector<int> old_tokens;
};

// Where a byte offset of the framed text stands: its character position
// and its line and column, all counted from the text's start (lines and
// columns from 1).  Queries in increasing order cost one pass in total.
class SourceMap {
public:
  explicit SourceMap(std::string_view text) : text_(text) {}

  struct Place {
    std::size_t char_pos;
    std::size_t line;
    std::size_t column;
  };
  Place place(std::size_t offset);

private:
  std::string_view text_;
  std::size_t offset_ = 0;
  Place here_{0, 1, 1};
};

using TokenNamer = const char* (*)(int kind);

// "[L.C]: try inserting ...", one line per record, each ending in "\n".
std::vector<std::string> repair_lines(const std::vector<RepairRecord>& records,
                                      std::string_view framed, TokenNamer name);

// Appends `record` to `records`; its offset must lie beyond the last one's.
// Raises Fail otherwise (an internal error of the repair search).
void add_record(std::vector<RepairRecord>& records, RepairRecord record, std::string_view framed);

} // namespace hipaa::syntax

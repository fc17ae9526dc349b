// Messages about a place in a policy or declarations file, in the form
// editors and compilers use: "FILE:LINE:COLUMN: message", then the source
// line and a caret under the column.  The parsers report repairs as
// "[L.C]: try inserting )" against the framed text and the checks name the
// offending symbol without a place; this layer turns both into places in
// the file the user wrote.
#pragma once

#include "logic/declarations.hpp"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace hipaa::tools {

struct SourcePlace {
  std::size_t line = 1;   // from 1
  std::size_t column = 1; // from 1, in characters
};

// "PATH:L:C: message\n" followed by the source line and a caret line.
std::string located_message(const std::string& path, std::string_view text, SourcePlace place,
                            const std::string& message);

// The place in the file of a "[L.C]" position of the text framed by a start
// marker of `marker_length` bytes and a blank.  A place past the end of the
// text (the end marker) is the end of its last line.
SourcePlace unframed_place(std::string_view text, std::size_t marker_length, std::size_t line,
                           std::size_t column);

// One repair line of a parser, "[L.C]: action": its place and the action
// reworded as a suggestion.  Absent for any other line.
struct RepairSuggestion {
  std::size_t line;
  std::size_t column;
  std::string message;
};
std::optional<RepairSuggestion> read_repair_line(std::string_view line);

// The first place where `name` occurs as a whole symbol outside comments and
// string literals (the `occurrence`-th one, from 1, where it is there).
std::optional<SourcePlace> find_symbol(std::string_view text, std::string_view name,
                                       std::size_t occurrence = 1);

// The declared name closest to `name` among `candidates`, when one is close
// enough to be a slip of the keyboard: the same apart from case, `_` and
// `-`, or at most two edits away (one for short names).
std::optional<std::string> closest_name(const std::string& name,
                                        const std::vector<std::string>& candidates);

// What kind of name a check message is about, for the "did you mean".
enum class NameKind { Predicate, Constructor, Sort, Variable, Clause, Other };

// A check's one-line message ("Undeclared constructor: p3") with the symbol
// it names, where the diagnostic should point, and a hint for the reader.
struct CheckMessage {
  std::string symbol;         // empty when the message names none
  std::size_t occurrence = 1; // which occurrence of the symbol is at fault
  NameKind kind = NameKind::Other;
  std::string hint; // appended after the message, may be empty
};
CheckMessage read_check_message(const std::string& message, const Signature* signature);

// The names a "did you mean" chooses from.
std::vector<std::string> declared_names(const Signature& signature, NameKind kind);

// The whole diagnostic for a failed check of the file at `path`: located
// where the symbol it names occurs, else "PATH: message".
std::string check_diagnostic(const std::string& path, std::string_view text,
                             const std::string& message, const Signature* signature);

} // namespace hipaa::tools

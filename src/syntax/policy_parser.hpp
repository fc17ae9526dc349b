// The policy grammar's two entry points: the formula parse of a whole policy
// text and parse_term for one stored value.
#pragma once

#include "logic/formula.hpp"

#include <iosfwd>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace hipaa {

// What a parse produced: a formula result or a term result.
using ParseValue = std::variant<FormulaPtr, TermPtr>;

struct FormulaParse {
  // One line per repair record, in increasing position order, each ending
  // in "\n"; empty for a correct text.
  std::vector<std::string> repair_lines;
  // Absent when a syntax error could not be repaired.
  std::optional<ParseValue> result;
};

// Frames `text` with the formula markers and parses it.  Writes nothing: the
// caller writes the repair lines.  Lexer messages ("Unknown symbol: ") go to
// `diag` as characters are first lexed.
FormulaParse parse_formula_text(const std::string& text, std::ostream& diag);

// Frames `text` with the term markers and parses it; writes its repair lines
// to `diag` (and flushes) before returning.  Absent when unrepairable;
// raises BadParseType for a formula result.
std::optional<TermPtr> parse_term(const std::string& text, std::ostream& diag);

// Writes the repair lines as one block and flushes; nothing for no lines.
void write_repair_block(const std::vector<std::string>& lines, std::ostream& out);

} // namespace hipaa

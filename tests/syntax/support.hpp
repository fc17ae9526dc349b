// Helpers for the front-end tests: parsing texts and printing what came out.
#pragma once

#include "logic/printer.hpp"
#include "syntax/policy_parser.hpp"

#include <sstream>
#include <string>

namespace hipaa::testing {

// The formula parse of `text`: the printed formula (or "<none>"), the
// repair lines joined, and what went to the diagnostics stream.
struct Parsed {
  std::string printed;
  std::string repairs;
  std::string diag;
};

inline Parsed parse_policy(const std::string& text) {
  std::ostringstream diag;
  FormulaParse parse = parse_formula_text(text, diag);
  Parsed out{"<none>", "", diag.str()};
  for (const std::string& line : parse.repair_lines) out.repairs += line;
  if (parse.result) {
    if (const FormulaPtr* formula = std::get_if<FormulaPtr>(&*parse.result))
      out.printed = print_formula(**formula);
  }
  return out;
}

// parse_term of `text`: the printed term (or "<none>") and the diagnostics.
inline Parsed parse_value(const std::string& text) {
  std::ostringstream diag;
  std::optional<TermPtr> term = parse_term(text, diag);
  return Parsed{term ? print_term(**term) : "<none>", "", diag.str()};
}

} // namespace hipaa::testing

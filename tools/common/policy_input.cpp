#include "policy_input.hpp"

#include "source_diagnostic.hpp"
#include "tool_error.hpp"

#include "base/failure.hpp"
#include "base/file_io.hpp"
#include "check/decls_check.hpp"
#include "check/modes.hpp"
#include "check/scope.hpp"
#include "check/sorts.hpp"
#include "syntax/decls_parser.hpp"
#include "syntax/framing.hpp"
#include "syntax/policy_parser.hpp"

#include <ostream>
#include <sstream>

namespace hipaa::tools {

namespace {

constexpr std::string_view kUnknownSymbol = "Unknown symbol: ";

std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty()) lines.push_back(line);
  }
  return lines;
}

// The located form of what the lexer and the parser said about a text that
// did not parse as written: skipped characters and suggested repairs.
std::string repair_diagnostics(const std::string& path, const std::string& text,
                               std::size_t marker_length, const std::vector<std::string>& lines) {
  std::string out;
  std::size_t searched = 0;
  for (const std::string& line : lines) {
    if (auto repair = read_repair_line(line)) {
      out += located_message(path, text,
                             unframed_place(text, marker_length, repair->line, repair->column),
                             repair->message);
    } else if (line.compare(0, kUnknownSymbol.size(), kUnknownSymbol) == 0) {
      std::string symbol = line.substr(kUnknownSymbol.size());
      std::size_t at = text.find(symbol, searched);
      if (at == std::string::npos) {
        out += path + ": unknown symbol " + symbol + "\n";
        continue;
      }
      searched = at + 1;
      SourcePlace place;
      for (std::size_t i = 0; i < at; ++i) {
        if (text[i] == '\n') {
          ++place.line;
          place.column = 1;
        } else if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
          ++place.column;
        }
      }
      out +=
          located_message(path, text, place, "unknown symbol " + symbol + "; it would be skipped");
    } else {
      out += line + "\n";
    }
  }
  return out;
}

[[noreturn]] void refuse_repairs(const std::string& path, const std::string& text,
                                 std::size_t marker_length, const std::vector<std::string>& lines,
                                 bool parsed) {
  throw SourceError(repair_diagnostics(path, text, marker_length, lines),
                    path + (parsed ? ": does not parse as written; the repairs above are only "
                                     "suggestions, and the file was not used"
                                   : ": does not parse"));
}

// Runs `checks`; a failure is reported where the symbol it names occurs.
template <class Checks>
auto located_checks(const std::string& path, const std::string& text, const Signature* signature,
                    std::ostream& diag, Checks checks) {
  std::ostringstream said;
  try {
    auto result = checks(said);
    diag << said.str();
    return result;
  } catch (const Failure& failure) {
    std::vector<std::string> lines = lines_of(said.str());
    std::string located;
    for (std::size_t i = 0; i + 1 < lines.size(); ++i) located += lines[i] + "\n";
    if (!lines.empty()) located += check_diagnostic(path, text, lines.back(), signature);
    throw SourceError(located, path + ": rejected (" + failure.message() + ")");
  }
}

} // namespace

Signature load_declarations(const std::string& path, bool accept_repairs, std::ostream& diag) {
  std::string text;
  try {
    text = read_text_file(path);
  } catch (const Failure& failure) {
    throw ToolError(failure.message());
  }
  std::ostringstream said;
  std::optional<DeclList> entries;
  try {
    entries = parse_decls_text(text, said);
  } catch (const Failure& failure) {
    throw SourceError(said.str(), path + ": rejected (" + failure.message() + ")");
  }
  const std::size_t marker = syntax::kDeclsMarker.size();
  if (!accept_repairs && !said.str().empty()) {
    refuse_repairs(path, text, marker, lines_of(said.str()), entries.has_value());
  }
  diag << said.str();
  if (!entries) refuse_repairs(path, text, marker, lines_of(said.str()), false);
  // A check fails before the entries move out: they name the close names.
  const Signature* names = &*entries;
  return located_checks(path, text, names, diag, [&](std::ostream& out) {
    check_decls(*entries, out);
    return std::move(*entries);
  });
}

FormulaPtr checked_formula(const FormulaPtr& parsed, const Signature& signature,
                           std::ostream& diag) {
  FormulaPtr scoped = scope_formula(parsed, {}, diag);
  FormulaPtr sorted = sort_check_formula(scoped, {}, signature, diag);
  if (!sorted->is<True>() && !sorted->is<False>()) {
    mode_check_formula(*sorted, {}, signature, diag);
  }
  return sorted;
}

FormulaPtr load_policy_text(const std::string& path, const std::string& text,
                            const Signature& signature, bool accept_repairs, std::ostream& diag) {
  std::ostringstream lexed;
  FormulaParse parse;
  try {
    parse = parse_formula_text(text, lexed);
  } catch (const Failure& failure) {
    throw SourceError(lexed.str(), path + ": rejected (" + failure.message() + ")");
  }
  const std::size_t marker = syntax::kFormulaMarker.size();
  std::vector<std::string> said = lines_of(lexed.str());
  for (const std::string& line : parse.repair_lines) said.push_back(line);
  if (!accept_repairs && !said.empty()) {
    refuse_repairs(path, text, marker, said, parse.result.has_value());
  }
  diag << lexed.str();
  write_repair_block(parse.repair_lines, diag);
  if (!parse.result) refuse_repairs(path, text, marker, said, false);
  const FormulaPtr* formula = std::get_if<FormulaPtr>(&*parse.result);
  if (formula == nullptr) throw ToolError(path + ": rejected (BadParseType)");
  return located_checks(path, text, &signature, diag, [&](std::ostream& out) {
    return checked_formula(*formula, signature, out);
  });
}

} // namespace hipaa::tools

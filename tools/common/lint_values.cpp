#include "lint_values.hpp"

#include "local_zone.hpp"

#include "base/failure.hpp"
#include "check/sorts.hpp"
#include "dates/date.hpp"
#include "logic/printer.hpp"
#include "syntax/policy_parser.hpp"

#include <cctype>
#include <optional>
#include <sstream>

namespace hipaa::tools {

namespace {

bool has_blanks_or_controls(const std::string& text) {
  if (!text.empty() && (std::isspace(static_cast<unsigned char>(text.front())) ||
                        std::isspace(static_cast<unsigned char>(text.back())))) {
    return true;
  }
  for (char c : text) {
    unsigned char u = static_cast<unsigned char>(c);
    if (u < 0x20 || u == 0x7F) return true;
  }
  return false;
}

bool is_identifier(const std::string& text) {
  if (text.empty()) return false;
  for (char c : text) {
    unsigned char u = static_cast<unsigned char>(c);
    if (!(std::isalnum(u) || c == '-' || c == '_' || c == '\'')) return false;
  }
  return !std::isdigit(static_cast<unsigned char>(text.front()));
}

bool is_printed_string(const std::string& value) {
  return value.size() >= 2 && value.front() == '"' && value.back() == '"' &&
         value.find('"', 1) == value.size() - 1;
}

} // namespace

StoredValueJudge::StoredValueJudge(const Signature& signature) : signature_(signature) {
  for (const DeclEntry& entry : signature) {
    const ConsDecl* decl = std::get_if<ConsDecl>(&entry.decl);
    if (decl && decl->cls == ConsClass::Sym && decl->arg_sorts.empty()) {
      constants_.emplace(entry.name, decl->result);
    }
  }
}

// The common forms are judged without parsing: a log holds millions of them.
ValueVerdict StoredValueJudge::judge(const std::string& value, const Sort& sort,
                                     std::string& detail) const {
  switch (sort.kind) {
  case Sort::Kind::String:
    if (is_printed_string(value)) {
      return has_blanks_or_controls(value.substr(1, value.size() - 2)) ? ValueVerdict::Blanks
                                                                      : ValueVerdict::Good;
    }
    break;
  case Sort::Kind::Date:
    if (!value.empty() && value.find_first_not_of("0123456789:") == std::string::npos) {
      try {
        std::string again = date_to_text(date_from_literal(value));
        if (again == value) return ValueVerdict::Good;
        detail = "reads back as " + again + " in " + local_zone_name();
      } catch (const Failure& failure) {
        detail = "is no date (" + failure.message() + ")";
      }
      return ValueVerdict::Unreadable;
    }
    break;
  case Sort::Kind::Named:
    if (is_identifier(value)) {
      auto found = constants_.find(value);
      if (found != constants_.end() && found->second == sort) return ValueVerdict::Good;
      detail = found == constants_.end()
                   ? "is not declared"
                   : "is declared as " + print_sort(found->second) + ", not " + print_sort(sort);
      return ValueVerdict::Undeclared;
    }
    break;
  case Sort::Kind::Int:
  case Sort::Kind::Any:
    break;
  }
  return judge_by_parsing(value, sort, detail);
}

// Anything else is read as the audit reads it: parsed (with repairs, whose
// need is itself the problem) and checked against the sort.
ValueVerdict StoredValueJudge::judge_by_parsing(const std::string& value, const Sort& sort,
                                                std::string& detail) const {
  std::ostringstream diagnostics;
  std::optional<TermPtr> term;
  try {
    term = parse_term(value, diagnostics);
  } catch (const Failure& failure) {
    if (failure.name() == "Overflow") {
      detail = "is nested too deeply to be read here";
      return ValueVerdict::Unreadable;
    }
    term.reset();
  }
  if (!term) {
    detail = "cannot be read as a term";
    return ValueVerdict::Unreadable;
  }
  if (!diagnostics.str().empty()) {
    detail = "is read only after repair, as " + print_term(**term);
    return ValueVerdict::Unreadable;
  }
  try {
    check_value_term(**term, sort, signature_, diagnostics);
  } catch (const Failure& failure) {
    if (failure.name() == "Overflow") {
      detail = "is nested too deeply to be read here";
      return ValueVerdict::Unreadable;
    }
    detail = "is not a value of sort " + print_sort(sort);
    return ValueVerdict::Undeclared;
  }
  if (print_term(**term) != value) {
    detail = "reads back as " + print_term(**term);
    return ValueVerdict::Unreadable;
  }
  return ValueVerdict::Good;
}

} // namespace hipaa::tools

// The policy grammar as LL(1) tables, and the builder that turns its
// actions into Formulas, Guards and Terms.
#pragma once

#include "dates/date.hpp"
#include "logic/formula.hpp"
#include "syntax/ll_machine.hpp"
#include "syntax/policy_lexer.hpp"
#include "syntax/policy_parser.hpp"

#include <optional>
#include <span>
#include <string>
#include <variant>
#include <vector>

namespace hipaa::syntax {

struct PolicyGrammar {
  using Result = ParseValue;

  static const Sym kStart;
  static constexpr int kEof = P_EOF;

  static int predict(Sym nonterminal, int kind);
  static const Production& production(int index);
  static std::span<const int> repair_kinds();
  static std::span<const int> start_kinds();
  static std::size_t max_deletion_run(Sym top, Sym below);
  static Token placeholder(int kind, std::size_t offset);
  static const char* token_name(int kind) { return policy_token_name(kind); }

  class Builder;
};

// Builds values from the grammar's actions on a stack of partial values.
class PolicyGrammar::Builder {
public:
  // `dates` is the lexer's table of converted date literals.
  explicit Builder(const std::vector<DateValue>* dates) : dates_(dates) {}

  void shift(const Token& token);
  void act(Sym action);
  std::optional<ParseValue> take_result() { return std::move(result_); }

private:
  struct Mark {};
  using Value = std::variant<Mark, std::string, Name, std::optional<Sort>, bool, TermPtr,
                             FormulaPtr, GuardPtr, BoundVar, BoundList, TermList, ExclusionList>;

  template <class T> T pop() {
    T value = std::move(std::get<T>(values_.back()));
    values_.pop_back();
    return value;
  }
  // The values above the topmost mark, in order; the mark goes too.
  template <class T> std::vector<T> pop_list();

  void act_formula(Sym action);
  void act_quantifier(Quantifier kind);
  void act_guard(Sym action);
  void act_parts(Sym action);

  const std::vector<DateValue>* dates_;
  std::vector<Value> values_;
  std::optional<ParseValue> result_;
};

} // namespace hipaa::syntax

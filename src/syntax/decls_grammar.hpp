// The declarations grammar as LL(1) tables, and its builder.
#pragma once

#include "logic/declarations.hpp"
#include "syntax/decls_lexer.hpp"
#include "syntax/ll_machine.hpp"

#include <optional>
#include <span>
#include <string>
#include <variant>
#include <vector>

namespace hipaa::syntax {

struct DeclsGrammar {
  using Result = DeclList;

  static const Sym kStart;
  static constexpr int kEof = D_EOF;

  static int predict(Sym nonterminal, int kind);
  static const Production& production(int index);
  static std::span<const int> repair_kinds();
  static std::span<const int> start_kinds();
  static std::size_t max_deletion_run(Sym, Sym) { return 5; }
  static Token placeholder(int kind, std::size_t offset);
  static const char* token_name(int kind) { return decl_token_name(kind); }

  class Builder;
};

class DeclsGrammar::Builder {
public:
  void shift(const Token& token);
  void act(Sym action);
  std::optional<DeclList> take_result() { return std::move(result_); }

private:
  struct Mark {};
  using Value = std::variant<Mark, std::string, Sort, Mode, PredArg, std::optional<std::string>,
                             std::optional<DbInfo>, std::optional<PredClass>,
                             std::optional<ConsClass>, Declaration, DeclEntry>;

  template <class T> T pop() {
    T value = std::move(std::get<T>(values_.back()));
    values_.pop_back();
    return value;
  }
  template <class T> std::vector<T> pop_list();

  void act_declaration(Sym action);
  void act_part(Sym action);

  std::vector<Value> values_;
  std::optional<DeclList> result_;
};

} // namespace hipaa::syntax

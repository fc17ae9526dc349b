// Formulas and guards of the policy language: immutable trees with shared
// subtrees.  Every formula may carry a subformula name; guards carry none.
#pragma once

#include "logic/exclusion_list.hpp"
#include "logic/sort.hpp"
#include "logic/term.hpp"

#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace hipaa {

// One entry of a quantifier's bound-variable list: the variable and the sort
// written after it (absent when the text gives none).
struct BoundVar {
  std::optional<Sort> sort;
  std::string var;
};
using BoundList = std::vector<BoundVar>;

struct Guard;
using GuardPtr = std::shared_ptr<const Guard>;
using GuardList = std::vector<GuardPtr>;

struct GTrue {};
struct GFalse {};
struct GAtom {
  std::string pred;
  TermList args;
};
struct GAnd {
  GuardList conjuncts;
};
struct GOr {
  GuardList disjuncts;
};
// An existential guard: variables local to the guard.
struct GEx {
  BoundList bound;
  GuardPtr guard;
};

struct Guard {
  using Node = std::variant<GTrue, GFalse, GAtom, GAnd, GOr, GEx>;

  explicit Guard(Node value) : node(std::move(value)) {}
  Guard(const Guard&) = delete;
  Guard& operator=(const Guard&) = delete;
  // Releases nested members through the thread's release queue, without
  // recursion (see Term).
  ~Guard();

  Node node;

  template <class T> const T* as() const { return std::get_if<T>(&node); }
  template <class T> bool is() const { return std::holds_alternative<T>(node); }
};

struct Formula;
using FormulaPtr = std::shared_ptr<const Formula>;
using FormulaList = std::vector<FormulaPtr>;

struct True {};
struct False {};
struct Atom {
  std::string pred;
  TermList args;
};
struct And {
  FormulaList conjuncts;
};
struct Or {
  FormulaList disjuncts;
};

enum class Quantifier { All, Ex };

// `All` and `Ex`: for every (some) value tuple of the bound variables that
// the guard yields and that the exclusion list does not name, the body holds.
struct Quantified {
  Quantifier kind;
  BoundList bound;
  ExclusionList exclusions;
  bool compile = false;
  GuardPtr guard;
  FormulaPtr body;
};

struct Formula {
  using Node = std::variant<True, False, Atom, And, Or, Quantified>;

  Formula(std::optional<std::string> formula_name, Node value)
      : name(std::move(formula_name)), node(std::move(value)) {}
  Formula(const Formula&) = delete;
  Formula& operator=(const Formula&) = delete;
  // Releases nested members through the thread's release queue, without
  // recursion (see Term).
  ~Formula();

  std::optional<std::string> name;
  Node node;

  template <class T> const T* as() const { return std::get_if<T>(&node); }
  template <class T> bool is() const { return std::holds_alternative<T>(node); }
};

using Name = std::optional<std::string>;

FormulaPtr make_true(Name name = std::nullopt);
FormulaPtr make_false(Name name = std::nullopt);
FormulaPtr make_atom(Name name, std::string pred, TermList args);
FormulaPtr make_and(Name name, FormulaList conjuncts);
FormulaPtr make_or(Name name, FormulaList disjuncts);
FormulaPtr make_quantified(Name name, Quantifier kind, BoundList bound, ExclusionList exclusions,
                           bool compile, GuardPtr guard, FormulaPtr body);
FormulaPtr make_all(Name name, BoundList bound, ExclusionList exclusions, bool compile,
                    GuardPtr guard, FormulaPtr body);
FormulaPtr make_ex(Name name, BoundList bound, ExclusionList exclusions, bool compile,
                   GuardPtr guard, FormulaPtr body);

GuardPtr make_gtrue();
GuardPtr make_gfalse();
GuardPtr make_gatom(std::string pred, TermList args);
GuardPtr make_gand(GuardList conjuncts);
GuardPtr make_gor(GuardList disjuncts);
GuardPtr make_gex(BoundList bound, GuardPtr guard);

} // namespace hipaa

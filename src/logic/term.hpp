// Terms: immutable trees whose subtrees are shared freely.
#pragma once

#include "dates/date.hpp"

#include <cstdint>
#include <memory>
#include <string>
#include <variant>
#include <vector>

namespace hipaa {

struct Term;
using TermPtr = std::shared_ptr<const Term>;
using TermList = std::vector<TermPtr>;

struct IntTerm {
  std::int32_t value;
};
struct DateTerm {
  DateValue value;
};
struct StrTerm {
  std::string text;
};
struct VarTerm {
  std::string name;
};
// A constructor applied to arguments, or a constant when args is empty.
struct AppTerm {
  std::string name;
  TermList args;
};

struct Term {
  using Node = std::variant<IntTerm, DateTerm, StrTerm, VarTerm, AppTerm>;

  explicit Term(Node value) : node(std::move(value)) {}
  Term(const Term&) = delete;
  Term& operator=(const Term&) = delete;
  // Releasing a term nested a million deep must not recurse a million
  // times: the arguments are handed to the thread's release queue.
  ~Term();

  Node node;

  template <class T> const T* as() const { return std::get_if<T>(&node); }
  template <class T> bool is() const { return std::holds_alternative<T>(node); }
};

TermPtr make_int(std::int32_t value);
TermPtr make_date(DateValue value);
TermPtr make_str(std::string text);
TermPtr make_var(std::string name);
TermPtr make_app(std::string name, TermList args = {});

} // namespace hipaa

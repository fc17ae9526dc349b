// The sort (type) of a term or of a bound variable.
#pragma once

#include <string>

namespace hipaa {

struct Sort {
  enum class Kind { Any, Date, Int, String, Named };

  Kind kind = Kind::Any;
  std::string name; // the declared sort's identifier; empty for built-in sorts

  static Sort any() { return {Kind::Any, {}}; }
  static Sort date() { return {Kind::Date, {}}; }
  static Sort integer() { return {Kind::Int, {}}; }
  static Sort string() { return {Kind::String, {}}; }
  static Sort named(std::string n) { return {Kind::Named, std::move(n)}; }

  // string, int and date are primitive; any and declared sorts are not.
  bool is_primitive() const {
    return kind == Kind::Date || kind == Kind::Int || kind == Kind::String;
  }
  bool is_named() const { return kind == Kind::Named; }

  friend bool operator==(const Sort& a, const Sort& b) {
    return a.kind == b.kind && (a.kind != Kind::Named || a.name == b.name);
  }
};

// "any", "date", "int", "string" or the declared sort's name.
std::string print_sort(const Sort& sort);

} // namespace hipaa

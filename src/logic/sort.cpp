#include "logic/sort.hpp"

namespace hipaa {

std::string print_sort(const Sort& sort) {
  switch (sort.kind) {
  case Sort::Kind::Any: return "any";
  case Sort::Kind::Date: return "date";
  case Sort::Kind::Int: return "int";
  case Sort::Kind::String: return "string";
  case Sort::Kind::Named: return sort.name;
  }
  return sort.name;
}

} // namespace hipaa

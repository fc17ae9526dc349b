#include "logic/term.hpp"

namespace hipaa {

TermPtr make_int(std::int32_t value) { return std::make_shared<const Term>(Term{IntTerm{value}}); }

TermPtr make_date(DateValue value) {
  return std::make_shared<const Term>(Term{DateTerm{std::move(value)}});
}

TermPtr make_str(std::string text) {
  return std::make_shared<const Term>(Term{StrTerm{std::move(text)}});
}

TermPtr make_var(std::string name) {
  return std::make_shared<const Term>(Term{VarTerm{std::move(name)}});
}

TermPtr make_app(std::string name, TermList args) {
  return std::make_shared<const Term>(Term{AppTerm{std::move(name), std::move(args)}});
}

} // namespace hipaa

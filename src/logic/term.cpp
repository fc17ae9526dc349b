#include "logic/term.hpp"

#include "logic/release_queue.hpp"

namespace hipaa {

Term::~Term() {
  if (auto* app = std::get_if<AppTerm>(&node)) release_later(app->args);
}

TermPtr make_int(std::int32_t value) { return std::make_shared<const Term>(IntTerm{value}); }

TermPtr make_date(DateValue value) {
  return std::make_shared<const Term>(DateTerm{std::move(value)});
}

TermPtr make_str(std::string text) {
  return std::make_shared<const Term>(StrTerm{std::move(text)});
}

TermPtr make_var(std::string name) {
  return std::make_shared<const Term>(VarTerm{std::move(name)});
}

TermPtr make_app(std::string name, TermList args) {
  return std::make_shared<const Term>(AppTerm{std::move(name), std::move(args)});
}

} // namespace hipaa

#include "reduce/term_match.hpp"

#include "base/stack_depth.hpp"

namespace hipaa {

namespace {

bool equal_app(const AppTerm& a, const AppTerm& b) {
  return a.name == b.name && equal_list(a.args, b.args);
}

bool match_into(const TermList& patterns, const TermList& values, Substitution& bindings);

// Matches one pattern against one value, extending `bindings`.
bool match_term(const TermPtr& pattern, const TermPtr& value, Substitution& bindings) {
  check_stack_depth();
  if (const auto* var = pattern->as<VarTerm>()) {
    if (const TermPtr* bound = find_binding(bindings, var->name)) {
      return equal_term(**bound, *value);
    }
    bindings.push_back({var->name, value});
    return true;
  }
  if (const auto* app = pattern->as<AppTerm>()) {
    const auto* value_app = value->as<AppTerm>();
    return value_app != nullptr && app->name == value_app->name &&
           match_into(app->args, value_app->args, bindings);
  }
  return equal_term(*pattern, *value);
}

bool match_into(const TermList& patterns, const TermList& values, Substitution& bindings) {
  if (patterns.size() != values.size()) return false;
  for (std::size_t i = 0; i < patterns.size(); ++i) {
    if (!match_term(patterns[i], values[i], bindings)) return false;
  }
  return true;
}

} // namespace

bool equal_term(const Term& a, const Term& b) {
  check_stack_depth();
  if (a.node.index() != b.node.index()) return false;
  if (const auto* x = a.as<IntTerm>()) return x->value == b.as<IntTerm>()->value;
  if (const auto* x = a.as<DateTerm>()) return x->value == b.as<DateTerm>()->value;
  if (const auto* x = a.as<StrTerm>()) return x->text == b.as<StrTerm>()->text;
  if (const auto* x = a.as<VarTerm>()) return x->name == b.as<VarTerm>()->name;
  return equal_app(*a.as<AppTerm>(), *b.as<AppTerm>());
}

bool equal_list(const TermList& a, const TermList& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a[i] != b[i] && !equal_term(*a[i], *b[i])) return false;
  }
  return true;
}

bool is_excluded(const ExclusionList& exclusions, const TermList& tuple) {
  return exclusions.contains(tuple);
}

bool isClosed(const Term& term) {
  check_stack_depth();
  if (term.is<VarTerm>()) return false;
  const auto* app = term.as<AppTerm>();
  return app == nullptr || all_closed(app->args);
}

bool all_closed(const TermList& terms) {
  for (const TermPtr& term : terms) {
    if (!isClosed(*term)) return false;
  }
  return true;
}

std::optional<Substitution> match(const TermList& patterns, const TermList& values) {
  Substitution bindings;
  if (!match_into(patterns, values, bindings)) return std::nullopt;
  return bindings;
}

} // namespace hipaa

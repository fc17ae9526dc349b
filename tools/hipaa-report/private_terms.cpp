#include "private_terms.hpp"

#include <type_traits>
#include <variant>
#include <vector>

namespace hipaa::report {

namespace {

TermPtr private_leaf(const Term& term) {
  return std::visit(
      [](const auto& node) -> TermPtr {
        using Node = std::decay_t<decltype(node)>;
        if constexpr (std::is_same_v<Node, IntTerm>) return make_int(node.value);
        else if constexpr (std::is_same_v<Node, DateTerm>) return make_date(node.value);
        else if constexpr (std::is_same_v<Node, StrTerm>) return make_str(node.text);
        else if constexpr (std::is_same_v<Node, VarTerm>) return make_var(node.name);
        else return make_app(node.name, {}); // an application without arguments
      },
      term.node);
}

} // namespace

TermPtr private_term(const TermPtr& term) {
  const auto* root = term->as<AppTerm>();
  if (root == nullptr || root->args.empty()) return private_leaf(*term);
  // One frame per application being copied: its arguments copied so far.
  struct Frame {
    const AppTerm* source;
    TermList args;
  };
  std::vector<Frame> stack;
  stack.push_back(Frame{root, {}});
  for (;;) {
    Frame& top = stack.back();
    if (top.args.size() < top.source->args.size()) {
      const TermPtr& next = top.source->args[top.args.size()];
      const auto* app = next->as<AppTerm>();
      if (app != nullptr && !app->args.empty()) {
        if (top.args.empty()) top.args.reserve(top.source->args.size());
        stack.push_back(Frame{app, {}});
      } else {
        top.args.push_back(private_leaf(*next));
      }
      continue;
    }
    TermPtr made = make_app(top.source->name, std::move(top.args));
    stack.pop_back();
    if (stack.empty()) return made;
    stack.back().args.push_back(std::move(made));
  }
}

PrivateInstance private_instance(const Substitution& sigma, const TermList& tuple) {
  PrivateInstance copy;
  copy.sigma.reserve(sigma.size());
  for (const Binding& binding : sigma) {
    copy.sigma.push_back(Binding{binding.var, private_term(binding.value)});
  }
  copy.tuple.reserve(tuple.size());
  for (const TermPtr& value : tuple) {
    TermPtr same;
    for (std::size_t i = 0; i < sigma.size() && !same; ++i) {
      if (sigma[i].value == value) same = copy.sigma[i].value;
    }
    copy.tuple.push_back(same ? std::move(same) : private_term(value));
  }
  return copy;
}

} // namespace hipaa::report

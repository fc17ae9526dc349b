// The builders' value stacks: a list under construction starts with a Mark,
// and is taken off the stack as one vector once its last item is built.
#pragma once

#include <variant>
#include <vector>

namespace hipaa::syntax {

// Removes the items above the innermost Mark, and the Mark itself, and
// returns them in the order they were pushed.
template <class T, class Mark, class Values> std::vector<T> pop_marked_list(Values& values) {
  std::size_t mark = values.size();
  while (!std::holds_alternative<Mark>(values[mark - 1])) --mark;
  std::vector<T> items;
  items.reserve(values.size() - mark);
  for (std::size_t i = mark; i < values.size(); ++i) items.push_back(std::move(std::get<T>(values[i])));
  values.resize(mark - 1);
  return items;
}

} // namespace hipaa::syntax

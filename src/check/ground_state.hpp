// The ground set of mode checking as one mutable set with an undo log: a
// quantifier or a disjunct extends it and rolls it back afterwards, so the
// cost of entering a quantifier does not grow with its depth.  The names
// point into the formula being checked (or the initial set).
#pragma once

#include "check/modes.hpp"

#include <cstddef>
#include <functional>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace hipaa {

class GroundState {
public:
  explicit GroundState(const GroundSet& initial) {
    for (const std::string& name : initial) add(name);
  }

  bool contains(std::string_view name) const { return position_.contains(name); }

  // Appends `name` unless it is already ground.
  void add(std::string_view name) {
    if (contains(name)) return;
    position_.emplace(name, entries_.size());
    entries_.push_back({name, true});
    undo_.push_back({Change::Added, entries_.size() - 1});
  }

  void remove(std::string_view name) {
    auto found = position_.find(name);
    if (found == position_.end()) return;
    entries_[found->second].live = false;
    undo_.push_back({Change::Removed, found->second});
    position_.erase(found);
  }

  std::size_t mark() const { return undo_.size(); }

  // Undoes every change made since `mark` was taken.
  void rollback(std::size_t mark) {
    while (undo_.size() > mark) {
      const Undo undo = undo_.back();
      undo_.pop_back();
      Entry& entry = entries_[undo.entry];
      if (undo.change == Change::Added) {
        position_.erase(entry.name);
        entries_.pop_back();
      } else {
        entry.live = true;
        position_.emplace(entry.name, undo.entry);
      }
    }
  }

  // The ground names in the order they became ground.
  GroundSet names() const {
    GroundSet result;
    for (const Entry& entry : entries_) {
      if (entry.live) result.emplace_back(entry.name);
    }
    return result;
  }

private:
  enum class Change { Added, Removed };
  struct Entry {
    std::string_view name;
    bool live;
  };
  struct Undo {
    Change change;
    std::size_t entry;
  };
  std::vector<Entry> entries_;
  std::unordered_map<std::string_view, std::size_t> position_;
  std::vector<Undo> undo_;
};

// Whether a variable counts as ground for one term walk.
using GroundTest = std::function<bool(std::string_view)>;

void check_output_term_with(const Term& term, const Signature& signature, const GroundTest& ground,
                            std::ostream& out);
void check_compile_term_with(const Term& term, const Signature& signature,
                             const GroundTest& ground, std::ostream& out);

} // namespace hipaa

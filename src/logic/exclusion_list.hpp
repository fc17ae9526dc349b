// The exclusion list of a quantifier: the value tuples of its bound
// variables that are already accounted for.  A residual quantifier of a
// large log carries one tuple per audited disclosure, millions of them, so
// the tuples are not kept as term trees: each is stored as a compact byte
// encoding of its terms, one after another in large blocks, and turned
// back into terms only when read.  The encoding is canonical (equal terms
// encode to equal bytes), so membership is a comparison of bytes.
#pragma once

#include "logic/term.hpp"

#include <cstddef>
#include <initializer_list>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

namespace hipaa {

class ExclusionList {
public:
  ExclusionList() = default;
  // Tuples in the order given (the policy parser's list of written tuples).
  ExclusionList(const std::vector<TermList>& tuples); // NOLINT: a list is an exclusion list
  ExclusionList(std::initializer_list<TermList> tuples);

  std::size_t size() const { return count_; }
  bool empty() const { return count_ == 0; }

  // Appends one tuple, or every tuple of `other` in its order.  Only while
  // a list is being built: a list inside a formula is never changed.
  void push_back(const TermList& tuple);
  void append(const ExclusionList& other);

  // True when a tuple equal to `tuple` (term by term) is in the list.
  bool contains(const TermList& tuple) const;

  // The i-th tuple, decoded; walks the list from its start.
  TermList operator[](std::size_t index) const;

  // Iteration yields each tuple decoded into fresh terms.
  class const_iterator {
  public:
    using value_type = TermList;
    using difference_type = std::ptrdiff_t;
    using iterator_category = std::input_iterator_tag;
    using pointer = void;
    using reference = TermList;

    const_iterator() = default;
    TermList operator*() const;
    const_iterator& operator++();
    const_iterator operator++(int) {
      const_iterator before = *this;
      ++*this;
      return before;
    }
    bool operator==(const const_iterator& other) const {
      return block_ == other.block_ && offset_ == other.offset_;
    }

  private:
    friend class ExclusionList;
    const_iterator(const ExclusionList* list, std::size_t block, std::size_t offset)
        : list_(list), block_(block), offset_(offset) {}
    std::string_view encoded() const;

    const ExclusionList* list_ = nullptr;
    std::size_t block_ = 0;
    std::size_t offset_ = 0;
  };

  const_iterator begin() const { return const_iterator(this, 0, 0); }
  const_iterator end() const { return const_iterator(this, blocks_.size(), 0); }

private:
  // A tuple never spans two blocks.  The first block grows as a string
  // does, so that the many short lists stay small; once it is full, each
  // further block is reserved at full size and filled up, so that a long
  // list never reallocates its whole contents.
  static constexpr std::size_t kBlockSize = std::size_t{1} << 20;

  void append_encoded(std::string_view tuple);

  std::vector<std::string> blocks_;
  std::size_t count_ = 0;
};

} // namespace hipaa

// The table-driven LL(1) machine that both grammars run on.  A grammar
// supplies its productions, its prediction function and a builder for its
// values; the machine keeps an explicit stack, so nesting depth is limited
// by memory only, never by the call stack.
//
// A grammar G provides:
//   static constexpr Sym kStart;                      the start nonterminal
//   static constexpr int kEof;                        the end token kind
//   static int predict(Sym nonterminal, int kind);    production or -1
//   static const Production& production(int index);
//   class Builder { void shift(const Token&); void act(Sym action); };
#pragma once

#include "syntax/token.hpp"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace hipaa::syntax {

// Grammar symbols: token kinds below kFirstNonterminal, then nonterminals,
// then semantic actions (which the builder runs and the recogniser skips).
using Sym = std::int16_t;
inline constexpr Sym kFirstNonterminal = 100;
inline constexpr Sym kFirstAction = 200;

inline bool is_terminal(Sym symbol) { return symbol < kFirstNonterminal; }
inline bool is_action(Sym symbol) { return symbol >= kFirstAction; }

// One right-hand side, symbols in reading order.
struct Production {
  std::uint8_t length;
  Sym symbols[11];
};

// Runs the grammar over tokens and builds the value as it goes.
template <class G> class BuildMachine {
public:
  explicit BuildMachine(typename G::Builder builder) : builder_(std::move(builder)) {
    stack_.push_back(G::kStart);
  }

  // Consumes one token.  False when the token cannot come next; the machine
  // is then spent.
  bool feed(const Token& token) {
    while (!stack_.empty()) {
      const Sym top = stack_.back();
      if (is_action(top)) {
        stack_.pop_back();
        builder_.act(top);
      } else if (!is_terminal(top)) {
        if (!expand(top, token.kind)) return false;
      } else {
        if (top != token.kind) return false;
        stack_.pop_back();
        builder_.shift(token);
        if (token.kind == G::kEof) finish();
        return true;
      }
    }
    return false;
  }

  bool accepted() const { return accepted_; }
  typename G::Builder& builder() { return builder_; }

private:
  bool expand(Sym nonterminal, int kind) {
    const int index = G::predict(nonterminal, kind);
    if (index < 0) return false;
    stack_.pop_back();
    const Production& rhs = G::production(index);
    for (int i = rhs.length - 1; i >= 0; --i) stack_.push_back(rhs.symbols[i]);
    return true;
  }

  // After the end token only the start rule's actions remain.
  void finish() {
    while (!stack_.empty()) {
      builder_.act(stack_.back());
      stack_.pop_back();
    }
    accepted_ = true;
  }

  std::vector<Sym> stack_;
  typename G::Builder builder_;
  bool accepted_ = false;
};

// Parser stacks as persistent linked lists in one arena: saving a state is
// keeping an index, and trial parses append nodes that are dropped again by
// truncating the arena.
class StackArena {
public:
  static constexpr std::int32_t kEmpty = -1;

  std::int32_t push(std::int32_t below, Sym symbol) {
    nodes_.push_back(Node{symbol, below});
    return static_cast<std::int32_t>(nodes_.size() - 1);
  }
  Sym symbol(std::int32_t top) const { return nodes_[static_cast<std::size_t>(top)].symbol; }
  std::int32_t below(std::int32_t top) const { return nodes_[static_cast<std::size_t>(top)].below; }
  std::size_t size() const { return nodes_.size(); }
  void truncate(std::size_t size) { nodes_.resize(size); }

private:
  struct Node {
    Sym symbol;
    std::int32_t below;
  };
  std::vector<Node> nodes_;
};

enum class Step { Shifted, Accepted, Rejected };

struct StepResult {
  Step step;
  std::int32_t top;
};

// Recognises one token on the stack `top` without building anything.
template <class G> StepResult recognise(StackArena& arena, std::int32_t top, int kind) {
  while (top != StackArena::kEmpty) {
    const Sym symbol = arena.symbol(top);
    if (is_terminal(symbol)) {
      if (symbol != kind) return {Step::Rejected, top};
      top = arena.below(top);
      return {kind == G::kEof ? Step::Accepted : Step::Shifted, top};
    }
    const int index = G::predict(symbol, kind);
    if (index < 0) return {Step::Rejected, top};
    top = arena.below(top);
    const Production& rhs = G::production(index);
    for (int i = rhs.length - 1; i >= 0; --i) {
      if (!is_action(rhs.symbols[i])) top = arena.push(top, rhs.symbols[i]);
    }
  }
  return {Step::Rejected, top};
}

} // namespace hipaa::syntax

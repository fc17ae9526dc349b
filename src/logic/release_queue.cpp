#include "logic/release_queue.hpp"

#include <vector>

namespace hipaa {

namespace {

// Set once the thread's queue has been destroyed (at thread exit): nodes
// released later, by static objects, are released the ordinary way.
thread_local bool queue_gone = false;

struct ReleaseQueue {
  ~ReleaseQueue() { queue_gone = true; }

  std::vector<TermPtr> terms;
  std::vector<FormulaPtr> formulas;
  std::vector<GuardPtr> guards;
  bool draining = false;

  bool empty() const { return terms.empty() && formulas.empty() && guards.empty(); }

  // Releases one queued node at a time; each may queue its own children.
  void drain() noexcept {
    draining = true;
    while (!empty()) {
      if (!terms.empty()) {
        TermPtr last = std::move(terms.back());
        terms.pop_back();
      } else if (!formulas.empty()) {
        FormulaPtr last = std::move(formulas.back());
        formulas.pop_back();
      } else {
        GuardPtr last = std::move(guards.back());
        guards.pop_back();
      }
    }
    draining = false;
  }
};

thread_local ReleaseQueue queue;

// Only a child this node alone holds is released with it; the others just
// lose one owner.  Should the queue not grow (out of memory), the child is
// left to the ordinary, recursive release.
template <class Ptr> void queue_one(std::vector<Ptr>& queued, Ptr& child) noexcept {
  if (!child || child.use_count() != 1) return;
  try {
    queued.push_back(std::move(child));
  } catch (...) {
  }
}

template <class Ptr> void queue_all(std::vector<Ptr>& queued, std::vector<Ptr>& children) noexcept {
  for (Ptr& child : children) queue_one(queued, child);
}

void drain_unless_draining() noexcept {
  if (!queue.draining) queue.drain();
}

} // namespace

void release_later(TermList& terms) noexcept {
  if (queue_gone) return;
  queue_all(queue.terms, terms);
  drain_unless_draining();
}

void release_later(FormulaList& formulas) noexcept {
  if (queue_gone) return;
  queue_all(queue.formulas, formulas);
  drain_unless_draining();
}

void release_later(GuardList& guards) noexcept {
  if (queue_gone) return;
  queue_all(queue.guards, guards);
  drain_unless_draining();
}

void release_later(FormulaPtr& formula) noexcept {
  if (queue_gone) return;
  queue_one(queue.formulas, formula);
  drain_unless_draining();
}

void release_later(GuardPtr& guard) noexcept {
  if (queue_gone) return;
  queue_one(queue.guards, guard);
  drain_unless_draining();
}

} // namespace hipaa

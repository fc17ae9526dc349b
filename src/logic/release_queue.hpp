// Release of deep trees without recursion.  A node being destroyed hands
// its children to a per-thread queue instead of destroying them on the
// spot; the outermost release empties the queue in a loop.  A policy or a
// stored value nested a million deep is thereby released in constant stack.
#pragma once

#include "logic/formula.hpp"

namespace hipaa {

void release_later(TermList& terms) noexcept;
void release_later(FormulaList& formulas) noexcept;
void release_later(GuardList& guards) noexcept;
void release_later(FormulaPtr& formula) noexcept;
void release_later(GuardPtr& guard) noexcept;

} // namespace hipaa

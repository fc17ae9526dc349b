// The reduction of a checked policy against the audit database, with the
// HIPAA scenario giving the evaluated vocabulary its meaning.
#pragma once

#include "db/sqlite.hpp"
#include "logic/declarations.hpp"
#include "logic/formula.hpp"

#include <cstddef>
#include <iosfwd>

namespace hipaa {

// The most memory the tables read whole into memory may take together (an
// estimate of their heap cost).  A table that would not fit is queried
// lookup by lookup, as it is read.
inline constexpr std::size_t kTableIndexBudget = std::size_t{512} << 20;

// kTableIndexBudget, or less on a machine with little memory or under a
// limited address space (ulimit -v): at most a quarter of the physical
// memory and an eighth of the address space, so that the tables never take
// the room a run without them would have needed.
std::size_t table_index_budget();

// The residual formula of `formula`.  Diagnostics go to `out`, flushed
// before any failure is raised.  The log is read in one read transaction.
FormulaPtr reduce_policy(const FormulaPtr& formula, const Signature& signature,
                         db::Connection& connection, std::ostream& out);

} // namespace hipaa

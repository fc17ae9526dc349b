// The reduction of a checked policy against the audit database, with the
// HIPAA scenario giving the evaluated vocabulary its meaning.
#pragma once

#include "db/sqlite.hpp"
#include "logic/declarations.hpp"
#include "logic/formula.hpp"

#include <cstddef>
#include <iosfwd>

namespace hipaa {

// The memory the tables read whole into memory may take together (an
// estimate of their heap cost).  A table that would not fit is queried as
// it is read, lookup by lookup.
inline constexpr std::size_t kTableIndexBudget = std::size_t{512} << 20;

// The residual formula of `formula`.  Diagnostics go to `out`, flushed
// before any failure is raised.  The log is read in one read transaction.
FormulaPtr reduce_policy(const FormulaPtr& formula, const Signature& signature,
                         db::Connection& connection, std::ostream& out);

} // namespace hipaa

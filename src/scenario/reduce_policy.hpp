// The reduction of a checked policy against the audit database, with the
// HIPAA scenario giving the evaluated vocabulary its meaning.
#pragma once

#include "db/sqlite.hpp"
#include "logic/declarations.hpp"
#include "logic/formula.hpp"

#include <iosfwd>

namespace hipaa {

// The residual formula of `formula`.  Diagnostics go to `out`, flushed
// before any failure is raised.
FormulaPtr reduce_policy(const FormulaPtr& formula, const Signature& signature,
                         db::Connection& connection, std::ostream& out);

} // namespace hipaa

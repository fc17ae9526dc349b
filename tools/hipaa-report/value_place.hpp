// Where a log holds a value the audit cannot read: said with the failure
// that ended a run, which names no place of its own.
#pragma once

#include "logic/declarations.hpp"

#include <string>

namespace hipaa::report {

// "table T row N, column C: VALUE" for the first stored value of a declared
// table that is not UTF-8, which the audit's reader refuses (Incomplete);
// "" when there is none.  Long values are cut.
std::string first_value_not_utf8(const std::string& db_path, const Signature& signature);

} // namespace hipaa::report

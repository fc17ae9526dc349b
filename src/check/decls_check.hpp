// Declaration checking: accepts a declaration list as the Signature or
// prints the first violation and raises its named failure.
#pragma once

#include "logic/declarations.hpp"

#include <iosfwd>

namespace hipaa {

void check_decls(const DeclList& entries, std::ostream& out);

} // namespace hipaa

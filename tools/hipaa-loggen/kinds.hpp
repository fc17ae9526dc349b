// The kinds of disclosure the generator mixes: one for each permission of
// the policy, and one for each prohibition or obligation it can break.
#pragma once

#include "context.hpp"

#include <vector>

namespace hipaa::loggen {

const std::vector<Kind>& compliant_kinds();
const std::vector<Kind>& violation_kinds();

} // namespace hipaa::loggen

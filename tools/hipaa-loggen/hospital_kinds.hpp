// The kinds of disclosure a hospital's records show beyond the policy's own
// vocabulary: staff and vendors disclosing for the hospital, payers of every
// kind, clearinghouses, release-of-information vendors, designees, patients
// in custody, and the legal edges of the calendar.
#pragma once

#include "context.hpp"

#include <vector>

namespace hipaa::loggen {

const std::vector<Kind>& hospital_compliant_kinds();
const std::vector<Kind>& hospital_violation_kinds();

} // namespace hipaa::loggen

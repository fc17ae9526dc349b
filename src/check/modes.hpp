// Mode checking: every quantifier's guard grounds its bound variables.
#pragma once

#include "logic/declarations.hpp"
#include "logic/formula.hpp"

#include <iosfwd>
#include <string>
#include <vector>

namespace hipaa {

// Variable names known to be ground, without duplicates, in order.
using GroundSet = std::vector<std::string>;

void mode_check_formula(const Formula& formula, const GroundSet& ground,
                        const Signature& signature, std::ostream& out);
GroundSet guard_grounds(const Guard& guard, const GroundSet& ground, bool compile,
                        const std::vector<std::string>& bound_vars, const Signature& signature,
                        std::ostream& out);
void check_output_term(const Term& term, const Signature& signature, const GroundSet& ground,
                       std::ostream& out);
void check_compile_term(const Term& term, const Signature& signature, const GroundSet& ground,
                        std::ostream& out);

} // namespace hipaa

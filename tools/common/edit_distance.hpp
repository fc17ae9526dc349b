// How far apart two names are, for "did you mean" suggestions.
#pragma once

#include <cstddef>
#include <string_view>

namespace hipaa::tools {

// The Levenshtein distance in bytes: the fewest insertions, deletions and
// substitutions that turn `a` into `b`.
std::size_t edit_distance(std::string_view a, std::string_view b);

} // namespace hipaa::tools

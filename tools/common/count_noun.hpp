// A count with its noun in the number the count asks for: "1 row",
// "0 rows", "2 rows".
#pragma once

#include <string>
#include <string_view>

namespace hipaa::tools {

template <typename Count>
std::string count_noun(Count count, std::string_view one, std::string_view many) {
  return std::to_string(count) + " " + std::string(count == 1 ? one : many);
}

} // namespace hipaa::tools

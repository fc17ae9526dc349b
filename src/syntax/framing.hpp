// Input framing: every parsed text is wrapped between a start marker, which
// selects what the grammar parses, and the end marker, which the lexers
// return as the end-of-input token.
#pragma once

#include <string>
#include <string_view>

namespace hipaa::syntax {

inline constexpr std::string_view kFormulaMarker = "%#parse_formula#%";
inline constexpr std::string_view kTermMarker = "%#parse_term#%";
inline constexpr std::string_view kDeclsMarker = "%#parse_decls#%";
inline constexpr std::string_view kEndMarker = "%#parse_end#%";

// start_marker + " " + text + " " + end marker.
std::string frame(std::string_view start_marker, std::string_view text);

} // namespace hipaa::syntax

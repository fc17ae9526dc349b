// The declarations language: parser entry points.
#pragma once

#include "logic/declarations.hpp"

#include <iosfwd>
#include <optional>
#include <string>

namespace hipaa {

// Reads the file ("-" is standard input), frames and parses it, writes the
// repair block to `diag`.  Absent when a syntax error could not be repaired.
// Raises Io with "openIn", "inputAll" or "closeIn" when the file fails.
std::optional<DeclList> parse_decls_file(const std::string& path, std::ostream& diag);

// The same for a text already in memory.
std::optional<DeclList> parse_decls_text(const std::string& text, std::ostream& diag);

} // namespace hipaa

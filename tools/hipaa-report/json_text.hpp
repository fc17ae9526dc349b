// The compact text of a JSON value, byte for byte what the library's
// dump(-1, ' ', false, replace) writes, written without its per-character
// escaping machinery for the plain texts that make up nearly every record.
#pragma once

#include <nlohmann/json.hpp>

#include <string>

namespace hipaa::report {

// Appends the compact text of `value` to `out`.  A text with bytes beyond
// ASCII is written by the library itself, so that its checking of UTF-8
// and its replacement of bytes that are not UTF-8 stay exactly its own.
void append_compact_json(std::string& out, const nlohmann::ordered_json& value);

} // namespace hipaa::report

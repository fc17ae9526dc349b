// Whole-file text input and output with the named Io failures.
#pragma once

#include <string>

namespace hipaa {

// Reads the whole file; Io with "openIn", "inputAll" or "closeIn".  The
// name "-" stands for standard input, which is read but not closed.
std::string read_text_file(const std::string& path);

// Creates or truncates the file and writes `text`; Io with "openOut",
// "output" or "closeOut".
void write_text_file(const std::string& path, const std::string& text);

} // namespace hipaa

// Whole-file text input and output with the named Io failures.
#pragma once

#include <iosfwd>
#include <string>

namespace hipaa {

// Reads the whole file; Io with "openIn", "inputAll" or "closeIn".  The
// name "-" stands for standard input, which is read but not closed.
std::string read_text_file(const std::string& path);

// Creates or truncates the file and writes `text`; Io with "openOut",
// "output" or "closeOut".
void write_text_file(const std::string& path, const std::string& text);

// The name standard output goes by in Io failures.
inline constexpr const char* kStandardOutputName = "<stdout>";

// Raises Io(operation, "<stdout>") with errno's cause when `out`, the stream
// on standard output, has failed: a report that can no longer be written
// must not pass for a complete run.
void check_standard_output(const std::ostream& out, const char* operation);

// Writes `text` to `out`, the stream on standard output, and flushes; Io
// with "output" or "flushOut" when either fails.
void print_flushed(std::ostream& out, const std::string& text);

} // namespace hipaa

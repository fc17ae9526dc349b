// Whole-file text input and output with the named Io failures.
#pragma once

#include <iosfwd>
#include <string>

namespace hipaa {

// Reads the whole file; Io with "openIn", "inputAll" or "closeIn".  The
// name "-" stands for standard input, which is read but not closed.
std::string read_text_file(const std::string& path);

// Replaces the file with one holding `text`, atomically: the text is written
// and synced under a temporary name in the same folder, then renamed over
// the file, so a failed write leaves the old file (and no temporary one)
// and a symbolic link at the path is replaced, not followed.  Io with
// "openOut", "output", "flushOut" or "closeOut", naming `path`.
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

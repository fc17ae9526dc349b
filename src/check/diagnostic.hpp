// The checks' way of stopping a run: write the one-line diagnostic, flush it
// so it precedes the top-level handler's line, then raise the named failure.
#pragma once

#include <iosfwd>
#include <string>

namespace hipaa {

[[noreturn]] void report_failure(std::ostream& out, const std::string& line, const char* failure);

} // namespace hipaa

// The top-level handler: the only place that catches named failures.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace hipaa {

// Runs `body` under the top-level handler and returns the exit status: 0
// after a complete run whose output streams flushed, 1 after a failure (one
// "unhandled exception: " line on standard error).
int run_under_handler(const std::function<void()>& body);

// The program: runs the audit with the command-line arguments.
int run_main(int argc, char** argv);

} // namespace hipaa

// The frame every log tool runs in: the one place that catches failures and
// turns them into a line on standard error and an exit status.
#pragma once

#include <functional>
#include <string>

namespace hipaa::tools {

// The version every tool prints for --version: the project's, from the
// build.
inline constexpr const char* kToolsVersion = HIPAA_VERSION;

// "<program> <version>\n" as --version prints it.
std::string version_text(const std::string& program);

struct CommandLine;

// Prints `usage` for --help or the version for --version; true when it did,
// and the program has nothing more to do.
bool answered_help_or_version(const CommandLine& line, const std::string& program,
                              const std::string& usage);

// Runs `body` and returns its status.  A UsageError, or a SourceError after
// its located messages, ends with status 2, any
// other failure (a ToolError, a failure of the audit's own components, an
// allocation that fails, standard output that cannot be written) with
// status 1, each as one line "<program>: <message>" on standard error.
int run_tool(const std::string& program, const std::function<int()>& body);

} // namespace hipaa::tools

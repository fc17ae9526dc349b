// The failures of the log tools: a message for the user.  The component that
// finds the problem words it; main prints it after the program's name and
// exits with status 1, or 2 for a command line it cannot use.
#pragma once

#include <stdexcept>
#include <string>
#include <utility>

namespace hipaa::tools {

class ToolError : public std::runtime_error {
public:
  explicit ToolError(const std::string& message) : std::runtime_error(message) {}
};

// A command line the tool cannot run: an unknown option, a missing or
// malformed value, a missing argument.
class UsageError : public ToolError {
public:
  explicit UsageError(const std::string& message) : ToolError(message) {}
};

// A policy or declarations file that the tools refuse: it needed a repair
// to parse, or failed a check.  `diagnostics` holds the located messages
// ("FILE:LINE:COLUMN: message", the source line, a caret), written before
// the one-line message; the tools exit with status 2.
class SourceError : public ToolError {
public:
  SourceError(std::string diagnostics, const std::string& message)
      : ToolError(message), diagnostics_(std::move(diagnostics)) {}
  const std::string& diagnostics() const { return diagnostics_; }

private:
  std::string diagnostics_;
};

} // namespace hipaa::tools

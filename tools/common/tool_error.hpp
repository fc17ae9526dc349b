// The failures of the log tools: a message for the user.  The component that
// finds the problem words it; main prints it after the program's name and
// exits with status 1, or 2 for a command line it cannot use.
#pragma once

#include <stdexcept>
#include <string>

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

} // namespace hipaa::tools

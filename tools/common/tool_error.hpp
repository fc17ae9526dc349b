// The one failure of the log tools: a message for the user.  The component
// that finds the problem words it; main prints it after the program's name
// and exits with status 1.
#pragma once

#include <stdexcept>
#include <string>

namespace hipaa::tools {

class ToolError : public std::runtime_error {
public:
  explicit ToolError(const std::string& message) : std::runtime_error(message) {}
};

} // namespace hipaa::tools

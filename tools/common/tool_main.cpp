#include "tool_main.hpp"

#include "command_line.hpp"
#include "large_stack.hpp"
#include "local_zone.hpp"
#include "tool_error.hpp"

#include "base/failure.hpp"

#include <csignal>
#include <iostream>
#include <new>

namespace hipaa::tools {

std::string version_text(const std::string& program) {
  return program + " " + kToolsVersion + "\n";
}

bool answered_help_or_version(const CommandLine& line, const std::string& program,
                              const std::string& usage) {
  if (line.has("help")) {
    std::cout << usage;
    return true;
  }
  if (line.has("version")) {
    std::cout << version_text(program);
    return true;
  }
  return false;
}

int run_tool(const std::string& program, const std::function<int()>& body) {
  read_local_zone_once();
  // A closed pipe on standard output is a write error like any other, not
  // a silent death by SIGPIPE.
  std::signal(SIGPIPE, SIG_IGN);
  try {
    // Stored values and policies may nest as deep as the audit reads them.
    int status = run_on_large_stack(body);
    if (!std::cout.flush()) throw ToolError("cannot write standard output");
    return status;
  } catch (const SourceError& error) {
    std::cerr << error.diagnostics() << program << ": " << error.what() << "\n";
    return 2;
  } catch (const UsageError& error) {
    std::cerr << program << ": " << error.what() << "\n";
    return 2;
  } catch (const ToolError& error) {
    std::cerr << program << ": " << error.what() << "\n";
  } catch (const Failure& failure) {
    std::cerr << program << ": " << failure.message() << "\n";
  } catch (const std::bad_alloc&) {
    std::cerr << program << ": out of memory\n";
  }
  return 1;
}

} // namespace hipaa::tools

// GNU-style command lines for the log tools, read with the C library's
// getopt_long: long options "--name VALUE" or "--name=VALUE" (or any
// unambiguous prefix of the name), short options "-x VALUE" or "-xVALUE",
// bundled flags ("-fo x.db"), "--" to end the options, and positional
// arguments anywhere.
#pragma once

#include "tool_error.hpp"

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace hipaa::tools {

struct OptionRule {
  std::string name;   // without the leading "--"
  char alias;         // the one-letter form, or '\0'
  bool takes_value;
};

struct CommandLine {
  // Every value given for each option, in command-line order; flags map to
  // one "" per occurrence.
  std::map<std::string, std::vector<std::string>> values;
  std::vector<std::string> positional;

  bool has(const std::string& name) const { return values.count(name) != 0; }
  // The last value given for the option.
  std::optional<std::string> get(const std::string& name) const {
    auto found = values.find(name);
    if (found == values.end()) return std::nullopt;
    return found->second.back();
  }
  std::vector<std::string> all(const std::string& name) const {
    auto found = values.find(name);
    return found == values.end() ? std::vector<std::string>{} : found->second;
  }
};

// Reads argv[1..argc-1] against the rules (argv may be reordered).  Unknown
// options and missing values are UsageErrors worded for the user.
CommandLine parse_command_line(int argc, char** argv, const std::vector<OptionRule>& rules);

// A whole number from `low` to `high` for option `name`, or a UsageError
// saying what is allowed.
long long read_bounded_count(const std::string& name, const std::string& text, long long low,
                             long long high);

} // namespace hipaa::tools

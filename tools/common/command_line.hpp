// GNU-style command lines for the log tools, read with CLI11: long options
// "--name VALUE" or "--name=VALUE" (or any unambiguous prefix of the name),
// short options "-x VALUE" or "-xVALUE", bundled flags ("-fo x.db"), "--"
// to end the options, and positional arguments anywhere.  Each tool lists
// its options as a table of OptionRules, from which both the parser and the
// option lines of its --help are made.
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
  std::string value_name = ""; // shown after the name in --help ("PATH")
  std::string help = "";       // one paragraph, wrapped by --help
  // Earlier long names that still mean this option; --help does not show
  // them.
  std::vector<std::string> older_names = {};
};

struct CommandLine {
  // Every value given for each option under its name, in command-line
  // order; flags map to one "" per occurrence.
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

// Reads argv[1..argc-1] against the rules.  Unknown options, ambiguous
// prefixes, missing values and values given to flags are UsageErrors
// worded for the user.
CommandLine parse_command_line(int argc, char** argv, const std::vector<OptionRule>& rules);

// The --help text: `head`, one entry per rule ("  -d, --db PATH" and its
// help wrapped beside it), then `tail` after a blank line.
std::string usage_text(const std::string& head, const std::vector<OptionRule>& rules,
                       const std::string& tail);

// A whole number from `low` to `high` for option `name`, or a UsageError
// saying what is allowed.
long long read_bounded_count(const std::string& name, const std::string& text, long long low,
                             long long high);

} // namespace hipaa::tools

// GNU-style command lines for the log tools: long options "--name VALUE" or
// "--name=VALUE", one-letter aliases "-x VALUE", flags without a value, "--"
// to end the options, and positional arguments anywhere.
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
  std::map<std::string, std::string> values; // flags map to ""
  std::vector<std::string> positional;

  bool has(const std::string& name) const { return values.count(name) != 0; }
  std::optional<std::string> get(const std::string& name) const {
    auto found = values.find(name);
    if (found == values.end()) return std::nullopt;
    return found->second;
  }
};

namespace detail {

inline const OptionRule* find_long(const std::vector<OptionRule>& rules, const std::string& name) {
  for (const OptionRule& rule : rules) {
    if (rule.name == name) return &rule;
  }
  return nullptr;
}

inline const OptionRule* find_alias(const std::vector<OptionRule>& rules, char alias) {
  for (const OptionRule& rule : rules) {
    if (alias != '\0' && rule.alias == alias) return &rule;
  }
  return nullptr;
}

} // namespace detail

// Reads argv[1..argc-1] against the rules; unknown options and missing
// values are ToolErrors worded for the user.
inline CommandLine parse_command_line(int argc, char** argv, const std::vector<OptionRule>& rules) {
  CommandLine result;
  bool options_ended = false;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (options_ended || arg.size() < 2 || arg[0] != '-') {
      result.positional.push_back(arg);
      continue;
    }
    if (arg == "--") {
      options_ended = true;
      continue;
    }
    const OptionRule* rule = nullptr;
    std::optional<std::string> inline_value;
    if (arg.rfind("--", 0) == 0) {
      std::string name = arg.substr(2);
      std::size_t equals = name.find('=');
      if (equals != std::string::npos) {
        inline_value = name.substr(equals + 1);
        name.resize(equals);
      }
      rule = detail::find_long(rules, name);
    } else if (arg.size() == 2) {
      rule = detail::find_alias(rules, arg[1]);
    }
    if (rule == nullptr) throw ToolError("unknown option " + arg + " (try --help)");
    if (!rule->takes_value) {
      if (inline_value) throw ToolError("option --" + rule->name + " takes no value");
      result.values[rule->name] = "";
      continue;
    }
    if (inline_value) {
      result.values[rule->name] = *inline_value;
    } else if (i + 1 < argc) {
      result.values[rule->name] = argv[++i];
    } else {
      throw ToolError("option --" + rule->name + " needs a value");
    }
  }
  return result;
}

} // namespace hipaa::tools

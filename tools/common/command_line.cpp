#include "command_line.hpp"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <sstream>

namespace hipaa::tools {

namespace {

// Where the help of an option starts, and the width --help keeps to.
constexpr std::size_t kHelpColumn = 27;
constexpr std::size_t kLineWidth = 80;

bool starts_with(const std::string& text, const std::string& prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}

const OptionRule* rule_named(const std::vector<OptionRule>& rules, const std::string& name) {
  for (const OptionRule& rule : rules) {
    if (rule.name == name) return &rule;
    for (const std::string& older : rule.older_names) {
      if (older == name) return &rule;
    }
  }
  return nullptr;
}

const OptionRule* rule_lettered(const std::vector<OptionRule>& rules, char letter) {
  for (const OptionRule& rule : rules) {
    if (rule.alias != '\0' && rule.alias == letter) return &rule;
  }
  return nullptr;
}

// "--na" for "--name" when no other option starts so: the prefix of a long
// option is accepted as the whole name.  Values that follow an option are
// left as they are, and so is everything after "--".
std::vector<std::string> with_whole_names(int argc, char** argv,
                                          const std::vector<OptionRule>& rules) {
  std::vector<std::string> args;
  bool value_next = false, options_ended = false;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (value_next || options_ended || arg.size() < 2 || arg[0] != '-') {
      value_next = false;
      args.push_back(arg);
      continue;
    }
    if (arg == "--") {
      options_ended = true;
    } else if (arg[1] == '-') {
      const std::size_t equals = arg.find('=');
      const std::string name = arg.substr(2, equals == std::string::npos ? equals : equals - 2);
      const OptionRule* rule = rule_named(rules, name);
      if (rule == nullptr) {
        std::vector<const OptionRule*> matches;
        for (const OptionRule& candidate : rules) {
          bool match = starts_with(candidate.name, name);
          for (const std::string& older : candidate.older_names) match |= starts_with(older, name);
          if (match) matches.push_back(&candidate);
        }
        if (matches.size() > 1) {
          std::string names;
          for (const OptionRule* match : matches) {
            names += (names.empty() ? "--" : ", --") + match->name;
          }
          throw UsageError("option --" + name + " is ambiguous: " + names + " (try --help)");
        }
        if (matches.size() == 1) {
          rule = matches.front();
          arg = "--" + rule->name + (equals == std::string::npos ? "" : arg.substr(equals));
        }
      }
      value_next = rule != nullptr && rule->takes_value && equals == std::string::npos;
    } else {
      for (std::size_t at = 1; at < arg.size(); ++at) {
        const OptionRule* rule = rule_lettered(rules, arg[at]);
        if (rule == nullptr || !rule->takes_value) continue;
        value_next = at + 1 == arg.size();
        break;
      }
    }
    args.push_back(arg);
  }
  return args;
}

// The rule a CLI11 message about a missing or unwanted value speaks of:
// it starts with the option's name, with or without its dashes.
const OptionRule* rule_in_message(const std::vector<OptionRule>& rules, const std::string& text) {
  for (const OptionRule& rule : rules) {
    std::vector<std::string> names{rule.name};
    names.insert(names.end(), rule.older_names.begin(), rule.older_names.end());
    for (const std::string& name : names) {
      if (starts_with(text, "--" + name + ":") || starts_with(text, name + " ") ||
          starts_with(text, name + ":")) {
        return &rule;
      }
    }
    if (rule.alias != '\0' && starts_with(text, std::string("-") + rule.alias + ":")) return &rule;
  }
  return nullptr;
}

void append_wrapped(std::string& out, std::size_t column, const std::string& text) {
  std::istringstream words(text);
  std::string word;
  std::size_t at = column;
  bool first = true;
  while (words >> word) {
    if (!first && at + 1 + word.size() > kLineWidth) {
      out += "\n" + std::string(kHelpColumn, ' ');
      at = kHelpColumn;
      first = true;
    }
    if (!first) {
      out += ' ';
      ++at;
    }
    out += word;
    at += word.size();
    first = false;
  }
}

} // namespace

CommandLine parse_command_line(int argc, char** argv, const std::vector<OptionRule>& rules) {
  std::vector<std::string> args = with_whole_names(argc, argv, rules);
  CLI::App app;
  app.set_help_flag();
  app.allow_extras(true);
  std::vector<std::pair<const OptionRule*, CLI::Option*>> options;
  for (const OptionRule& rule : rules) {
    std::string names;
    if (rule.alias != '\0') names = std::string("-") + rule.alias + ",";
    names += "--" + rule.name;
    for (const std::string& older : rule.older_names) names += ",--" + older;
    CLI::Option* option =
        rule.takes_value
            ? app.add_option(names)->expected(1)->multi_option_policy(
                  CLI::MultiOptionPolicy::TakeAll)
            : app.add_flag(names)->disable_flag_override();
    options.emplace_back(&rule, option);
  }
  CommandLine result;
  app.add_option("arguments", result.positional);
  // CLI11 takes the arguments last to first.
  std::vector<std::string> reversed(args.rbegin(), args.rend());
  try {
    app.parse(reversed);
  } catch (const CLI::ParseError& error) {
    const OptionRule* rule = rule_in_message(rules, error.what());
    if (rule != nullptr && rule->takes_value) {
      throw UsageError("option --" + rule->name + " needs a value");
    }
    if (rule != nullptr) throw UsageError("option --" + rule->name + " takes no value");
    throw UsageError(std::string(error.what()) + " (try --help)");
  }
  for (const std::string& extra : app.remaining()) {
    if (extra.size() < 2 || extra[0] != '-' || extra == "--") continue;
    throw UsageError("unknown option " + extra.substr(0, extra.find('=')) + " (try --help)");
  }
  for (const auto& [rule, option] : options) {
    if (option->count() == 0) continue;
    std::vector<std::string>& values = result.values[rule->name];
    if (rule->takes_value) {
      values = option->results();
    } else {
      values.assign(option->count(), "");
    }
  }
  return result;
}

std::string usage_text(const std::string& head, const std::vector<OptionRule>& rules,
                       const std::string& tail) {
  std::string out = head + "\n";
  for (const OptionRule& rule : rules) {
    std::string entry = rule.alias != '\0' ? std::string("  -") + rule.alias + ", " : "      ";
    entry += "--" + rule.name;
    if (rule.takes_value) entry += " " + (rule.value_name.empty() ? "VALUE" : rule.value_name);
    out += entry;
    if (!rule.help.empty()) {
      const std::size_t column = std::max(entry.size() + 2, kHelpColumn);
      out += std::string(column - entry.size(), ' ');
      append_wrapped(out, column, rule.help);
    }
    out += "\n";
  }
  return tail.empty() ? out : out + "\n" + tail;
}

long long read_bounded_count(const std::string& name, const std::string& text, long long low,
                             long long high) {
  char* end = nullptr;
  errno = 0;
  long long value = std::strtoll(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0' || errno != 0 || value < low || value > high ||
      text.find_first_not_of("0123456789") != std::string::npos) {
    throw UsageError("--" + name + " needs a whole number from " + std::to_string(low) + " to " +
                     std::to_string(high) + ", not \"" + text + "\"");
  }
  return value;
}

} // namespace hipaa::tools

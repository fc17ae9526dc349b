#include "command_line.hpp"

#include <getopt.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace hipaa::tools {

namespace {

// getopt_long reports options without a short form by this value plus the
// rule's index.
constexpr int kLongOnly = 1000;

const OptionRule* rule_for_code(const std::vector<OptionRule>& rules, int code) {
  if (code >= kLongOnly && code - kLongOnly < static_cast<int>(rules.size())) {
    return &rules[static_cast<std::size_t>(code - kLongOnly)];
  }
  for (const OptionRule& rule : rules) {
    if (rule.alias != '\0' && rule.alias == code) return &rule;
  }
  return nullptr;
}

// Words the problem getopt_long found: `code` is '?' or ':', `option` the
// value of optopt, `arg` the argument getopt_long stopped at.
[[noreturn]] void reject(const std::vector<OptionRule>& rules, int code, int option,
                         const std::string& arg) {
  const OptionRule* rule = option == 0 ? nullptr : rule_for_code(rules, option);
  if (code == ':' && rule) throw UsageError("option --" + rule->name + " needs a value");
  if (rule && !rule->takes_value) throw UsageError("option --" + rule->name + " takes no value");
  if (option != 0 && option < kLongOnly) {
    throw UsageError("unknown option -" + std::string(1, static_cast<char>(option)) +
                     " (try --help)");
  }
  throw UsageError("unknown option " + arg.substr(0, arg.find('=')) + " (try --help)");
}

} // namespace

CommandLine parse_command_line(int argc, char** argv, const std::vector<OptionRule>& rules) {
  std::string short_options = ":"; // report a missing value as ':'
  std::vector<option> long_options;
  for (std::size_t i = 0; i < rules.size(); ++i) {
    const OptionRule& rule = rules[i];
    int code = rule.alias != '\0' ? rule.alias : kLongOnly + static_cast<int>(i);
    long_options.push_back({rule.name.c_str(), rule.takes_value ? required_argument : no_argument,
                            nullptr, code});
    if (rule.alias != '\0') {
      short_options += rule.alias;
      if (rule.takes_value) short_options += ':';
    }
  }
  long_options.push_back({nullptr, 0, nullptr, 0});

  CommandLine result;
  opterr = 0;
  optind = 0; // 0 makes glibc start a fresh scan
  for (;;) {
    optopt = 0;
    int code = getopt_long(argc, argv, short_options.c_str(), long_options.data(), nullptr);
    if (code == -1) break;
    if (code == '?' || code == ':') reject(rules, code, optopt, argv[optind > 1 ? optind - 1 : 1]);
    const OptionRule* rule = rule_for_code(rules, code);
    if (rule == nullptr) throw UsageError("unknown option (try --help)");
    result.values[rule->name].push_back(rule->takes_value && optarg ? optarg : "");
  }
  for (int i = optind; i < argc; ++i) result.positional.push_back(argv[i]);
  return result;
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

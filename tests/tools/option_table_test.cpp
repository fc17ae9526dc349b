// Every tool offers its options as the README's one table of options says,
// reads them in the GNU forms, and carries the project's version.
#include "casestudy/case_log.hpp"

#include "common/command_line.hpp"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <regex>
#include <sstream>

namespace hipaa::testing {
namespace {

struct TableRow {
  char letter = '\0';
  std::string meaning;
  std::string tools; // "all" or the tools' names without "hipaa-"
};

// The rows of the table under "### Options" in README.md, by long name.
std::map<std::string, TableRow> readme_options() {
  std::ifstream in(std::string(HIPAA_SOURCE_DIR) + "/README.md");
  std::string line;
  bool inside = false;
  std::map<std::string, TableRow> rows;
  const std::regex row(R"(^\| (?:`-(.)`)? *\| `--([a-z-]+)[^|]*\| ([^|]+) \| ([^|]+) \|$)");
  while (std::getline(in, line)) {
    if (line.rfind("#", 0) == 0) inside = line == "### Options";
    std::smatch match;
    if (!inside || !std::regex_match(line, match, row)) continue;
    rows[match[2]] = {match[1].length() ? match[1].str()[0] : '\0', match[3], match[4]};
  }
  return rows;
}

// The options a --help text lists: long name and one-letter form.
std::map<std::string, char> help_options(const std::string& help) {
  std::map<std::string, char> options;
  const std::regex entry(R"(^  (?:-(.), |    )--([a-z-]+).*)");
  std::istringstream lines(help);
  std::string line;
  while (std::getline(lines, line)) {
    std::smatch match;
    if (std::regex_match(line, match, entry)) {
      options[match[2]] = match[1].length() ? match[1].str()[0] : '\0';
    }
  }
  return options;
}

bool lists_tool(const TableRow& row, const std::string& tool) {
  if (row.tools == "all") return true;
  std::istringstream names(row.tools);
  std::string name;
  while (std::getline(names, name, ',')) {
    if (name.erase(0, name.find_first_not_of(' ')) == tool) return true;
  }
  return false;
}

TEST(OptionTable, EveryToolsHelpFollowsTheReadmeTable) {
  const std::map<std::string, TableRow> table = readme_options();
  ASSERT_GT(table.size(), 20u);
  Sandbox sandbox;
  const struct {
    std::string tool;
    std::vector<std::string> args;
    bool complete; // every row naming the tool must be in its help
  } tools[] = {
      {"report", {"--help"}, true},       {"import", {"--help"}, true},
      {"export", {"--help"}, true},       {"lint", {"--help"}, true},
      {"loggen", {"--help"}, true},       {"report", {"merge", "--help"}, false},
  };
  for (const auto& [tool, args, complete] : tools) {
    RunResult help = sandbox.run("hipaa-" + tool, args);
    ASSERT_EQ(help.status, 0) << tool;
    const std::map<std::string, char> offered = help_options(help.out);
    EXPECT_GT(offered.size(), 2u) << tool;
    for (const auto& [name, letter] : offered) {
      auto row = table.find(name);
      if (row == table.end()) {
        ADD_FAILURE() << "hipaa-" << tool << " --" << name << " is not in README's table";
        continue;
      }
      EXPECT_EQ(letter, row->second.letter) << "hipaa-" << tool << " --" << name;
      EXPECT_TRUE(lists_tool(row->second, tool)) << "hipaa-" << tool << " --" << name;
    }
    if (!complete) continue;
    // The manual page describes the same options ("\-d ", " \-\-db").
    const std::string page = read_file(std::string(HIPAA_SOURCE_DIR) + "/man/hipaa-" + tool + ".1");
    for (const auto& [name, letter] : offered) {
      std::string roff = "\\-\\-";
      for (char c : name) roff += c == '-' ? std::string("\\-") : std::string(1, c);
      if (letter != '\0') roff = std::string("\\-") + letter + " \", \" " + roff;
      EXPECT_NE(page.find(roff), std::string::npos) << "man/hipaa-" << tool << ".1 lacks " << roff;
    }
    for (const auto& [name, row] : table) {
      if (!lists_tool(row, tool)) continue;
      EXPECT_TRUE(offered.count(name)) << "hipaa-" << tool << " --" << name;
    }
  }
}

TEST(OptionTable, EveryProgramAndManualPageCarriesTheProjectVersion) {
  Sandbox sandbox;
  for (const char* tool : {"hipaa-report", "hipaa-import", "hipaa-export", "hipaa-lint",
                           "hipaa-loggen"}) {
    for (const char* option : {"--version", "-V"}) {
      RunResult version = sandbox.run(tool, {option});
      EXPECT_EQ(version.status, 0) << tool;
      EXPECT_EQ(version.out, std::string(tool) + " " + HIPAA_VERSION + "\n");
    }
  }
  std::size_t pages = 0;
  const std::string man = std::string(HIPAA_SOURCE_DIR) + "/man";
  for (const auto& entry : std::filesystem::directory_iterator(man)) {
    std::ifstream in(entry.path());
    std::string header;
    std::getline(in, header);
    EXPECT_NE(header.find(std::string("\"hipaa-audit ") + HIPAA_VERSION + "\""), std::string::npos)
        << entry.path();
    ++pages;
  }
  EXPECT_EQ(pages, 6u);
}

// What parse_command_line makes of argv: "name=value;..." then "| positional...".
std::string parsed(std::vector<std::string> args) {
  static const std::vector<tools::OptionRule> rules = {
      {"db", 'd', true},     {"decls", 'D', true, "PATH", "", {"declarations"}},
      {"force", 'f', false}, {"out", 'o', true, "PATH", "", {"output"}},
      {"quiet", 'q', false}, {"dedupe", '\0', false},
      {"date-format", '\0', true},
  };
  args.insert(args.begin(), "tool");
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  try {
    tools::CommandLine line =
        tools::parse_command_line(static_cast<int>(argv.size()), argv.data(), rules);
    std::string out;
    for (const auto& [name, values] : line.values) {
      for (const std::string& value : values) out += name + "=" + value + ";";
    }
    out += "|";
    for (const std::string& positional : line.positional) out += " " + positional;
    return out;
  } catch (const tools::UsageError& error) {
    return std::string("error: ") + error.what();
  }
}

TEST(OptionTable, ReadsGnuFormsAndWordsEveryMistake) {
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{"--db=a.db", "x.csv", "--out", "b.db"}, "db=a.db;out=b.db;| x.csv"},
      {{"-da.db", "-fqo", "b.db", "y"}, "db=a.db;force=;out=b.db;quiet=;| y"},
      {{"--declarations", "d.d", "--output=o", "-D", "e.d"}, "decls=d.d;decls=e.d;out=o;|"},
      {{"--ded", "--date", "%Y", "--db", "--quiet"}, "date-format=%Y;db=--quiet;dedupe=;|"},
      {{"-q", "--", "-f", "--db"}, "quiet=;| -f --db"},
      {{"-", "-q"}, "quiet=;| -"},
      {{"--db="}, "error: option --db needs a value"},
      {{"--verbose"}, "error: unknown option --verbose (try --help)"},
      {{"--verbose=2"}, "error: unknown option --verbose (try --help)"},
      {{"-fx"}, "error: unknown option -x (try --help)"},
      {{"--d", "x"}, "error: option --d is ambiguous: --db, --decls, --dedupe, --date-format "
                     "(try --help)"},
      {{"x", "--db"}, "error: option --db needs a value"},
      {{"-o"}, "error: option --out needs a value"},
      {{"--force=yes"}, "error: option --force takes no value"},
  };
  for (const auto& [args, expected] : cases) EXPECT_EQ(parsed(args), expected) << args.front();
}

TEST(OptionTable, HelpWrapsEachOptionBesideItsName) {
  const std::vector<tools::OptionRule> rules = {
      {"db", 'd', true, "PATH", "the log"},
      {"date-format", '\0', true, "[TABLE[.COLUMN]=]FORMAT",
       "read dates in FORMAT, for every date column, one table's or one column's"},
      {"dedupe", '\0', false, "",
       "keep only the first of rows that repeat a row of their table exactly, which would "
       "otherwise be judged twice"},
  };
  EXPECT_EQ(tools::usage_text("Usage: tool\n", rules, "Exit status: 0.\n"),
            "Usage: tool\n"
            "\n"
            "  -d, --db PATH            the log\n"
            "      --date-format [TABLE[.COLUMN]=]FORMAT  read dates in FORMAT, for every\n"
            "                           date column, one table's or one column's\n"
            "      --dedupe             keep only the first of rows that repeat a row of\n"
            "                           their table exactly, which would otherwise be judged\n"
            "                           twice\n"
            "\n"
            "Exit status: 0.\n");
}

} // namespace
} // namespace hipaa::testing

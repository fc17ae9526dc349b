// The case study's clause catalogue and predicate templates agree with its
// policy and declarations: one catalogue row for every clause name of the
// policy and none for a name it lacks, one template for every predicate,
// with placeholders only for the predicate's arguments, and the templates
// written for a clause only for clauses of the policy.
#include "logic/declarations.hpp"
#include "tools/csv_rows.hpp"
#include "syntax/decls_parser.hpp"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>

namespace hipaa::testing {
namespace {

std::string case_file(const std::string& name) {
  std::ifstream in(std::string(HIPAA_SOURCE_DIR) + "/hipaa-case-study/" + name, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::vector<std::vector<std::string>> records_of(const std::string& text) {
  return csv_records(text);
}

// The policy without its comments: "(* ... *)" blocks and "%" lines.
std::string without_comments(const std::string& text) {
  std::string code;
  int depth = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text.compare(i, 2, "(*") == 0) {
      ++depth;
      ++i;
    } else if (depth > 0 && text.compare(i, 2, "*)") == 0) {
      --depth;
      ++i;
    } else if (depth == 0 && text[i] == '%') {
      while (i < text.size() && text[i] != '\n') ++i;
      code += '\n';
    } else if (depth == 0) {
      code += text[i];
    }
  }
  return code;
}

// The clause names of the policy.
std::set<std::string> clause_names() {
  std::set<std::string> names;
  const std::string code = without_comments(case_file("hipaa.f"));
  const std::regex name("<([A-Za-z0-9-]+)>");
  for (auto it = std::sregex_iterator(code.begin(), code.end(), name); it != std::sregex_iterator();
       ++it) {
    names.insert((*it)[1]);
  }
  return names;
}

TEST(Catalogue, EveryClauseOfThePolicyHasExactlyOneRow) {
  const std::set<std::string> names = clause_names();
  ASSERT_GT(names.size(), 100u);
  auto records = records_of(case_file("catalogue.csv"));
  ASSERT_FALSE(records.empty());
  EXPECT_EQ(records.front(), (std::vector<std::string>{"clause", "citation", "title", "quotation",
                                                       "log_decides", "person_judges", "url"}));
  std::map<std::string, int> rows;
  for (std::size_t r = 1; r < records.size(); ++r) {
    const std::vector<std::string>& record = records[r];
    ASSERT_EQ(record.size(), 7u) << "row " << r;
    ++rows[record[0]];
    EXPECT_EQ(names.count(record[0]), 1u) << "a row for a clause the policy lacks: " << record[0];
    // The Privacy Rule of part 164, or a definition of part 160.
    EXPECT_TRUE(record[1].rfind("45 CFR 164.", 0) == 0 || record[1].rfind("45 CFR 160.", 0) == 0)
        << record[0];
    EXPECT_FALSE(record[2].empty()) << record[0];
    EXPECT_EQ(record[6].rfind("https://www.ecfr.gov/current/title-45/", 0), 0u) << record[0];
  }
  for (const std::string& clause : names) EXPECT_EQ(rows[clause], 1) << clause;
}

TEST(Catalogue, EveryPredicateHasATemplateOverItsArguments) {
  std::ostringstream diagnostics;
  std::optional<DeclList> decls =
      parse_decls_file(std::string(HIPAA_SOURCE_DIR) + "/hipaa-case-study/hipaa.d", diagnostics);
  ASSERT_TRUE(decls.has_value());
  std::map<std::string, std::size_t> arity;
  for (const DeclEntry& entry : *decls) {
    if (const auto* pred = std::get_if<PredDecl>(&entry.decl))
      arity[entry.name] = pred->args.size();
  }
  auto records = records_of(case_file("templates.csv"));
  ASSERT_FALSE(records.empty());
  EXPECT_EQ(records.front(),
            (std::vector<std::string>{"predicate", "if_false", "if_true", "question"}));
  // A row named "pred@clause" words the predicate's fact where it decides
  // that clause; "@clause" the clause where none of its alternatives
  // applies.  Their sentences may also name the instance's values by column.
  const std::set<std::string> clauses = clause_names();
  const std::set<std::string> columns = {"sender", "recipient", "info",       "at",      "subject",
                                         "attr",   "individual", "covered_entity", "received"};
  std::set<std::string> covered;
  const std::regex placeholder("\\{([0-9]+|[a-z_]+)\\}");
  for (std::size_t r = 1; r < records.size(); ++r) {
    const std::vector<std::string>& record = records[r];
    ASSERT_EQ(record.size(), 4u) << "row " << r;
    const std::size_t at = record[0].find('@');
    const std::string pred = record[0].substr(0, at);
    std::size_t places = 0;
    if (at == std::string::npos || !pred.empty()) {
      auto declared = arity.find(pred);
      ASSERT_NE(declared, arity.end()) << "a template for an undeclared predicate: " << record[0];
      places = declared->second;
    }
    if (at != std::string::npos) {
      EXPECT_EQ(clauses.count(record[0].substr(at + 1)), 1u) << "no such clause: " << record[0];
      EXPECT_TRUE(record[3].empty()) << record[0];
    }
    EXPECT_TRUE(covered.insert(record[0]).second) << "two templates for " << record[0];
    EXPECT_FALSE(record[1].empty()) << record[0];
    for (std::size_t column = 1; column < 4; ++column) {
      const std::string& text = record[column];
      for (auto it = std::sregex_iterator(text.begin(), text.end(), placeholder);
           it != std::sregex_iterator(); ++it) {
        const std::string name = (*it)[1];
        if (name[0] >= '0' && name[0] <= '9') {
          std::size_t index = std::stoul(name);
          EXPECT_TRUE(index >= 1 && index <= places) << record[0] << ": " << text;
        } else {
          EXPECT_TRUE(at != std::string::npos && columns.count(name) == 1)
              << record[0] << ": " << text;
        }
      }
    }
  }
  for (const auto& [name, count] : arity) EXPECT_EQ(covered.count(name), 1u) << name;
}

// Every constant the declarations give (the values a log may store) has a
// row in values.csv with its sort, paragraph and description, and no row
// names a constant they lack.
TEST(Catalogue, EveryDeclaredConstantHasAValueRow) {
  std::ostringstream diagnostics;
  std::optional<DeclList> decls =
      parse_decls_file(std::string(HIPAA_SOURCE_DIR) + "/hipaa-case-study/hipaa.d", diagnostics);
  ASSERT_TRUE(decls.has_value());
  std::set<std::pair<std::string, std::string>> declared; // (sort, constant)
  for (const DeclEntry& entry : *decls) {
    const auto* cons = std::get_if<ConsDecl>(&entry.decl);
    if (cons == nullptr || !cons->arg_sorts.empty() || cons->cls != ConsClass::Sym) continue;
    if (cons->result.name.empty()) continue; // an integer or date constant
    declared.insert({cons->result.name, entry.name});
  }
  ASSERT_GT(declared.size(), 150u);
  auto records = records_of(case_file("values.csv"));
  ASSERT_FALSE(records.empty());
  EXPECT_EQ(records.front(),
            (std::vector<std::string>{"sort", "constant", "citation", "description"}));
  std::set<std::pair<std::string, std::string>> described;
  for (std::size_t r = 1; r < records.size(); ++r) {
    ASSERT_EQ(records[r].size(), 4u) << "row " << r;
    EXPECT_TRUE(described.insert({records[r][0], records[r][1]}).second) << records[r][1];
    EXPECT_EQ(declared.count({records[r][0], records[r][1]}), 1u) << records[r][1];
    EXPECT_FALSE(records[r][3].empty()) << records[r][1];
  }
  for (const auto& [sort, name] : declared) EXPECT_EQ(described.count({sort, name}), 1u) << name;
}

} // namespace
} // namespace hipaa::testing

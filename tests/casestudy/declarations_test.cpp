// The shipped declarations: accepted by the declaration check, and
// consistent with what the scenario's evaluated vocabulary does.
#include "casestudy/case_log.hpp"

#include "check/decls_check.hpp"

#include <gtest/gtest.h>

#include <set>

namespace hipaa::testing {
namespace {

class ShippedDeclarations : public ::testing::Test {
protected:
  const PredDecl& pred(const std::string& name) {
    const PredDecl* found = lookup_pred(signature_, name);
    if (found == nullptr) throw std::runtime_error("no predicate " + name);
    return *found;
  }

  std::vector<Mode> modes(const std::string& name) {
    std::vector<Mode> result;
    for (const PredArg& arg : pred(name).args) result.push_back(arg.mode);
    return result;
  }

  std::vector<Sort> sorts(const std::string& name) {
    std::vector<Sort> result;
    for (const PredArg& arg : pred(name).args) result.push_back(arg.sort);
    return result;
  }

  void expect_constant(const std::string& name, const std::string& sort) {
    const ConsDecl* decl = lookup_cons(signature_, name);
    ASSERT_NE(decl, nullptr) << name;
    EXPECT_EQ(decl->cls, ConsClass::Sym) << name;
    EXPECT_TRUE(decl->arg_sorts.empty()) << name;
    EXPECT_EQ(decl->result, Sort::named(sort)) << name;
  }

  Signature signature_ = shipped_declarations();
};

TEST_F(ShippedDeclarations, ParseWithoutRepairsAndPassTheDeclarationCheck) {
  std::ostringstream diagnostics;
  std::optional<DeclList> entries = parse_decls_file(
      std::string(HIPAA_SOURCE_DIR) + "/hipaa-case-study/hipaa.d", diagnostics);
  ASSERT_TRUE(entries.has_value());
  EXPECT_EQ(diagnostics.str(), "");
  check_decls(*entries, diagnostics);
  EXPECT_EQ(diagnostics.str(), "");
}

TEST_F(ShippedDeclarations, EvaluatedPredicatesHaveTheScenarioArities) {
  const std::vector<std::pair<std::string, std::size_t>> arities = {
      {"hasattrof", 3}, {"attr_in", 2}, {"eq_prin", 2},  {"eq_time", 2},
      {"disclose-eval", 4}, {"time_in", 3}, {"lessthan", 2}, {"eq_msg", 2},
      {"purp_in", 2},   {"sub_attr", 2}, {"inrole", 3}};
  for (const auto& [name, arity] : arities) {
    EXPECT_EQ(pred(name).cls, PredClass::Eval) << name;
    EXPECT_EQ(pred(name).args.size(), arity) << name;
  }
}

// An argument that the scenario copies into its solution, or uses to look
// a table up, must be ground: it is an input.
TEST_F(ShippedDeclarations, ArgumentsTheScenarioCopiesOrLooksUpAreInputs) {
  const Mode in = Mode::Input;
  const Mode out = Mode::Output;
  EXPECT_EQ(modes("eq_prin"), (std::vector<Mode>{in, out}));
  EXPECT_EQ(modes("eq_time"), (std::vector<Mode>{in, out}));
  EXPECT_EQ(modes("eq_msg"), (std::vector<Mode>{in, out}));
  EXPECT_EQ(modes("sub_attr"), (std::vector<Mode>{out, in}));
  EXPECT_EQ(modes("purp_in"), (std::vector<Mode>{in, out}));
  EXPECT_EQ(modes("inrole"), (std::vector<Mode>{in, out, in}));
  EXPECT_EQ(modes("hasattrof"), (std::vector<Mode>{in, out, out}));
  EXPECT_EQ(modes("lessthan"), (std::vector<Mode>{in, in}));
  EXPECT_EQ(modes("time_in"), (std::vector<Mode>{in, in, in}));
  EXPECT_EQ(modes("disclose-eval"), (std::vector<Mode>{out, out, out, out}));
}

TEST_F(ShippedDeclarations, EvaluatedConstructorsYieldDaysAndDates) {
  for (const char* name : {"prompt", "t_reasonable"}) {
    const ConsDecl* decl = lookup_cons(signature_, name);
    ASSERT_NE(decl, nullptr) << name;
    EXPECT_EQ(decl->cls, ConsClass::Eval);
    EXPECT_EQ(decl->result, Sort::integer());
  }
  const ConsDecl* plus = lookup_cons(signature_, "plus");
  ASSERT_NE(plus, nullptr);
  EXPECT_EQ(plus->cls, ConsClass::Eval);
  EXPECT_EQ(plus->arg_sorts, (std::vector<Sort>{Sort::date(), Sort::integer()}));
  EXPECT_EQ(plus->result, Sort::date());
}

TEST_F(ShippedDeclarations, ScenarioTablesHaveTheDecodedWidthsAndCountedColumns) {
  const std::vector<std::pair<std::string, std::size_t>> widths = {
      {"attr_in_db", 3}, {"hasattrof_db", 4}, {"disclose", 4}, {"inrole_db", 3}, {"purp_in_db", 3}};
  for (const auto& [name, width] : widths) {
    const PredDecl& decl = pred(name);
    EXPECT_EQ(decl.cls, PredClass::Db) << name;
    ASSERT_TRUE(decl.dbinfo.has_value()) << name;
    EXPECT_EQ(decl.dbinfo->table, name);
    EXPECT_EQ(decl.dbinfo->columns.size(), width) << name;
  }
  EXPECT_EQ(pred("disclose").dbinfo->columns[0], "sender");
  EXPECT_EQ(pred("hasattrof_db").dbinfo->columns[0], "info");
  EXPECT_EQ(pred("attr_in_db").dbinfo->columns[0], "subattr");
  // The evaluated predicates and their tables agree on the sorts they share.
  EXPECT_EQ(sorts("disclose"), sorts("disclose-eval"));
  EXPECT_EQ(sorts("inrole_db")[1], sorts("inrole")[1]);
  EXPECT_EQ(sorts("purp_in_db")[1], sorts("purp_in")[1]);
  EXPECT_EQ(sorts("attr_in_db")[0], sorts("attr_in")[0]);
  EXPECT_EQ(sorts("hasattrof_db")[2], sorts("hasattrof")[2]);
}

TEST_F(ShippedDeclarations, EveryTablePredicateHasATableOfItsOwn) {
  std::set<std::string> tables;
  for (const DeclEntry& entry : signature_) {
    const PredDecl* decl = std::get_if<PredDecl>(&entry.decl);
    if (decl == nullptr || decl->cls != PredClass::Db) continue;
    ASSERT_TRUE(decl->dbinfo.has_value()) << entry.name;
    EXPECT_TRUE(tables.insert(decl->dbinfo->table).second) << decl->dbinfo->table;
  }
  EXPECT_EQ(tables.size(), 35u);
}

TEST_F(ShippedDeclarations, PurposesOfTheGeneralisationTableAndGeneralRolesAreConstants) {
  for (const char* purpose :
       {"treatment", "healthcare-op", "healthcare-op-para-1-2", "payment",
        "law-enforcement-relevant-id-or-location", "report-possible-crime-on-premises",
        "alert-of-crime-commission-location-victims-perpetrator", "suspicious-death-notification",
        "Treatment", "Healthcare-op", "Payment", "law-enforcement"}) {
    expect_constant(purpose, "purpose");
  }
  expect_constant("health-care-provider", "role");
  expect_constant("Health-care-provider", "role");
  expect_constant("phi", "attribute");
}

} // namespace
} // namespace hipaa::testing

#include "reduce/engine_fixture.hpp"
#include "reduce/instance_verdict.hpp"
#include "reduce/rule_instances.hpp"

namespace hipaa {
namespace {

using namespace hipaa::testing;

TermPtr x() { return make_var("x"); }
TermPtr y() { return make_var("y"); }
TermPtr z() { return make_var("z"); }

// all [x][y][z] (send x y z) body: one instance per row of the send table.
FormulaPtr rule_over_send(FormulaPtr body) {
  return make_all("rule", {{std::nullopt, "x"}, {std::nullopt, "y"}, {std::nullopt, "z"}}, {},
                  false, make_gatom("send", {x(), y(), z()}), std::move(body));
}

FormulaPtr named(const char* name, std::string pred, TermList args) {
  return make_atom(std::string(name), std::move(pred), std::move(args));
}

class RuleInstancesTest : public EngineTest {
protected:
  // "verdict [clauses] residual" of every instance, each judged and also
  // reduced by the engine's plain entry, which must give the same residual.
  std::vector<std::string> judge_all(const FormulaPtr& rule) {
    const Quantified& q = *rule->as<Quantified>();
    InstanceJudge judge(engine);
    std::vector<std::string> lines;
    reduce_each_instance(
        engine, q,
        [&](const Substitution& sigma, const TermList& tuple, const FormulaPtr& reduced) {
          EXPECT_EQ(tuple.size(), 3u);
          InstanceVerdict verdict = judge.judge(q.body, sigma, "rule", std::nullopt);
          EXPECT_EQ(print_formula(*verdict.residual), print_formula(*reduced));
          std::string line = std::string(verdict_word(verdict.verdict)) + " [";
          for (const std::string& clause : verdict.clauses) line += " " + clause;
          lines.push_back(line + " ] " + print_formula(*verdict.residual));
        });
    return lines;
  }

  // What a body gives for the first instance.
  struct Case {
    const char* what;
    FormulaPtr body;
    std::string first_instance;
  };
  template <std::size_t N> void expect_first_instances(const Case (&cases)[N]) {
    for (const Case& c : cases) {
      EXPECT_EQ(judge_all(rule_over_send(c.body)).front(), c.first_instance) << c.what;
    }
  }
};

TEST_F(RuleInstancesTest, EveryInstanceIsJudgedInRowOrderWithoutStoppingAtAFalseOne) {
  // Instances: (alice bob "hi"), (alice carol "it's"), (bob carol "x"),
  // (alice bob "hi") again.
  FormulaPtr body = make_or("permitted", {named("to-bob", "send", {x(), app("bob"), z()}),
                                          named("from-bob", "send", {app("bob"), y(), z()})});
  EXPECT_EQ(judge_all(rule_over_send(body)),
            (std::vector<std::string>{"compliant [ to-bob ] (<permitted> true)",
                                      "violation [ permitted ] (<permitted> false)",
                                      "compliant [ from-bob ] (<permitted> true)",
                                      "compliant [ to-bob ] (<permitted> true)"}));
}

TEST_F(RuleInstancesTest, ClausesAtStakeAreTheInnermostNamedOnes) {
  const Case cases[] = {
      {"the first false named conjunct, descending into named conjunctions",
       make_and(std::nullopt, {named("sent", "send", {x(), y(), z()}),
                               make_and("inner", {atom("send", {y(), y(), z()}),
                                                  named("later", "trusted", {x()})})}),
       "violation [ inner ] false"},
      {"a false part without any name is charged to the rule",
       make_and(std::nullopt, {atom("send", {y(), x(), z()}), atom("trusted", {x()})}),
       "violation [ rule ] false"},
      {"open parts name their innermost open subformulas",
       make_and(std::nullopt, {make_or("r1", {named("p1", "send", {x(), x(), z()}),
                                              named("p2", "trusted", {x()})}),
                               make_or("r2", {atom("trusted", {y()}), make_false()})}),
       "open [ p2 r2 ] (and (<p2> trusted alice) (trusted bob))"},
      {"a true conjunction collects the first true named disjunct of every or",
       make_and(
           std::nullopt,
           {make_or("r1", {named("p1", "send", {x(), y(), z()}), named("p2", "trusted", {x()})}),
            make_or("r2", {atom("send", {x(), y(), z()}), named("p3", "trusted", {y()})})}),
       "compliant [ p1 ] true"},
  };
  expect_first_instances(cases);
}

// Where no disjunct holds, the disjuncts whose premise failed do not apply
// and are left out; the others came close.  First instance: alice sends
// "hi" to bob; bob never sends "hi" to alice.
TEST_F(RuleInstancesTest, AFailedDisjunctionNamesOnlyTheDisjunctsThatApplied) {
  TermPtr w = make_var("w");
  FormulaPtr sent = atom("send", {x(), y(), z()});    // true
  FormulaPtr answered = atom("send", {y(), x(), z()}); // false
  const Case cases[] = {
      {"a named or names itself, then the conjunctions whose first conjunct held",
       make_or("permitted", {make_and("close", {sent, answered}),
                             make_and("far", {answered, sent}),
                             named("leaf", "send", {y(), y(), z()})}),
       "violation [ permitted close ] (<permitted> false)"},
      {"an unnamed or passes on the path of named clauses that failed",
       make_or(std::nullopt, {make_and("exempt", {answered, sent}),
                              make_and("limits", {sent, named("ban", "send", {y(), x(), z()})})}),
       "violation [ limits ban ] false"},
      {"an ex applies when the first table atom of its guard has rows",
       make_or("permitted",
               {make_ex("held", {{std::nullopt, "w"}}, {}, false,
                        make_gand({make_gatom("send", {x(), w, z()}),
                                   make_gatom("send", {w, x(), z()})}),
                        make_true()),
                make_ex("none", {{std::nullopt, "w"}}, {}, false,
                        make_gatom("send", {y(), y(), w}), make_true())}),
       "violation [ permitted held ] (<permitted> false)"},
      {"an unnamed or whose disjuncts all failed on their premise leaves it to the rule",
       make_or(std::nullopt, {make_and("exempt", {answered, sent}), answered}),
       "violation [ rule ] false"},
  };
  expect_first_instances(cases);
}

TEST_F(RuleInstancesTest, TopLevelRulesAreFlattenedThroughNamedConjunctions) {
  FormulaPtr first = rule_over_send(make_true());
  FormulaPtr policy =
      make_and(std::nullopt,
               {first, make_and("group", {atom("trusted", {app("alice")}), make_true("named")}),
                atom("trusted", {app("bob")})});
  std::vector<Rule> rules = top_level_rules(policy);
  ASSERT_EQ(rules.size(), 4u);
  EXPECT_EQ(rules[0].name, "rule");
  EXPECT_NE(rules[0].all, nullptr);
  EXPECT_EQ(rules[1].name, "group");
  EXPECT_EQ(rules[2].name, "named");
  EXPECT_EQ(rules[3].name, "rule-4");
  EXPECT_EQ(rules[3].all, nullptr);
}

// A shard's enumeration: the driving atom's solutions (the guard's first
// conjunct, or the whole guard) numbered in guard order, and only those
// the filter keeps extended, in the order of the unfiltered enumeration.
TEST_F(RuleInstancesTest, ADrivingFilterKeepsTheSolutionsOfTheDrivingRowsItTakes) {
  TermPtr w = make_var("w");
  TermPtr u = make_var("u");
  // Rows 0 and 3 (alice to bob) extend to bob's one send; rows 1 and 2 to none.
  FormulaPtr joined = make_all(
      "rule", {{std::nullopt, "x"}, {std::nullopt, "y"}, {std::nullopt, "w"}}, {}, false,
      make_gand({make_gatom("send", {x(), y(), z()}), make_gatom("send", {y(), w, u})}),
      make_true());
  FormulaPtr single = rule_over_send(make_true());
  struct Case {
    const char* what;
    const FormulaPtr& rule;
    std::vector<std::size_t> taken;
    std::string solutions;
  };
  const Case cases[] = {
      {"every driving row of a join", joined, {0, 1, 2, 3}, "alice bob carol|alice bob carol|"},
      {"the first", joined, {0}, "alice bob carol|"},
      {"rows without extensions", joined, {1, 2}, ""},
      {"every row of a one-atom guard", single, {0, 1, 2, 3},
       "alice bob \"hi\"|alice carol \"it's\"|bob carol \"x\"|alice bob \"hi\"|"},
      {"the middle rows", single, {1, 2}, "alice carol \"it's\"|bob carol \"x\"|"},
  };
  for (const Case& c : cases) {
    const Quantified& q = *c.rule->as<Quantified>();
    std::string solutions;
    std::vector<std::size_t> seen;
    auto take = [&](std::size_t driving) {
      seen.push_back(driving);
      return std::find(c.taken.begin(), c.taken.end(), driving) != c.taken.end();
    };
    engine.for_each_solution(q, take, [&](const Substitution&, const TermList& tuple) {
      for (std::size_t i = 0; i < tuple.size(); ++i) {
        solutions += (i == 0 ? "" : " ") + print_term(*tuple[i]);
      }
      solutions += "|";
    });
    EXPECT_EQ(solutions, c.solutions) << c.what;
    EXPECT_EQ(seen, (std::vector<std::size_t>{0, 1, 2, 3})) << c.what;
  }
  // Keeping every row gives the unfiltered enumeration.
  std::string unfiltered;
  engine.for_each_solution(*joined->as<Quantified>(), [&](const Substitution&, const TermList& t) {
    unfiltered += print_term(*t[0]) + " " + print_term(*t[1]) + " " + print_term(*t[2]) + "|";
  });
  EXPECT_EQ(unfiltered, cases[0].solutions);
}

} // namespace
} // namespace hipaa

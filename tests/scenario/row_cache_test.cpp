// The relation answers the scenario keeps: a query asked again is answered
// from the rows kept only when the first answer was read whole and wrote
// nothing, and only for the very same query.
#include "reduce/engine_fixture.hpp"

namespace hipaa {
namespace {

using namespace hipaa::testing;
using Strings = std::vector<std::string>;

class RowCacheTest : public EngineTest {
protected:
  // A purpose of m1 that needs a repair, and a second role of bob's later.
  RowCacheTest()
      : EngineTest("INSERT INTO purp_in_db VALUES ('m1', '(marketing', '\"n\"');"
                   "INSERT INTO inrole_db VALUES ('bob', 'health-care-provider', "
                   "'2010:01:06:00:00:00');") {}

  TermPtr d1 = date("2010:01:01:00:00:00");
  TermPtr d6 = date("2010:01:06:00:00:00");
};

TEST_F(RowCacheTest, AQueryReadWholeIsAnsweredAgainWithoutTheLog) {
  const Strings m2 = {"m2 marketing", "m2 suspicious-death-notification", "m2 law-enforcement",
                      "none"};
  EXPECT_EQ(solutions("purp_in", {app("m2"), var("p")}), m2);
  const int rows = counter.rows;
  EXPECT_EQ(solutions("purp_in", {app("m2"), var("p")}), m2);
  EXPECT_EQ(solutions("purp_in", {app("m2"), app("Treatment")}), m2); // matching is the caller's
  EXPECT_EQ(counter.rows, rows);
}

TEST_F(RowCacheTest, AnotherPersonOrTimeIsAnotherQuery) {
  // Asked in turn, each answer stays its own.
  for (int round = 0; round < 2; ++round) {
    EXPECT_EQ(solutions("inrole", {app("bob"), var("r"), d1}),
              (Strings{"bob nurse 2010:01:01:00:00:00", "none"}));
    EXPECT_EQ(solutions("inrole", {app("bob"), var("r"), d6}),
              (Strings{"bob health-care-provider 2010:01:06:00:00:00",
                       "bob Health-care-provider 2010:01:06:00:00:00", "none"}));
    EXPECT_EQ(solutions("inrole", {app("alice"), var("r"), d1}), (Strings{"none"}));
  }
}

TEST_F(RowCacheTest, AnAnswerCutShortIsNotKept) {
  EXPECT_EQ(solutions("purp_in", {app("m2"), var("p")}, 1), (Strings{"m2 marketing"}));
  EXPECT_EQ(solutions("purp_in", {app("m2"), var("p")}),
            (Strings{"m2 marketing", "m2 suspicious-death-notification", "m2 law-enforcement",
                     "none"}));
  // Kept now: a consumer that stops is handed the first rows only.
  EXPECT_EQ(solutions("purp_in", {app("m2"), var("p")}, 2),
            (Strings{"m2 marketing", "m2 suspicious-death-notification"}));
}

TEST_F(RowCacheTest, AnAnswerThatWroteADiagnosticWritesItEveryTime) {
  const Strings m1 = {"m1 healthcare-op-para-1-2", "m1 Healthcare-op", "m1 marketing", "none"};
  EXPECT_EQ(solutions("purp_in", {app("m1"), var("p")}), m1);
  const std::string once = out.str();
  EXPECT_EQ(once, "[1.27]: try inserting )\n");
  EXPECT_EQ(solutions("purp_in", {app("m1"), var("p")}), m1);
  EXPECT_EQ(out.str(), once + once);
}

TEST_F(RowCacheTest, AnswersAddedWhileOneIsHandedOnLeaveItWhole) {
  const Strings m2 = {"m2 marketing", "m2 suspicious-death-notification", "m2 law-enforcement",
                      "none"};
  EXPECT_EQ(solutions("purp_in", {app("m2"), var("p")}), m2);
  // Every solution of the kept answer asks enough other queries to take
  // every place the cache has.
  auto others = [&] {
    for (int day = 1; day <= 12; ++day) {
      std::string text = "2010:02:" + std::string(day < 10 ? "0" : "") + std::to_string(day);
      solutions("inrole", {app("carol"), var("r"), date(text)});
    }
  };
  EXPECT_EQ(solutions("purp_in", {app("m2"), var("p")}, 1000, others), m2);
}

} // namespace
} // namespace hipaa

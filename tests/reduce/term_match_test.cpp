#include "reduce/fixture.hpp"
#include "reduce/term_match.hpp"

#include <gtest/gtest.h>

namespace hipaa {
namespace {

using namespace hipaa::testing;

TEST(EqualList, ComparesLengthVariantAndValue) {
  EXPECT_TRUE(equal_list({}, {}));
  EXPECT_TRUE(equal_list({app("alice")}, {app("alice")}));
  EXPECT_FALSE(equal_list({make_int(1)}, {str("1")}));
  EXPECT_FALSE(equal_list({var("x")}, {app("x")}));
  EXPECT_TRUE(equal_list({date("2010:01:01")}, {date("2010:01:01:00:00:00")}));
  EXPECT_FALSE(equal_list({app("boss", {app("bob")})}, {app("boss", {app("carol")})}));
  EXPECT_FALSE(equal_list({make_int(1)}, {make_int(1), make_int(1)}));
}

TEST(IsClosed, VariablesAnywhereOpenATerm) {
  EXPECT_TRUE(isClosed(*app("alice")));
  EXPECT_FALSE(isClosed(*var("x")));
  EXPECT_TRUE(isClosed(*app("boss", {app("boss", {app("bob")})})));
  EXPECT_FALSE(isClosed(*app("boss", {app("boss", {var("x")})})));
}

std::string matched(const TermList& patterns, const TermList& values) {
  std::optional<Substitution> bindings = match(patterns, values);
  if (!bindings) return "no match";
  std::string text;
  for (const Binding& binding : *bindings) text += binding.var + "=" + print_term(*binding.value) + ";";
  return text;
}

TEST(Match, BindsVariablesInOrderAndChecksTheRest) {
  EXPECT_EQ(matched({var("x"), app("bob"), var("y")}, {app("alice"), app("bob"), str("n")}),
            "x=alice;y=\"n\";");
  EXPECT_EQ(matched({app("alice"), make_int(-2)}, {app("alice"), make_int(-2)}), "");
  EXPECT_EQ(matched({str("alice")}, {app("alice")}), "no match");
  EXPECT_EQ(matched({app("boss", {var("x")})}, {app("boss", {app("bob")})}), "x=bob;");
  EXPECT_EQ(matched({app("boss", {var("x")})}, {app("chief", {app("bob")})}), "no match");
}

TEST(Match, RepeatedVariableNeedsEqualValues) {
  EXPECT_EQ(matched({var("x"), var("x")}, {str("a"), str("b")}), "no match");
  EXPECT_EQ(matched({var("x"), var("x")}, {str("a"), str("a")}), "x=\"a\";");
  EXPECT_EQ(matched({app("boss", {var("x")}), var("x")}, {app("boss", {app("bob")}), app("carol")}),
            "no match");
}

TEST(Match, ListLengthsMustAgree) {
  EXPECT_EQ(matched({}, {}), "");
  EXPECT_EQ(matched({}, {app("alice")}), "no match");
  EXPECT_EQ(matched({var("x")}, {}), "no match");
}

} // namespace
} // namespace hipaa

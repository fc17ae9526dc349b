#include "reduce/fixture.hpp"
#include "reduce/term_match.hpp"
#include "support/small_stack.hpp"

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

// A stored value nested far deeper than the stack allows ends the walks
// over it with Overflow, not a crash; printing it as well.
TEST(DeepValue, WalksEndWithOverflowOnASmallStack) {
  TermPtr value = app("c");
  TermPtr copy = app("c");
  TermPtr pattern = var("x");
  for (int i = 0; i < 200000; ++i) {
    value = app("f", {value});
    copy = app("f", {copy});
    pattern = app("f", {pattern});
  }
  EXPECT_EQ(failure_on_stack(kSmallStack, [&] { equal_term(*value, *copy); }), "Overflow");
  EXPECT_EQ(failure_on_stack(kSmallStack, [&] { isClosed(*value); }), "Overflow");
  EXPECT_EQ(failure_on_stack(kSmallStack, [&] { match({pattern}, {value}); }), "Overflow");
  EXPECT_EQ(failure_on_stack(kSmallStack, [&] { print_term(*value); }), "Overflow");
  EXPECT_EQ(failure_on_stack(std::size_t{256} << 20, [&] { match({pattern}, {value}); }), "");
}

} // namespace
} // namespace hipaa

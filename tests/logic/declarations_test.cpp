#include "logic/declarations.hpp"

#include <gtest/gtest.h>

namespace hipaa {
namespace {

TEST(SignatureLookup, FirstEntryByExactNameAndVariant) {
  Signature signature = {
      {SortDecl{}, "msg"},
      {PredDecl{PredClass::Db, {{Mode::Input, Sort::named("msg")}}, std::nullopt,
                DbInfo{"t", {"c"}}},
       "send"},
      {ConsDecl{ConsClass::Sym, {}, Sort::named("msg"), std::nullopt}, "m1"},
  };
  EXPECT_EQ(lookup(signature, "msg"), &signature[0]);
  EXPECT_EQ(lookup(signature, "Msg"), nullptr);
  EXPECT_NE(lookup_pred(signature, "send"), nullptr);
  EXPECT_EQ(lookup_pred(signature, "m1"), nullptr);
  EXPECT_NE(lookup_cons(signature, "m1"), nullptr);
  EXPECT_EQ(lookup_cons(signature, "msg"), nullptr);
  EXPECT_EQ(lookup_cons(signature, "absent"), nullptr);
}

TEST(SortEquality, NamedSortsCompareByName) {
  EXPECT_EQ(Sort::named("a"), Sort::named("a"));
  EXPECT_NE(Sort::named("a"), Sort::named("b"));
  EXPECT_NE(Sort::any(), Sort::string());
  EXPECT_TRUE(Sort::date().is_primitive());
  EXPECT_FALSE(Sort::any().is_primitive());
  EXPECT_FALSE(Sort::named("x").is_primitive());
  EXPECT_EQ(print_sort(Sort::named("role")), "role");
  EXPECT_EQ(print_sort(Sort::integer()), "int");
}

} // namespace
} // namespace hipaa

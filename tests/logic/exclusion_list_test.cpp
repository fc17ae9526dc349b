#include "logic/exclusion_list.hpp"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace hipaa {
namespace {

// Structural equality, without recursion (one test nests terms deeply).
bool same(const TermPtr& x, const TermPtr& y) {
  std::vector<std::pair<const Term*, const Term*>> pending{{x.get(), y.get()}};
  while (!pending.empty()) {
    auto [a, b] = pending.back();
    pending.pop_back();
    if (a->node.index() != b->node.index()) return false;
    if (const auto* i = a->as<IntTerm>()) {
      if (i->value != b->as<IntTerm>()->value) return false;
    } else if (const auto* d = a->as<DateTerm>()) {
      if (d->value != b->as<DateTerm>()->value) return false;
    } else if (const auto* s = a->as<StrTerm>()) {
      if (s->text != b->as<StrTerm>()->text) return false;
    } else if (const auto* v = a->as<VarTerm>()) {
      if (v->name != b->as<VarTerm>()->name) return false;
    } else {
      const auto& p = *a->as<AppTerm>();
      const auto& q = *b->as<AppTerm>();
      if (p.name != q.name || p.args.size() != q.args.size()) return false;
      for (std::size_t k = 0; k < p.args.size(); ++k) pending.push_back({p.args[k].get(), q.args[k].get()});
    }
  }
  return true;
}

TermPtr nested(int depth) {
  TermPtr term = make_app("leaf");
  for (int i = 0; i < depth; ++i) term = make_app("f", {make_int(i), term});
  return term;
}

TEST(ExclusionList, EveryKindOfTermReadsBackEqual) {
  DateValue huge = DateValue(1) << 80;
  const TermList values = {
      make_int(0), make_int(-1), make_int(INT_MIN), make_int(INT_MAX),
      make_date(0), make_date(-1234567890123L), make_date(huge), make_date(-huge),
      make_str(""), make_str(std::string("a\"b\nc\0d", 7)), make_str(std::string(300, 'x')),
      make_var("x"), make_app("phi"),
      make_app("f", {make_app("g", {make_str("s"), make_int(7)}), make_var("y"), make_app("c")}),
      nested(100000),
  };
  ExclusionList list;
  for (const TermPtr& value : values) list.push_back({value});
  list.push_back(values);
  list.push_back({});
  ASSERT_EQ(list.size(), values.size() + 2);
  std::size_t index = 0;
  for (const TermList& tuple : list) {
    if (index < values.size()) {
      ASSERT_EQ(tuple.size(), 1u);
      EXPECT_TRUE(same(tuple[0], values[index])) << "value " << index;
    } else if (index == values.size()) {
      ASSERT_EQ(tuple.size(), values.size());
      for (std::size_t k = 0; k < values.size(); ++k) EXPECT_TRUE(same(tuple[k], values[k]));
    } else {
      EXPECT_TRUE(tuple.empty());
    }
    ++index;
  }
  EXPECT_EQ(index, list.size());
}

// Membership is equality term by term: kind, value, arity and position.
TEST(ExclusionList, ContainsOnlyEqualTuples) {
  ExclusionList list({{make_str("a"), make_int(1)}, {make_app("f", {make_app("a")})}, {}});
  struct Case {
    TermList tuple;
    bool expected;
  };
  const Case cases[] = {
      {{make_str("a"), make_int(1)}, true},
      {{make_app("f", {make_app("a")})}, true},
      {{}, true},
      {{make_int(1), make_str("a")}, false},
      {{make_app("a"), make_int(1)}, false},
      {{make_var("a"), make_int(1)}, false},
      {{make_str("a"), make_date(1)}, false},
      {{make_str("a"), make_int(1), make_int(1)}, false},
      {{make_str("a")}, false},
      {{make_app("f", {make_str("a")})}, false},
      {{make_app("f")}, false},
  };
  for (const Case& c : cases) EXPECT_EQ(list.contains(c.tuple), c.expected);
  EXPECT_FALSE(ExclusionList().contains({}));
}

// Long lists span many storage blocks and keep their order, also when one
// list is appended to another.
TEST(ExclusionList, LongListsKeepTheirOrder) {
  auto tuple = [](int i) {
    return TermList{make_str(std::to_string(i) + std::string(100, '.')), make_int(i)};
  };
  constexpr int kHandled = 30000;
  ExclusionList handled;
  for (int i = 0; i < kHandled; ++i) handled.push_back(tuple(i));
  ExclusionList earlier({tuple(-1), tuple(-2)});
  handled.append(earlier);
  ASSERT_EQ(handled.size(), kHandled + 2u);
  int expected = 0;
  for (const TermList& values : handled) {
    int want = expected < kHandled ? expected : kHandled - 1 - expected;
    ASSERT_EQ(values[1]->as<IntTerm>()->value, want);
    ++expected;
  }
  EXPECT_EQ(handled[kHandled + 1][1]->as<IntTerm>()->value, -2);
  EXPECT_TRUE(handled.contains(tuple(kHandled - 1)));
  EXPECT_FALSE(handled.contains(tuple(kHandled)));
  ExclusionList copy = handled;
  EXPECT_EQ(copy.size(), handled.size());
  EXPECT_TRUE(copy.contains(tuple(-2)));
}

} // namespace
} // namespace hipaa

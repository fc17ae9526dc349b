#include "reduce/fixture.hpp"
#include "reduce/sql_text.hpp"

#include <gtest/gtest.h>

namespace hipaa {
namespace {

using namespace hipaa::testing;

Constraint on(const char* column, TermPtr value) { return Constraint{std::move(value), ColumnRef{"t", column}}; }

TEST(SqlText, SelectWithAndWithoutWhere) {
  EXPECT_EQ(query_text({{{"t", "x"}, {"t", "y"}}, {"t"}, {}}), "SELECT t.x, t.y FROM t");
  EXPECT_EQ(query_text({{{"t", "x"}, {"t", "y"}}, {"t"}, {on("x", str("a'b"))}}),
            "SELECT t.x, t.y FROM t WHERE (t.x = '\"a''b\"')");
  EXPECT_EQ(query_text({{}, {"t", "u"}, {}}), "SELECT  FROM t, u");
}

TEST(SqlText, ConstraintsHoldPrintedTermsWithQuotesDoubled) {
  std::vector<Constraint> constraints{on("a", app("boss", {str("o''k")})), on("b", make_int(-5)),
                                      on("c", date("2010:01:02"))};
  EXPECT_EQ(print_constraint_list(constraints), "(t.a = '(boss \"o''''k\")') AND (t.b = '~5') AND "
                                                "(t.c = '2010:01:02:00:00:00')");
  std::vector<Constraint> columns{{ColumnRef{"u", "v"}, ColumnRef{"t", "w"}}};
  EXPECT_EQ(print_constraint_list(columns), "(t.w = u.v)");
  EXPECT_EQ(print_constraint_list({}), "");
}

} // namespace
} // namespace hipaa

#include "check/check_support.hpp"
#include "check/decls_check.hpp"

namespace hipaa::testing {
namespace {

Outcome check(const DeclList& entries) {
  return outcome_of([&](std::ostream& out) { check_decls(entries, out); });
}

const Sort kString = Sort::string();
const Sort kInt = Sort::integer();
const Sort kAny = Sort::any();

TEST(CheckDecls, AcceptsEmptyAndWellFormedLists) {
  EXPECT_EQ(check({}), passed());
  EXPECT_EQ(check({sort_entry("principal"), sort_entry("msg"),
                   pred_entry("send", PredClass::Db, {outp(named("principal")), outp(named("msg"))},
                              table("sends", {"sender", "message"})),
                   pred_entry("inrole", PredClass::Eval, {in(named("principal")), outp(kString)}),
                   pred_entry("before", PredClass::Sql, {in(Sort::date()), in(Sort::date())},
                              std::nullopt, "<"),
                   pred_entry("consents", PredClass::Subj, {in(named("principal"))}),
                   cons_entry("plus", ConsClass::Sql, {kInt, kInt}, kInt, "+"),
                   cons_entry("nameof", ConsClass::Eval, {named("principal")}, kString),
                   cons_entry("anyone", ConsClass::Sym, {}, kAny),
                   cons_entry("mk", ConsClass::Sym, {kString}, named("msg"))}),
            passed());
}

TEST(CheckDecls, DuplicateNamesShareOneNameSpace) {
  EXPECT_EQ(check({sort_entry("p"), sort_entry("p")}),
            (Outcome{"DuplicateDecl", "Duplicate declaration of identifier: p\n"}));
  EXPECT_EQ(check({sort_entry("p"), pred_entry("p", PredClass::Subj, {})}),
            (Outcome{"DuplicateDecl", "Duplicate declaration of identifier: p\n"}));
  EXPECT_EQ(
      check({pred_entry("q", PredClass::Subj, {}), cons_entry("q", ConsClass::Sym, {}, kAny)}),
      (Outcome{"DuplicateDecl", "Duplicate declaration of identifier: q\n"}));
  // Letter case distinguishes names.
  EXPECT_EQ(check({sort_entry("p"), sort_entry("P")}), passed());
}

TEST(CheckDecls, DuplicateIsReportedBeforeTheEntrysOwnFaults) {
  EXPECT_EQ(check({sort_entry("p"), pred_entry("p", PredClass::Db, {})}),
            (Outcome{"DuplicateDecl", "Duplicate declaration of identifier: p\n"}));
}

TEST(CheckDecls, SortsMustBeDeclaredEarlierAsSorts) {
  // Declared only further down.
  EXPECT_EQ(check({pred_entry("p", PredClass::Subj, {in(named("s"))}), sort_entry("s")}),
            (Outcome{"DeclNotSort", "Undeclared sort name: s\n"}));
  // Declared earlier, but as a predicate.
  EXPECT_EQ(check({pred_entry("s", PredClass::Subj, {}),
                   cons_entry("c", ConsClass::Sym, {}, named("s"))}),
            (Outcome{"DeclNotSort", "Undeclared sort name: s\n"}));
  // A constructor cannot supply its own result sort.
  EXPECT_EQ(check({cons_entry("s", ConsClass::Sym, {}, named("s"))}),
            (Outcome{"DeclNotSort", "Undeclared sort name: s\n"}));
}

TEST(CheckDecls, ConstructorResultSortBeforeLastUndeclaredArgument) {
  EXPECT_EQ(check({cons_entry("c", ConsClass::Sym, {named("a1"), named("a2")}, named("r"))}),
            (Outcome{"DeclNotSort", "Undeclared sort name: r\n"}));
  EXPECT_EQ(
      check({sort_entry("r"),
             cons_entry("c", ConsClass::Sym, {named("a1"), named("r"), named("a2")}, named("r"))}),
      (Outcome{"DeclNotSort", "Undeclared sort name: a2\n"}));
  EXPECT_EQ(check({pred_entry("p", PredClass::Subj, {in(named("a1")), in(named("a2"))})}),
            (Outcome{"DeclNotSort", "Undeclared sort name: a2\n"}));
}

TEST(CheckDecls, ConstructorResultSortsByClass) {
  EXPECT_EQ(check({cons_entry("c", ConsClass::Sym, {}, kString)}),
            (Outcome{"BadReturnSort", "SYM constructor: c has result of primitive sort\n"}));
  EXPECT_EQ(check({cons_entry("c", ConsClass::Sql, {}, kAny)}),
            (Outcome{"BadReturnSort", "SQL constructor: c has result of non-primitive sort\n"}));
  EXPECT_EQ(check({cons_entry("c", ConsClass::Eval, {}, kAny)}),
            (Outcome{"BadReturnSort", "EVAL constructor: c has result of non-primitive sort\n"}));
  // EVAL arguments are unrestricted; SQL arguments are primitive.
  EXPECT_EQ(check({cons_entry("c", ConsClass::Eval, {kAny}, Sort::date())}), passed());
  EXPECT_EQ(check({cons_entry("c", ConsClass::Sql, {kInt, kAny}, kInt)}),
            (Outcome{"BadArgSort", "SQL constructor: c has argument of non-primitive sort\n"}));
  // The result is judged before the arguments.
  EXPECT_EQ(check({cons_entry("c", ConsClass::Sql, {kAny}, kAny)}),
            (Outcome{"BadReturnSort", "SQL constructor: c has result of non-primitive sort\n"}));
}

TEST(CheckDecls, SqlPredicateSortsBeforeModes) {
  EXPECT_EQ(check({pred_entry("p", PredClass::Sql, {outp(kInt), in(kAny)})}),
            (Outcome{"BadArgSort", "SQL predicate: p has argument of non-primitive sort\n"}));
  EXPECT_EQ(check({pred_entry("p", PredClass::Sql, {in(kInt), outp(kInt)})}),
            (Outcome{"BadArgMode", "SQL predicate: p has argument in output mode\n"}));
  // Undeclared sorts come first.
  EXPECT_EQ(check({pred_entry("p", PredClass::Sql, {outp(kAny), in(named("s"))})}),
            (Outcome{"DeclNotSort", "Undeclared sort name: s\n"}));
  // Modes of other classes are not examined.
  EXPECT_EQ(check({pred_entry("p", PredClass::Eval, {outp(kAny)})}), passed());
}

TEST(CheckDecls, InfixNamesOnlyOnBinarySqlDeclarations) {
  const Outcome bad_p{"BadInfixName", "Unnecessary infix name: p\n"};
  EXPECT_EQ(check({pred_entry("p", PredClass::Sql, {in(kInt)}, std::nullopt, "~")}), bad_p);
  EXPECT_EQ(
      check({pred_entry("p", PredClass::Sql, {in(kInt), in(kInt), in(kInt)}, std::nullopt, "~")}),
      bad_p);
  EXPECT_EQ(check({pred_entry("p", PredClass::Eval, {in(kInt), in(kInt)}, std::nullopt, "~")}),
            bad_p);
  EXPECT_EQ(check({pred_entry("p", PredClass::Subj, {in(kInt), in(kInt)}, std::nullopt, "~")}),
            bad_p);
  EXPECT_EQ(check({cons_entry("c", ConsClass::Eval, {kInt, kInt}, kInt, "+")}),
            (Outcome{"BadInfixName", "Unnecessary infix name: c\n"}));
  EXPECT_EQ(check({cons_entry("c", ConsClass::Sql, {kInt}, kInt, "+")}),
            (Outcome{"BadInfixName", "Unnecessary infix name: c\n"}));
  // Before the DbInfo checks.
  EXPECT_EQ(check({pred_entry("p", PredClass::Db, {in(kInt), in(kInt)}, std::nullopt, "~")}),
            bad_p);
}

TEST(CheckDecls, DbInfoBelongsToDbPredicatesWithOneColumnPerArgument) {
  EXPECT_EQ(check({pred_entry("p", PredClass::Eval, {in(kInt)}, table("t", {"a"}))}),
            (Outcome{"BadDbInfo", "%dbinfo given for non-DB predicate: p\n"}));
  EXPECT_EQ(
      check({pred_entry("p", PredClass::Db, {in(kInt)}, table("t", {"a", "b"}))}),
      (Outcome{"BadDbInfo", "Number of columns in %dbinfo of predicate: p differs from number of "
                            "arguments\n"}));
  EXPECT_EQ(check({pred_entry("p", PredClass::Db, {in(kInt)})}),
            (Outcome{"MissingDbInfo", "%dbinfo not given for DB predicate: p\n"}));
}

TEST(CheckDecls, NullaryDbPredicates) {
  EXPECT_EQ(check({pred_entry("p", PredClass::Db, {})}),
            (Outcome{"MissingDbInfo", "%dbinfo not given for DB predicate: p\n"}));
  EXPECT_EQ(check({pred_entry("p", PredClass::Db, {}, table("t", {}))}),
            (Outcome{"NullaryDBPred", "Nullary DB predicate: p\n"}));
  // A column for an argument that is not there is a column-count fault.
  EXPECT_EQ(
      check({pred_entry("p", PredClass::Db, {}, table("t", {"a"}))}),
      (Outcome{"BadDbInfo", "Number of columns in %dbinfo of predicate: p differs from number of "
                            "arguments\n"}));
}

TEST(CheckDecls, StopsAtTheFirstFaultyEntry) {
  EXPECT_EQ(check({cons_entry("c", ConsClass::Sym, {}, kInt), pred_entry("p", PredClass::Db, {})}),
            (Outcome{"BadReturnSort", "SYM constructor: c has result of primitive sort\n"}));
}

// The diagnostic must reach the terminal before the failure ends the run.
class SyncCounter : public std::stringbuf {
public:
  int syncs = 0;

protected:
  int sync() override {
    ++syncs;
    return std::stringbuf::sync();
  }
};

TEST(CheckDecls, FlushesTheDiagnosticBeforeRaising) {
  SyncCounter buffer;
  std::ostream out(&buffer);
  EXPECT_THROW(check_decls({sort_entry("p"), sort_entry("p")}, out), Failure);
  EXPECT_EQ(buffer.str(), "Duplicate declaration of identifier: p\n");
  EXPECT_EQ(buffer.syncs, 1);
}

} // namespace
} // namespace hipaa::testing

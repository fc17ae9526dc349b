// Syntax error repair: the report lines of typical mistakes, the block's
// shape, unrepairable texts, and inputs that must not crash the parser.
#include "support.hpp"

#include "base/failure.hpp"
#include "syntax/decls_parser.hpp"
#include "syntax/policy_lexer.hpp"
#include "syntax/policy_parser.hpp"
#include "syntax/repair_record.hpp"

#include <gtest/gtest.h>

#include <iterator>
#include <random>
#include <sstream>

namespace hipaa::testing {
namespace {

struct Case {
  const char* text;
  const char* printed;
  const char* repairs;
};

TEST(Repair, TypicalMistakes) {
  const Case cases[] = {
      // A missing ")" at the end.
      {"(and p q", "(and p q)", "[1.28]: try inserting )\n"},
      // An extra ")".
      {"(p x))", "(p x)", "[1.24]: try deleting )\n"},
      // "and" with one argument: one more argument is inserted (the
      // placeholder identifier x).
      {"and p", "(and p x)", "[1.25]: try inserting ID\n"},
      // A guard atom written without parentheses: its argument becomes the
      // body and the real body is dropped.
      {"ex [x: msg] p x true", "(ex [x: msg] p x)", "[1.35]: try deleting true\n"},
      // A stray keyword.
      {"and p imp q", "(and p q)", "[1.25]: try deleting imp\n"},
      // A term where a formula argument is needed.
      {"and p \"s\"", "(and p x)", "[1.25]: try substituting ID for STR\n"},
      // A missing "]" in a bound-variable list.
      {"all [x: int (p x) true", "(all [x: int] (p x) true)", "[1.31]: try inserting ]\n"},
  };
  for (const Case& c : cases) {
    Parsed parsed = parse_policy(c.text);
    EXPECT_EQ(parsed.printed, c.printed) << c.text;
    EXPECT_EQ(parsed.repairs, c.repairs) << c.text;
    EXPECT_EQ(parsed.diag, "") << c.text;
  }
}

TEST(Repair, SeveralRepairsComeInPositionOrder) {
  Parsed parsed = parse_policy("and (p x)) q\n(or q r");
  EXPECT_EQ(parsed.printed, "(and (p x) q (or q r))");
  EXPECT_EQ(parsed.repairs, "[1.28]: try deleting )\n[2.9]: try inserting )\n");
}

TEST(Repair, ColumnsCountCharactersNotBytes) {
  Parsed parsed = parse_policy("\"é€\xF0\x9F\x98\x80\" )");
  EXPECT_EQ(parsed.repairs, "[1.19]: try inserting ID\n[1.25]: try deleting )\n");
  EXPECT_EQ(parsed.printed, "(x \"é€\xF0\x9F\x98\x80\")");
}

TEST(Repair, UnrepairableTextsEndWithASyntaxErrorLine) {
  Parsed parsed = parse_policy("and (and (and");
  EXPECT_EQ(parsed.printed, "<none>");
  EXPECT_EQ(parsed.repairs, "[1.33]: syntax error at EOF\n");
  Parsed after_repair = parse_policy("and (p x)) q (and (and (and");
  EXPECT_EQ(after_repair.printed, "<none>");
  EXPECT_EQ(after_repair.repairs, "[1.28]: try deleting )\n[1.47]: syntax error at EOF\n");
}

TEST(Repair, CorrectTextsWriteNothing) {
  std::ostringstream out;
  EXPECT_EQ(parse_value("(f a)").diag, "");
  write_repair_block({}, out);
  EXPECT_EQ(out.str(), "");
}

// Every line of a block ends in a newline, the last one included, so the
// block never runs into what is printed after it.
TEST(Repair, TheBlockEndsWithANewline) {
  std::ostringstream out;
  write_repair_block({"[1.25]: try inserting ID\n", "[2.1]: try deleting )\n"}, out);
  out << "next";
  EXPECT_EQ(out.str(), "[1.25]: try inserting ID\n[2.1]: try deleting )\nnext");
  Parsed term = parse_value("(f a");
  EXPECT_EQ(term.printed, "(f a)");
  EXPECT_EQ(term.diag, "[1.21]: try inserting )\n");
}

// Near the start of the text long runs of tokens may go.
TEST(Repair, LongDeletionsAtTheStart) {
  Parsed term = parse_value("(f (g (h");
  EXPECT_EQ(term.printed, "h");
  EXPECT_EQ(term.diag, "[1.16]: try deleting ( ID ( ID (\n");
}

TEST(Repair, ParseTermWritesItsBlockAlsoWhenUnrepairable) {
  std::string text = "f";
  for (int i = 0; i < 60; ++i) text += " a";
  text += " (g (g (g (h";
  Parsed term = parse_value(text);
  EXPECT_EQ(term.printed, "<none>");
  EXPECT_EQ(term.diag, "[1.150]: syntax error at EOF\n");
}

TEST(Repair, UnknownSymbolsAreReportedOnceDespiteRetries) {
  Parsed parsed = parse_policy("and p ! q ! r ) ! s");
  EXPECT_EQ(parsed.diag, "Unknown symbol: !\nUnknown symbol: !\nUnknown symbol: !\n");
  EXPECT_EQ(parsed.printed, "(and p q r s)");
  EXPECT_EQ(parsed.repairs, "[1.33]: try deleting )\n");
}

TEST(Repair, RecordsMustAdvance) {
  using namespace syntax;
  const std::string framed = "%#parse_formula#% \xC3\xA9 p q %#parse_end#%";
  std::vector<RepairRecord> records;
  add_record(records, RepairRecord{21, RepairAction::Delete, {P_ID}, {}}, framed);
  try {
    add_record(records, RepairRecord{21, RepairAction::Insert, {P_RPAREN}, {}}, framed);
    FAIL() << "expected Fail";
  } catch (const Fail& failure) {
    EXPECT_EQ(failure.message(), "Fail: bug: repairs not monotonic adding at 20 to a max pos of 20");
  }
  EXPECT_EQ(repair_lines(records, framed, policy_token_name),
            std::vector<std::string>{"[1.21]: try deleting ID\n"});
}

// Random bytes end with a value, with no value, or with Incomplete or
// Overflow (or a date conversion's failure, or BadParseType when a term text
// happens to be a whole formula); never with anything else.
TEST(Repair, RandomBytesNeverCrash) {
  std::mt19937 random(20240601);
  for (int round = 0; round < 400; ++round) {
    std::string text(static_cast<std::size_t>(random() % 200), ' ');
    const bool printable = round % 2 == 0;
    for (char& c : text) {
      c = printable ? " ()[]{}<>:\"%*~-0123456789abcdefxyz"[random() % 34]
                    : static_cast<char>(random() % 256);
    }
    std::ostringstream diag;
    try {
      parse_formula_text(text, diag);
      parse_term(text, diag);
    } catch (const Failure& failure) {
      EXPECT_TRUE(failure.name() == "Incomplete" || failure.name() == "Overflow" ||
                  failure.name() == "Date" || failure.name() == "BadParseType")
          << failure.name();
    }
  }
}

// Random sequences of well-formed tokens of both languages keep the repair
// search busy at every point of the grammars: each parse ends with a value,
// with no value, or (for parse_term) with BadParseType, and never with an
// internal error.
TEST(Repair, RandomTokenSequencesNeverCrash) {
  const char* policy_words[] = {"(",    ")",     "[",     "]",        "{",      "}",
                                "<",    ">",     ":",     "all",      "ex",     "and",
                                "or",   "imp",   "true",  "false",    "any",    "date",
                                "int",  "string", "COMPILE", "x",     "p",      "\"s\"",
                                "3",    "2010:01:01", "%#parse_formula#%", "%#parse_term#%", "\n"};
  const char* decl_words[] = {"(",    ")",   ":",   ".",      ",",       "+",      "-",
                              " ->",  "sort", "pred", "SUBJ", "DB",      "EVAL",   "SQL",
                              "SYM",  "string", "int", "date", "any",    "%dbinfo", "%infix",
                              "x",    "\"s\"", "\n"};
  std::mt19937 random(7);
  for (int round = 0; round < 3000; ++round) {
    std::string policy;
    std::string decls;
    for (int i = static_cast<int>(random() % 40); i > 0; --i) {
      policy += std::string(policy_words[random() % std::size(policy_words)]) + " ";
      decls += std::string(decl_words[random() % std::size(decl_words)]) + " ";
    }
    std::ostringstream diag;
    EXPECT_NO_THROW(parse_formula_text(policy, diag)) << policy;
    EXPECT_NO_THROW(parse_decls_text(decls, diag)) << decls;
    try {
      parse_term(policy, diag);
    } catch (const Failure& failure) {
      EXPECT_EQ(failure.name(), "BadParseType") << policy;
    }
  }
}

} // namespace
} // namespace hipaa::testing

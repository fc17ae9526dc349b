// The policy lexer and the lexical conventions it shares with the
// declarations lexer: token boundaries, values, comments, markers,
// characters and the "Unknown symbol: " messages.
#include "base/failure.hpp"
#include "syntax/framing.hpp"
#include "syntax/policy_lexer.hpp"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace hipaa::syntax {
namespace {

struct Lexed {
  std::string tokens;
  std::string diag;
};

// The tokens of the framed formula text, as "NAME" or "NAME:value", joined
// by blanks; the start and end markers are left out.
Lexed lex(const std::string& text) {
  const std::string framed = frame(kFormulaMarker, text);
  std::ostringstream diag;
  PolicyLexer lexer(framed, diag);
  Lexed out;
  for (Token token = lexer.next(); token.kind != P_EOF; token = lexer.next()) {
    if (token.kind == P_START_FORMULA) continue;
    if (!out.tokens.empty()) out.tokens += ' ';
    out.tokens += policy_token_name(token.kind);
    if (token.kind == P_ID || token.kind == P_STR || token.kind == P_DATE) {
      out.tokens += ":" + std::string(token.text);
    } else if (token.kind == P_INT) {
      out.tokens += ":" + std::to_string(token.value);
    }
  }
  out.diag = diag.str();
  return out;
}

std::string failure_of(const std::string& text) {
  try {
    lex(text);
  } catch (const Failure& failure) {
    return failure.name();
  }
  return "none";
}

TEST(PolicyLexer, IdentifiersTakeTheirPunctuationCharacters) {
  EXPECT_EQ(lex("x-y a/b o'brien p#1 a$ m@n _u").tokens,
            "ID:x-y ID:a/b ID:o'brien ID:p#1 ID:a$ ID:m@n ID:_u");
  Lexed minus_x = lex("-x");
  EXPECT_EQ(minus_x.tokens, "ID:x");
  EXPECT_EQ(minus_x.diag, "Unknown symbol: -\n");
}

TEST(PolicyLexer, KeywordsWinOnlyOverIdentifiersOfTheSameLength) {
  EXPECT_EQ(lex("all allx all1 all-x").tokens, "all ID:allx ID:all1 ID:all-x");
  EXPECT_EQ(lex("truefalse true(").tokens, "ID:truefalse true (");
  EXPECT_EQ(lex("COMPILE compile Any any").tokens, "COMPILE ID:compile ID:Any any");
  EXPECT_EQ(lex("ex and or imp false date int string").tokens,
            "ex and or imp false date int string");
}

TEST(PolicyLexer, IntegersAndSigns) {
  EXPECT_EQ(lex("~7 -7 7 007").tokens, "INT:-7 INT:-7 INT:7 INT:7");
  Lexed plus = lex("+7");
  EXPECT_EQ(plus.tokens, "INT:7");
  EXPECT_EQ(plus.diag, "Unknown symbol: +\n");
  EXPECT_EQ(lex("2147483647 -2147483648").tokens, "INT:2147483647 INT:-2147483648");
  EXPECT_EQ(lex("12abc").tokens, "INT:12 ID:abc");
}

TEST(PolicyLexer, IntegersOutside32BitsOverflow) {
  EXPECT_EQ(failure_of("2147483648"), "Overflow");
  EXPECT_EQ(failure_of("~2147483649"), "Overflow");
  EXPECT_EQ(failure_of("99999999999999999999999"), "Overflow");
}

TEST(PolicyLexer, DatesHaveThreeOrSixGroups) {
  EXPECT_EQ(lex("2011:03:15 2011:03:15:10:30:00").tokens,
            "DATE:2011:03:15 DATE:2011:03:15:10:30:00");
  EXPECT_EQ(lex("12:30").tokens, "INT:12 : INT:30");
  EXPECT_EQ(lex("12:3 ").tokens, "INT:12 : INT:3");
  EXPECT_EQ(lex("2010:10:5:14").tokens, "DATE:2010:10:5 : INT:14");
  EXPECT_EQ(lex("1:2:3:4:5").tokens, "DATE:1:2:3 : INT:4 : INT:5");
  EXPECT_EQ(lex("1:2:3:4:5:6:7").tokens, "DATE:1:2:3:4:5:6 : INT:7");
  EXPECT_EQ(lex("2010:01:").tokens, "INT:2010 : INT:1 :");
  // No sign before a date: the sign takes the first group as an integer.
  EXPECT_EQ(lex("-2010:01:05").tokens, "INT:-2010 : INT:1 : INT:5");
}

TEST(PolicyLexer, StringsKeepEveryCharacterBetweenTheQuotes) {
  EXPECT_EQ(lex("\"a\\b\"").tokens, "STR:a\\b");
  EXPECT_EQ(lex("\"\"").tokens, "STR:");
  EXPECT_EQ(lex("\"(* % x\"").tokens, "STR:(* % x");
  Lexed open = lex("\"ab\ncd\"");
  EXPECT_EQ(open.tokens, "ID:ab ID:cd");
  EXPECT_EQ(open.diag, "Unknown symbol: \"\nUnknown symbol: \"\n");
}

TEST(PolicyLexer, CommentsAndMarkers) {
  EXPECT_EQ(lex("a % b c\nd").tokens, "ID:a ID:d");
  EXPECT_EQ(lex("a % b\rd").tokens, "ID:a ID:d");
  EXPECT_EQ(lex("a (* b \n c *) d").tokens, "ID:a ID:d");
  Lexed unnested = lex("(* a (* b *) c *)");
  EXPECT_EQ(unnested.tokens, "ID:c )");
  EXPECT_EQ(unnested.diag, "Unknown symbol: *\n");
  EXPECT_EQ(lex("(a)").tokens, "( ID:a )");
  EXPECT_EQ(lex("a %#parse_decls#% b\nc").tokens, "ID:a ID:c");
  EXPECT_EQ(lex("a %#parse_term#% b").tokens, "ID:a START_TERM ID:b");
}

TEST(PolicyLexer, EndMarkerEndsCommentsThatReachTheEnd) {
  EXPECT_EQ(lex("a % last line without newline").tokens, "ID:a");
  EXPECT_EQ(lex("a (* never closed").tokens, "ID:a");
  // The end marker inside a comment ends the input there.
  EXPECT_EQ(lex("a (* %#parse_end#% *) b").tokens, "ID:a");
}

TEST(PolicyLexer, UnknownSymbolsAreReportedAndSkipped) {
  Lexed lexed = lex("p ! q \x01 r \x7f s é t");
  EXPECT_EQ(lexed.tokens, "ID:p ID:q ID:r ID:s ID:t");
  EXPECT_EQ(lexed.diag,
            "Unknown symbol: !\nUnknown symbol: \x01\nUnknown symbol: \x7f\nUnknown symbol: é\n");
}

TEST(PolicyLexer, PositionsAreByteOffsetsOfTheFramedText) {
  const std::string framed = frame(kFormulaMarker, "ab  (c");
  std::ostringstream diag;
  PolicyLexer lexer(framed, diag);
  EXPECT_EQ(lexer.next().offset, 0u);
  EXPECT_EQ(lexer.next().offset, 18u);
  EXPECT_EQ(lexer.next().offset, 22u);
  EXPECT_EQ(lexer.next().offset, 23u);
  EXPECT_EQ(lexer.next().offset, 25u);
}

TEST(PolicyLexer, MultiByteCharacters) {
  EXPECT_EQ(lex("\"é€\" % ü\n").tokens, "STR:é€");
  // A four-byte character is one character, in strings, comments and as an
  // unknown symbol.
  Lexed emoji = lex("\"\xF0\x9F\x98\x80\" (* \xF0\x9F\x98\x80 *) \xF0\x9F\x98\x80 x");
  EXPECT_EQ(emoji.tokens, "STR:\xF0\x9F\x98\x80 ID:x");
  EXPECT_EQ(emoji.diag, "Unknown symbol: \xF0\x9F\x98\x80\n");
}

TEST(PolicyLexer, MalformedUtf8IsIncomplete) {
  EXPECT_EQ(failure_of("a \x80 b"), "Incomplete");
  EXPECT_EQ(failure_of("\"\xC3\""), "Incomplete");
  EXPECT_EQ(failure_of("% \xE2\x82 x\n"), "Incomplete");
  // Beyond U+10FFFF the lead is read as a three-byte lead, and the fourth
  // byte then stands where a character must begin.
  EXPECT_EQ(failure_of("\"\xF4\x90\x80\x80\""), "Incomplete");
  EXPECT_EQ(failure_of("\"\xF0\x9F\x98\""), "none");
}

} // namespace
} // namespace hipaa::syntax

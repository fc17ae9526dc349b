#include "reduce/value_cache.hpp"

#include "logic/printer.hpp"

#include <gtest/gtest.h>

#include <sstream>

namespace hipaa {
namespace {

TEST(ValueCache, EqualTextsShareOneTermWhileInUse) {
  std::ostringstream out;
  ValueCache cache(2); // one set of two slots
  TermPtr first = cache.parse("\"x\"", out).term;
  EXPECT_EQ(cache.parse("\"x\"", out).term, first);
  // A text that keeps coming back stays while one-off texts pass through.
  for (const char* text : {"a", "\"x\"", "b", "\"x\"", "c", "\"x\"", "d"}) cache.parse(text, out);
  EXPECT_EQ(cache.parse("\"x\"", out).term, first);
  // Two newer texts push it out: the table is bounded.
  cache.parse("e", out);
  cache.parse("f", out);
  EXPECT_NE(cache.parse("\"x\"", out).term, first);
  // A text too long for a slot is parsed anew each time, to an equal term.
  std::string longer = "\"" + std::string(60, 'y') + "\"";
  TermPtr once = cache.parse(longer, out).term;
  EXPECT_NE(cache.parse(longer, out).term, once);
  EXPECT_EQ(print_term(*cache.parse(longer, out).term), longer);
  EXPECT_EQ(print_term(*cache.parse("2010:01:05", out).term), "2010:01:05:00:00:00");
  EXPECT_EQ(out.str(), "");
}

TEST(ValueCache, ARepairedTextIsParsedAndReportedEachTime) {
  std::ostringstream out;
  ValueCache cache;
  ValueCache::Parsed first = cache.parse("(f a", out);
  ASSERT_TRUE(first.wrote_diagnostic);
  std::string report = out.str();
  ValueCache::Parsed again = cache.parse("(f a", out);
  EXPECT_TRUE(again.wrote_diagnostic);
  EXPECT_NE(again.term, first.term);
  EXPECT_EQ(out.str(), report + report);
  // Not a term at all: no term, and the parser's report.
  out.str("");
  EXPECT_EQ(cache.parse("(((", out).term, nullptr);
  EXPECT_NE(out.str(), "");
}

} // namespace
} // namespace hipaa

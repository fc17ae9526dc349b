#include "reduce/value_cache.hpp"

#include "logic/printer.hpp"

#include <gtest/gtest.h>

#include <sstream>

namespace hipaa {
namespace {

TEST(ValueCache, EqualTextsShareOneTermWhileInUse) {
  std::ostringstream out;
  ValueCache cache(2); // two texts per generation
  TermPtr first = cache.parse("\"x\"", out).term;
  EXPECT_EQ(cache.parse("\"x\"", out).term, first);
  // Texts that come back survive the turn of generations; one-off ones go.
  for (const char* text : {"a", "b", "\"x\"", "c", "d", "\"x\"", "e", "f"}) cache.parse(text, out);
  EXPECT_EQ(cache.parse("\"x\"", out).term, first);
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

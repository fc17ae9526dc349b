// One parse of a framed text by a grammar: a direct pass that builds the
// value while it reads, and only when that pass meets a token it cannot
// accept, the repair search over the same (already lexed) tokens followed
// by a build over the repaired sequence.
#pragma once

#include "base/failure.hpp"
#include "syntax/ll_machine.hpp"
#include "syntax/repair_record.hpp"
#include "syntax/repair_search.hpp"
#include "syntax/token_stream.hpp"

#include <optional>
#include <string>
#include <vector>

namespace hipaa::syntax {

template <class Result> struct ParseRun {
  std::vector<std::string> repair_lines;
  // Absent when a syntax error could not be repaired.
  std::optional<Result> result;
};

template <class G, class Lexer>
ParseRun<typename G::Result> run_parse(TokenStream<Lexer>& stream,
                                       const typename G::Builder& fresh) {
  BuildMachine<G> direct(fresh);
  for (std::size_t i = 0;; ++i) {
    if (!direct.feed(stream.at(i))) break;
    if (direct.accepted()) return {{}, direct.builder().take_result()};
  }
  const std::string_view framed = stream.lexer().text();
  RepairParse<G, TokenStream<Lexer>> repair(stream, framed);
  const std::optional<std::vector<Token>> repaired = repair.run();
  ParseRun<typename G::Result> run{repair_lines(repair.records(), framed, G::token_name),
                                   std::nullopt};
  if (!repaired) return run;
  BuildMachine<G> rebuild(fresh);
  for (const Token& token : *repaired) {
    if (!rebuild.feed(token)) throw Fail("bug: repaired tokens do not parse");
  }
  run.result = rebuild.builder().take_result();
  return run;
}

} // namespace hipaa::syntax

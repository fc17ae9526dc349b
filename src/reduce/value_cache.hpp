// Column texts of the audit log back into terms, each distinct text parsed
// once while it stays in use.  The table is bounded: it keeps two
// generations and drops the older one when the newer fills up, so texts
// that keep coming back stay and the log's one-off values pass through.
// A parse that wrote a diagnostic (a repaired value) is never kept, so its
// diagnostic is written again every time the text is read, and equal texts
// share one term, which keeps the residual's value tuples small.
#pragma once

#include "logic/term.hpp"

#include <cstddef>
#include <iosfwd>
#include <sstream>
#include <string>
#include <unordered_map>

namespace hipaa {

class ValueCache {
public:
  explicit ValueCache(std::size_t generation_size = 1 << 14)
      : generation_size_(generation_size) {}

  struct Parsed {
    TermPtr term;            // null when the text is not a term
    bool wrote_diagnostic;   // the parse wrote repair or lexer messages
  };

  // The term of `text`, parsed now or earlier.  The parser's diagnostics go
  // to `out`, flushed, as the parser itself writes them.
  Parsed parse(const std::string& text, std::ostream& out);

private:
  using Table = std::unordered_map<std::string, TermPtr>;

  // Enters the text into the newer generation, making room first.
  void keep(const std::string& text, const TermPtr& term);

  std::size_t generation_size_;
  Table recent_;
  Table older_;
  std::ostringstream diagnostics_;
};

} // namespace hipaa

// Column texts of the audit log back into terms, each distinct text parsed
// once while it stays in use.  The table is bounded and laid out flat: a
// fixed array of slots, each holding a short text inline with its term, in
// sets of two; a text has one set, where it stays while it keeps coming
// back, and the less recently used of the two gives way to a new text.  So
// a lookup touches one or two cache lines however large the log, and texts
// that keep coming back stay while the log's one-off values pass through.
// A parse that wrote a diagnostic (a repaired value) is never kept, so its
// diagnostic is written again every time the text is read; nor is a text
// too long for a slot, which is only parsed again.  Equal texts that are
// kept share one term.
#pragma once

#include "logic/term.hpp"

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace hipaa {

class ValueCache {
public:
  // Room for `slots` texts (at least two; rounded up to a power of two).
  explicit ValueCache(std::size_t slots = std::size_t{1} << 15);

  struct Parsed {
    TermPtr term;            // null when the text is not a term
    bool wrote_diagnostic;   // the parse wrote repair or lexer messages
  };

  // The term of `text`, parsed now or earlier.  The parser's diagnostics go
  // to `out`, flushed, as the parser itself writes them.
  Parsed parse(const std::string& text, std::ostream& out);

private:
  static constexpr std::size_t kMaxText = 39;

  // One cache line: the text's hash, its term (null while empty) and the
  // text itself.
  struct alignas(64) Slot {
    std::uint64_t hash = 0;
    TermPtr term;
    std::uint8_t length = 0;
    char text[kMaxText] = {};

    bool holds(std::uint64_t text_hash, std::string_view text) const;
  };

  std::vector<Slot> slots_;
  std::size_t set_mask_;
  std::ostringstream diagnostics_;
};

} // namespace hipaa

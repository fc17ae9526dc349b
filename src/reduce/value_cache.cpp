#include "reduce/value_cache.hpp"

#include "syntax/policy_parser.hpp"

#include <cstring>
#include <functional>
#include <ostream>
#include <utility>

namespace hipaa {

namespace {

// Hands on what the parser wrote, in one piece; true when it wrote anything.
bool pass_on(std::ostringstream& diagnostics, std::ostream& out) {
  if (diagnostics.tellp() == std::streampos(0)) return false;
  out << diagnostics.str();
  out.flush();
  diagnostics.str("");
  return true;
}

std::size_t set_count(std::size_t slots) {
  std::size_t sets = 1;
  while (2 * sets < slots) sets *= 2;
  return sets;
}

} // namespace

ValueCache::ValueCache(std::size_t slots)
    : slots_(2 * set_count(slots)), set_mask_(set_count(slots) - 1) {}

bool ValueCache::Slot::holds(std::uint64_t text_hash, std::string_view wanted) const {
  return term && hash == text_hash && length == wanted.size() &&
         std::memcmp(text, wanted.data(), wanted.size()) == 0;
}

ValueCache::Parsed ValueCache::parse(const std::string& text, std::ostream& out) {
  std::uint64_t hash = std::hash<std::string_view>()(text);
  // The set's first slot holds the more recently used text.
  Slot* set = &slots_[2 * (hash & set_mask_)];
  if (set[0].holds(hash, text)) return {set[0].term, false};
  if (set[1].holds(hash, text)) {
    std::swap(set[0], set[1]);
    return {set[0].term, false};
  }

  std::optional<TermPtr> parsed;
  try {
    parsed = parse_term(text, diagnostics_);
  } catch (...) {
    pass_on(diagnostics_, out);
    throw;
  }
  bool wrote = pass_on(diagnostics_, out);
  if (!parsed) return {nullptr, wrote};
  if (!wrote && text.size() <= kMaxText) {
    set[1] = std::move(set[0]);
    Slot& kept = set[0];
    kept.hash = hash;
    kept.term = *parsed;
    kept.length = static_cast<std::uint8_t>(text.size());
    std::memcpy(kept.text, text.data(), text.size());
  }
  return {std::move(*parsed), wrote};
}

} // namespace hipaa

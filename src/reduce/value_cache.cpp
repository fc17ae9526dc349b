#include "reduce/value_cache.hpp"

#include "syntax/policy_parser.hpp"

#include <ostream>

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

} // namespace

ValueCache::Parsed ValueCache::parse(const std::string& text, std::ostream& out) {
  if (auto found = recent_.find(text); found != recent_.end()) return {found->second, false};
  if (auto found = older_.find(text); found != older_.end()) {
    TermPtr term = found->second;
    older_.erase(found);
    keep(text, term);
    return {term, false};
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
  if (!wrote) keep(text, *parsed);
  return {std::move(*parsed), wrote};
}

void ValueCache::keep(const std::string& text, const TermPtr& term) {
  if (recent_.size() >= generation_size_) {
    older_ = std::move(recent_);
    recent_ = Table();
  }
  recent_.emplace(text, term);
}

} // namespace hipaa

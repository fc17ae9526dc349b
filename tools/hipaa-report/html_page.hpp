// summary.html: one self-contained page, no script and nothing fetched.
#pragma once

#include "catalogue.hpp"
#include "summary.hpp"

#include <iosfwd>
#include <string>

namespace hipaa::report {

struct RunInfo {
  std::string db;
  std::string decls;
  std::string policy;
  std::string started; // local time the run began, ISO 8601
  std::string as_of;   // as given, or ""
  std::string shard;   // "K/N", or "" for the whole log
  const Catalogue* catalogue = nullptr; // citations and titles of the clauses
};

void write_html_page(std::ostream& out, const Summary& summary, const RunInfo& run);

// Text with &, <, > and quotes escaped for HTML.
std::string html_escape(const std::string& text);

} // namespace hipaa::report

// summary.html: one self-contained page that works offline.  The tables
// (violations, open instances, the questions for a person, the instances
// settled by decisions and the decisions themselves) are embedded as JSON,
// at most Summary::kPageRows instances, and drawn, sorted and filtered by a
// plain script in the page; nothing is fetched.
#pragma once

#include "catalogue.hpp"
#include "decisions.hpp"
#include "summary.hpp"
#include "worklist.hpp"

#include <iosfwd>
#include <string>
#include <vector>

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

struct PageInput {
  const Summary& summary;
  const Worklist& worklist;
  const Decisions& decisions;
  const std::vector<std::string>& stale; // ids of the stale decisions
};

void write_html_page(std::ostream& out, const PageInput& input, const RunInfo& run);

// Text with &, <, > and quotes escaped for HTML.
std::string html_escape(const std::string& text);

} // namespace hipaa::report

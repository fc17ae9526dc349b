// The command line of hipaa-report.
#pragma once

#include "dates/date.hpp"

#include <cstddef>
#include <optional>
#include <string>

namespace hipaa::report {

struct Formats {
  bool csv = true;
  bool json = true;
  bool html = true;
};

struct Options {
  std::string db = "hipaa.db";
  std::string decls;  // as given, or as found in the case study's places
  std::string policy;
  std::string out = "report";
  std::string decisions; // the answered worklist, or "" for none
  Formats formats;
  std::optional<DateValue> as_of;
  std::string as_of_text; // as the user wrote it
  unsigned jobs = 1;
  bool set_engine = true;  // table lookups from in-memory indexes (--engine set)
  std::size_t memory_mib = 0; // their budget; 0 for the default share of memory
  std::size_t shard = 0; // this run handles positions shard mod shards
  std::size_t shards = 1;
  bool quiet = false;
  bool violations_ok = false; // exit 0 rather than 1 when violations are found
  bool lint = true; // summarise the log checks before the verdicts
  bool accept_repairs = false; // use a policy the parser had to repair
  std::string catalogue;       // the clause catalogue; "" for the default
  bool help = false;
  bool version = false;
};

// Reads argv; a ToolError says what is wrong with which option.
Options parse_options(int argc, char** argv);

// The default budget of --memory: a quarter of physical memory, at most 4 GiB.
std::size_t default_memory_mib();

std::string usage_text();
std::string version_text();

} // namespace hipaa::report

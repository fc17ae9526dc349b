// hipaa-report merge: the report of a whole run from the folders of its
// shards, after checking that they are every shard of one run, each once,
// over the same evidence, and that every row is where its position says.
#pragma once

#include <string>

namespace hipaa::report {

// Runs `hipaa-report merge ARGS...` (argv[0] is "merge") and returns the
// exit status a whole run would have had; a ToolError says why the shards
// cannot be merged.
int run_merge(int argc, char** argv);

std::string merge_usage_text();

} // namespace hipaa::report

// manifest.json: which program, options and evidence gave a report folder,
// so that an auditor can show where every verdict came from and the merge
// can tell the shards of one run from any others.  The README documents the
// fields; kManifestVersion changes whenever a field changes meaning.
#pragma once

#include "options.hpp"
#include "report_folder.hpp"
#include "summary.hpp"

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

namespace hipaa::report {

using ManifestJson = nlohmann::ordered_json;

constexpr int kManifestVersion = 1;
constexpr const char* kManifestFile = "manifest.json";

// The inputs of a run, each with its path, size and SHA-256, and what
// identifies the state of the log that the run read.
struct Evidence {
  ManifestJson inputs;
  std::string log_state;
};

// Hashes the log (and its -wal file when there is one), the declarations
// and the policy.  A ToolError when one cannot be read.
Evidence gather_evidence(const Options& options);

// The project's version ("1.1.0"), from the version line.
std::string program_version();

// The current time in UTC, ISO 8601 with a Z.
std::string utc_now();

// The current time on the local clock, ISO 8601 without a zone.
std::string local_time_now();

ManifestJson options_json(const Options& options);
ManifestJson counts_json(const Summary& summary);

// The written files of the folder with their sizes and digests.
ManifestJson files_json(const ReportFolder& folder, const std::vector<std::string>& names);

// The manifest of one run, sharded or whole.
ManifestJson run_manifest(const Options& options, const Evidence& evidence,
                          const std::string& started, const Summary& summary,
                          const ReportFolder& folder, const std::vector<std::string>& files);

// Writes `manifest` as the folder's manifest.json.
void write_manifest(ReportFolder& folder, const ManifestJson& manifest);

} // namespace hipaa::report

#include "manifest.hpp"

#include "digest.hpp"

#include <ctime>
#include <filesystem>
#include <fstream>

namespace hipaa::report {

namespace {

ManifestJson file_json(const std::string& path, const FileDigest& digest) {
  return ManifestJson{{"path", path}, {"bytes", digest.bytes}, {"sha256", digest.sha256}};
}

// What identifies the state of the log that the run read: the digest of
// the log file, and of its write-ahead file when one holds changes not yet
// copied into it.  Two runs with the same identifier read the same rows.
// This is the one place to name the state otherwise (for instance by the
// read transaction's own snapshot), should the log's files ever be read
// while they change.
std::string log_state_of(const FileDigest& log, const FileDigest* wal) {
  if (wal == nullptr) return "sha256:" + log.sha256;
  Sha256 both;
  both.add(log.sha256);
  both.add(wal->sha256);
  return "sha256+wal:" + both.hex();
}

} // namespace

Evidence gather_evidence(const Options& options) {
  Evidence evidence;
  evidence.inputs = ManifestJson::object();
  FileDigest log = digest_file(options.db);
  evidence.inputs["log"] = file_json(options.db, log);
  std::string wal_path = options.db + "-wal";
  std::error_code ignored;
  std::optional<FileDigest> wal;
  if (std::filesystem::is_regular_file(wal_path, ignored) &&
      std::filesystem::file_size(wal_path, ignored) > 0) {
    wal = digest_file(wal_path);
    evidence.inputs["log_wal"] = file_json(wal_path, *wal);
  }
  evidence.log_state = log_state_of(log, wal ? &*wal : nullptr);
  evidence.inputs["declarations"] = file_json(options.decls, digest_file(options.decls));
  evidence.inputs["policy"] = file_json(options.policy, digest_file(options.policy));
  // Further inputs (a clause catalogue, a file of decisions) are hashed
  // here under their own names when the run reads them.
  if (!options.decisions.empty()) {
    evidence.inputs["decisions"] = file_json(options.decisions, digest_file(options.decisions));
  }
  return evidence;
}

std::string program_version() {
  std::string line = version_text();
  std::size_t space = line.rfind(' ');
  std::string version = line.substr(space + 1);
  while (!version.empty() && version.back() == '\n') version.pop_back();
  return version;
}

namespace {

std::string time_now(bool utc) {
  std::time_t now = std::time(nullptr);
  std::tm broken{};
  if (utc) {
    gmtime_r(&now, &broken);
  } else {
    localtime_r(&now, &broken);
  }
  char text[32];
  std::strftime(text, sizeof text, utc ? "%Y-%m-%dT%H:%M:%SZ" : "%Y-%m-%dT%H:%M:%S", &broken);
  return text;
}

} // namespace

std::string utc_now() { return time_now(true); }

std::string local_time_now() { return time_now(false); }

ManifestJson options_json(const Options& options) {
  ManifestJson formats = ManifestJson::array();
  if (options.formats.csv) formats.push_back("csv");
  if (options.formats.json) formats.push_back("json");
  if (options.formats.html) formats.push_back("html");
  return ManifestJson{
      {"db", options.db},
      {"decls", options.decls},
      {"policy", options.policy},
      {"out", options.out},
      {"format", formats},
      {"as_of",
       options.as_of_text.empty() ? ManifestJson(nullptr) : ManifestJson(options.as_of_text)},
      {"jobs", options.jobs},
      {"shard", options.shards > 1 ? ManifestJson(std::to_string(options.shard) + "/" +
                                                  std::to_string(options.shards))
                                   : ManifestJson(nullptr)},
      {"quiet", options.quiet},
      {"lint", options.lint},
      {"violations_ok", options.violations_ok},
      {"decisions",
       options.decisions.empty() ? ManifestJson(nullptr) : ManifestJson(options.decisions)},
  };
}

ManifestJson counts_json(const Summary& summary) {
  ManifestJson rules = ManifestJson::object();
  const std::vector<Rule>& of = summary.layout().rules();
  for (std::size_t i = 0; i < of.size(); ++i) rules[of[i].name] = summary.per_rule()[i];
  return ManifestJson{
      {"instances", summary.instances()},     {"violation", summary.count(Verdict::Violation)},
      {"open", summary.count(Verdict::Open)}, {"compliant", summary.count(Verdict::Compliant)},
      {"overdue", summary.overdue()},         {"rules", rules}};
}

ManifestJson files_json(const ReportFolder& folder, const std::vector<std::string>& names) {
  ManifestJson files = ManifestJson::object();
  for (const std::string& name : names) {
    FileDigest digest = digest_file(folder.staged(name));
    files[name] = ManifestJson{{"bytes", digest.bytes}, {"sha256", digest.sha256}};
  }
  return files;
}

ManifestJson run_manifest(const Options& options, const Evidence& evidence,
                          const std::string& started, const Summary& summary,
                          const ReportFolder& folder, const std::vector<std::string>& files) {
  ManifestJson manifest;
  manifest["manifest_version"] = kManifestVersion;
  manifest["program"] = ManifestJson{{"name", "hipaa-report"}, {"version", program_version()}};
  manifest["started"] = started;
  manifest["finished"] = utc_now();
  manifest["options"] = options_json(options);
  manifest["shard"] = options.shards > 1
                          ? ManifestJson{{"index", options.shard},
                                         {"count", options.shards},
                                         {"split", "driving"}}
                          : ManifestJson(nullptr);
  manifest["inputs"] = evidence.inputs;
  manifest["log_state"] = evidence.log_state;
  manifest["counts"] = counts_json(summary);
  manifest["files"] = files_json(folder, files);
  return manifest;
}

void write_manifest(ReportFolder& folder, const ManifestJson& manifest) {
  std::ofstream file = folder.create(kManifestFile);
  file << manifest.dump(2, ' ', false, ManifestJson::error_handler_t::replace) << "\n";
  folder.close(file, kManifestFile);
}

} // namespace hipaa::report

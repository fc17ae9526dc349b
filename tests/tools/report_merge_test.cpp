// hipaa-report's manifest and merge: the shards of a run merge into the
// files of the whole run, and anything that is not every shard of one run,
// each once and unchanged, is refused with no report written.
#include "casestudy/case_log.hpp"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <regex>

namespace hipaa::testing {
namespace {

namespace fs = std::filesystem;
using Json = nlohmann::ordered_json;

void generate(const Sandbox& sandbox, const std::string& db, const std::string& seed) {
  ASSERT_EQ(sandbox
                .run("hipaa-loggen", {"-n", "1200", "--violations", "0.03", "--seed", seed,
                                      "--output", db, "--force"})
                .status,
            0);
}

// The page without when the run began: its line and the page data's field.
std::string page_without_start(const std::string& page) {
  return std::regex_replace(
      std::regex_replace(page, std::regex("<tr><th>started</th><td>[^<]*</td></tr>\n"), ""),
      std::regex("\"started\":\"[^\"]*\""), "\"started\":\"\"");
}

Json manifest(const Sandbox& sandbox, const std::string& folder) {
  return Json::parse(read_file(sandbox.path(folder + "/manifest.json")));
}

// Shards 0/3 to 2/3 of hipaa.db in s0, s1, s2, and the whole run in whole.
class ReportMerge : public ::testing::Test {
protected:
  void SetUp() override {
    generate(sandbox, "hipaa.db", "5");
    whole = sandbox.run("hipaa-report", {"--no-lint", "--out", "whole"});
    ASSERT_EQ(whole.status, 1) << whole.err;
    for (const char* k : {"0", "1", "2"}) {
      RunResult shard =
          sandbox.run("hipaa-report", {"-q", "--jobs", "2", "--shard", std::string(k) + "/3",
                                       "--out", std::string("s") + k});
      ASSERT_NE(shard.status, 2) << shard.err;
    }
  }

  Sandbox sandbox;
  RunResult whole;
};

TEST_F(ReportMerge, ShardsMergeIntoTheWholeRunsFiles) {
  RunResult merged = sandbox.run("hipaa-report", {"merge", "--out", "merged", "s2", "s0", "s1/"});
  ASSERT_EQ(merged.status, whole.status) << merged.err;
  for (const char* file : {"verdicts.csv", "verdicts.json", "worklist.csv"}) {
    EXPECT_EQ(read_file(sandbox.path(std::string("merged/") + file)),
              read_file(sandbox.path(std::string("whole/") + file)))
        << file;
  }
  EXPECT_EQ(page_without_start(read_file(sandbox.path("merged/summary.html"))),
            page_without_start(read_file(sandbox.path("whole/summary.html"))));
  std::string summary = whole.out;
  for (std::size_t at; (at = summary.find("whole/")) != std::string::npos;)
    summary.replace(at, 6, "merged/");
  EXPECT_EQ(merged.out, summary);

  Json of_whole = manifest(sandbox, "whole");
  Json of_merge = manifest(sandbox, "merged");
  EXPECT_EQ(of_merge["counts"], of_whole["counts"]);
  EXPECT_EQ(of_merge["inputs"], of_whole["inputs"]);
  EXPECT_EQ(of_merge["log_state"], of_whole["log_state"]);
  EXPECT_EQ(of_merge["files"]["verdicts.csv"], of_whole["files"]["verdicts.csv"]);
  EXPECT_EQ(of_merge["files"]["verdicts.json"], of_whole["files"]["verdicts.json"]);
  // The page differs in its start time alone.
  EXPECT_EQ(of_merge["files"]["summary.html"]["bytes"], of_whole["files"]["summary.html"]["bytes"]);
  EXPECT_EQ(of_merge["merged_from"].size(), 3u);
  EXPECT_EQ(of_merge["merged_from"][0]["shard"], "0/3");
}

// With decisions, each shard settles its own instances; a decision is
// stale only where no shard met its question.
TEST_F(ReportMerge, ShardsWithDecisionsMergeIntoTheWholeRunsFiles) {
  std::string decisions = "id,decision,reviewer,date,note\n";
  const std::string worklist = read_file(sandbox.path("whole/worklist.csv"));
  std::size_t at = worklist.find('\n') + 1;
  for (int i = 0; i < 6 && at < worklist.size(); ++i, at = worklist.find('\n', at) + 1) {
    decisions += worklist.substr(at, 17) + (i % 2 ? ",no" : ",yes") + ",A,2026-12-01,\n";
  }
  decisions += "q0123456789abcdef,yes,A,2026-12-01,never asked\n";
  write_file(sandbox.path("d.csv"), decisions);
  RunResult whole_run =
      sandbox.run("hipaa-report", {"--no-lint", "--decisions", "d.csv", "--out", "dwhole"});
  ASSERT_NE(whole_run.status, 2) << whole_run.err;
  for (const char* k : {"0", "1", "2"}) {
    ASSERT_NE(sandbox
                  .run("hipaa-report", {"-q", "--decisions", "d.csv", "--shard",
                                        std::string(k) + "/3", "--out", std::string("d") + k})
                  .status,
              2);
  }
  RunResult merged = sandbox.run("hipaa-report", {"merge", "--out", "dmerged", "d0", "d1", "d2"});
  ASSERT_EQ(merged.status, whole_run.status) << merged.err;
  for (const char* file :
       {"verdicts.csv", "verdicts.json", "worklist.csv", "stale-decisions.csv"}) {
    EXPECT_EQ(read_file(sandbox.path(std::string("dmerged/") + file)),
              read_file(sandbox.path(std::string("dwhole/") + file)))
        << file;
  }
  EXPECT_NE(read_file(sandbox.path("dmerged/stale-decisions.csv")).find("q0123456789abcdef"),
            std::string::npos);
  EXPECT_EQ(page_without_start(read_file(sandbox.path("dmerged/summary.html"))),
            page_without_start(read_file(sandbox.path("dwhole/summary.html"))));
  std::string summary = whole_run.out;
  for (std::size_t found; (found = summary.find("dwhole/")) != std::string::npos;)
    summary.replace(found, 7, "dmerged/");
  EXPECT_EQ(merged.out, summary);
}

TEST_F(ReportMerge, ManifestNamesTheEvidenceAndTheFilesWritten) {
  Json of_whole = manifest(sandbox, "whole");
  EXPECT_EQ(of_whole["manifest_version"], 1);
  EXPECT_TRUE(of_whole["shard"].is_null());
  EXPECT_EQ(of_whole["inputs"]["log"]["path"], "hipaa.db");
  EXPECT_EQ(of_whole["inputs"]["log"]["bytes"], fs::file_size(sandbox.path("hipaa.db")));
  EXPECT_EQ(of_whole["log_state"],
            "sha256:" + of_whole["inputs"]["log"]["sha256"].get<std::string>());
  EXPECT_EQ(of_whole["inputs"]["policy"]["sha256"].get<std::string>().size(), 64u);
  for (const auto& [name, file] : of_whole["files"].items()) {
    EXPECT_EQ(file["bytes"], fs::file_size(sandbox.path("whole/" + name))) << name;
  }
  std::size_t total = 0;
  for (const char* k : {"0", "1", "2"}) {
    Json of_shard = manifest(sandbox, std::string("s") + k);
    EXPECT_EQ(of_shard["shard"]["index"], std::stoul(k));
    EXPECT_EQ(of_shard["shard"]["count"], 3);
    EXPECT_EQ(of_shard["inputs"], of_whole["inputs"]);
    total += of_shard["counts"]["instances"].get<std::size_t>();
  }
  EXPECT_EQ(total, of_whole["counts"]["instances"]);

  // The same empty database named under an empty -wal file: no log_wal.
  // A -wal file with content is hashed with the log.
  fs::copy_file(sandbox.path("hipaa.db"), sandbox.path("copy.db"));
  write_file(sandbox.path("copy.db-wal"), "");
  sandbox.run("hipaa-report", {"-q", "-F", "csv", "--db", "copy.db", "--out", "copy"});
  EXPECT_FALSE(manifest(sandbox, "copy")["inputs"].contains("log_wal"));
  EXPECT_EQ(manifest(sandbox, "copy")["log_state"], of_whole["log_state"]);
}

TEST_F(ReportMerge, RefusesWhatIsNotEveryShardOfOneRunUnchanged) {
  // Stale folders and damaged copies beside the good shards.
  generate(sandbox, "other.db", "6");
  sandbox.run("hipaa-report", {"-q", "--db", "other.db", "--shard", "1/3", "--out", "other1"});
  sandbox.run("hipaa-report", {"-q", "--shard", "1/4", "--out", "four1"});
  sandbox.run("hipaa-report", {"-q", "--as-of", "2011-01-01", "--shard", "1/3", "--out", "late1"});
  fs::copy(sandbox.path("s1"), sandbox.path("moved1"));
  {
    // Two rows swapped: every byte still there, the digest aside.
    std::string csv = read_file(sandbox.path("moved1/verdicts.csv"));
    std::size_t second = csv.find("\r\n") + 2;
    std::size_t third = csv.find("\r\n", second) + 2;
    std::size_t fourth = csv.find("\r\n", third) + 2;
    csv = csv.substr(0, second) + csv.substr(third, fourth - third) +
          csv.substr(second, third - second) + csv.substr(fourth);
    write_file(sandbox.path("moved1/verdicts.csv"), csv);
  }
  fs::copy(sandbox.path("s1"), sandbox.path("cut1"));
  std::string json = read_file(sandbox.path("cut1/verdicts.json"));
  write_file(sandbox.path("cut1/verdicts.json"), json.substr(0, json.size() / 2));

  struct Case {
    std::vector<std::string> folders;
    std::string message;
  };
  const std::vector<Case> cases = {
      {{"s0", "s2"}, "shard 1/3 is missing"},
      {{"s0"}, "shards 1/3, 2/3 are missing"},
      {{"s0", "s1", "s2", "s1"}, "s1 and s1 are both shard 1/3"},
      {{"s0", "s1", "s2", "other1"}, "s1 and other1 are both shard 1/3"},
      {{"s0", "other1", "s2"}, "other1: another log than s0's"},
      {{"s0", "four1", "s2"}, "four1: shard 1/4, but s0 is shard 0/3"},
      {{"s0", "late1", "s2"}, "late1: made with another as_of than s0"},
      {{"s0", "whole", "s2"}, "whole: the report of a whole run, not a shard"},
      {{"s0", "nowhere", "s2"}, "nowhere: no manifest.json, not a report's folder"},
      {{"s0", "moved1", "s2"},
       "moved1/verdicts.csv: the row at position 1 stands where position 0 belongs"},
      {{"s0", "cut1", "s2"}, "cut1/verdicts.json: ends inside its array"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args = {"merge", "--out", "merged"};
    args.insert(args.end(), c.folders.begin(), c.folders.end());
    RunResult merged = sandbox.run("hipaa-report", args);
    EXPECT_EQ(merged.status, 2) << c.message;
    EXPECT_EQ(merged.err, "hipaa-report: " + c.message + "\n");
    EXPECT_FALSE(sandbox.exists("merged")) << c.message;
  }

  // A row rewritten in place, its position kept: only the digest tells.
  std::string csv = read_file(sandbox.path("s1/verdicts.csv"));
  std::size_t verdict = csv.find(",compliant,");
  ASSERT_NE(verdict, std::string::npos);
  write_file(sandbox.path("s1/verdicts.csv"), csv.replace(verdict, 11, ",violation,"));
  RunResult merged = sandbox.run("hipaa-report", {"merge", "--out", "merged", "s0", "s1", "s2"});
  EXPECT_EQ(merged.status, 2);
  EXPECT_EQ(merged.err, "hipaa-report: s1/verdicts.csv: differs from what its manifest records "
                        "(changed since the run)\n");
}

} // namespace
} // namespace hipaa::testing

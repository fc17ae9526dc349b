// Runs against hostile surroundings: a reader that has gone, a planted
// link, a limited address space, input nested deeper than any stack.
#include "cli/cli_harness.hpp"
#include "support/sanitized.hpp"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

namespace hipaa::cli {
namespace {

namespace fs = std::filesystem;

using hipaa::testing::kSanitized;

const char* const kDeclarations = R"(s : sort .
c : s .
f : s -> s .
p : s - -> pred DB %dbinfo "p" ("v") .
q : s + -> pred SUBJ .
)";

const char* const kSchema = R"(
CREATE TABLE p (v TEXT);
CREATE TABLE disclose (sender TEXT);
CREATE TABLE hasattrof_db (info TEXT);
CREATE TABLE attr_in_db (subattr TEXT);
)";

class HostileRun : public ::testing::Test {
protected:
  void SetUp() override {
    dir.write_declarations(kDeclarations);
    dir.write_policy("(all [x: s] (p x) (q x))");
    dir.make_database(std::string(kSchema) + "INSERT INTO p VALUES ('(f c)');");
  }
  CaseDir dir;
};

TEST_F(HostileRun, AClosedPipeIsAnIoFailure) {
  for (const char* id : {"", "17"}) {
    std::vector<std::string> arguments;
    if (*id) arguments.push_back(id);
    RunResult result = dir.run_into_closed_pipe(arguments);
    EXPECT_EQ(result.err, "unhandled exception: Io: flushOut \"<stdout>\" failed with SysErr: " +
                              std::string(std::strerror(EPIPE)) + " [pipe]\n");
    EXPECT_EQ(result.status, 1);
    EXPECT_FALSE(dir.exists("rform"));
  }
}

TEST_F(HostileRun, APlantedLinkIsReplacedNotFollowed) {
  dir.write("target", "kept\n");
  fs::create_symlink(fs::path(dir.path()) / "target", fs::path(dir.path()) / "rform");
  RunResult result = dir.run({"17"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(dir.read("target"), "kept\n");
  EXPECT_FALSE(fs::is_symlink(fs::path(dir.path()) / "rform"));
  EXPECT_EQ(dir.read("rform"), "(q (f c))\n");
}

// Under "ulimit -v 3000000" the largest stack cannot be had; deep input
// still ends in a result or a named failure, never a signal.
TEST_F(HostileRun, DeepInputUnderALimitedAddressSpace) {
  if (kSanitized) GTEST_SKIP() << "the sanitizers reserve more address space than the limit";
  const std::size_t limit = std::size_t{3000000} * 1024;
  const int depth = 100000;
  std::string policy;
  for (int i = 0; i < depth; ++i) policy += "(and true ";
  policy += "true" + std::string(depth, ')');
  dir.write_policy(policy);
  RunResult result = dir.run_with_address_limit(limit);
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(mask_time(result.out), "%%%%%%%%%% time used: T%%%%%%%%%%%%%\ntrue\n");

  std::string value;
  for (int i = 0; i < depth; ++i) value += "(f ";
  value += "c" + std::string(depth, ')');
  dir.write_policy("(all [x: s] (p x) (q x))");
  dir.make_database("DELETE FROM p; INSERT INTO p VALUES ('" + value + "');");
  result = dir.run_with_address_limit(limit, {"17"});
  EXPECT_TRUE(result.status == 0 || (result.status == 1 &&
                                     result.err.starts_with("unhandled exception: ")))
      << result.status << " " << result.err;
}

} // namespace
} // namespace hipaa::cli

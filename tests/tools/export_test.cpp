// hipaa-export writes files that hipaa-import reads back into the same rows.
#include "tools/import_fixture.hpp"

namespace hipaa::testing {
namespace {

// Every row of every table of the log at `path`, in storage order.
std::vector<std::string> all_rows(const std::filesystem::path& path,
                                  const std::vector<std::string>& tables) {
  TestDb db(path);
  std::vector<std::string> rows;
  for (const std::string& table : tables) {
    for (const std::string& row : db.rows("SELECT * FROM " + table + " ORDER BY rowid")) {
      rows.push_back(table + ":" + row);
    }
  }
  return rows;
}

TEST(Export, GenerateExportImportGivesTheSameRows) {
  Sandbox sandbox;
  ASSERT_EQ(sandbox.run("hipaa-loggen", {"-n", "10000", "--violations", "0.05"}).status, 0);
  std::filesystem::create_directory(sandbox.path("records"));
  RunResult exported = sandbox.run("hipaa-export", {"--db", "hipaa.db", "--out", "records"});
  ASSERT_EQ(exported.status, 0) << exported.err;
  EXPECT_EQ(exported.out.rfind("hipaa-export: ", 0), 0u);

  std::vector<std::string> tables;
  std::vector<std::string> files;
  for (const std::string& row :
       TestDb(sandbox.path("hipaa.db"))
           .rows("SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite%'")) {
    tables.push_back(row);
    files.push_back("records/" + row + ".csv");
  }
  std::vector<std::string> args = {"--output", "copy.db"};
  args.insert(args.end(), files.begin(), files.end());
  RunResult imported = sandbox.run("hipaa-import", args);
  ASSERT_EQ(imported.status, 0) << imported.err;
  const std::vector<std::string> original = all_rows(sandbox.path("hipaa.db"), tables);
  EXPECT_GT(original.size(), 30000u);
  EXPECT_EQ(all_rows(sandbox.path("copy.db"), tables), original);
}

TEST(Export, QuotesWhatTheReaderWouldOtherwiseChangeAndRefusesToOverwrite) {
  Sandbox sandbox;
  write_file(sandbox.path("disclose.csv"),
             "sender,recipient,info,at\n\"  Smith, Dr. B \",x,m1,2010-01-01\n");
  ASSERT_EQ(sandbox.run("hipaa-import", {"disclose.csv"}).status, 0);
  std::filesystem::create_directory(sandbox.path("out"));
  ASSERT_EQ(sandbox.run("hipaa-export", {"-d", "hipaa.db", "-o", "out"}).status, 0);
  EXPECT_EQ(read_file(sandbox.path("out/disclose.csv")),
            "'sender,recipient,info,at\n\"  Smith, Dr. B \",x,m1,2010:01:01:00:00:00\n");
  RunResult again = sandbox.run("hipaa-export", {"-d", "hipaa.db", "-o", "out"});
  EXPECT_EQ(again.status, 1);
  EXPECT_EQ(again.err.rfind("hipaa-export: out/", 0), 0u) << again.err;
  EXPECT_EQ(sandbox.run("hipaa-export", {"-fd", "hipaa.db", "-o", "out"}).status, 0);
  EXPECT_EQ(sandbox.run("hipaa-export", {"-o", "out"}).status, 2);
}

TEST(Export, ATargetThatIsAnInputStopsTheExportBeforeAnyFileIsWritten) {
  Sandbox sandbox;
  std::filesystem::create_directory(sandbox.path("out"));
  ASSERT_EQ(sandbox.run("hipaa-loggen", {"-n", "20", "--output", "out/evil.csv"}).status, 0);
  TestDb(sandbox.path("out/evil.csv")).exec("CREATE TABLE evil (x TEXT)");
  RunResult result = sandbox.run("hipaa-export", {"-f", "--db", "out/evil.csv", "--out", "out"});
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.err, "hipaa-export: the output out/evil.csv is also an input (out/evil.csv); "
                        "choose another --out\n");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(sandbox.path("out")), {}), 1);
}

} // namespace
} // namespace hipaa::testing

// Export then import keeps every value the audit reads, and the exported
// cells never run in a spreadsheet: random strings with every character a
// CSV field or a formula can trip on go through export -> import -> export
// unchanged.
#include "tools/import_fixture.hpp"

#include <random>

namespace hipaa::testing {
namespace {

const char* const kDeclarations =
    "note : string - -> pred DB %dbinfo \"notes\" (\"text\") .\n"
    "said : string - -> string - -> pred DB %dbinfo \"said\" (\"who\", \"what\") .\n";

// An SQL literal of the stored form of string `text`.
std::string stored(const std::string& text) {
  std::string literal = "'\"";
  for (char c : text) literal += c == '\'' ? std::string("''") : std::string(1, c);
  return literal + "\"'";
}

// Strings drawn from pieces that CSV fields, formulas and encodings trip on.
std::string random_text(std::mt19937& random) {
  static const std::vector<std::string> kPieces = {
      "", "a", "Z9", " ", "\t", ",", "\r", "=", "+", "-", "@", "'", "''", "=1+1", "@SUM(1)",
      "\xC3\xA9", "\xF0\x9F\x98\x80", "\xEF\xBB\xBF", "%", "(*", "\xC2\xA0", ";", "\\"};
  std::uniform_int_distribution<int> length(0, 4);
  std::uniform_int_distribution<std::size_t> piece(0, kPieces.size() - 1);
  std::string text;
  for (int i = length(random); i > 0; --i) text += kPieces[piece(random)];
  return text;
}

std::vector<std::string> table_rows(const std::filesystem::path& db) {
  TestDb log(db);
  std::vector<std::string> rows;
  for (const char* table : {"notes", "said"}) {
    for (const std::string& row : log.rows(std::string("SELECT * FROM ") + table +
                                           " ORDER BY rowid")) {
      rows.push_back(std::string(table) + ":" + row);
    }
  }
  return rows;
}

TEST(RoundTrip, ExportImportExportKeepsEveryValueByteForByte) {
  for (unsigned seed = 1; seed <= 4; ++seed) {
    Sandbox sandbox;
    write_file(sandbox.path("d.d"), kDeclarations);
    std::mt19937 random(seed);
    {
      TestDb log(sandbox.path("a.db"));
      log.exec("CREATE TABLE notes (text TEXT); CREATE TABLE said (who TEXT, what TEXT)");
      log.exec("INSERT INTO notes VALUES (" + stored("") + ")");
      for (int i = 0; i < 150; ++i) {
        log.exec("INSERT INTO notes VALUES (" + stored(random_text(random)) + ")");
        log.exec("INSERT INTO said VALUES (" + stored(random_text(random)) + ", " +
                 stored(random_text(random)) + ")");
      }
    }
    for (const char* folder : {"one", "two"}) std::filesystem::create_directory(sandbox.path(folder));
    RunResult first = sandbox.run("hipaa-export", {"--db", "a.db", "--decls", "d.d", "--out", "one"});
    ASSERT_EQ(first.status, 0) << first.err;
    RunResult imported = sandbox.run(
        "hipaa-import", {"-D", "d.d", "-o", "b.db", "one/notes.csv", "one/said.csv"});
    ASSERT_EQ(imported.status, 0) << imported.err;
    EXPECT_EQ(table_rows(sandbox.path("b.db")), table_rows(sandbox.path("a.db"))) << "seed " << seed;
    RunResult second = sandbox.run("hipaa-export", {"--db", "b.db", "--decls", "d.d", "--out", "two"});
    ASSERT_EQ(second.status, 0) << second.err;
    for (const char* file : {"notes.csv", "said.csv"}) {
      EXPECT_EQ(read_file(sandbox.path(std::string("two/") + file)),
                read_file(sandbox.path(std::string("one/") + file)))
          << file << ", seed " << seed;
    }
  }
}

TEST(RoundTrip, CellsThatWouldRunAsFormulasAreWrittenAsText) {
  struct Case {
    std::string value;
    std::string guarded; // as hipaa-export writes it
  };
  const std::vector<Case> cases = {
      {"=cmd|' /C calc'!A0", "'=cmd|' /C calc'!A0"},
      {"+1+1", "'+1+1"},
      {"-1+cmd", "'-1+cmd"},
      {"@SUM(1+1)", "'@SUM(1+1)"},
      {"\tx", "'\tx"},
      {"\rx", "\"'\rx\""},
      {"'kept", "''kept"},
      {"a=b", "a=b"},
      {"", "\"\""},
  };
  Sandbox sandbox;
  write_file(sandbox.path("d.d"), kDeclarations);
  {
    TestDb log(sandbox.path("a.db"));
    log.exec("CREATE TABLE notes (text TEXT); CREATE TABLE said (who TEXT, what TEXT)");
    for (const Case& c : cases) log.exec("INSERT INTO notes VALUES (" + stored(c.value) + ")");
  }
  ASSERT_EQ(sandbox.run("hipaa-export", {"--db", "a.db", "--decls", "d.d"}).status, 0);
  std::string expected = "'text\n";
  for (const Case& c : cases) expected += c.guarded + "\n";
  EXPECT_EQ(read_file(sandbox.path("notes.csv")), expected);
  RunResult imported = sandbox.run("hipaa-import", {"-D", "d.d", "-o", "b.db", "notes.csv"});
  ASSERT_EQ(imported.status, 0) << imported.err;
  EXPECT_EQ(table_rows(sandbox.path("b.db")), table_rows(sandbox.path("a.db")));

  // As stored on request; and a file without the mark is read as it is
  // unless --formula-guard says otherwise.
  ASSERT_EQ(sandbox.run("hipaa-export", {"-f", "--raw-cells", "--db", "a.db", "--decls", "d.d"})
                .status,
            0);
  EXPECT_EQ(read_file(sandbox.path("notes.csv")).substr(0, 24), "text\n=cmd|' /C calc'!A0\n");
  write_file(sandbox.path("notes.csv"), "text\n'=1\n'x\n");
  ASSERT_EQ(sandbox.run("hipaa-import", {"-D", "d.d", "-fo", "c.db", "notes.csv"}).status, 0);
  EXPECT_EQ(TestDb(sandbox.path("c.db")).rows("SELECT text FROM notes"),
            (std::vector<std::string>{"\"'=1\"", "\"'x\""}));
  ASSERT_EQ(sandbox.run("hipaa-import", {"-D", "d.d", "-fo", "c.db", "--formula-guard", "notes.csv"})
                .status,
            0);
  EXPECT_EQ(TestDb(sandbox.path("c.db")).rows("SELECT text FROM notes"),
            (std::vector<std::string>{"\"=1\"", "\"'x\""}));
}

TEST(RoundTrip, IndexNamesFromTheDeclarationsNeverCollide) {
  Sandbox sandbox;
  write_file(sandbox.path("d.d"), "x : sort .\nc : x .\n"
                                  "p1 : x - -> pred DB %dbinfo \"a_by_b\" (\"c\") .\n"
                                  "p2 : x - -> pred DB %dbinfo \"a\" (\"b_by_c\") .\n"
                                  "p3 : x - -> pred DB %dbinfo \"t\" (\"v\") .\n"
                                  "p4 : x - -> pred DB %dbinfo \"T_BY_V\" (\"v\") .\n");
  write_file(sandbox.path("a_by_b.csv"), "c\nc\n");
  RunResult result = sandbox.run("hipaa-import", {"-D", "d.d", "a_by_b.csv"});
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(TestDb(sandbox.path("hipaa.db"))
                .rows("SELECT name || ' ON ' || tbl_name FROM sqlite_master WHERE type = 'index' "
                      "AND name NOT LIKE 'sqlite%' ORDER BY name"),
            (std::vector<std::string>{"T_BY_V_by_v ON T_BY_V", "a_by_b_by_c ON a_by_b",
                                      "a_by_b_by_c_2 ON a", "audit_end_by_time ON audit_end",
                                      "t_by_v_2 ON t"}));
}

} // namespace
} // namespace hipaa::testing

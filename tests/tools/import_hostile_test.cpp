// hipaa-import on files as real exports and careless or hostile hands write
// them: spreadsheet encodings, blanks, every bad value at once, encodings
// that are not UTF-8, an output that is an input, identifiers that are SQL.
#include "tools/import_fixture.hpp"

namespace hipaa::testing {
namespace {

TEST_F(Import, ReadsASpreadsheetExportWithMarkCrlfQuotesAndBlanks) {
  csv("disclose.csv",
      "\xEF\xBB\xBFsender , recipient,info,at\r\n"
      " dr-a,  Officer Ray Kim ,\"m1, part two\",2010-03-01 10:00\r\n"
      "\"\"\"dr-b\"\"\", \"  padded \" ,m2 ,2010:03:02:11:00:00\r\n");
  csv("purp_in_db.csv", "info,purpose,stated_by\n m2 , treatment ,dr-b\n");
  RunResult result = import();
  ASSERT_EQ(result.status, 0) << result.err;
  TestDb db(sandbox_.path("hipaa.db"));
  EXPECT_EQ(db.rows("SELECT * FROM disclose"),
            (std::vector<std::string>{
                "\"dr-a\"|\"Officer Ray Kim\"|\"m1, part two\"|2010:03:01:10:00:00",
                "\"dr-b\"|\"  padded \"|\"m2\"|2010:03:02:11:00:00"}));
  EXPECT_EQ(db.rows("SELECT * FROM purp_in_db"),
            std::vector<std::string>{"\"m2\"|treatment|\"dr-b\""});
}

TEST_F(Import, ReportsEveryBadValueUpToTheLimitAndWritesNothing) {
  std::string text = "sender,recipient,info,at\n";
  for (int i = 1; i <= 20; ++i) text += "dr-a,dr-b,m" + std::to_string(i) + ",2010-02-3" + "0\n";
  csv("disclose.csv", text);
  RunResult all = import();
  EXPECT_EQ(all.status, 1);
  std::string expected;
  for (int line = 2; line <= 21; ++line) {
    expected += "hipaa-import: disclose.csv:" + std::to_string(line) +
                ": column at: invalid date \"2010-02-30\" (expected an existing day as "
                "YYYY-MM-DD, optionally with hh:mm:ss)\n";
  }
  EXPECT_EQ(all.err, expected + "hipaa-import: 20 problems; nothing written\n");
  expect_nothing_written();

  // Beyond the limit, every problem is counted by kind, file and column.
  csv("purp_in_db.csv", "info,purpose,stated_by\nm1,ROI-LEGAL,dr-a\nm2,ROI-LEGAL,dr-a\n");
  RunResult limited = import({"--max-errors", "3"});
  EXPECT_EQ(limited.status, 1);
  EXPECT_EQ(limited.err.substr(limited.err.find("hipaa-import: 19 more")),
            "hipaa-import: 19 more problems beyond --max-errors 3, by kind:\n"
            "hipaa-import:   17 × disclose.csv, column at: invalid date \"...\" (expected an "
            "existing day as YYYY-MM-DD, optionally with hh:mm:ss) (first disclose.csv:5 "
            "\"2010-02-30\")\n"
            "hipaa-import:   2 × purp_in_db.csv, column purpose: \"...\" is not a declared purpose "
            "(hipaa-import --list-values purpose lists them) (first purp_in_db.csv:2 \"ROI-LEGAL\")\n"
            "hipaa-import: 22 problems; nothing written\n");
  expect_nothing_written();
}

TEST_F(Import, RejectsNulBytesTextThatIsNotUtf8AndLineBreaksInValues) {
  static const char kText[] = "sender,recipient,info,at\n"
                              "Jos\xE9,dr-b,m1,2010-02-01\n"
                              "dr-a,dr-\0b,m2,2010-02-01\n"
                              "dr-a,\xC3\xA9l\xC3\xA8ve,m3,2010-02-01\n"
                              "dr-a,dr-b,\"m4,\r\nm5\",2010-02-01\n"
                              "dr-a,dr-b,m6,2010-02-31\n";
  csv("disclose.csv", std::string(kText, sizeof kText - 1));
  RunResult result = import();
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err,
            "hipaa-import: disclose.csv:2: column sender: the value is not valid UTF-8: byte 0xE9 "
            "at character 4 (save the file as UTF-8, or give its encoding with --encoding)\n"
            "hipaa-import: disclose.csv:3: column recipient: the value holds a NUL byte at "
            "character 4\n"
            "hipaa-import: disclose.csv:5: column info: a string value cannot hold a line break\n"
            "hipaa-import: disclose.csv:7: column at: invalid date \"2010-02-31\" (expected an "
            "existing day as YYYY-MM-DD, optionally with hh:mm:ss)\n"
            "hipaa-import: 4 problems; nothing written\n");
  expect_nothing_written();
}

TEST_F(Import, TranscodesFilesOfANamedEncoding) {
  csv("disclose.csv", "sender,recipient,info,at\nJos\xE9,dr-b,m1,2010-02-01\n");
  ASSERT_EQ(import({"--encoding", "ISO-8859-1"}).status, 0);
  EXPECT_EQ(TestDb(sandbox_.path("hipaa.db")).single("SELECT sender FROM disclose"),
            "\"Jos\xC3\xA9\"");
  RunResult unknown = import({"--force", "--encoding", "KLINGON-8"});
  EXPECT_EQ(unknown.status, 2);
  EXPECT_EQ(unknown.err, "hipaa-import: unknown encoding \"KLINGON-8\" (try ISO-8859-1 or "
                         "WINDOWS-1252; iconv --list names them all)\n");
}

TEST_F(Import, MessagesCutLongValuesAndNameTheColumn) {
  const std::string long_value(5000, 'x');
  csv("hasattrof_db.csv",
      "info,subject,attr,recorded\nmsg-01,pat," + long_value + ",2024-02-05 09:30\n");
  csv("disclose.csv", "sender,recipient,info,at\ndr-l\x81" "e,dr-patel,msg-01,2024-02-05 09:30\n");
  RunResult result = import({"--encoding", "WINDOWS-1252"});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err,
            "hipaa-import: hasattrof_db.csv:2: column attr: \"" + std::string(60, 'x') +
                "...\" (5000 bytes) is not a declared attribute (hipaa-import --list-values "
                "attribute lists them)\n"
                "hipaa-import: disclose.csv:2: column sender: the value is not WINDOWS-1252 text\n"
                "hipaa-import: 2 problems; nothing written\n");
  expect_nothing_written();
}

TEST_F(Import, RefusesAnOutputThatIsOneOfItsInputs) {
  csv("disclose.csv", "sender,recipient,info,at\ndr-a,dr-b,m1,2010-02-03\n");
  const std::string before = read_file(sandbox_.path("disclose.csv"));
  for (const std::string output : {"disclose.csv", "./disclose.csv"}) {
    RunResult result = import({"--force", "--output", output});
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.err, "hipaa-import: the output " + output +
                              " is also an input (disclose.csv); choose another --out\n");
    EXPECT_EQ(read_file(sandbox_.path("disclose.csv")), before);
  }
  expect_nothing_written();
}

TEST_F(Import, ReportsAMissingFileAsMissingWhateverItsName) {
  csv("disclose.csv", "sender,recipient,info,at\ndr-a,dr-b,m1,2010-02-03\n");
  RunResult result = import({"dislose.csv", "purp_in_db.csv"});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err, "hipaa-import: dislose.csv: no such file\n"
                        "hipaa-import: purp_in_db.csv: no such file\n"
                        "hipaa-import: 2 problems; nothing written\n");
  expect_nothing_written();
}

TEST_F(Import, MapsFilesAndStandardInputToTablesAndSkipsExtraColumnsOnRequest) {
  csv("export-2024.csv", "sender,recipient,info,at,note\ndr-a,dr-b,m1,2010-02-03,seen\n");
  RunResult refused = import({"--table", "disclose=export-2024.csv"});
  EXPECT_EQ(refused.status, 1);
  csv_files_.clear();
  write_file(sandbox_.path("purposes.txt"), "info,purpose,stated_by\nm1,payment,dr-a\n");
  RunResult result = run_shell(sandbox_,
                               "hipaa-import --ignore-extra-columns -t disclose=export-2024.csv "
                               "--table=purp_in_db=- < purposes.txt");
  ASSERT_EQ(result.status, 0) << result.err;
  TestDb db(sandbox_.path("hipaa.db"));
  EXPECT_EQ(db.rows("SELECT * FROM disclose"),
            std::vector<std::string>{"\"dr-a\"|\"dr-b\"|\"m1\"|2010:02:03:00:00:00"});
  EXPECT_EQ(db.rows("SELECT * FROM purp_in_db"), std::vector<std::string>{"\"m1\"|payment|\"dr-a\""});
}

TEST_F(Import, ListsTheValuesASortAccepts) {
  RunResult result = import({"--list-values", "role"});
  EXPECT_EQ(result.status, 0);
  EXPECT_NE(("\n" + result.out).find("\nhealth-care-provider  "), std::string::npos) << result.out;
  EXPECT_EQ(("\n" + result.out).find("\ntreatment"), std::string::npos);
  EXPECT_EQ(import({"--list-values", "colour"}).status, 2);
}

// A time that the clocks skip reads back as another time; it is refused in
// the zone where it does not exist and accepted where it does.
TEST_F(Import, RefusesAWallClockTimeTheLocalZoneSkips) {
  csv("disclose.csv", "sender,recipient,info,at\ndr-a,dr-b,m1,2010-03-14 02:30\n");
  RunResult gap = run_shell(sandbox_, "TZ=America/New_York hipaa-import disclose.csv");
  EXPECT_EQ(gap.status, 1);
  EXPECT_EQ(gap.err, "hipaa-import: disclose.csv:2: column at: date \"2010-03-14 02:30\" names a "
                     "time that America/New_York skips when its clocks move forward (it would "
                     "read back as 2010:03:14:03:30:00); give the time as the clocks showed it\n");
  expect_nothing_written();
  RunResult utc = run_shell(sandbox_, "TZ=UTC hipaa-import disclose.csv");
  EXPECT_EQ(utc.status, 0) << utc.err;
}

// Table and column names come from the declarations and reach SQL only as
// identifiers, quoted unless plain, one statement at a time.
TEST_F(Import, KeepsSqlInDeclaredNamesAsPlainNames) {
  csv("disclose.csv", "sender,recipient,info,at\na,b,m1,2010-01-01\n");
  ASSERT_EQ(import().status, 0);
  EXPECT_EQ(TestDb(sandbox_.path("hipaa.db")).single("SELECT sql FROM sqlite_master WHERE name = "
                                                     "'disclose'"),
            "CREATE TABLE disclose (sender TEXT, recipient TEXT, info TEXT, at TEXT)");

  write_file(sandbox_.path("evil.d"),
             "t : string - -> pred DB %dbinfo \"t; ATTACH DATABASE 'evil.db' AS e; "
             "CREATE TABLE e.x (y)\" (\"c) ; DROP TABLE t; --\") .\n");
  csv("t.csv", "c) ; DROP TABLE t; --\nhello\n");
  RunResult result = sandbox_.run(
      "hipaa-import", {"-D", "evil.d", "-f", "--table",
                       "t; ATTACH DATABASE 'evil.db' AS e; CREATE TABLE e.x (y)=t.csv"});
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_FALSE(sandbox_.exists("evil.db"));
  TestDb db(sandbox_.path("hipaa.db"));
  EXPECT_EQ(db.rows("SELECT * FROM \"t; ATTACH DATABASE 'evil.db' AS e; CREATE TABLE e.x (y)\""),
            std::vector<std::string>{"\"hello\""});
}

} // namespace
} // namespace hipaa::testing

// hipaa-lint: silent on the logs the tools write, and finding each gap the
// audit would pass over in silence in a log made to contain it.
#include "tools/import_fixture.hpp"

namespace hipaa::testing {
namespace {

using namespace std::string_literals;

class Lint : public Import {
protected:
  // A small log with every party's roles, the shipped attribute hierarchy
  // and one request for access.
  void write_log() {
    csv("disclose.csv", "sender,recipient,info,at\n"
                        "dr-a,dr-b,m1,2010-01-05 10:00\n"
                        "hospital-1,pat-1,m2,2010-01-06 09:00\n");
    csv("hasattrof_db.csv", "info,subject,attr,recorded\n"
                            "m1,pat-1,diagnosis,2010-01-05\n"
                            "m2,pat-1,medical-record,2010-01-06\n");
    csv("purp_in_db.csv", "info,purpose,stated_by\nm1,treatment,dr-a\nm2,individual-access,"
                          "hospital-1\n");
    csv("inrole_periods.csv", "person,role,from,to\n"
                              "dr-a,health-care-provider,2009-01-01,\n"
                              "dr-b,health-care-provider,2009-01-01,\n"
                              "hospital-1,covered-entity,2009-01-01,\n");
    csv("access_request.csv", "individual,covered_entity,received\npat-1,hospital-1,2010-01-01\n");
    RunResult result = import({"--table", "attr_in_db=hipaa-case-study/reference/attr_in_db.csv"});
    ASSERT_EQ(result.status, 0) << result.err;
  }
};

const char* const kSpan = "2 disclosures, from 2010:01:05:10:00:00 to 2010:01:06:09:00:00; "
                          "complete up to 2010:01:06:09:00:00 (audit_end)";
const std::string kNotes = std::string(kSpan) + "\n";

TEST_F(Lint, IsSilentOnAnImportedLogAndOnGeneratedOnes) {
  write_log();
  RunResult clean = sandbox_.run("hipaa-lint");
  EXPECT_EQ(clean.status, 0);
  EXPECT_EQ(clean.out, kNotes + "no problems found\n");
  EXPECT_EQ(clean.err, "");
  for (const char* seed : {"1", "2"}) {
    ASSERT_EQ(sandbox_.run("hipaa-loggen",
                           {"-n", "2000", "--seed", seed, "-o", "generated.db", "--force"})
                  .status,
              0);
    RunResult generated = sandbox_.run("hipaa-lint", {"--db", "generated.db"});
    EXPECT_EQ(generated.status, 0) << generated.out;
    EXPECT_NE(generated.out.find("\nno problems found\n"), std::string::npos) << generated.out;
  }
  // Generated in a zone with daylight saving time, every date reads back
  // as written there.
  RunResult zoned = run_shell(sandbox_, "export TZ=America/New_York && hipaa-loggen -n 3000 -o "
                                        "zoned.db && hipaa-lint --db zoned.db");
  EXPECT_EQ(zoned.status, 0) << zoned.out << zoned.err;
}

TEST_F(Lint, FindsEachSilentGapInALogMadeToContainIt) {
  struct Case {
    std::string sql;
    std::string expected; // a finding with its count and first example
  };
  const std::vector<Case> cases = {
      {"INSERT INTO disclose VALUES ('\"dr-a\"', '\"dr-b\"', '\"m9\"', '2010:01:06:00:00:00');"
       "INSERT INTO purp_in_db VALUES ('\"m9\"', 'treatment', '\"dr-a\"')",
       "1 disclosure with a purpose but no attribute row, which the audit never checks:\n"
       "  disclose row 3: \"dr-a\" \"dr-b\" \"m9\" 2010:01:06:00:00:00\n"},
      {"DELETE FROM attr_in_db WHERE subattr = 'diagnosis'",
       "1 disclosure whose attributes all lie outside phi, which the audit never checks:\n"
       "  disclose row 1 (disclose.csv:2): \"dr-a\" \"dr-b\" \"m1\" 2010:01:05:10:00:00 (attributes: "
       "diagnosis)\n"},
      {"UPDATE inrole_db SET at = '2010:01:03:10:00:00' WHERE person = '\"dr-b\"'",
       "1 party holding no role at the time of disclosures whose verdict depends on it:\n"
       "  recipient \"dr-b\": 1 disclosure, the first disclose row 1 (disclose.csv:2) at "
       "2010:01:05:10:00:00 (nearest role row: health-care-provider at 2010:01:03:10:00:00, 2 "
       "days earlier); clauses c164-506-c-2, c164-522-a-1-iii\n"},
      // A recipient given no role at all; the sender of a treatment
      // disclosure needs none.
      {"DELETE FROM inrole_db WHERE person IN ('\"dr-a\"', '\"dr-b\"')",
       "1 party holding no role at the time of disclosures whose verdict depends on it:\n"
       "  recipient \"dr-b\": 1 disclosure, the first disclose row 1 (disclose.csv:2) at "
       "2010:01:05:10:00:00 (no role row at any time); clauses c164-506-c-2, "
       "c164-522-a-1-iii\n"},
      {"UPDATE access_request SET received = '2010:01:01:00:00:00'; DELETE FROM disclose WHERE "
       "rowid = 2",
       "1 request received before the log's first disclosure and answered by none of its "
       "disclosures, whose answer may lie before the log:\n"
       "  access_request row 1 (access_request.csv:2): \"pat-1\" \"hospital-1\" "
       "2010:01:01:00:00:00, 4 days earlier than 2010:01:05:10:00:00\n"},
      // Logs the audit cannot read.
      {"UPDATE purp_in_db SET stated_by = CAST(X'22647222E92D6122' AS TEXT) WHERE rowid = 1",
       "1 stored value that is not UTF-8, which the audit cannot read:\n"
       "  purp_in_db row 1 (purp_in_db.csv:2), stated_by: \"dr\"\xE9-a\"\n"},
      {"DROP TABLE hasattrof_db",
       "1 declared table missing from the log, whose queries stop the audit:\n  hasattrof_db\n"},
      {"DROP TABLE disclose",
       "1 declared table missing from the log, whose queries stop the audit:\n  disclose\n"},
      {"UPDATE hasattrof_db SET subject = '\"pat-1 \"' WHERE info = '\"m1\"'",
       "1 value with leading or trailing blanks or control characters:\n"
       "  hasattrof_db row 1 (hasattrof_db.csv:2), subject: \"pat-1 \"\n"},
      {"UPDATE purp_in_db SET purpose = 'treatmnt' WHERE rowid = 1",
       "1 value not declared with its column's sort:\n"
       "  purp_in_db row 1 (purp_in_db.csv:2), purpose: treatmnt is not declared\n"},
      {"UPDATE hasattrof_db SET attr = 'treatment' WHERE rowid = 2",
       "1 value not declared with its column's sort:\n"
       "  hasattrof_db row 2 (hasattrof_db.csv:3), attr: treatment is declared as purpose, not "
       "attribute\n"},
      {"UPDATE disclose SET sender = '\"a\" \"dr-a\"' WHERE rowid = 1;"
       "UPDATE purp_in_db SET purpose = '' WHERE rowid = 2",
       "2 stored values the audit does not read as stored:\n"
       "  disclose row 1 (disclose.csv:2), sender: \"a\" \"dr-a\" is read only after repair, as "
       "\"a\"\n"
       "  purp_in_db row 2 (purp_in_db.csv:3), purpose:  is read only after repair, as x\n"},
      {"DELETE FROM purp_in_db", "1 reference table that is empty while there are "
                                 "disclosures:\n  purp_in_db\n"},
      {"DELETE FROM attr_in_db WHERE subattr = 'diagnosis' AND superattr = 'phi'",
       "1 attribute inclusion missing from the transitive closure:\n"
       "  diagnosis in phi (through medical-record)\n"},
      {"INSERT INTO access_request VALUES ('\"pat-1\"', '\"Hospital 1\"', '2010:01:02:00:00:00')",
       "1 access_request row whose covered entity makes no disclosure in the log, so that none "
       "can answer it:\n"
       "  access_request row 2: \"pat-1\" \"Hospital 1\" 2010:01:02:00:00:00\n"},
      {"UPDATE purp_in_db SET purpose = 'correctional-custody' WHERE rowid = 1",
       "1 disclosure for custody or the armed forces, none of whose individuals has a role row "
       "(the clauses test the individual's role; give the individuals' role periods too):\n"
       "  disclose row 1 (disclose.csv:2): \"dr-a\" \"dr-b\" \"m1\" 2010:01:05:10:00:00: individual "
       "\"pat-1\"\n"},
      // 164.502(g)(3): the parent of a minor may receive less than an
      // adult's representative; the minor's role is the individual's.
      {"INSERT INTO personal_rep VALUES ('\"dr-b\"', '\"pat-1\"', '2009:01:01:00:00:00', "
       "'2011:01:01:00:00:00')",
       "1 disclosure to a personal representative, none of whose individuals has a role row "
       "(whether the individual is an unemancipated minor, whose parent may receive less, is a "
       "role of the individual; give the individuals' role periods too):\n"
       "  disclose row 1 (disclose.csv:2): \"dr-a\" \"dr-b\" \"m1\" 2010:01:05:10:00:00: individual "
       "\"pat-1\"\n"},
      {"UPDATE disclose SET sender = '\"clerk-9\"' WHERE rowid = 2",
       "1 sender who holds no role and acts for no covered entity (no acts_for row, no business "
       "associate contract), so that what they disclose is judged as their own:\n"
       "  \"clerk-9\" (1 disclosure)\n"},
      {"UPDATE audit_end SET time = '2010:01:06:00:00:00'",
       "1 disclosures after the audit_end moment 2010:01:06:00:00:00:\n"
       "  the last at 2010:01:06:09:00:00\n"},
  };
  write_log();
  const std::string pristine = read_file(sandbox_.path("hipaa.db"));
  for (const Case& each : cases) {
    write_file(sandbox_.path("hipaa.db"), pristine);
    TestDb(sandbox_.path("hipaa.db")).exec(each.sql);
    RunResult result = sandbox_.run("hipaa-lint");
    EXPECT_EQ(result.status, 1) << each.sql;
    EXPECT_NE(result.out.find(each.expected), std::string::npos) << each.sql << "\n" << result.out;
    EXPECT_NE(result.out.find("found\n"), std::string::npos);
  }
}

// A stored wall-clock time that the zone skips reads back as another time
// there, so the role lookup at that time misses.
TEST_F(Lint, FindsDatesThatDoNotReadBackInTheLocalZone) {
  write_log();
  TestDb(sandbox_.path("hipaa.db"))
      .exec("UPDATE disclose SET at = '2010:03:14:02:30:00' WHERE rowid = 2");
  RunResult result = run_shell(sandbox_, "TZ=America/New_York hipaa-lint --db hipaa.db");
  EXPECT_EQ(result.status, 1);
  EXPECT_NE(result.out.find("1 stored value the audit does not read as stored:\n"
                            "  disclose row 2 (disclose.csv:3), at: 2010:03:14:02:30:00 reads back as "
                            "2010:03:14:03:30:00 in America/New_York\n"),
            std::string::npos)
      << result.out;
}

// Rows are named by the file and line the importer read them from, across
// blank lines, CRLF and a second file for the same table; a row the
// importer did not write has its row number only.
TEST_F(Lint, NamesRowsByTheFileAndLineTheImporterNamed) {
  csv("disclose.csv", "sender,recipient,info,at\r\n\r\ndr-a,dr-b,m1,2010-01-05 10:00\r\n\r\n"
                      "dr-a,dr-b,m2,2010-01-05 11:00\r\n");
  write_file(sandbox_.path("more.csv"),
             "sender,recipient,info,at\ndr-a,dr-b,m3,2010-01-05 12:00\n");
  ASSERT_EQ(import({"--table", "disclose=more.csv"}).status, 0);
  TestDb(sandbox_.path("hipaa.db"))
      .exec("UPDATE disclose SET sender = '\"dr-a \"'; INSERT INTO disclose "
            "SELECT '\"dr-a \"', recipient, '\"m4\"', at FROM disclose WHERE rowid = 1");
  RunResult result = sandbox_.run("hipaa-lint");
  EXPECT_NE(result.out.find("4 values with leading or trailing blanks or control characters:\n"
                            "  disclose row 1 (disclose.csv:3), sender: \"dr-a \"\n"
                            "  disclose row 2 (disclose.csv:5), sender: \"dr-a \"\n"
                            "  disclose row 3 (more.csv:2), sender: \"dr-a \"\n"
                            "  disclose row 4, sender: \"dr-a \"\n"),
            std::string::npos)
      << result.out;
}

TEST_F(Lint, CallsAnEmptyFileAProblemAndWritesCsvAndJson) {
  write_file(sandbox_.path("empty.db"), "");
  RunResult empty = sandbox_.run("hipaa-lint", {"--db", "empty.db"});
  EXPECT_EQ(empty.status, 1);
  EXPECT_NE(empty.out.find("1 log that is an empty file, which no audit can read:\n"
                           "  empty.db holds 0 bytes\n"),
            std::string::npos)
      << empty.out;

  write_log();
  TestDb(sandbox_.path("hipaa.db")).exec("UPDATE purp_in_db SET purpose = 'treatmnt, x'");
  RunResult csv = sandbox_.run("hipaa-lint", {"--format", "csv"});
  EXPECT_EQ(csv.status, 1);
  EXPECT_EQ(csv.out,
            "kind,count,title,example\nnote,,\""s + kSpan + "\",\n" +
            "unreadable,2,stored values the audit does not read as stored,\"purp_in_db row 1 "
            "(purp_in_db.csv:2), purpose: treatmnt, x is read only after repair, as (treatmnt "
            "x)\"\n"
            "unreadable,2,stored values the audit does not read as stored,\"purp_in_db row 2 "
            "(purp_in_db.csv:3), purpose: treatmnt, x is read only after repair, as (treatmnt "
            "x)\"\n");
  RunResult json = sandbox_.run("hipaa-lint", {"--format", "json"});
  EXPECT_EQ(json.status, 1);
  EXPECT_NE(json.out.find("\"findings\": [\n    {\n      \"kind\": \"unreadable\",\n"
                          "      \"title\": \"stored values the audit does not read as stored\",\n"
                          "      \"count\": 2,"),
            std::string::npos)
      << json.out;
  EXPECT_NE(json.out.find("\"problems\": 1\n}\n"), std::string::npos) << json.out;
  EXPECT_EQ(sandbox_.run("hipaa-lint", {"--format", "xml"}).status, 2);
}

TEST_F(Lint, ReportsAMissingLogBadOptionsAndAnUnwritableOutput) {
  RunResult missing = sandbox_.run("hipaa-lint", {"--db", "none.db"});
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.err, "hipaa-lint: none.db: no such file\n");
  EXPECT_FALSE(sandbox_.exists("none.db"));
  EXPECT_EQ(sandbox_.run("hipaa-lint", {"--bd", "x"}).status, 2);
  RunResult full = run_shell(sandbox_, "(hipaa-lint --help > /dev/full)");
  EXPECT_EQ(full.status, 1);
  EXPECT_EQ(full.err, "hipaa-lint: cannot write standard output\n");
}

} // namespace
} // namespace hipaa::testing

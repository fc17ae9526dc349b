// hipaa-import: one's own records, one CSV file per table, into a database
// the audit accepts; any value that would not check stops it with nothing
// written.
#include "tools/import_fixture.hpp"

#include <gtest/gtest.h>

namespace hipaa::testing {
namespace {

TEST_F(Import, RoundTripsRecordsIntoADatabaseTheAuditAccepts) {
  csv("disclose.csv",
      "sender,recipient,info,at\r\n"
      "dr-a,\"Smith, Dr. B\",m1,2010-03-01 10:00\r\n");
  csv("hasattrof_db.csv",
      "attr,info,subject,recorded\n"
      "diagnosis,m1,pat,2010-03-01T10:00:00\n"
      "\n");
  csv("purp_in_db.csv", "info,purpose,stated_by\nm1,treatment,dr-a\n");
  csv("inrole_db.csv", "person,role,at\n\"Smith, Dr. B\",health-care-provider,2010:03:01:10:00:00\n");
  csv("attr_in_db.csv",
      "subattr,superattr,basis\n"
      "diagnosis,phi,\"45 CFR 160.103, definitions\"\n");
  RunResult result = import();
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out, "hipaa-import: 5 rows from 5 files written to hipaa.db\n");
  EXPECT_EQ(result.err, "");
  {
    TestDb db(sandbox_.path("hipaa.db"));
    EXPECT_EQ(db.rows("SELECT * FROM disclose"),
              std::vector<std::string>{"\"dr-a\"|\"Smith, Dr. B\"|\"m1\"|2010:03:01:10:00:00"});
    EXPECT_EQ(db.rows("SELECT * FROM hasattrof_db"),
              std::vector<std::string>{"\"m1\"|\"pat\"|diagnosis|2010:03:01:10:00:00"});
    EXPECT_EQ(db.rows("SELECT * FROM attr_in_db"),
              std::vector<std::string>{"diagnosis|phi|\"45 CFR 160.103, definitions\""});
    EXPECT_EQ(db.single("SELECT count(*) FROM authorization"), "0");
  }
  RunResult audit = sandbox_.run("hipaa-audit");
  EXPECT_EQ(audit.status, 0);
  EXPECT_EQ(audit.err, "");
  EXPECT_NE(audit.out.find("{[\"dr-a\" \"Smith, Dr. B\" \"m1\" 2010:03:01:10:00:00 \"pat\" diagnosis]}"),
            std::string::npos)
      << audit.out;
}

TEST_F(Import, RejectsAnUndeclaredConstantNamingTheNearestDeclaredOnes) {
  csv("disclose.csv", "sender,recipient,info,at\ndr-a,dr-b,m1,2010-03-01\n");
  csv("purp_in_db.csv", "info,purpose,stated_by\nm1,treatment,dr-a\nm2,treatmnt,dr-a\n");
  expect_rejected("purp_in_db.csv:3: column purpose: \"treatmnt\" is not a declared purpose; did "
                  "you mean \"treatment\" or \"Treatment\"?");
}

TEST_F(Import, RejectsAConstantOfAnotherSort) {
  csv("purp_in_db.csv", "info,purpose,stated_by\nm1,diagnosis,dr-a\n");
  expect_rejected("purp_in_db.csv:2: column purpose: \"diagnosis\" is declared as attribute, not "
                  "as purpose (hipaa-import --list-values purpose lists them)");
}

TEST_F(Import, RejectsAnInvalidDate) {
  csv("disclose.csv", "sender,recipient,info,at\ndr-a,dr-b,m1,2010-02-30\n");
  expect_rejected("disclose.csv:2: column at: invalid date \"2010-02-30\" (expected an existing "
                  "day as YYYY-MM-DD, optionally with hh:mm:ss)");
}

TEST_F(Import, RejectsAStringThatCannotBeStored) {
  csv("disclose.csv", "sender,recipient,info,at\n\"dr \"\"a\"\"\",dr-b,m1,2010-02-03\n");
  expect_rejected("disclose.csv:2: column sender: a string value cannot hold a double quote");
}

TEST_F(Import, RejectsAHeaderNamingAnotherColumn) {
  csv("disclose.csv", "from,recipient,info,at\ndr-a,dr-b,m1,2010-02-03\n");
  expect_rejected("disclose.csv:1: header names \"from\", which is not a column of table disclose "
                  "(sender, recipient, info, at; --ignore-extra-columns skips such columns)");
}

TEST_F(Import, RejectsAHeaderLackingAColumn) {
  csv("disclose.csv", "sender,recipient,info\ndr-a,dr-b,m1\n");
  expect_rejected("disclose.csv:1: header lacks column \"at\" of table disclose "
                  "(sender, recipient, info, at)");
}

TEST_F(Import, RejectsARecordWithAMissingField) {
  csv("disclose.csv", "sender,recipient,info,at\ndr-a,dr-b,m1,2010-02-03\ndr-a,dr-b,2010-02-03\n");
  expect_rejected("disclose.csv:3: expected 4 fields, found 3");
}

TEST_F(Import, RejectsAnUnbalancedQuoteAtTheLineWhereTheFieldStarts) {
  csv("disclose.csv", "sender,recipient,info,at\ndr-a,\"dr-b,m1,2010-02-03\ndr-c,dr-d,m2,2010-02-04\n");
  expect_rejected("disclose.csv:2: unbalanced quote: the quoted field that starts here is not "
                  "closed");
}

TEST_F(Import, RejectsAFileForATableTheDeclarationsDoNotName) {
  csv("notes.csv", "text\nhello\n");
  RunResult result = import();
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err.rfind("hipaa-import: notes.csv: ./hipaa-case-study/hipaa.d declares no "
                             "table named notes (tables: attr_in_db, hasattrof_db, disclose, ",
                             0),
            0u)
      << result.err;
  expect_nothing_written();
}

TEST_F(Import, RefusesToReplaceAnExistingDatabaseWithoutForce) {
  csv("disclose.csv", "sender,recipient,info,at\ndr-a,dr-b,m1,2010-02-03\n");
  write_file(sandbox_.path("hipaa.db"), "precious");
  RunResult refused = import();
  EXPECT_EQ(refused.status, 1);
  EXPECT_EQ(refused.err, "hipaa-import: hipaa.db already exists; use --force to overwrite it\n");
  EXPECT_EQ(read_file(sandbox_.path("hipaa.db")), "precious");
  EXPECT_EQ(import({"--force"}).status, 0);
  TestDb db(sandbox_.path("hipaa.db"));
  EXPECT_EQ(db.single("SELECT count(*) FROM disclose"), "1");
}

TEST_F(Import, NeedsAtLeastOneFile) {
  RunResult result = import();
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.err, "hipaa-import: no CSV files given (try --help)\n");
  EXPECT_EQ(sandbox_.run("hipaa-import", {"--help"}).status, 0);
}

} // namespace
} // namespace hipaa::testing

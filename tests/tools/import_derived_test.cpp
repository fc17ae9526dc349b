// Rows hipaa-import computes: roles at the time of each disclosure from role
// periods, the transitive closure of the attribute hierarchy, and the moment
// up to which the log is complete.
#include "tools/import_fixture.hpp"

namespace hipaa::testing {
namespace {

TEST_F(Import, ExpandsRolePeriodsIntoARoleRowForEachPartyAtEachDisclosure) {
  csv("disclose.csv",
      "sender,recipient,info,at\n"
      "dr-a,dr-b,m1,2023-12-31 23:59:59\n" // before dr-b's period
      "dr-a,dr-b,m2,2024-01-01\n"          // its first second
      "dr-a,dr-b,m3,2024-06-30 23:59:59\n" // the last second of its last day
      "dr-a,dr-b,m4,2024-07-01\n"          // after it
      "dr-b,dr-a,m5,2030-01-01\n");
  csv("inrole_periods.csv",
      "person,role,from,to\n"
      "dr-a,health-care-provider,2020-01-01,\n"
      "dr-b,health-care-provider,2024-01-01,2024-06-30\n"
      "dr-b,employer,2024-06-30 12:00,2024-07-01 00:00:00\n");
  csv("inrole_db.csv", "person,role,at\ndr-a,health-care-provider,2030-01-01\n");
  ASSERT_EQ(import().status, 0);
  TestDb db(sandbox_.path("hipaa.db"));
  EXPECT_EQ(db.rows("SELECT * FROM inrole_db ORDER BY at, person, role"),
            (std::vector<std::string>{
                "\"dr-a\"|health-care-provider|2023:12:31:23:59:59",
                "\"dr-a\"|health-care-provider|2024:01:01:00:00:00",
                "\"dr-b\"|health-care-provider|2024:01:01:00:00:00",
                "\"dr-a\"|health-care-provider|2024:06:30:23:59:59",
                "\"dr-b\"|employer|2024:06:30:23:59:59",
                "\"dr-b\"|health-care-provider|2024:06:30:23:59:59",
                "\"dr-a\"|health-care-provider|2024:07:01:00:00:00",
                "\"dr-b\"|employer|2024:07:01:00:00:00",
                "\"dr-a\"|health-care-provider|2030:01:01:00:00:00"}));
}

TEST_F(Import, ClosesTheShippedAttributeHierarchyTransitively) {
  csv("disclose.csv", "sender,recipient,info,at\ndr-a,dr-b,m1,2010-02-03\n");
  RunResult result =
      import({"--table", "attr_in_db=hipaa-case-study/reference/attr_in_db.csv"});
  ASSERT_EQ(result.status, 0) << result.err;
  TestDb db(sandbox_.path("hipaa.db"));
  for (const char* attribute : {"diagnosis", "psychotherapy-notes", "date-of-birth", "name"}) {
    EXPECT_EQ(db.single(std::string("SELECT basis FROM attr_in_db WHERE subattr = '") + attribute +
                        "' AND superattr = 'phi'"),
              "\"45 CFR 160.103\"")
        << attribute;
  }
  // The same closure as the generated logs hold, each pair once.
  ASSERT_EQ(sandbox_.run("hipaa-loggen", {"-n", "1", "-o", "generated.db"}).status, 0);
  const std::string pairs = "SELECT subattr, superattr FROM attr_in_db ORDER BY 1, 2";
  EXPECT_EQ(db.rows(pairs), TestDb(sandbox_.path("generated.db")).rows(pairs));
  EXPECT_EQ(db.single("SELECT count(*) FROM (SELECT DISTINCT subattr, superattr FROM attr_in_db)"),
            db.single("SELECT count(*) FROM attr_in_db"));
}

TEST_F(Import, RecordsUpToWhenTheLogIsComplete) {
  csv("disclose.csv", "sender,recipient,info,at\na,b,m1,2010-02-03\na,b,m2,2011-05-06 07:08\n"
                      "a,b,m3,2010-12-01\n");
  ASSERT_EQ(import().status, 0);
  EXPECT_EQ(TestDb(sandbox_.path("hipaa.db")).rows("SELECT * FROM audit_end"),
            std::vector<std::string>{"2011:05:06:07:08:00"});
  ASSERT_EQ(import({"--force", "--complete-until", "2012-01-01"}).status, 0);
  EXPECT_EQ(TestDb(sandbox_.path("hipaa.db")).rows("SELECT * FROM audit_end"),
            std::vector<std::string>{"2012:01:01:00:00:00"});
  RunResult bad = import({"--force", "--complete-until", "soon"});
  EXPECT_EQ(bad.status, 2);
  EXPECT_EQ(bad.err, "hipaa-import: --complete-until: invalid date \"soon\" (expected an existing "
                     "day as YYYY-MM-DD, optionally with hh:mm:ss)\n");
}

// The shipped lists of purposes and roles name exactly the declared ones,
// and every name they generalise to is declared too.
TEST_F(Import, ShippedReferenceListsMatchTheDeclarations) {
  for (const std::string sort : {"purpose", "role"}) {
    RunResult declared = import({"--list-values", sort});
    ASSERT_EQ(declared.status, 0);
    std::istringstream lines(read_file(std::string(HIPAA_SOURCE_DIR) +
                                       "/hipaa-case-study/reference/" + sort + "s.csv"));
    std::string line, listed, general;
    std::getline(lines, line); // the header
    while (std::getline(lines, line)) {
      listed += line.substr(0, line.find(',')) + "\n";
      const std::string to = line.substr(line.find(',') + 1);
      if (!to.empty()) general += to + "\n";
    }
    // Each line names the constant first, then its paragraph and description.
    std::istringstream printed(declared.out);
    std::string names;
    while (std::getline(printed, line)) names += line.substr(0, line.find(' ')) + "\n";
    EXPECT_EQ(listed, names) << sort;
    std::istringstream each(general);
    while (std::getline(each, line)) {
      EXPECT_NE(("\n" + names).find("\n" + line + "\n"), std::string::npos) << line;
    }
  }
}

} // namespace
} // namespace hipaa::testing

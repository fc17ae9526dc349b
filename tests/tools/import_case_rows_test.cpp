// Rows hipaa-import computes for who discloses and for the calendar: acts_for
// periods expanded at each disclosure the person sends (with the entity's
// roles), the individual's own roles, end dates given as a day, and the
// calendar spans of requests and deaths.
#include "tools/import_fixture.hpp"

namespace hipaa::testing {
namespace {

TEST_F(Import, ExpandsActsForPeriodsAndTheRolesOfEntityAndIndividual) {
  csv("disclose.csv",
      "sender,recipient,info,at\n"
      "clerk,insurer,m1,2024-01-31 12:00\n" // before the period
      "clerk,insurer,m2,2024-02-29 23:00\n" // its last day
      "clerk,insurer,m3,2024-03-01 00:00\n" // after it
      "hospital,jail,m4,2024-02-10 10:00\n");
  csv("hasattrof_db.csv",
      "info,subject,attr,recorded\nm4,pat,diagnosis,2024-02-10 10:00\n");
  csv("acts_for_periods.csv",
      "person,entity,kind,from,to\nclerk,hospital,workforce-member,2024-02-01,2024-02-29\n");
  csv("inrole_periods.csv",
      "person,role,from,to\nhospital,covered-entity,2000-01-01,\npat,inmate,2024-01-01,\n");
  ASSERT_EQ(import().status, 0);
  TestDb db(sandbox_.path("hipaa.db"));
  EXPECT_EQ(db.rows("SELECT * FROM acts_for_db"),
            std::vector<std::string>{"\"clerk\"|\"hospital\"|workforce-member|2024:02:29:23:00:00"});
  EXPECT_EQ(db.rows("SELECT * FROM inrole_db ORDER BY at, person"),
            (std::vector<std::string>{"\"hospital\"|covered-entity|2024:02:10:10:00:00",
                                      "\"pat\"|inmate|2024:02:10:10:00:00",
                                      "\"hospital\"|covered-entity|2024:02:29:23:00:00"}));
}

TEST_F(Import, EndDatesGivenAsADayLastToItsEnd) {
  csv("disclose.csv", "sender,recipient,info,at\na,b,m1,2024-03-15 11:00\n");
  csv("authorization.csv",
      "individual,discloser,recipient,attr,purpose,signed,expires\n"
      "pat,hospital,insurer,diagnosis,underwriting,2023-06-01,2024-03-15\n"
      "pat,hospital,insurer,name,underwriting,2023-06-01,2024-03-15 09:30\n");
  csv("ba_agreement.csv", "covered_entity,associate,signed,ends\nhospital,billing,2020-01-01,2024-03-31\n");
  ASSERT_EQ(import().status, 0);
  TestDb db(sandbox_.path("hipaa.db"));
  EXPECT_EQ(db.rows("SELECT signed, expires FROM authorization ORDER BY rowid"),
            (std::vector<std::string>{"2023:06:01:00:00:00|2024:03:15:23:59:59",
                                      "2023:06:01:00:00:00|2024:03:15:09:30:00"}));
  EXPECT_EQ(db.single("SELECT ends FROM ba_agreement"), "2024:03:31:23:59:59");
}

TEST_F(Import, CountsTheCalendarSpansOfRequestsAndDeaths) {
  csv("disclose.csv", "sender,recipient,info,at\na,b,m1,2024-03-15 11:00\n");
  csv("access_request.csv", "individual,covered_entity,received\npat,hospital,2024-01-02 15:00\n");
  csv("accounting_request.csv", "individual,covered_entity,received\npat,hospital,2024-01-02\n");
  csv("deceased.csv", "individual,died\nold,1970-01-01 10:00\n");
  ASSERT_EQ(import().status, 0);
  TestDb db(sandbox_.path("hipaa.db"));
  EXPECT_EQ(db.rows("SELECT * FROM calendar_span ORDER BY start, span"),
            (std::vector<std::string>{"1970:01:01:10:00:00|years-50|2020:01:01:10:00:00",
                                      "2024:01:02:00:00:00|days-60|2024:03:02:23:59:59",
                                      "2024:01:02:00:00:00|days-90|2024:04:01:23:59:59",
                                      "2024:01:02:15:00:00|days-30|2024:02:01:23:59:59",
                                      "2024:01:02:15:00:00|days-60|2024:03:02:23:59:59"}));
}

} // namespace
} // namespace hipaa::testing

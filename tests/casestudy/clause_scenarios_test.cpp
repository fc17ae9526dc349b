// What the regulation says of small logs of one or two disclosures, clause
// by clause: permitted, a violation, or open on the named judgements.  Each
// scenario is a few lines of log in a compact notation:
//
//   send S R M TIME SUBJECT PURPOSE ATTR...   a disclosure and its rows
//   purpose M P                               a further purpose of M
//   role P ROLE [TIME]                        P holds ROLE (at T by default)
//   acts P ENTITY KIND [TIME]                 P acts for ENTITY (at T)
//   TABLE V...                                any other row, values printed
//
// Names are plain in send, purpose and role lines and quoted in table rows.
// T is the usual disclosure time, 2010:03:01:10:00:00; the log is complete
// until the end of 2010 unless an audit_end row says otherwise.
#include "casestudy/case_log.hpp"

#include <gtest/gtest.h>

#include <regex>
#include <set>

namespace hipaa::testing {
namespace {

const std::string kT = "2010:03:01:10:00:00";

enum class Verdict { Permitted, Violation, Open };

struct Scenario {
  const char* name;
  const char* clause; // the clause that permits, is broken, or is at stake
  const char* log;
  Verdict verdict;
  std::set<std::string> open = {}; // the named judgements left open
};

std::vector<std::string> words(const std::string& line) {
  std::istringstream in(line);
  std::vector<std::string> result;
  for (std::string word; in >> word;) result.push_back(word == "T" ? kT : word);
  return result;
}

void write_log(CaseLog& log, const std::string& text) {
  std::istringstream lines(text);
  bool complete_until_given = false;
  for (std::string line; std::getline(lines, line);) {
    std::vector<std::string> w = words(line);
    if (w.empty()) continue;
    if (w[0] == "send") {
      log.row("disclose", {str(w.at(1)), str(w.at(2)), str(w.at(3)), w.at(4)});
      log.row("purp_in_db", {str(w.at(3)), w.at(6), str(w.at(1))});
      for (std::size_t i = 7; i < w.size(); ++i) {
        log.row("hasattrof_db", {str(w[3]), str(w[5]), w[i], w[4]});
      }
    } else if (w[0] == "purpose") {
      log.row("purp_in_db", {str(w.at(1)), w.at(2), str("x")});
    } else if (w[0] == "role") {
      log.role(w.at(1), w.at(2), w.size() > 3 ? w[3] : kT);
    } else if (w[0] == "acts") {
      // acts P ENTITY KIND [TIME]: P acts for ENTITY at T.
      log.row("acts_for_db", {str(w.at(1)), str(w.at(2)), w.at(3), w.size() > 4 ? w[4] : kT});
    } else {
      log.row(w[0], std::vector<std::string>(w.begin() + 1, w.end()));
      complete_until_given = complete_until_given || w[0] == "audit_end";
    }
  }
  if (!complete_until_given) log.row("audit_end", {"2010:12:31:00:00:00"});
}

// The residual without the outer quantifier over disclosures, which stays
// in every residual with the audited tuples as its exclusions.
std::string without_outer_quantifier(const std::string& residual) {
  std::size_t start = residual.find("(<c164-502-a> all ");
  if (start == std::string::npos) return residual;
  int depth = 0;
  std::size_t end = start;
  for (; end < residual.size(); ++end) {
    if (residual[end] == '(') ++depth;
    if (residual[end] == ')' && --depth == 0) break;
  }
  return residual.substr(0, start) + residual.substr(end + 1);
}

std::set<std::string> names_in(const std::string& text) {
  std::set<std::string> names;
  static const std::regex name("<([A-Za-z0-9-]+)>");
  for (auto it = std::sregex_iterator(text.begin(), text.end(), name); it != std::sregex_iterator();
       ++it) {
    if ((*it)[1] != "c164-502-a") names.insert((*it)[1]);
  }
  return names;
}

void PrintTo(const Scenario& scenario, std::ostream* out) { *out << scenario.name; }

class ClauseScenario : public ::testing::TestWithParam<Scenario> {};

TEST_P(ClauseScenario, GivesTheVerdictOfTheRegulation) {
  const Scenario& scenario = GetParam();
  Sandbox sandbox;
  CaseLog log(sandbox);
  write_log(log, scenario.log);
  RunResult result = sandbox.run("hipaa-audit");
  ASSERT_EQ(result.status, 0) << result.out << result.err;
  std::string residual = result.out.substr(result.out.find('\n') + 1);
  SCOPED_TRACE(std::string(scenario.clause) + ": " + without_outer_quantifier(residual));
  switch (scenario.verdict) {
  case Verdict::Violation: EXPECT_EQ(residual, "false\n"); break;
  case Verdict::Permitted:
    EXPECT_EQ(residual.rfind("(<c164-502-a> all ", 0), 0u);
    EXPECT_EQ(names_in(without_outer_quantifier(residual)), std::set<std::string>{});
    break;
  case Verdict::Open:
    EXPECT_NE(residual, "false\n");
    EXPECT_EQ(names_in(without_outer_quantifier(residual)), scenario.open);
    break;
  }
}

// Roles of the usual parties at T.
#define PROVIDERS "role dr-b health-care-provider\n"
// The entity's notice of privacy practices carries the fundraising statement.
#define NOTICE(entity) "notice_statement \"" entity "\" fundraising 2009:01:01:00:00:00\n"
#define OFFICER "role cop law-enforcement-official\n"
#define MIN_NEC "c164-514-d-3-ii-subj"
#define VERIFY "c164-514-h-1-subj"
// The hospital verified the requester's identity and authority (164.514(h)).
#define VERIFIED(who) "verification \"hosp\" \"" who "\" 2010:02:01:00:00:00\n"

const Scenario kPermissions[] = {
    {"TreatmentToAProvider", "c164-506-c-2",
     "send dr-a dr-b m1 T pat treatment diagnosis\n" PROVIDERS, Verdict::Permitted},
    {"TreatmentToAnEmployer", "<permitted>",
     "send dr-a boss m1 T pat treatment diagnosis\nrole boss employer", Verdict::Violation},
    {"PaymentToAPlanWithinProtocol", "c164-506-c-3",
     "send hosp plan m1 T pat payment billing-info\nrole plan covered-entity\n"
     "protocol \"hosp\" payment billing-info",
     Verdict::Permitted},
    {"OperationsOfAnotherEntityBothRelated", "c164-506-c-4",
     "send hosp h2 m1 T pat healthcare-op-para-1-2 diagnosis\nrole h2 covered-entity\n"
     "relationship \"pat\" \"hosp\" 2009:01:01:00:00:00\n"
     "relationship \"pat\" \"h2\" 2009:06:01:00:00:00\n"
     "protocol \"hosp\" healthcare-op-para-1-2 diagnosis",
     Verdict::Open, {"c164-506-c-4-subj"}},
    {"OperationsWithoutTheRecipientsRelationship", "c164-506-c-4",
     "send hosp h2 m1 T pat healthcare-op-para-1-2 diagnosis\nrole h2 covered-entity\n"
     "relationship \"pat\" \"hosp\" 2009:01:01:00:00:00",
     Verdict::Violation},
    {"FraudDetectionForAnotherEntity", "c164-506-c-4",
     "send hosp h2 m1 T pat fraud-abuse-detection billing-info\nrole h2 covered-entity\n"
     "relationship \"pat\" \"hosp\" 2009:01:01:00:00:00\n"
     "relationship \"pat\" \"h2\" 2009:06:01:00:00:00",
     Verdict::Open, {"c164-506-c-4-subj", MIN_NEC}},
    {"BusinessAssociateUnderContract", "c164-502-e",
     "send hosp ba m1 T pat payment billing-info\n"
     "ba_agreement \"hosp\" \"ba\" 2009:01:01:00:00:00 2011:01:01:00:00:00\n"
     "protocol \"hosp\" payment billing-info",
     Verdict::Permitted},
    {"BusinessAssociateWhoseContractEnded", "c164-502-e",
     "send hosp ba m1 T pat payment billing-info\n"
     "ba_agreement \"hosp\" \"ba\" 2009:01:01:00:00:00 2010:03:01:09:59:59",
     Verdict::Violation},
    {"ToTheIndividual", "c164-502-a-1-i", "send hosp pat m1 T pat individual-access medical-record",
     Verdict::Permitted},
    {"ToAPersonalRepresentative", "c164-502-g",
     "send hosp mum m1 T pat care-involvement diagnosis\n" VERIFIED("mum")
     "personal_rep \"mum\" \"pat\" 2005:01:01:00:00:00 2011:01:01:00:00:00",
     Verdict::Open, {"c164-502-g-2-subj"}},
    // 164.514(h)(1): a representative the hospital did not verify.
    {"ToAnUnverifiedPersonalRepresentative", "c164-514-h",
     "send hosp mum m1 T pat care-involvement diagnosis\n"
     "personal_rep \"mum\" \"pat\" 2005:01:01:00:00:00 2011:01:01:00:00:00",
     Verdict::Open, {"c164-502-g-2-subj", VERIFY}},
    // S11: a representative registered long ago whose authority has ended.
    {"ToARepresentativeWhoseAuthorityEnded", "c164-502-g",
     "send hosp mum m1 T pat payment diagnosis\n"
     "personal_rep \"mum\" \"pat\" 1995:01:01:00:00:00 2008:01:01:00:00:00",
     Verdict::Violation},
    // S9: an authorisation for the record covers a diagnosis taken from it.
    {"S9AuthorisationForTheWholeRecord", "c164-508-a-1",
     "send hosp insurer m1 T pat underwriting diagnosis\n"
     "authorization \"pat\" \"hosp\" \"insurer\" medical-record underwriting "
     "2010:01:01:00:00:00 2011:01:01:00:00:00",
     Verdict::Permitted},
    {"AuthorisationUsedOneSecondAfterItExpired", "c164-508-a-1",
     "send hosp insurer m1 T pat underwriting diagnosis\n"
     "authorization \"pat\" \"hosp\" \"insurer\" diagnosis underwriting "
     "2010:01:01:00:00:00 2010:03:01:09:59:59",
     Verdict::Violation},
    {"AuthorisationSignedAfterTheDisclosure", "c164-508-a-1",
     "send hosp insurer m1 T pat underwriting diagnosis\n"
     "authorization \"pat\" \"hosp\" \"insurer\" diagnosis underwriting "
     "2010:03:01:10:00:01 2011:01:01:00:00:00",
     Verdict::Violation},
    {"AuthorisationRevokedBeforeTheDisclosure", "c164-508-b-5",
     "send hosp insurer m1 T pat underwriting diagnosis\n"
     "authorization \"pat\" \"hosp\" \"insurer\" diagnosis underwriting "
     "2010:01:01:00:00:00 2011:01:01:00:00:00\n"
     "revocation \"pat\" \"hosp\" \"insurer\" underwriting 2010:02:01:00:00:00",
     Verdict::Open, {"c164-508-b-5-i-subj"}},
    {"AuthorisationRevokedAfterTheDisclosure", "c164-508-b-5",
     "send hosp insurer m1 T pat underwriting diagnosis\n"
     "authorization \"pat\" \"hosp\" \"insurer\" diagnosis underwriting "
     "2010:01:01:00:00:00 2011:01:01:00:00:00\n"
     "revocation \"pat\" \"hosp\" \"insurer\" underwriting 2010:04:01:00:00:00",
     Verdict::Permitted},
    {"CopyToTheDesigneeOfTheIndividual", "c164-524-c-3-ii",
     "send hosp app m1 T pat access-directive medical-record\n"
     "access_directive \"pat\" \"app\" 2010:02:20:00:00:00",
     Verdict::Permitted},
    {"ToTheSecretary", "c164-502-a-2-ii",
     "send hosp hhs m1 T pat compliance-investigation medical-record\nrole hhs secretary-hhs\n"
     VERIFIED("hhs"),
     Verdict::Permitted},
    {"WhistleblowerToAnAccreditationOrganisation", "c164-502-j-1",
     "send nurse jc m1 T pat whistleblowing diagnosis\nrole jc accreditation-organization",
     Verdict::Open, {"c164-502-j-1-subj", MIN_NEC}},
    {"GroupHealthPlanToItsSponsor", "c164-504-f-1-i",
     "send ghp acme m1 T pat plan-administration billing-info\nrole ghp group-health-plan\n"
     "role acme plan-sponsor\nprotocol \"ghp\" plan-administration billing-info",
     Verdict::Open, {"c164-504-f-2-subj"}},
    {"SummaryHealthInformationForPremiumBids", "c164-504-f-1-ii",
     "send ghp acme m1 T pat premium-bids-or-plan-change summary-health-information\n"
     "role ghp group-health-plan\nrole acme plan-sponsor\n"
     "protocol \"ghp\" premium-bids-or-plan-change summary-health-information",
     Verdict::Permitted},
    {"EnrolmentToTheSponsor", "c164-504-f-1-iii",
     "send ghp acme m1 T pat plan-administration enrollment-status\n"
     "role ghp group-health-plan\nrole acme plan-sponsor\n"
     "protocol \"ghp\" plan-administration enrollment-status",
     Verdict::Permitted},
    {"DirectoryReligionToClergy", "c164-510-a",
     "send hosp priest m1 T pat facility-directory religious-affiliation\nrole priest clergy\n"
     "role hosp health-care-provider\n"
     "no_objection \"pat\" \"hosp\" facility-directory 2010:02:25:00:00:00\n"
     "protocol \"hosp\" facility-directory religious-affiliation",
     Verdict::Permitted},
    {"DirectoryOfAHealthPlan", "c164-510-a",
     "send plan priest m1 T pat facility-directory name\nrole priest clergy\n"
     "no_objection \"pat\" \"plan\" facility-directory 2010:02:25:00:00:00",
     Verdict::Violation},
    {"DirectoryReligionToAVisitor", "c164-510-a",
     "send hosp visitor m1 T pat facility-directory religious-affiliation\n"
     "role hosp health-care-provider\n"
     "no_objection \"pat\" \"hosp\" facility-directory 2010:02:25:00:00:00",
     Verdict::Violation},
    {"DirectoryLocationToAVisitorWithAStaleNoObjection", "c164-510-a",
     "send hosp visitor m1 T pat facility-directory location-in-facility\n"
     "role hosp health-care-provider\n"
     "no_objection \"pat\" \"hosp\" facility-directory 2009:01:25:00:00:00\n"
     "protocol \"hosp\" facility-directory location-in-facility",
     Verdict::Open, {"c164-510-a", "c164-510-a-1-ii-B-subj", "c164-510-a-3-i-subj"}},
    {"RelativeInvolvedInCareWhoDidNotObject", "c164-510-b",
     "send dr sis m1 T pat care-involvement general-condition\nrole sis other-relative\n"
     "no_objection \"pat\" \"dr\" care-involvement 2010:02:27:00:00:00\n"
     "protocol \"dr\" care-involvement general-condition",
     Verdict::Open, {"c164-510-b-1-i-subj"}},
    {"RelativeWithoutAnyChanceToObject", "c164-510-b",
     "send dr sis m1 T pat care-involvement general-condition\nrole sis family-member\n"
     "protocol \"dr\" care-involvement general-condition",
     Verdict::Open,
     {"c164-510-b", "c164-510-b-1-i-subj", "c164-510-b-2-iii-subj", "c164-510-b-3-subj"}},
    {"NotificationOfLocationToFamily", "c164-510-b-1-ii",
     "send dr sis m1 T pat notification location-in-facility\nrole sis family-member\n"
     "no_objection \"pat\" \"dr\" care-involvement 2010:02:27:00:00:00\n"
     "protocol \"dr\" notification location-in-facility",
     Verdict::Permitted},
    {"FamilyOfADecedentInvolvedInCare", "c164-510-b-5",
     "send dr sis m1 T dead care-involvement general-condition\nrole sis family-member\n"
     "deceased \"dead\" 2010:02:27:00:00:00\nprotocol \"dr\" care-involvement general-condition",
     Verdict::Open,
     {"c164-510-b", "c164-510-b-1-i-subj", "c164-510-b-5-subj", "c164-510-b-2-iii-subj",
      "c164-510-b-3-subj"}},
    {"CareInvolvementToANeighbour", "c164-510-b",
     "send dr nb m1 T pat care-involvement general-condition\n"
     "no_objection \"pat\" \"dr\" care-involvement 2010:02:27:00:00:00",
     Verdict::Violation},
    // S13: disaster relief gets notification information only.
    {"S13DiagnosisToDisasterRelief", "c164-510-b-4",
     "send hosp redx m1 T pat disaster-relief diagnosis\nrole redx disaster-relief-entity",
     Verdict::Violation},
    {"LocationToDisasterRelief", "c164-510-b-4",
     "send hosp redx m1 T pat disaster-relief location-in-facility\n"
     "role redx disaster-relief-entity\nprotocol \"hosp\" disaster-relief location-in-facility",
     Verdict::Open, {"c164-510-b-4-subj", "c164-510-b-3-subj"}},
    {"RequiredByLaw", "c164-512-a",
     "send hosp cop m1 T pat required-by-law diagnosis", Verdict::Open, {"c164-512-a-1-subj"}},
    // A proceeding required by law still meets (e): (a)(2).
    {"RequiredByLawForAProceeding", "c164-512-a-2",
     "send hosp court m1 T pat required-by-law diagnosis\npurpose m1 judicial-proceeding\n"
     "verification \"hosp\" \"court\" 2010:02:01:00:00:00",
     Verdict::Open, {"c164-512-e-1-i-subj", "c164-512-e-1-ii-subj", "c164-512-e-1-vi-subj"}},
    // Whether the authority may receive this information is for a person.
    {"PublicHealthAuthority", "c164-512-b-1-i",
     "send hosp cdc m1 T pat public-health lab-result\nrole cdc public-health-authority\n"
     "protocol \"hosp\" public-health lab-result",
     Verdict::Open, {"c164-512-b-1-i-law-subj"}},
    {"ForeignOfficialAtTheDirectionOfPublicHealth", "c164-512-b-1-i",
     "send hosp who m1 T pat public-health lab-result\nrole who foreign-health-official\n"
     "protocol \"hosp\" public-health lab-result",
     Verdict::Open, {"c164-512-b-1-i-subj"}},
    {"ChildAbuseReportOwesNoNotice", "c164-512-b-1-ii",
     "send dr cps m1 T kid child-abuse-report diagnosis\nrole cps government-authority\n"
     "protocol \"dr\" child-abuse-report diagnosis",
     Verdict::Permitted},
    {"FdaReport", "c164-512-b-1-iii",
     "send hosp maker m1 T pat fda-reporting lab-result\nrole maker fda-regulated-person\n"
     "protocol \"hosp\" fda-reporting lab-result",
     Verdict::Open, {"c164-512-b-1-iii-subj"}},
    {"CommunicableDiseaseNotice", "c164-512-b-1-iv",
     "send hosp contact m1 T pat communicable-disease-notification diagnosis\n"
     "protocol \"hosp\" communicable-disease-notification diagnosis",
     Verdict::Open, {"c164-512-b-1-iv-subj"}},
    {"WorkplaceSurveillanceByAProvider", "c164-512-b-1-v",
     "send dr-a boss m1 T pat workplace-surveillance diagnosis\nrole boss employer\n"
     "role dr-a health-care-provider\nprotocol \"dr-a\" workplace-surveillance diagnosis",
     Verdict::Open, {"c164-512-b-1-v-subj"}},
    {"WorkplaceSurveillanceByANonProvider", "c164-512-b-1-v",
     "send plan boss m1 T pat workplace-surveillance diagnosis\nrole boss employer",
     Verdict::Violation},
    {"ImmunisationProofToASchool", "c164-512-b-1-vi",
     "send dr school1 m1 T kid school-immunization immunization-record\nrole school1 school\n"
     "protocol \"dr\" school-immunization immunization-record",
     Verdict::Open, {"c164-512-b-1-vi-C-subj"}},
    {"DiagnosisToASchool", "c164-512-b-1-vi",
     "send dr school1 m1 T kid school-immunization diagnosis\nrole school1 school",
     Verdict::Violation},
    {"OversightWithVerifiedRequester", "c164-512-d",
     "send hosp oig m1 T pat health-oversight billing-info\nrole oig health-oversight-agency\n"
     "verification \"hosp\" \"oig\" 2010:02:01:00:00:00\n"
     "protocol \"hosp\" health-oversight billing-info",
     Verdict::Open, {"c164-512-d-2-subj"}},
    {"OversightWithoutVerification", "c164-514-h",
     "send hosp oig m1 T pat health-oversight billing-info\nrole oig health-oversight-agency\n"
     "protocol \"hosp\" health-oversight billing-info",
     Verdict::Open, {"c164-512-d", "c164-512-d-2-subj", VERIFY}},
    {"JudicialProceeding", "c164-512-e",
     "send hosp lawyer m1 T pat judicial-proceeding diagnosis\n"
     "verification \"hosp\" \"lawyer\" 2010:02:01:00:00:00\n"
     "protocol \"hosp\" judicial-proceeding diagnosis",
     Verdict::Open, {"c164-512-e-1-i-subj", "c164-512-e-1-ii-subj", "c164-512-e-1-vi-subj"}},
    {"LawEnforcementCourtOrder", "c164-512-f-1",
     "send hosp cop m1 T pat law-enforcement-court-order diagnosis\n" OFFICER
     "verification \"hosp\" \"cop\" 2010:02:01:00:00:00\n"
     "protocol \"hosp\" law-enforcement-court-order diagnosis",
     Verdict::Open,
     {"c164-512-f-1-i-subj", "c164-512-f-1-ii-subj", "c164-512-f-1-ii-C-subj"}},
    // S2: insurance-id is not on the (f)(2) list.
    {"S2InsuranceIdToPolice", "c164-512-f-2",
     "send hosp cop m1 T pat law-enforcement-relevant-id-or-location insurance-id\n" OFFICER
     "verification \"hosp\" \"cop\" 2010:02:01:00:00:00",
     Verdict::Violation},
    {"SocialSecurityNumberToPolice", "c164-512-f-2",
     "send hosp cop m1 T pat law-enforcement-relevant-id-or-location ssn\n" OFFICER
     "verification \"hosp\" \"cop\" 2010:02:01:00:00:00\n"
     "protocol \"hosp\" law-enforcement-relevant-id-or-location ssn",
     Verdict::Open, {"c164-512-f-2-subj"}},
    {"CrimeVictim", "c164-512-f-3",
     "send hosp cop m1 T pat crime-victim-information diagnosis\n" OFFICER
     "verification \"hosp\" \"cop\" 2010:02:01:00:00:00\n"
     "protocol \"hosp\" crime-victim-information diagnosis",
     Verdict::Open, {"c164-512-f-3-subj"}},
    {"SuspiciousDeath", "c164-512-f-4",
     "send hosp cop m1 T dead suspicious-death-notification diagnosis\n" OFFICER
     "deceased \"dead\" 2010:02:28:00:00:00\n"
     "protocol \"hosp\" suspicious-death-notification diagnosis",
     Verdict::Open, {"c164-512-f-4-subj"}},
    {"CrimeOnThePremises", "c164-512-f-5",
     "send hosp cop m1 T pat report-possible-crime-on-premises name\n" OFFICER
     "protocol \"hosp\" report-possible-crime-on-premises name",
     Verdict::Open, {"c164-512-f-5-subj"}},
    {"LawEnforcementPurposeToANonOfficial", "c164-512-f",
     "send hosp reporter m1 T pat report-possible-crime-on-premises name", Verdict::Violation},
    {"EmergencyOffThePremises", "c164-512-f-6-i",
     "send medic cop m1 T pat alert-of-crime-commission-location-victims-perpetrator injury-type\n"
     "role medic health-care-provider\n" OFFICER
     "protocol \"medic\" alert-of-crime-commission-location-victims-perpetrator injury-type",
     Verdict::Open, {"c164-512-f-6-i", "c164-512-f-6-i-subj", "c164-512-f-6-ii-subj"}},
    {"CoronerAboutADecedent", "c164-512-g-1",
     "send hosp me m1 T dead decedent-identification name\nrole me coroner\n"
     "deceased \"dead\" 2010:02:28:00:00:00\nprotocol \"hosp\" decedent-identification name\n"
     VERIFIED("me"),
     Verdict::Permitted},
    {"CoronerNotVerified", "c164-514-h",
     "send hosp me m1 T dead decedent-identification name\nrole me coroner\n"
     "deceased \"dead\" 2010:02:28:00:00:00\nprotocol \"hosp\" decedent-identification name",
     Verdict::Open, {VERIFY}},
    {"CoronerAboutSomeoneAlive", "c164-512-g-1",
     "send hosp me m1 T pat decedent-identification name\nrole me coroner\n"
     "protocol \"hosp\" decedent-identification name",
     Verdict::Violation},
    {"FuneralDirectorBeforeDeath", "c164-512-g-2",
     "send hosp fd m1 T pat funeral-arrangements name\nrole fd funeral-director\n"
     "protocol \"hosp\" funeral-arrangements name\n" VERIFIED("fd"),
     Verdict::Open, {"c164-512-g-2-subj"}},
    {"OrganProcurement", "c164-512-h",
     "send hosp opo m1 T pat organ-donation lab-result\nrole opo organ-procurement-organization\n"
     "protocol \"hosp\" organ-donation lab-result",
     Verdict::Permitted},
    {"ResearchUnderAWaiver", "c164-512-i-1-i",
     "send hosp prof m1 T pat research lab-result\nrole prof researcher\n"
     "verification \"hosp\" \"prof\" 2010:02:01:00:00:00\nprotocol \"hosp\" research lab-result",
     Verdict::Open, {"c164-512-i-1-i-subj"}},
    {"ReviewPreparatoryToResearch", "c164-512-i-1-ii",
     "send hosp prof m1 T pat research-preparatory lab-result\nrole prof researcher\n"
     "verification \"hosp\" \"prof\" 2010:02:01:00:00:00\n"
     "protocol \"hosp\" research-preparatory lab-result",
     Verdict::Open, {"c164-512-i-1-ii-subj"}},
    {"ResearchOnDecedents", "c164-512-i-1-iii",
     "send hosp prof m1 T dead research lab-result\nrole prof researcher\n"
     "deceased \"dead\" 2009:02:01:00:00:00\nverification \"hosp\" \"prof\" 2010:02:01:00:00:00\n"
     "protocol \"hosp\" research lab-result",
     Verdict::Open, {"c164-512-i-1-i-subj", "c164-512-i-1-iii-subj"}},
    {"SeriousThreat", "c164-512-j-1-i",
     "send dr cop m1 T pat serious-threat-prevention diagnosis\n"
     "protocol \"dr\" serious-threat-prevention diagnosis",
     Verdict::Open, {"c164-512-j-1-i-subj"}},
    {"EscapeeToPolice", "c164-512-j-1-ii",
     "send hosp cop m1 T pat apprehension-of-individual name\n" OFFICER
     "protocol \"hosp\" apprehension-of-individual name",
     Verdict::Open, {"c164-512-j-1-ii-A-subj", "c164-512-j-1-ii-B-subj"}},
    // After an admission, only the statement and the (f)(2) items.
    {"DiagnosisOfAnEscapee", "c164-512-j-3",
     "send hosp cop m1 T pat apprehension-of-individual diagnosis\n" OFFICER
     "protocol \"hosp\" apprehension-of-individual diagnosis",
     Verdict::Open, {"c164-512-j-1-ii-B-subj"}},
    {"MilitaryCommandAboutAMember", "c164-512-k-1-i",
     "send hosp cmd m1 T sgt military-mission diagnosis\nrole cmd armed-forces-command\n"
     "role sgt armed-forces-member\nprotocol \"hosp\" military-mission diagnosis\n"
     VERIFIED("cmd"),
     Verdict::Open, {"c164-512-k-1-i-subj"}},
    {"MilitaryCommandAboutACivilian", "c164-512-k-1-i",
     "send hosp cmd m1 T pat military-mission diagnosis\nrole cmd armed-forces-command",
     Verdict::Violation},
    {"NationalSecurity", "c164-512-k-2",
     "send hosp fbi m1 T pat national-security diagnosis\nrole fbi federal-official\n"
     "verification \"hosp\" \"fbi\" 2010:02:01:00:00:00\n"
     "protocol \"hosp\" national-security diagnosis",
     Verdict::Open, {"c164-512-k-2-subj"}},
    {"ProtectiveServices", "c164-512-k-3",
     "send hosp ss m1 T pat protective-services diagnosis\nrole ss federal-official\n"
     "verification \"hosp\" \"ss\" 2010:02:01:00:00:00\n"
     "protocol \"hosp\" protective-services diagnosis",
     Verdict::Open, {"c164-512-k-3-subj"}},
    {"OfficerHavingCustodyOfAnInmate", "c164-512-k-5-i",
     "send hosp cop m1 T con correctional-custody diagnosis\n" OFFICER "role con inmate\n"
     "protocol \"hosp\" correctional-custody diagnosis\n" VERIFIED("cop"),
     Verdict::Open, {"c164-512-k-5-i-subj"}},
    // Nothing in the log says whether the officer holds the individual: an
    // arrestee is in lawful custody without being an inmate.
    {"OfficerAboutSomeoneReleased", "c164-512-k-5-i",
     "send hosp cop m1 T ex-con correctional-custody diagnosis\n" OFFICER
     "protocol \"hosp\" correctional-custody diagnosis\n" VERIFIED("cop"),
     Verdict::Open, {"c164-512-k-5-i", "c164-512-k-5-i-custody-subj", "c164-512-k-5-i-subj"}},
    {"WorkersCompensation", "c164-512-l",
     "send hosp wc m1 T pat workers-compensation diagnosis\n"
     "protocol \"hosp\" workers-compensation diagnosis\n" VERIFIED("wc"),
     Verdict::Open, {"c164-512-l-subj"}},
    {"LimitedDataSetUnderAgreement", "c164-514-e",
     "send hosp uni m1 T pat research date-of-birth\n"
     "data_use_agreement \"hosp\" \"uni\" 2009:01:01:00:00:00 2011:01:01:00:00:00\n"
     "protocol \"hosp\" research date-of-birth",
     Verdict::Permitted},
    {"FundraisingToARelatedFoundation", "c164-514-f-1",
     "send hosp fdn m1 T pat fundraising name\nrole fdn related-foundation\n"
     "protocol \"hosp\" fundraising name\n" NOTICE("hosp"),
     Verdict::Permitted},
    // Religion is not demographic information.
    {"FundraisingWithReligion", "c164-514-f-1",
     "send hosp fdn m1 T pat fundraising religious-affiliation\nrole fdn related-foundation",
     Verdict::Violation},
};

const Scenario kLimits[] = {
    // S1, S1b: fifty years after death nothing is protected.
    {"S1PsychotherapyNotesOfALongDeadPerson", "c164-502-f",
     "send archive historian m1 T old research psychotherapy-notes\n"
     "deceased \"old\" 1950:01:01:00:00:00",
     Verdict::Permitted},
    {"S1bDiagnosisOfALongDeadPerson", "c164-502-f",
     "send archive historian m1 T old research diagnosis\ndeceased \"old\" 1950:01:01:00:00:00",
     Verdict::Permitted},
    {"DiagnosisOfSomeoneDeadFortyYears", "c164-502-f",
     "send archive historian m1 T old research diagnosis\ndeceased \"old\" 1970:01:01:00:00:00",
     Verdict::Violation},
    {"WholeRecordForPaymentNeedsAJustification", "c164-514-d-5",
     "send hosp plan m1 T pat payment medical-record\nrole plan covered-entity", Verdict::Open,
     {MIN_NEC, "c164-514-d-5-subj"}},
    {"PaymentOutsideTheProtocol", "c164-502-b",
     "send hosp plan m1 T pat payment billing-info\nrole plan covered-entity", Verdict::Open,
     {MIN_NEC}},
    {"PsychotherapyNotesToAnotherDoctor", "c164-508-a-2",
     "send dr-a dr-b m1 T pat treatment psychotherapy-notes\n" PROVIDERS, Verdict::Violation},
    {"PsychotherapyNotesUnderAnAuthorisation", "c164-508-a-2",
     "send dr-a dr-b m1 T pat treatment psychotherapy-notes\n" PROVIDERS
     "authorization \"pat\" \"dr-a\" \"dr-b\" psychotherapy-notes treatment "
     "2010:02:01:00:00:00 2011:02:01:00:00:00",
     Verdict::Permitted},
    // S7: a court order compels the notes.
    {"S7PsychotherapyNotesUnderACourtOrder", "c164-508-a-2",
     "send dr-a court m1 T pat judicial-proceeding psychotherapy-notes\n"
     "verification \"dr-a\" \"court\" 2010:02:01:00:00:00\n"
     "protocol \"dr-a\" judicial-proceeding psychotherapy-notes",
     Verdict::Open,
     {"c164-512-e-1-i-subj", "c164-512-e-1-ii-subj", "c164-512-e-1-vi-subj",
      "c164-508-a-2-ii-subj"}},
    // S10: oversight only of the notes' originator.
    {"S10PsychotherapyNotesToOversight", "c164-508-a-2",
     "send dr-a oig m1 T pat health-oversight psychotherapy-notes\n"
     "role oig health-oversight-agency\nverification \"dr-a\" \"oig\" 2010:02:01:00:00:00\n"
     "protocol \"dr-a\" health-oversight psychotherapy-notes",
     Verdict::Open, {"c164-512-d-2-subj", "c164-508-a-2-ii-oversight-subj"}},
    {"PsychotherapyNotesForTrainingByAContractor", "c164-508-a-2-i-B",
     "send dr-a ba m1 T pat supervised-training psychotherapy-notes\n"
     "ba_agreement \"dr-a\" \"ba\" 2009:01:01:00:00:00 2011:01:01:00:00:00\n"
     "protocol \"dr-a\" supervised-training psychotherapy-notes",
     Verdict::Permitted},
    {"PsychotherapyNotesToDefendAnActionByThePatient", "c164-508-a-2-i-C",
     "send dr-a lawfirm m1 T pat defend-legal-action psychotherapy-notes\n"
     "ba_agreement \"dr-a\" \"lawfirm\" 2009:01:01:00:00:00 2011:01:01:00:00:00\n"
     "protocol \"dr-a\" defend-legal-action psychotherapy-notes",
     Verdict::Open, {"c164-508-a-2-i-C-subj"}},
    // S5: the genetic ban binds health plans, not providers.
    {"S5ProviderToALifeInsurerUnderAnAuthorisation", "c164-502-a-5-i",
     "send hosp insurer m1 T pat underwriting genetic-information\n"
     "authorization \"pat\" \"hosp\" \"insurer\" genetic-information underwriting "
     "2010:01:01:00:00:00 2011:01:01:00:00:00",
     Verdict::Permitted},
    {"HealthPlanUnderwritingWithGeneticInformation", "c164-502-a-5-i",
     "send plan insurer m1 T pat underwriting genetic-information\nrole plan health-plan\n"
     "authorization \"pat\" \"plan\" \"insurer\" genetic-information underwriting "
     "2010:01:01:00:00:00 2011:01:01:00:00:00",
     Verdict::Violation},
    // S4: marketing through an associate still needs an authorisation.
    {"S4MarketingThroughAnAssociateWithoutAuthorisation", "c164-508-a-3",
     "send hosp firm m1 T pat marketing name\n"
     "ba_agreement \"hosp\" \"firm\" 2009:01:01:00:00:00 2011:01:01:00:00:00",
     Verdict::Violation},
    {"MarketingFaceToFace", "c164-508-a-3",
     "send hosp pat m1 T pat marketing name", Verdict::Open, {"c164-508-a-3-i-subj"}},
    {"MarketingUnderAnAuthorisation", "c164-508-a-3",
     "send hosp firm m1 T pat marketing name\n"
     "authorization \"pat\" \"hosp\" \"firm\" demographics marketing "
     "2010:01:01:00:00:00 2011:01:01:00:00:00",
     Verdict::Permitted},
    {"SaleToAnAssociateWithoutAuthorisation", "c164-508-a-4",
     "send hosp ba m1 T pat sale-of-phi diagnosis\n"
     "ba_agreement \"hosp\" \"ba\" 2009:01:01:00:00:00 2011:01:01:00:00:00",
     Verdict::Violation},
    // S6: the generic attribute is protected information too.
    {"S6MessageTaggedPhiToAnEmployer", "<permitted>",
     "send dr boss m1 T pat treatment phi\nrole boss employer", Verdict::Violation},
    // S14: the belief alone is not enough; one of the (c)(1) bases is asked.
    {"AbuseReportWithoutNoticeAfterTheDeadline", "c164-512-c-2",
     "send dr aps m1 T pat abuse-neglect-report diagnosis\nrole aps government-authority\n"
     "protocol \"dr\" abuse-neglect-report diagnosis",
     Verdict::Open,
     {"c164-512-c", "c164-512-c-1-subj", "c164-512-c-1-i-subj", "c164-512-c-1-ii-subj",
      "c164-512-c-1-iii-subj", "c164-512-c-2-subj"}},
    // S8: the patient may be told before the report.
    {"S8AbuseReportNoticeAnHourBefore", "c164-512-c-2",
     "send dr aps m1 T pat abuse-neglect-report diagnosis\nrole aps government-authority\n"
     "protocol \"dr\" abuse-neglect-report diagnosis\n"
     "send dr pat n1 2010:03:01:09:00:00 pat abuse-report-notice general-condition",
     Verdict::Open,
     {"c164-512-c", "c164-512-c-1-subj", "c164-512-c-1-i-subj", "c164-512-c-1-ii-subj",
      "c164-512-c-1-iii-subj"}},
    {"AbuseReportNoticeNotYetDue", "c164-512-c-2",
     "send dr aps m1 T pat abuse-neglect-report diagnosis\nrole aps government-authority\n"
     "protocol \"dr\" abuse-neglect-report diagnosis\naudit_end 2010:03:03:00:00:00",
     Verdict::Open,
     {"c164-512-c", "c164-512-c-1-subj", "c164-512-c-1-i-subj", "c164-512-c-1-ii-subj",
      "c164-512-c-1-iii-subj", "c164-512-c-2", "c164-512-c-2-wait", "c164-512-c-2-subj"}},
    // S15: a report required by law still owes the notice.
    {"S15AbuseReportRequiredByLawOwesTheNotice", "c164-512-c-2",
     "send dr aps m1 T pat abuse-neglect-report diagnosis\npurpose m1 required-by-law\n"
     "role aps government-authority",
     Verdict::Open,
     {"c164-512-c", "c164-512-c-1-subj", "c164-512-c-1-i-subj", "c164-512-c-1-ii-subj",
      "c164-512-c-1-iii-subj", "c164-512-c-2-subj"}},
    {"RestrictedInformationForPayment", "c164-522-a-1-ii",
     "send hosp plan m1 T pat payment diagnosis\nrole plan covered-entity\n"
     "protocol \"hosp\" payment diagnosis\n"
     "restriction \"pat\" \"hosp\" medical-record 2010:01:01:00:00:00 2011:01:01:00:00:00",
     Verdict::Violation},
    {"RestrictedInformationForEmergencyTreatment", "c164-522-a-1-iii",
     "send hosp dr-b m1 T pat treatment diagnosis\n" PROVIDERS
     "restriction \"pat\" \"hosp\" medical-record 2010:01:01:00:00:00 2011:01:01:00:00:00",
     Verdict::Open, {"c164-522-a-1-iii-subj"}},
    {"RestrictionTerminatedBeforeThePayment", "c164-522-a-1-ii",
     "send hosp plan m1 T pat payment diagnosis\nrole plan covered-entity\n"
     "protocol \"hosp\" payment diagnosis\n"
     "restriction \"pat\" \"hosp\" medical-record 2010:01:01:00:00:00 2010:02:01:00:00:00",
     Verdict::Permitted},
    {"RestrictionDoesNotStopPublicHealth", "c164-522-a-1-v",
     "send hosp cdc m1 T pat public-health lab-result\nrole cdc public-health-authority\n"
     "protocol \"hosp\" public-health lab-result\n"
     "restriction \"pat\" \"hosp\" medical-record 2010:01:01:00:00:00 2011:01:01:00:00:00",
     Verdict::Open, {"c164-512-b-1-i-law-subj"}},
    {"SelfPaidServiceToTheHealthPlan", "c164-522-a-1-vi",
     "send hosp plan m1 T pat payment billing-info\nrole plan health-plan\n"
     "role plan covered-entity\nprotocol \"hosp\" payment billing-info\n"
     "self_pay_restriction \"pat\" \"hosp\" billing-info 2010:02:01:00:00:00",
     Verdict::Violation},
    {"FundraisingAfterTheOptOut", "c164-514-f-2-iv",
     "send hosp fdn m1 T pat fundraising name\nrole fdn related-foundation\n"
     "protocol \"hosp\" fundraising name\n"
     "fundraising_opt_out \"pat\" \"hosp\" 2010:02:01:00:00:00",
     Verdict::Violation},
    {"DeIdentifiedByAnExpert", "c164-514-b-1",
     "send hosp anyone m1 T pat research de-identified\n"
     "deidentification \"m1\" expert-determination 2010:02:01:00:00:00",
     Verdict::Permitted},
    {"DeIdentifiedBySafeHarbour", "c164-514-b-2",
     "send hosp anyone m1 T pat research de-identified\n"
     "deidentification \"m1\" safe-harbor 2010:02:01:00:00:00",
     Verdict::Open, {"c164-514-b-2-ii-subj"}},
    // The safe harbour asks for no documentation: a person checks it.
    {"DeIdentifiedClaimWithoutDocumentation", "c164-514-b-2",
     "send hosp anyone m1 T pat research de-identified", Verdict::Open,
     {"c164-514-b-2", "c164-514-b-2-i-subj", "c164-514-b-2-ii-subj"}},
    {"DeIdentifiedWithTheReIdentificationCode", "c164-514-c-2",
     "send hosp anyone m1 T pat research de-identified re-identification-code\n"
     "deidentification \"m1\" expert-determination 2010:02:01:00:00:00",
     Verdict::Violation},
};

// Requests received on 4 January 2010.
#define ACCESS_REQUEST "access_request \"pat\" \"hosp\" 2010:01:04:12:00:00\n"
#define ACCOUNTING_REQUEST "accounting_request \"pat\" \"hosp\" 2010:01:04:12:00:00\n"

const Scenario kObligations[] = {
    {"AccessGrantedInTime", "c164-524-b-2-i",
     ACCESS_REQUEST "send hosp pat m1 2010:01:20:00:00:00 pat individual-access medical-record",
     Verdict::Permitted},
    // S3: a bill is no answer.
    {"S3AccessAnsweredByABill", "c164-524-b-2",
     ACCESS_REQUEST "send hosp pat m1 2010:01:20:00:00:00 pat payment billing-info",
     Verdict::Violation},
    // S3b: never answered; the log runs past the deadline, or ends before it.
    {"S3bAccessNeverAnswered", "c164-524-b-2", ACCESS_REQUEST "audit_end 2010:06:01:00:00:00",
     Verdict::Violation},
    {"S3bAccessNotYetDue", "c164-524-b-2-wait", ACCESS_REQUEST "audit_end 2010:01:20:00:00:00",
     Verdict::Open, {"c164-524-b-2-wait"}},
    {"AccessGrantedADayLate", "c164-524-b-2",
     ACCESS_REQUEST "send hosp pat m1 2010:02:04:12:00:01 pat individual-access medical-record",
     Verdict::Violation},
    {"AccessDeniedInWriting", "c164-524-b-2-i",
     ACCESS_REQUEST "send hosp pat m1 2010:01:20:00:00:00 pat access-denial general-condition",
     Verdict::Open, {"c164-524-a-2-subj", "c164-524-a-3-subj", "c164-524-d-1-subj"}},
    {"AccessExtendedAndGranted", "c164-524-b-2-ii",
     ACCESS_REQUEST
     "send hosp pat m1 2010:01:30:00:00:00 pat access-extension-notice general-condition\n"
     "send hosp pat m2 2010:02:25:00:00:00 pat individual-access medical-record",
     Verdict::Permitted},
    {"AccessExtendedButNeverGranted", "c164-524-b-2-ii",
     ACCESS_REQUEST
     "send hosp pat m1 2010:01:30:00:00:00 pat access-extension-notice general-condition",
     Verdict::Violation},
    {"AccessExtendedStillWithinTheExtension", "c164-524-b-2-ii-wait",
     ACCESS_REQUEST
     "send hosp pat m1 2010:01:30:00:00:00 pat access-extension-notice general-condition\n"
     "audit_end 2010:02:20:00:00:00",
     Verdict::Open, {"c164-524-b-2-ii-wait"}},
    {"AccountingInTime", "c164-528-c-1-i",
     ACCOUNTING_REQUEST
     "send hosp pat m1 2010:03:04:00:00:00 pat accounting-of-disclosures general-condition",
     Verdict::Permitted},
    {"AccountingADayLate", "c164-528-c-1",
     ACCOUNTING_REQUEST
     "send hosp pat m1 2010:03:06:00:00:00 pat accounting-of-disclosures general-condition",
     Verdict::Violation},
    {"AccountingExtendedAndGiven", "c164-528-c-1-ii",
     ACCOUNTING_REQUEST
     "send hosp pat m1 2010:02:20:00:00:00 pat accounting-extension-notice general-condition\n"
     "send hosp pat m2 2010:03:25:00:00:00 pat accounting-of-disclosures general-condition",
     Verdict::Permitted},
    {"AccountingNotYetDue", "c164-528-c-1-wait",
     ACCOUNTING_REQUEST "audit_end 2010:02:01:00:00:00", Verdict::Open, {"c164-528-c-1-wait"}},
};

// Small logs of the faults a hospital's records would show most, each with the verdict the
// regulation gives.  The hospital and its plan hold their roles at T.
#define HOSPITAL "role hosp covered-entity\nrole hosp health-care-provider\n"
// ENTITY takes part in the arrangement "ohca" from JOINED to the end of 2011.
#define OHCA(entity, joined) \
  "ohca_participant \"ohca\" \"" entity "\" " joined " 2011:12:31:23:59:59\n"
// A group health plan and the employer that sponsors it.
#define GROUP_PLAN "role plan group-health-plan\nrole plan health-plan\nrole acme plan-sponsor\n"
// The notice carries the statement that the plan may disclose to the sponsor.
#define PLAN_NOTICE(entity) \
  "notice_statement \"" entity "\" plan-administration 2009:01:01:00:00:00\n"
#define CONTRACT(ce, ba) "ba_agreement \"" ce "\" \"" ba "\" 2009:01:01:00:00:00 2011:01:01:00:00:00\n"

const Scenario kHospitalFaults[] = {
    // F1: own payment goes to any payer (164.506(c)(1), 164.501 "payment").
    {"F1OwnPaymentToAnAutoInsurer", "c164-506-c-1",
     "send hosp auto-ins m1 T pat payment billing-info\n" HOSPITAL
     "protocol \"hosp\" payment billing-info",
     Verdict::Permitted},
    // F1: a health plan is a covered entity by definition (160.103).
    {"F1PaymentToAPlanRecordedOnlyAsHealthPlan", "c164-506-c-3",
     "send clinic plan m1 T pat payment billing-info\nrole plan health-plan\n"
     "protocol \"clinic\" payment billing-info",
     Verdict::Permitted},
    // F2: the release-of-information vendor answers for the entity
    // (164.502(a)(4)(ii), (e)).
    {"F2AccessAnsweredByTheVendor", "c164-524-b-2-i",
     ACCESS_REQUEST CONTRACT("hosp", "roi")
     "send roi pat m1 2010:01:20:00:00:00 pat individual-access medical-record",
     Verdict::Permitted},
    // F2: the copy sent to the designee the individual named (164.524(c)(3)(ii)).
    {"F2AccessCopyToTheDesignee", "c164-524-b-2-i",
     ACCESS_REQUEST "access_directive \"pat\" \"atty\" 2010:01:04:12:00:00\n"
     "send hosp atty m1 2010:01:20:00:00:00 pat access-directive medical-record",
     Verdict::Permitted},
    // F2: the answer to the personal representative (164.502(g)).
    {"F2AccessAnsweredToTheRepresentative", "c164-524-b-2-i",
     ACCESS_REQUEST "personal_rep \"mum\" \"pat\" 2005:01:01:00:00:00 2011:01:01:00:00:00\n"
     "send hosp mum m1 2010:01:20:00:00:00 pat individual-access medical-record\n"
     "verification \"hosp\" \"mum\" 2010:01:10:00:00:00",
     Verdict::Open, {"c164-502-g-2-subj"}},
    // F3: what a workforce member discloses, the entity discloses: its
    // restriction binds them, its authorisation covers them.
    {"F3RestrictionBindsTheWorkforce", "c164-522-a-1-ii",
     "send dr-lee dr-b m1 T pat treatment diagnosis\n" PROVIDERS
     "acts dr-lee hosp workforce-member\n"
     "restriction \"pat\" \"hosp\" diagnosis 2010:01:01:00:00:00 2011:01:01:00:00:00",
     Verdict::Open, {"c164-522-a-1-iii-subj"}},
    {"F3AuthorisationCoversTheReleaseClerk", "c164-508-a-1",
     "send clerk insurer m1 T pat underwriting diagnosis\nacts clerk hosp workforce-member\n"
     "authorization \"pat\" \"hosp\" \"insurer\" diagnosis underwriting "
     "2010:01:01:00:00:00 2011:01:01:00:00:00",
     Verdict::Permitted},
    {"F3AuthorisationDoesNotCoverAnotherEntitysClerk", "c164-508-a-1",
     "send clerk insurer m1 T pat underwriting diagnosis\nacts clerk other workforce-member\n"
     "authorization \"pat\" \"hosp\" \"insurer\" diagnosis underwriting "
     "2010:01:01:00:00:00 2011:01:01:00:00:00",
     Verdict::Violation},
    // F4: calendar days from the day of receipt (164.524(b)(2), 164.528(c)(1)).
    {"F4AccessAnsweredOnTheThirtiethDay", "c164-524-b-2-i",
     "access_request \"pat\" \"hosp\" 2010:01:04:00:00:00\n"
     "send hosp pat m1 2010:02:03:14:00:00 pat individual-access medical-record",
     Verdict::Permitted},
    {"F4AccessAnsweredOnTheThirtyFirstDay", "c164-524-b-2",
     "access_request \"pat\" \"hosp\" 2010:01:04:15:00:00\n"
     "send hosp pat m1 2010:02:04:00:00:01 pat individual-access medical-record",
     Verdict::Violation},
    {"F4ExtendedAccessOnTheSixtiethDay", "c164-524-b-2-ii",
     ACCESS_REQUEST
     "send hosp pat m1 2010:02:03:23:00:00 pat access-extension-notice general-condition\n"
     "send hosp pat m2 2010:03:05:23:59:00 pat individual-access medical-record",
     Verdict::Permitted},
    {"F4AccountingOnTheSixtiethDay", "c164-528-c-1-i",
     "accounting_request \"pat\" \"hosp\" 2010:01:04:15:00:00\n"
     "send hosp pat m1 2010:03:05:23:00:00 pat accounting-of-disclosures general-condition",
     Verdict::Permitted},
    {"F4ExtendedAccountingOnTheNinetiethDay", "c164-528-c-1-ii",
     ACCOUNTING_REQUEST
     "send hosp pat m1 2010:03:05:20:00:00 pat accounting-extension-notice general-condition\n"
     "send hosp pat m2 2010:04:04:22:00:00 pat accounting-of-disclosures general-condition",
     Verdict::Permitted},
    // An expiry given as a day lasts to its end, as the importer stores it.
    {"F4AuthorisationUsedOnItsExpiryDay", "c164-508-a-1",
     "send hosp insurer m1 T pat underwriting diagnosis\n"
     "authorization \"pat\" \"hosp\" \"insurer\" diagnosis underwriting "
     "2010:01:01:00:00:00 2010:03:01:23:59:59",
     Verdict::Permitted},
    {"F4ContractOnItsLastDay", "c164-502-e",
     "send hosp ba m1 T pat payment billing-info\nprotocol \"hosp\" payment billing-info\n"
     "ba_agreement \"hosp\" \"ba\" 2009:01:01:00:00:00 2010:03:01:23:59:59",
     Verdict::Permitted},
    // F5: an arrestee is in custody without being an inmate.
    {"F5ArresteeInPoliceCustody", "c164-512-k-5-i",
     "send hosp cop m1 T pat correctional-custody diagnosis\n" OFFICER
     "role pat in-lawful-custody\nprotocol \"hosp\" correctional-custody diagnosis\n"
     VERIFIED("cop"),
     Verdict::Open, {"c164-512-k-5-i-subj"}},
    // F6: a restriction reaches treatment, payment, operations and
    // 164.510(b) only, and gives way to 164.512.
    {"F6RestrictedPatientsOwnAccess", "c164-522-a-1-i",
     "send hosp pat m1 T pat individual-access diagnosis\n"
     "restriction \"pat\" \"hosp\" phi 2010:01:01:00:00:00 2011:01:01:00:00:00",
     Verdict::Permitted},
    {"F6AuthorisedDisclosureDespiteARestriction", "c164-522-a-1-i",
     "send hosp insurer m1 T pat underwriting diagnosis\n"
     "restriction \"pat\" \"hosp\" phi 2010:01:01:00:00:00 2011:01:01:00:00:00\n"
     "authorization \"pat\" \"hosp\" \"insurer\" diagnosis underwriting "
     "2010:01:01:00:00:00 2011:01:01:00:00:00",
     Verdict::Permitted},
    {"F6FdaReportDespiteARestriction", "c164-522-a-1-v",
     "send hosp maker m1 T pat fda-reporting lab-result\nrole maker fda-regulated-person\n"
     "protocol \"hosp\" fda-reporting lab-result\n"
     "restriction \"pat\" \"hosp\" phi 2010:01:01:00:00:00 2011:01:01:00:00:00",
     Verdict::Open, {"c164-512-b-1-iii-subj"}},
    {"F6FuneralDirectorDespiteARestriction", "c164-522-a-1-v",
     "send hosp fh m1 T pat funeral-arrangements name\nrole fh funeral-director\n"
     "protocol \"hosp\" funeral-arrangements name\ndeceased \"pat\" 2010:02:27:20:00:00\n"
     "restriction \"pat\" \"hosp\" phi 2010:01:01:00:00:00 2011:01:01:00:00:00\n" VERIFIED("fh"),
     Verdict::Permitted},
    // F7: a police force authorised to receive abuse reports.
    {"F7AbuseReportToThePolice", "c164-512-c",
     "send hosp cop m1 T pat abuse-neglect-report injury-type\n" OFFICER
     "protocol \"hosp\" abuse-neglect-report injury-type\n"
     "send hosp pat m2 2010:03:01:12:00:00 pat abuse-report-notice general-condition",
     Verdict::Open,
     {"c164-512-c", "c164-512-c-1-subj", "c164-512-c-1-i-subj", "c164-512-c-1-ii-subj",
      "c164-512-c-1-iii-subj"}},
    // F8: fundraising to an individual who opted out, whoever sends it.
    {"F8FundraisingLetterAfterTheOptOut", "c164-514-f-2-iv",
     "send hosp pat m1 T pat fundraising name\n"
     "fundraising_opt_out \"pat\" \"hosp\" 2010:02:01:00:00:00",
     Verdict::Violation},
    {"F8FoundationsLetterAfterTheOptOut", "c164-514-f-2-iv",
     "send fdn pat m1 T pat fundraising name\nrole fdn related-foundation\n"
     "fundraising_opt_out \"pat\" \"hosp\" 2010:02:01:00:00:00",
     Verdict::Violation},
    // F9: a business associate returns what it holds for the entity.
    {"F9BusinessAssociateReturnsToItsEntity", "c164-502-a-3",
     "send tx hosp m1 T pat healthcare-op diagnosis\n" CONTRACT("hosp", "tx"),
     Verdict::Permitted},
    {"F9WorkforceHandsToItsEntity", "c164-502-a-3",
     "send nurse hosp m1 T pat healthcare-op diagnosis\nacts nurse hosp workforce-member",
     Verdict::Permitted},
    // F10: the self-paid restriction binds the entity's clearinghouse.
    {"F10SelfPaidClaimThroughTheClearinghouse", "c164-522-a-1-vi",
     "send ch plan m1 T pat payment billing-info\nrole plan health-plan\n"
     "role ch health-care-clearinghouse\n" CONTRACT("hosp", "ch")
     "protocol \"hosp\" payment billing-info\n"
     "self_pay_restriction \"pat\" \"hosp\" billing-info 2010:02:01:00:00:00",
     Verdict::Violation},
    // F11: a limited data set keeps its clinical content, never a name.
    {"F11LimitedDataSetWithDiagnoses", "c164-514-e",
     "send hosp cons m1 T pat healthcare-op limited-data-set date-of-birth diagnosis\n"
     "data_use_agreement \"hosp\" \"cons\" 2009:01:01:00:00:00 2011:01:01:00:00:00\n"
     "protocol \"hosp\" healthcare-op limited-data-set\nprotocol \"hosp\" healthcare-op date-of-birth\n"
     "protocol \"hosp\" healthcare-op diagnosis",
     Verdict::Permitted},
    {"F11LimitedDataSetWithAName", "c164-514-e-2",
     "send hosp cons m1 T pat healthcare-op limited-data-set name\n"
     "data_use_agreement \"hosp\" \"cons\" 2009:01:01:00:00:00 2011:01:01:00:00:00\n"
     "protocol \"hosp\" healthcare-op limited-data-set\nprotocol \"hosp\" healthcare-op name",
     Verdict::Violation},
    // F12: psychotherapy notes for the entity's own supervised training and
    // its defence against the individual's action.
    {"F12PsychotherapyNotesForSupervisedTraining", "c164-508-a-2-i-B",
     "send hosp trainee m1 T pat supervised-training psychotherapy-notes\n" HOSPITAL,
     Verdict::Open, {MIN_NEC}},
    {"F12PsychotherapyNotesForTheDefence", "c164-508-a-2-i-C",
     "send hosp court m1 T pat defend-legal-action psychotherapy-notes\n" HOSPITAL,
     Verdict::Open, {MIN_NEC, "c164-508-a-2-i-C-subj"}},
    // F13: a re-identification code is protected information wherever it goes.
    {"F13ReIdentificationCodeAlone", "c164-502-a",
     "send hosp broker m1 T pat research re-identification-code", Verdict::Violation},
    // F14: fifty years in the calendar (twelve leap days in this span).
    {"F14FiftyYearsAndTwoHoursAfterTheDeath", "c164-502-f",
     "send hosp historian m1 T pat research diagnosis\ndeceased \"pat\" 1960:03:01:08:00:00",
     Verdict::Permitted},
    {"F14TwoHoursShortOfFiftyYears", "c164-502-f",
     "send hosp historian m1 T pat research diagnosis\ndeceased \"pat\" 1960:03:01:12:00:00",
     Verdict::Violation},
    // 164.510(b)(2) governs involvement and notification alike.
    {"NoObjectionToNotificationCountsForInvolvement", "c164-510-b-2",
     "send hosp sis m1 T pat care-involvement diagnosis\nrole sis family-member\n"
     "protocol \"hosp\" care-involvement diagnosis\n"
     "no_objection \"pat\" \"hosp\" notification 2010:02:20:00:00:00",
     Verdict::Open, {"c164-510-b-1-i-subj"}},
    {"NotificationToAPersonResponsibleForCare", "c164-510-b-1-ii",
     "send hosp carer m1 T pat notification location-in-facility\n"
     "role carer person-responsible-for-care\n"
     "protocol \"hosp\" notification location-in-facility\n"
     "no_objection \"pat\" \"hosp\" care-involvement 2010:02:20:00:00:00",
     Verdict::Permitted},
    // 164.506(c)(5): peer review between participants of one organised
    // health care arrangement, by a staff member of one of them; not to an
    // entity outside it, nor after it left.
    {"OhcaPeerReviewByAStaffMember", "c164-506-c-5",
     "send nurse staff-group m1 T pat arrangement-operations diagnosis\n"
     "acts nurse hosp workforce-member\nrole staff-group health-care-provider\n"
     OHCA("hosp", "2009:01:01:00:00:00") OHCA("staff-group", "2009:06:01:00:00:00")
     "protocol \"hosp\" arrangement-operations diagnosis",
     Verdict::Permitted},
    {"OhcaToAnEntityThatLeftTheArrangement", "c164-506-c-5",
     "send hosp staff-group m1 T pat arrangement-operations diagnosis\n"
     "role staff-group health-care-provider\n" OHCA("hosp", "2009:01:01:00:00:00")
     "ohca_participant \"ohca\" \"staff-group\" 2009:06:01:00:00:00 2010:02:28:23:59:59\n"
     "protocol \"hosp\" arrangement-operations diagnosis",
     Verdict::Violation},
    {"OhcaForAPurposeOtherThanOperations", "c164-506-c-5",
     "send hosp staff-group m1 T pat underwriting diagnosis\n" OHCA("hosp", "2009:01:01:00:00:00")
     OHCA("staff-group", "2009:06:01:00:00:00"),
     Verdict::Violation},
    // 164.502(g)(3): a parent as the representative of an unemancipated
    // minor; whether the minor's own consent, a confidentiality agreement or
    // State law stands in the way is for a person.
    {"ParentOfAnUnemancipatedMinor", "c164-502-g-3",
     "send hosp mum m1 T kid care-involvement diagnosis\nrole kid unemancipated-minor\n"
     VERIFIED("mum") "personal_rep \"mum\" \"kid\" 2005:01:01:00:00:00 2020:01:01:00:00:00",
     Verdict::Open, {"c164-502-g-2-subj", "c164-502-g-3-subj"}},
    {"RepresentativeOfAnAdult", "c164-502-g",
     "send hosp mum m1 T pat care-involvement diagnosis\nrole kid unemancipated-minor\n"
     VERIFIED("mum") "personal_rep \"mum\" \"pat\" 2005:01:01:00:00:00 2020:01:01:00:00:00",
     Verdict::Open, {"c164-502-g-2-subj"}},
    // 164.510(a)(2), (b)(2): an objection the patient made to the hospital
    // in this episode forbids the listing and takes away the agreement and
    // the inference of (b)(2); a later agreement withdraws it; (b)(3) stays
    // for a person.
    {"DirectoryAfterTheClerkRecordedAnObjection", "c164-510-a",
     "send hosp priest m1 T pat facility-directory religious-affiliation\nrole priest clergy\n"
     "role hosp health-care-provider\n"
     "no_objection \"pat\" \"hosp\" facility-directory 2010:02:20:00:00:00\n"
     "objection \"pat\" \"hosp\" facility-directory 2010:02:25:00:00:00\n"
     "protocol \"hosp\" facility-directory religious-affiliation",
     Verdict::Violation},
    {"DirectoryAfterAnObjectionWithdrawn", "c164-510-a-2",
     "send hosp priest m1 T pat facility-directory religious-affiliation\nrole priest clergy\n"
     "role hosp health-care-provider\n"
     "objection \"pat\" \"hosp\" facility-directory 2010:02:20:00:00:00\n"
     "no_objection \"pat\" \"hosp\" facility-directory 2010:02:25:00:00:00\n"
     "protocol \"hosp\" facility-directory religious-affiliation",
     Verdict::Permitted},
    {"FamilyToldAfterThePatientObjected", "c164-510-b-2",
     "send nurse sis m1 T pat notification general-condition\nrole sis family-member\n"
     "acts nurse hosp workforce-member\n"
     "no_objection \"pat\" \"hosp\" notification 2010:02:20:00:00:00\n"
     "objection \"pat\" \"hosp\" care-involvement 2010:02:25:00:00:00\n"
     "protocol \"hosp\" notification general-condition",
     Verdict::Open, {"c164-510-b-3-subj"}},
    {"AnotherEntitysObjectionDoesNotBindTheHospital", "c164-510-b-2",
     "send nurse sis m1 T pat notification general-condition\nrole sis family-member\n"
     "acts nurse hosp workforce-member\n"
     "no_objection \"pat\" \"hosp\" notification 2010:02:20:00:00:00\n"
     "objection \"pat\" \"clinic\" care-involvement 2010:02:25:00:00:00\n"
     "protocol \"hosp\" notification general-condition",
     Verdict::Permitted},
    // 164.514(f)(2)(i): no fundraising unless the entity's notice carries
    // the statement; the notice must be in effect at the time.
    {"FundraisingWithoutTheNoticeStatement", "c164-514-f-2-i",
     "send hosp fdn m1 T pat fundraising name\nrole fdn related-foundation\n"
     "protocol \"hosp\" fundraising name",
     Verdict::Violation},
    {"FundraisingBeforeTheNoticeTookEffect", "c164-514-f-2-i",
     "send hosp fdn m1 T pat fundraising name\nrole fdn related-foundation\n"
     "protocol \"hosp\" fundraising name\n"
     "notice_statement \"hosp\" fundraising 2010:04:01:00:00:00",
     Verdict::Violation},
    {"FundraisingLetterFromTheFoundationItself", "c164-514-f-2-i",
     "send fdn pat m1 T pat fundraising name\nrole fdn related-foundation",
     Verdict::Permitted},
    // 164.508(b)(2)-(4): an authorisation whose review found a defect was
    // never valid; a defect of another authorisation does not matter.
    {"AuthorisationConditionedOnTheSignature", "c164-508-a-1",
     "send clerk insurer m1 T pat underwriting diagnosis\nacts clerk hosp workforce-member\n"
     "authorization \"pat\" \"hosp\" \"insurer\" diagnosis underwriting "
     "2010:01:01:00:00:00 2011:01:01:00:00:00\n"
     "authorization_defect \"pat\" \"hosp\" \"insurer\" underwriting 2010:01:01:00:00:00 conditioned",
     Verdict::Violation},
    {"DefectOfAnEarlierAuthorisation", "c164-508-a-1",
     "send clerk insurer m1 T pat underwriting diagnosis\nacts clerk hosp workforce-member\n"
     "authorization \"pat\" \"hosp\" \"insurer\" diagnosis underwriting "
     "2010:01:01:00:00:00 2011:01:01:00:00:00\n"
     "authorization_defect \"pat\" \"hosp\" \"insurer\" underwriting 2009:01:01:00:00:00 compound",
     Verdict::Permitted},
    {"SaleWithoutTheRemunerationStatement", "c164-508-a-4",
     "send hosp broker m1 T pat sale-of-phi diagnosis\n"
     "authorization \"pat\" \"hosp\" \"broker\" diagnosis sale-of-phi "
     "2010:01:01:00:00:00 2011:01:01:00:00:00\n"
     "authorization_defect \"pat\" \"hosp\" \"broker\" sale-of-phi 2010:01:01:00:00:00 "
     "no-remuneration-statement",
     Verdict::Violation},
    // 164.504(f)(1)(ii): the insurer of an insured group plan.
    {"InsurerGivesSummaryToThePlanSponsor", "c164-504-f-1-ii",
     "send insurer acme m1 T pat premium-bids-or-plan-change summary-health-information\n"
     "role insurer health-plan\nrole acme plan-sponsor\n" PLAN_NOTICE("insurer")
     "protocol \"insurer\" premium-bids-or-plan-change summary-health-information",
     Verdict::Permitted},
    // 164.504(f)(3)(iii): not without the statement in the notice.
    {"InsurerToTheSponsorWithoutTheNoticeStatement", "c164-504-f-3-iii",
     "send insurer acme m1 T pat premium-bids-or-plan-change summary-health-information\n"
     "role insurer health-plan\nrole acme plan-sponsor\n"
     "protocol \"insurer\" premium-bids-or-plan-change summary-health-information",
     Verdict::Violation},
    // 164.504(f)(3)(ii), (iv): only what (f) permits, never for employment.
    {"PlanToTheSponsorForEmploymentDecisions", "c164-504-f-3-iv",
     "send plan acme m1 T pat plan-administration diagnosis\npurpose m1 employment-decision\n"
     GROUP_PLAN "protocol \"plan\" plan-administration diagnosis",
     Verdict::Violation},
    {"PlanPaysThroughTheSponsor", "c164-504-f-3-ii",
     "send plan acme m1 T pat payment billing-info\n" GROUP_PLAN
     "protocol \"plan\" payment billing-info",
     Verdict::Violation},
    {"PlanToTheSponsorAsTheEmployeeAuthorised", "c164-504-f-3",
     "send plan acme m1 T pat marketing diagnosis\n" GROUP_PLAN
     "authorization \"pat\" \"plan\" \"acme\" diagnosis marketing "
     "2010:01:01:00:00:00 2011:01:01:00:00:00",
     Verdict::Permitted},
    {"PlanToTheSponsorForEmploymentEvenIfAuthorised", "c164-504-f-3-iv",
     "send plan acme m1 T pat employment-decision diagnosis\n" GROUP_PLAN
     "authorization \"pat\" \"plan\" \"acme\" diagnosis employment-decision "
     "2010:01:01:00:00:00 2011:01:01:00:00:00",
     Verdict::Violation},
    // 164.504(g): a plan that is also a provider, for the function at hand.
    {"EntityThatIsPlanAndProvider", "c164-504-g",
     "send combo plan2 m1 T pat payment billing-info\nrole combo health-plan\n"
     "role combo health-care-provider\nrole plan2 health-plan\nprotocol \"combo\" payment billing-info",
     Verdict::Open, {"permitted", "c164-504-g-subj"}},
    // 164.514(g): underwriting information of insurance not placed.
    {"UnderwritingInformationOfCoverageNotPlaced", "c164-514-g",
     "send ins plan2 m1 T pat payment diagnosis\nrole ins health-plan\nrole plan2 health-plan\n"
     "coverage_not_placed \"ins\" \"pat\" 2010:02:01:00:00:00\nprotocol \"ins\" payment diagnosis",
     Verdict::Violation},
    {"CoverageNotPlacedThenTheIndividualJoined", "c164-514-g",
     "send ins plan2 m1 T pat payment diagnosis\nrole ins health-plan\nrole plan2 health-plan\n"
     "coverage_not_placed \"ins\" \"pat\" 2010:01:01:00:00:00\n"
     "relationship \"pat\" \"ins\" 2010:02:01:00:00:00\nprotocol \"ins\" payment diagnosis",
     Verdict::Permitted},
    // 164.502(a)(3), 164.504(e)(2)(i): a vendor discloses within the
    // purposes its contract records, or not at all.
    {"VendorOutsideItsContract", "c164-502-a-3-scope",
     "send roi ins m1 T pat payment billing-info\n" HOSPITAL CONTRACT("hosp", "roi")
     "ba_agreement_purpose \"hosp\" \"roi\" individual-access\nprotocol \"hosp\" payment billing-info",
     Verdict::Violation},
    {"VendorWithinItsContract", "c164-502-a-3-scope",
     "send roi ins m1 T pat payment billing-info\n" HOSPITAL CONTRACT("hosp", "roi")
     "ba_agreement_purpose \"hosp\" \"roi\" Payment\nprotocol \"hosp\" payment billing-info",
     Verdict::Permitted},
    // 164.502(e)(1)(i): to an associate for a purpose its contract lacks.
    {"ToTheAssociateOutsideItsContract", "c164-502-e-1-i-scope",
     "send hosp coder m1 T pat healthcare-op diagnosis\n" CONTRACT("hosp", "coder")
     "ba_agreement_purpose \"hosp\" \"coder\" Payment\nprotocol \"hosp\" healthcare-op diagnosis",
     Verdict::Violation},
    {"ToTheAssociateWithinItsContract", "c164-502-e",
     "send hosp coder m1 T pat healthcare-op diagnosis\n" CONTRACT("hosp", "coder")
     "ba_agreement_purpose \"hosp\" \"coder\" Healthcare-op\nprotocol \"hosp\" healthcare-op diagnosis",
     Verdict::Permitted},
    // 164.504(e)(4): the associate's own administration.
    {"AssociateConsultsItsLawyer", "c164-504-e-4",
     "send coder lawyer m1 T pat associate-administration diagnosis\n" CONTRACT("hosp", "coder")
     "protocol \"coder\" associate-administration diagnosis",
     Verdict::Open, {"c164-504-e-4-subj"}},
    {"AdministrationOfOneWhoIsNoAssociate", "c164-504-e-4",
     "send coder lawyer m1 T pat associate-administration diagnosis\n"
     "protocol \"coder\" associate-administration diagnosis",
     Verdict::Violation},
    // 164.502(a)(5)(ii)(B)(2): no sale when the transfer of the entity is
    // the purpose; research paid beyond its cost is a sale.
    {"RecordsSoldWithTheHospital", "c164-508-a-4",
     "send hosp buyer m1 T pat sale-of-phi diagnosis\npurpose m1 business-transfer\n" HOSPITAL
     "protocol \"hosp\" business-transfer diagnosis",
     Verdict::Permitted},
    {"ResearchDataSoldWithoutAuthorisation", "c164-508-a-4",
     "send hosp lab m1 T pat sale-of-phi diagnosis\npurpose m1 research\nrole lab researcher\n"
     VERIFIED("lab") "protocol \"hosp\" research diagnosis",
     Verdict::Violation},
    // 164.512(k)(4): the determination alone.
    {"SuitabilityDeterminationToTheStateDepartment", "c164-512-k-4",
     "send hosp state m1 T pat medical-suitability-determination suitability-determination\n"
     "role state state-department\n" VERIFIED("state")
     "protocol \"hosp\" medical-suitability-determination suitability-determination",
     Verdict::Open, {"c164-512-k-4-subj"}},
    {"DiagnosisToTheStateDepartment", "c164-512-k-4-content",
     "send hosp state m1 T pat medical-suitability-determination diagnosis\n"
     "role state state-department\n" VERIFIED("state")
     "protocol \"hosp\" medical-suitability-determination diagnosis",
     Verdict::Violation},
    // 164.512(k)(6)(i): a public plan shares enrolment as a statute allows.
    {"PublicPlanSharesEnrolment", "c164-512-k-6-i",
     "send medicaid benefits m1 T pat public-benefit-program enrollment-status\n"
     "role medicaid health-plan\nrole benefits government-program-agency\n"
     "protocol \"medicaid\" public-benefit-program enrollment-status",
     Verdict::Open, {"c164-512-k-6-i-subj"}},
    {"PublicPlanSharesDiagnoses", "c164-512-k-6-i",
     "send medicaid benefits m1 T pat public-benefit-program diagnosis\n"
     "role medicaid health-plan\nrole benefits government-program-agency\n"
     "protocol \"medicaid\" public-benefit-program diagnosis",
     Verdict::Violation},
    // 164.504(c)(2): a component that is no health care component receives
    // as a third party, not as the entity.
    {"NurseHandsRecordsToTheUniversitysPersonnelOffice", "c164-504-c-2",
     "send nurse univ-hr m1 T pat treatment diagnosis\nacts nurse univ-hr workforce-member\n"
     "role univ-hr non-health-care-component",
     Verdict::Violation},
    {"NurseHandsRecordsToTheClinic", "c160-103-workforce",
     "send nurse clinic m1 T pat treatment diagnosis\nacts nurse clinic workforce-member",
     Verdict::Permitted},
    // 164.514(e)(4)(ii): an agreement lacking a required term.
    {"LimitedDataSetUnderADefectiveAgreement", "c164-514-e-4-ii",
     "send hosp lab m1 T pat research limited-data-set diagnosis\n"
     "data_use_agreement \"hosp\" \"lab\" 2009:01:01:00:00:00 2011:01:01:00:00:00\n"
     "data_use_agreement_defect \"hosp\" \"lab\" 2009:01:01:00:00:00\n"
     "protocol \"hosp\" research diagnosis\nprotocol \"hosp\" research limited-data-set",
     Verdict::Violation},
    // 164.502(i): the notice promised no fundraising.
    {"FundraisingTheNoticeRuledOut", "c164-502-i",
     "send hosp fdn m1 T pat fundraising name\nrole fdn related-foundation\n" NOTICE("hosp")
     "notice_limitation \"hosp\" fundraising 2009:06:01:00:00:00\nprotocol \"hosp\" fundraising name",
     Verdict::Violation},
    {"FundraisingBeforeTheNoticeRuledItOut", "c164-502-i",
     "send hosp fdn m1 T pat fundraising name\nrole fdn related-foundation\n" NOTICE("hosp")
     "notice_limitation \"hosp\" fundraising 2010:06:01:00:00:00\nprotocol \"hosp\" fundraising name",
     Verdict::Permitted},
    // 164.520(b)(2)(i): a notice may not limit a disclosure that averts a
    // serious and imminent threat.
    {"ThreatAvertedThoughTheNoticePromisedOtherwise", "c164-502-i",
     "send hosp cop m1 T pat serious-threat-prevention diagnosis\n" HOSPITAL OFFICER
     "notice_limitation \"hosp\" serious-threat-prevention 2009:06:01:00:00:00\n"
     "protocol \"hosp\" serious-threat-prevention diagnosis",
     Verdict::Open, {"c164-512-j-1-i-subj"}},
    // 164.502(i), 164.520(b)(1)(iii)(C): a plan underwrites only with the
    // genetic-information statement in its notice, whoever sends for it.
    {"PlanUnderwritesThroughItsActuaryWithTheStatement", "c164-520-b-1-iii-C",
     "send plan actuary m1 T pat underwriting diagnosis\nrole plan health-plan\n"
     CONTRACT("plan", "actuary") "notice_statement \"plan\" underwriting 2009:06:01:00:00:00\n"
     "protocol \"plan\" underwriting diagnosis",
     Verdict::Permitted},
    {"PlanUnderwritesWithoutTheStatement", "c164-520-b-1-iii-C",
     "send plan actuary m1 T pat underwriting diagnosis\nrole plan health-plan\n"
     CONTRACT("plan", "actuary") "notice_statement \"plan\" fundraising 2009:06:01:00:00:00\n"
     "protocol \"plan\" underwriting diagnosis",
     Verdict::Violation},
    {"PlansClerkUnderwritesBeforeTheStatement", "c164-520-b-1-iii-C",
     "send clerk actuary m1 T pat underwriting diagnosis\nacts clerk plan workforce-member\n"
     "role plan health-plan\n" CONTRACT("plan", "actuary")
     "notice_statement \"plan\" underwriting 2010:06:01:00:00:00\n"
     "protocol \"plan\" underwriting diagnosis",
     Verdict::Violation},
    {"PlansVendorUnderwritesWithoutTheStatement", "c164-520-b-1-iii-C",
     "send actuary reinsurer m1 T pat underwriting diagnosis\nrole plan health-plan\n"
     CONTRACT("plan", "actuary") CONTRACT("plan", "reinsurer")
     "protocol \"plan\" underwriting diagnosis",
     Verdict::Violation},
    {"LongTermCareIssuerUnderwritesWithoutTheStatement", "c164-520-b-1-iii-C",
     "send ltc actuary m1 T pat underwriting diagnosis\nrole ltc long-term-care-issuer\n"
     "role ltc covered-entity\n" CONTRACT("ltc", "actuary") "protocol \"ltc\" underwriting diagnosis",
     Verdict::Permitted},
    {"HospitalDisclosesForUnderwritingUnderAnAuthorisation", "c164-520-b-1-iii-C",
     "send hosp insurer m1 T pat underwriting diagnosis\n" HOSPITAL
     "authorization \"pat\" \"hosp\" \"insurer\" diagnosis underwriting "
     "2010:01:01:00:00:00 2011:01:01:00:00:00",
     Verdict::Permitted},
    // 164.502(h), 164.522(b): communications as the patient asked.
    {"ResultsToAPatientWhoAskedForConfidentialCommunication", "c164-522-b",
     "send nurse pat m1 T pat individual-access lab-result\nacts nurse hosp workforce-member\n"
     "confidential_communication \"pat\" \"hosp\" 2010:01:01:00:00:00",
     Verdict::Open, {"c164-522-b-subj"}},
    {"ConfidentialCommunicationWithAnotherProvider", "c164-522-b",
     "send nurse pat m1 T pat individual-access lab-result\nacts nurse hosp workforce-member\n"
     "confidential_communication \"pat\" \"clinic\" 2010:01:01:00:00:00",
     Verdict::Permitted},
    // 164.524(d)(1): a partial grant; (a)(4), (d)(4): the review of a denial.
    {"AccessGrantedInPartAndDeniedForTheRest", "c164-524-b-2-i",
     ACCESS_REQUEST "send hosp pat m1 2010:01:20:00:00:00 pat individual-access lab-result\n"
     "send hosp pat m2 2010:01:20:00:00:00 pat access-denial general-condition",
     Verdict::Permitted},
    {"DenialReviewedInTime", "c164-524-d-4",
     "access_review_request \"pat\" \"hosp\" 2010:02:01:00:00:00\n"
     "send hosp pat m1 2010:02:25:00:00:00 pat access-review-determination general-condition",
     Verdict::Open, {"c164-524-d-4-subj"}},
    {"DenialNeverReviewed", "c164-524-d-4",
     "access_review_request \"pat\" \"hosp\" 2010:02:01:00:00:00\n"
     "send hosp pat m1 2010:03:25:00:00:00 pat access-review-determination general-condition",
     Verdict::Violation},
    {"DenialReviewStillDue", "c164-524-d-4",
     "access_review_request \"pat\" \"hosp\" 2010:02:01:00:00:00\n"
     "send hosp pat m1 2010:02:02:00:00:00 pat treatment general-condition\n"
     "audit_end 2010:02:10:00:00:00",
     Verdict::Open, {"c164-524-d-4-wait"}},
};

std::string scenario_name(const ::testing::TestParamInfo<Scenario>& info) {
  return info.param.name;
}

INSTANTIATE_TEST_SUITE_P(Permissions, ClauseScenario, ::testing::ValuesIn(kPermissions),
                         scenario_name);
INSTANTIATE_TEST_SUITE_P(Limits, ClauseScenario, ::testing::ValuesIn(kLimits), scenario_name);
INSTANTIATE_TEST_SUITE_P(Obligations, ClauseScenario, ::testing::ValuesIn(kObligations),
                         scenario_name);
INSTANTIATE_TEST_SUITE_P(HospitalFaults, ClauseScenario, ::testing::ValuesIn(kHospitalFaults),
                         scenario_name);

} // namespace
} // namespace hipaa::testing

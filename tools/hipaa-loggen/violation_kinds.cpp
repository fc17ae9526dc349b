// Disclosures and requests that break one clause each, at its boundary
// where it has one.  Each concerns a newcomer, an individual no other
// disclosure shares, so that no other row of the log can excuse it.
#include "kinds.hpp"

#include "log_writer.hpp"

namespace hipaa::loggen {

namespace {

void treatment_to_employer(Context& c) {
  c.record(c.doctor(), c.any_of(c.population.employers), c.newcomer(), "treatment", {"diagnosis"});
}

void phi_to_employer(Context& c) {
  c.record(c.doctor(), c.any_of(c.population.employers), c.newcomer(), "treatment", {"phi"});
}

// Through a marketing firm under contract, which is no exception.
void marketing_unauthorized(Context& c) {
  c.record(c.hospital(), c.any_of(c.population.marketing_firms), c.newcomer(), "marketing",
           {"name"});
}

void psychotherapy_unauthorized(Context& c) {
  const Principal& sender = c.doctor();
  c.record(sender, c.another_of(c.population.doctors, sender), c.newcomer(), "treatment",
           {"psychotherapy-notes"});
}

void genetic_underwriting_by_plan(Context& c) {
  const Principal subject = c.newcomer();
  const Principal& plan = c.any_of(c.population.health_plans);
  c.authorize_now(subject, plan, c.population.life_insurer, "genetic-information", "underwriting");
  c.record(plan, c.population.life_insurer, subject, "underwriting", {"genetic-information"});
}

void authorization_expired(Context& c) {
  const Principal subject = c.newcomer();
  const Principal& sender = c.hospital();
  c.authorize(subject, sender, c.population.life_insurer, "diagnosis", "underwriting", -60 * kDay,
              -kSecond);
  c.record(sender, c.population.life_insurer, subject, "underwriting", {"diagnosis"});
}

void authorization_not_yet_signed(Context& c) {
  const Principal subject = c.newcomer();
  const Principal& sender = c.hospital();
  c.authorize(subject, sender, c.population.life_insurer, "diagnosis", "underwriting", kSecond,
              365 * kDay);
  c.record(sender, c.population.life_insurer, subject, "underwriting", {"diagnosis"});
}

void associate_contract_ended(Context& c) {
  const Principal& entity = c.hospital();
  // A collector of its own, so that no later contract covers it.
  const Principal collector{printed_string("collection-agency-" + std::to_string(++c.newcomers)),
                            {"business-associate"}};
  c.log.row("ba_agreement", {entity.name, collector.name, kEarly, c.at(-kDay)});
  c.record(entity, collector, c.newcomer(), "payment", {"billing-info"});
}

void relationship_missing(Context& c) {
  const Principal& sender = c.hospital();
  const Principal subject = c.newcomer();
  c.log.row("relationship", {subject.name, sender.name, c.at(-200 * kDay)});
  c.record(sender, c.another_of(c.population.hospitals, sender), subject, "healthcare-op-para-1-2",
           {"diagnosis"});
}

void law_enforcement_to_non_official(Context& c) {
  c.record(c.hospital(), c.any_of(c.population.employers), c.newcomer(),
           "report-possible-crime-on-premises", {"physical-description"});
}

void identification_outside_the_list(Context& c) {
  const Principal& entity = c.hospital();
  const Principal& official = c.officer();
  c.verified(entity, official);
  c.record(entity, official, c.newcomer(), "law-enforcement-relevant-id-or-location",
           {c.one_of({"insurance-id", "diagnosis"})});
}

void restriction_broken(Context& c) {
  const Principal subject = c.newcomer();
  const Principal& entity = c.hospital();
  c.log.row("restriction",
            {subject.name, entity.name, "medical-record", c.at(-30 * kDay), c.at(365 * kDay)});
  c.record(entity, c.any_of(c.population.health_plans), subject, "payment", {"diagnosis"});
}

void self_pay_broken(Context& c) {
  const Principal subject = c.newcomer();
  const Principal& entity = c.hospital();
  c.log.row("self_pay_restriction", {subject.name, entity.name, "billing-info", c.at(-20 * kDay)});
  c.record(entity, c.any_of(c.population.health_plans), subject, "payment", {"billing-info"});
}

void access_late(Context& c) {
  const Principal subject = c.newcomer();
  const Principal& entity = c.hospital();
  c.log.row("access_request", {subject.name, entity.name, c.at(0)});
  c.label_request(subject, "access-late", V, "c164-524-b-2");
  // Late from the first second of the 31st calendar day (164.524(b)(2)(i)).
  c.answer(entity, subject, "individual-access", "medical-record",
           c.random.between(c.calendar_end(0, tools::kDays30) + kSecond, 60 * kDay));
}

// Never answered; a disclosure follows so that the log runs on.
void access_never_answered(Context& c) {
  const Principal subject = c.newcomer();
  const Principal& entity = c.hospital();
  c.log.row("access_request", {subject.name, entity.name, c.at(-40 * kDay)});
  c.label_request(subject, "access-never-answered", V, "c164-524-b-2");
  c.record_as(P, "c164-506-c-2", entity, c.another_of(c.population.hospitals, entity), subject,
              "treatment", {"diagnosis"});
}

void accounting_late(Context& c) {
  const Principal subject = c.newcomer();
  const Principal& entity = c.hospital();
  c.log.row("accounting_request", {subject.name, entity.name, c.at(0)});
  c.label_request(subject, "accounting-late", V, "c164-528-c-1");
  // Late from the first second of the 61st calendar day (164.528(c)(1)).
  c.answer(entity, subject, "accounting-of-disclosures", "treatment-history",
           c.random.between(c.calendar_end(0, tools::kDays60) + kSecond, 80 * kDay));
}

void sale_unauthorized(Context& c) {
  c.record(c.hospital(), c.any_of(c.population.associates), c.newcomer(), "sale-of-phi",
           {"billing-info"});
}

void fundraising_after_opt_out(Context& c) {
  const Principal subject = c.newcomer();
  const Principal& entity = c.hospital();
  c.log.row("fundraising_opt_out", {subject.name, entity.name, c.at(-10 * kDay)});
  c.record(entity, c.population.foundation, subject, "fundraising", {"name"});
}

void disaster_relief_diagnosis(Context& c) {
  c.record(c.hospital(), c.population.disaster_relief, c.newcomer(), "disaster-relief",
           {"diagnosis"});
}

void de_identified_undocumented(Context& c) {
  c.record(c.hospital(), c.any_of(c.population.employers), c.newcomer(), "research",
           {"de-identified"});
}

// Documented by an expert, but sent with the code that re-identifies it,
// to a recipient no permission covers once the information counts as
// protected again.
void re_identification_code_disclosed(Context& c) {
  const std::string message = c.record(c.hospital(), c.any_of(c.population.employers),
                                       c.newcomer(), "research",
                                       {"de-identified", "re-identification-code"});
  c.log.row("deidentification", {message, "expert-determination", c.at(-kDay)});
}

// "Required by law" stated beside a purpose that has its own paragraph
// (an abuse report), sent to someone who is no government authority: the
// statement cannot stand in for that paragraph's conditions.
void required_by_law_as_cover(Context& c) {
  const Principal& sender = c.doctor();
  const std::string message = c.record(sender, c.any_of(c.population.employers), c.newcomer(),
                                       "required-by-law", {"diagnosis"});
  c.log.purpose(message, "abuse-neglect-report", sender.name);
}

void religion_to_a_visitor(Context& c) {
  const Principal subject = c.newcomer();
  const Principal& entity = c.hospital();
  c.log.row("no_objection", {subject.name, entity.name, "facility-directory", c.at(-kDay)});
  c.record(entity, c.any_of(c.population.employers), subject, "facility-directory",
           {"religious-affiliation"});
}

void coroner_about_the_living(Context& c) {
  c.record(c.hospital(), c.population.coroner, c.newcomer(), "decedent-identification", {"name"});
}

} // namespace

// One kind per prohibition or obligation broken, each at its boundary
// where it has one.
const std::vector<Kind>& violation_kinds() {
  static const std::vector<Kind> kinds = {
      {"treatment-to-employer", 0, V, "permitted", &treatment_to_employer},
      {"phi-to-employer", 0, V, "permitted", &phi_to_employer},
      {"marketing-unauthorized", 0, V, "c164-508-a-3", &marketing_unauthorized},
      {"psychotherapy-unauthorized", 0, V, "c164-508-a-2", &psychotherapy_unauthorized},
      {"genetic-underwriting", 0, V, "c164-502-a-5-i", &genetic_underwriting_by_plan},
      {"authorization-expired", 0, V, "c164-508-a-1", &authorization_expired},
      {"authorization-not-yet-signed", 0, V, "c164-508-a-1", &authorization_not_yet_signed},
      {"associate-contract-ended", 0, V, "c164-502-e", &associate_contract_ended},
      {"relationship-missing", 0, V, "c164-506-c-4", &relationship_missing},
      {"law-enforcement-to-non-official", 0, V, "c164-512-f", &law_enforcement_to_non_official},
      {"identification-outside-the-list", 0, V, "c164-512-f-2", &identification_outside_the_list},
      {"restriction-broken", 0, V, "c164-522-a-1-ii", &restriction_broken},
      {"self-pay-restriction-broken", 0, V, "c164-522-a-1-vi", &self_pay_broken},
      {"access-late", 0, P, "c164-502-a-1-i", &access_late},
      {"access-never-answered", 0, P, "c164-506-c-2", &access_never_answered},
      {"accounting-late", 0, P, "c164-502-a-1-i", &accounting_late},
      {"sale-unauthorized", 0, V, "c164-508-a-4", &sale_unauthorized},
      {"fundraising-after-opt-out", 0, V, "c164-514-f-2-iv", &fundraising_after_opt_out},
      {"disaster-relief-diagnosis", 0, V, "c164-510-b-4", &disaster_relief_diagnosis},
      // 164.514(b)(2): the safe harbour asks for no documentation, so an
      // undocumented claim is for a person to check.
      {"de-identified-undocumented", 0, O, "c164-514-b-2-i-subj", &de_identified_undocumented},
      {"religion-to-a-visitor", 0, V, "c164-510-a", &religion_to_a_visitor},
      {"coroner-about-the-living", 0, V, "c164-512-g-1", &coroner_about_the_living},
      {"re-identification-code-disclosed", 0, V, "c164-514-c-2", &re_identification_code_disclosed},
      {"required-by-law-as-cover", 0, V, "c164-512-a-2", &required_by_law_as_cover},
  };
  return kinds;
}

} // namespace hipaa::loggen

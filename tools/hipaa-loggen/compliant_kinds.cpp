// Disclosures that the policy permits, or leaves open for the judgement
// the clause names.
#include "kinds.hpp"

#include "log_writer.hpp"

namespace hipaa::loggen {

namespace {

// 1950-01-01: the death of the individuals whose information is no longer
// protected (164.502(f)).
constexpr std::int64_t kLongAgo = -631152000;

void treatment(Context& c) {
  const Principal& sender = c.random.chance(0.8) ? c.doctor() : c.hospital();
  const Principal& recipient = c.random.chance(0.8) ? c.another_of(c.population.doctors, sender)
                                                    : c.another_of(c.population.hospitals, sender);
  if (c.random.chance(0.3)) {
    c.record(sender, recipient, c.patient(), "treatment", {c.clinical_attribute(), "name"});
  } else {
    c.record(sender, recipient, c.patient(), "treatment", {c.clinical_attribute()});
  }
}

void payment(Context& c) {
  c.record(c.hospital(), c.any_of(c.population.health_plans), c.patient(), "payment",
           {c.one_of({"billing-info", "insurance-id"})});
}

void operations(Context& c) {
  const Principal& sender = c.hospital();
  const Principal& recipient = c.another_of(c.population.hospitals, sender);
  const Principal subject = c.patient();
  c.log.row("relationship", {subject.name, sender.name, c.at(-200 * kDay)});
  c.log.row("relationship", {subject.name, recipient.name, c.at(-100 * kDay)});
  c.record(sender, recipient, subject, "healthcare-op-para-1-2",
           {c.one_of({"diagnosis", "treatment-history"})});
}

void fraud_detection(Context& c) {
  const Principal& sender = c.hospital();
  const Principal& recipient = c.any_of(c.population.health_plans);
  const Principal subject = c.patient();
  c.log.row("relationship", {subject.name, sender.name, c.at(-200 * kDay)});
  c.log.row("relationship", {subject.name, recipient.name, c.at(-100 * kDay)});
  c.record(sender, recipient, subject, "fraud-abuse-detection", {"billing-info"});
}

void business_associate(Context& c) {
  const Principal& associate = c.any_of(c.population.associates);
  if (c.random.chance(0.6)) {
    c.record(c.hospital(), associate, c.patient(), "payment", {"billing-info"});
  } else {
    c.record(c.hospital(), associate, c.patient(), "healthcare-op", {"diagnosis"});
  }
}

// 164.524: granted within 30 days, extended in writing and granted within
// 60, or denied in writing.
void access_request(Context& c) {
  const Principal subject = c.newcomer();
  const Principal& entity = c.hospital();
  c.log.row("access_request", {subject.name, entity.name, c.at(0)});
  std::uint64_t outcome = c.random.below(10);
  if (outcome < 7 || !c.room_for(2)) {
    c.label_request(subject, "access-granted", P, "c164-524-b-2-i");
    c.answer(entity, subject, "individual-access", "medical-record",
             c.random.between(2 * kHour, 29 * kDay));
  } else if (outcome < 9) {
    c.label_request(subject, "access-extended", P, "c164-524-b-2-ii");
    c.answer(entity, subject, "access-extension-notice", "general-condition",
             c.random.between(20 * kDay, 29 * kDay));
    c.answer(entity, subject, "individual-access", "medical-record",
             c.random.between(31 * kDay, 59 * kDay));
  } else {
    c.label_request(subject, "access-denied", O, "c164-524-a-2-subj");
    c.answer(entity, subject, "access-denial", "general-condition",
             c.random.between(2 * kHour, 29 * kDay));
  }
}

// 164.528: the accounting within 60 days, or extended and within 90.
void accounting_request(Context& c) {
  const Principal subject = c.newcomer();
  const Principal& entity = c.hospital();
  c.log.row("accounting_request", {subject.name, entity.name, c.at(0)});
  if (c.random.chance(0.8) || !c.room_for(2)) {
    c.label_request(subject, "accounting-given", P, "c164-528-c-1-i");
    c.answer(entity, subject, "accounting-of-disclosures", "treatment-history",
             c.random.between(kDay, 59 * kDay));
  } else {
    c.label_request(subject, "accounting-extended", P, "c164-528-c-1-ii");
    c.answer(entity, subject, "accounting-extension-notice", "general-condition",
             c.random.between(40 * kDay, 59 * kDay));
    c.answer(entity, subject, "accounting-of-disclosures", "treatment-history",
             c.random.between(61 * kDay, 89 * kDay));
  }
}

void access_directive(Context& c) {
  const Principal subject = c.newcomer();
  const Principal& designee = c.any_of(c.population.doctors);
  c.log.row("access_directive",
            {subject.name, designee.name, c.at(-c.random.between(kDay, 20 * kDay))});
  c.record(c.hospital(), designee, subject, "access-directive", {"medical-record"});
}

void personal_representative(Context& c) {
  const std::int64_t index =
      1 + static_cast<std::int64_t>(c.random.below(c.population.patient_count));
  const Principal relative = Population::relative_of(index);
  c.log.row("personal_rep", {relative.name, Population::patient(index).name, kEarly,
                             c.at(c.random.between(30 * kDay, 3650 * kDay))});
  c.record(c.doctor(), relative, Population::patient(index), "care-involvement", {"diagnosis"});
}

// An authorisation for the whole record covers the diagnosis in it.
void authorized_record(Context& c) {
  const Principal subject = c.newcomer();
  const Principal& sender = c.hospital();
  c.authorize_now(subject, sender, c.population.life_insurer, "medical-record", "underwriting");
  c.record(sender, c.population.life_insurer, subject, "underwriting",
           {c.one_of({"diagnosis", "genetic-information"})});
}

void psychotherapy_authorized(Context& c) {
  const Principal subject = c.newcomer();
  const Principal& sender = c.doctor();
  const Principal& recipient = c.another_of(c.population.doctors, sender);
  c.authorize_now(subject, sender, recipient, "psychotherapy-notes", "treatment");
  c.record(sender, recipient, subject, "treatment", {"psychotherapy-notes"});
}

void marketing_authorized(Context& c) {
  const Principal subject = c.newcomer();
  const Principal& sender = c.hospital();
  const Principal& firm = c.any_of(c.population.marketing_firms);
  c.authorize_now(subject, sender, firm, "demographics", "marketing");
  c.record(sender, firm, subject, "marketing", {"name", "address"});
}

void marketing_face_to_face(Context& c) {
  const Principal subject = c.patient();
  c.record(c.hospital(), subject, subject, "marketing", {"name"});
}

void sale_authorized(Context& c) {
  const Principal subject = c.newcomer();
  const Principal& sender = c.hospital();
  const Principal& buyer = c.any_of(c.population.researchers);
  c.authorize_now(subject, sender, buyer, "lab-result", "sale-of-phi");
  c.record(sender, buyer, subject, "sale-of-phi", {"lab-result"});
}

void revoked_authorization(Context& c) {
  const Principal subject = c.newcomer();
  const Principal& sender = c.hospital();
  c.authorize_now(subject, sender, c.population.life_insurer, "diagnosis", "underwriting");
  c.log.row("revocation", {subject.name, sender.name, c.population.life_insurer.name,
                           "underwriting", c.at(-c.random.between(kHour, 5 * kDay))});
  c.record(sender, c.population.life_insurer, subject, "underwriting", {"diagnosis"});
}

// 164.514(h)(1): the requesting official's identity verified first.
void secretary(Context& c) {
  const Principal& entity = c.hospital();
  c.verified(entity, c.population.secretary);
  c.record(entity, c.population.secretary, c.patient(), "compliance-investigation",
           {"medical-record"});
}

void whistleblower(Context& c) {
  c.record(c.doctor(), c.random.chance(0.5) ? c.population.accreditation : c.population.attorney,
           c.patient(), "whistleblowing", {"billing-info"});
}

void plan_sponsor(Context& c) {
  c.record(c.population.group_plan, c.population.plan_sponsor, c.patient(), "plan-administration",
           {"billing-info"});
}

void summary_to_sponsor(Context& c) {
  c.record(c.population.group_plan, c.population.plan_sponsor, c.patient(),
           "premium-bids-or-plan-change", {"summary-health-information"});
}

void enrollment_to_sponsor(Context& c) {
  c.record(c.population.group_plan, c.population.plan_sponsor, c.patient(), "plan-administration",
           {"enrollment-status"});
}

// 164.510(a): religion to the chaplain, the patient having been told.
void directory(Context& c) {
  const Principal subject = c.patient();
  const Principal& entity = c.hospital();
  c.log.row("no_objection", {subject.name, entity.name, "facility-directory",
                             c.at(-c.random.between(kHour, 10 * kDay))});
  c.record(entity, c.population.clergy, subject, "facility-directory",
           {c.one_of({"religious-affiliation", "name", "location-in-facility"})});
}

// 164.510(b): to a relative, the patient having had the chance to object.
void care_involvement(Context& c) {
  const std::int64_t index =
      1 + static_cast<std::int64_t>(c.random.below(c.population.patient_count));
  const Principal subject = Population::patient(index);
  const Principal& sender = c.doctor();
  c.log.row("no_objection", {subject.name, sender.name, "care-involvement",
                             c.at(-c.random.between(kHour, 10 * kDay))});
  c.record(sender, Population::relative_of(index), subject, "care-involvement",
           {"general-condition"});
}

// No record of an opportunity to object: the entity's inference or its
// judgement in an emergency remain to be confirmed.
void care_without_objection_record(Context& c) {
  c.record(c.doctor(), c.population.close_friend, c.newcomer(), "care-involvement",
           {"general-condition"});
}

void notification(Context& c) {
  const std::int64_t index =
      1 + static_cast<std::int64_t>(c.random.below(c.population.patient_count));
  const Principal subject = Population::patient(index);
  const Principal& entity = c.hospital();
  c.log.row("no_objection", {subject.name, entity.name, "care-involvement",
                             c.at(-c.random.between(kHour, 10 * kDay))});
  c.record(entity, Population::relative_of(index), subject, "notification",
           {"location-in-facility"});
}

void disaster_relief(Context& c) {
  c.record(c.hospital(), c.population.disaster_relief, c.patient(), "disaster-relief",
           {c.one_of({"location-in-facility", "general-condition"})});
}

void required_by_law(Context& c) {
  c.record(c.hospital(), c.officer(), c.patient(), "required-by-law", {"diagnosis"});
}

// To the authority, or at its direction to a foreign official.
void public_health(Context& c) {
  if (c.random.chance(0.9)) {
    c.record(c.hospital(), c.population.public_health, c.patient(), "public-health", {"lab-result"});
  } else {
    c.record_as(O, "c164-512-b-1-i-subj", c.hospital(), c.population.foreign_official, c.patient(),
                "public-health", {"lab-result"});
  }
}

void child_abuse_report(Context& c) {
  c.record(c.hospital(), c.population.social_services, c.patient(), "child-abuse-report",
           {"diagnosis"});
}

void fda_report(Context& c) {
  c.record(c.hospital(), c.population.device_maker, c.patient(), "fda-reporting", {"lab-result"});
}

void communicable_disease(Context& c) {
  c.record(c.hospital(), c.population.exposed_contact, c.patient(),
           "communicable-disease-notification", {"diagnosis"});
}

void workplace_surveillance(Context& c) {
  c.record(c.doctor(), c.any_of(c.population.employers), c.patient(), "workplace-surveillance",
           {"diagnosis"});
}

void school_immunization(Context& c) {
  c.record(c.doctor(), c.population.school, c.patient(), "school-immunization",
           {"immunization-record"});
}

// 164.512(c): a report of abuse and the prompt notice to the patient
// (given in 9 cases in 10, within four days either side of the report).
void abuse_report(Context& c) {
  const Principal& sender = c.doctor();
  const Principal subject = c.newcomer();
  c.record(sender, c.population.social_services, subject, "abuse-neglect-report", {"diagnosis"});
  if (!c.room_for(1) || c.random.chance(0.1)) return;
  c.answer(sender, subject, "abuse-report-notice", "general-condition",
           c.random.between(-4 * kDay, 4 * kDay));
}

void oversight(Context& c) {
  const Principal& entity = c.hospital();
  c.verified(entity, c.population.oversight_agency);
  c.record(entity, c.population.oversight_agency, c.patient(), "health-oversight",
           {"billing-info"});
}

void judicial(Context& c) {
  const Principal& entity = c.hospital();
  c.verified(entity, c.population.court);
  c.record(entity, c.population.court, c.patient(), "judicial-proceeding", {"diagnosis"});
}

void law_enforcement_court_order(Context& c) {
  const Principal& entity = c.hospital();
  const Principal& official = c.officer();
  c.verified(entity, official);
  c.record(entity, official, c.patient(), "law-enforcement-court-order", {"diagnosis"});
}

void identification_request(Context& c) {
  const Principal& entity = c.hospital();
  const Principal& official = c.officer();
  c.verified(entity, official);
  c.record(entity, official, c.patient(), "law-enforcement-relevant-id-or-location",
           {c.one_of({"name", "address", "ssn", "blood-type", "physical-description"})});
}

void crime_victim(Context& c) {
  const Principal& entity = c.hospital();
  const Principal& official = c.officer();
  c.verified(entity, official);
  c.record(entity, official, c.patient(), "crime-victim-information", {"injury-type"});
}

void suspicious_death(Context& c) {
  const Principal subject = c.decedent();
  c.deceased(subject, c.random.between(kHour, 3 * kDay));
  c.record(c.hospital(), c.officer(), subject, "suspicious-death-notification", {"death-date"});
}

void crime_on_premises(Context& c) {
  c.record(c.hospital(), c.officer(), c.patient(), "report-possible-crime-on-premises",
           {"physical-description"});
}

void emergency_off_premises(Context& c) {
  c.record(c.doctor(), c.officer(), c.patient(),
           "alert-of-crime-commission-location-victims-perpetrator", {"injury-type"});
}

void coroner(Context& c) {
  const Principal subject = c.decedent();
  c.deceased(subject, c.random.between(kHour, 3 * kDay));
  const Principal& entity = c.hospital();
  c.verified(entity, c.population.coroner);
  c.record(entity, c.population.coroner, subject, "decedent-identification",
           {c.one_of({"name", "physical-description"})});
}

// After the death, or in reasonable anticipation of it.
void funeral(Context& c) {
  const Principal subject = c.decedent();
  if (c.random.chance(0.5)) {
    c.deceased(subject, c.random.between(kHour, 3 * kDay));
    const Principal& entity = c.hospital();
    c.verified(entity, c.population.funeral_home);
    c.record(entity, c.population.funeral_home, subject, "funeral-arrangements", {"name"});
  } else {
    const Principal& entity = c.hospital();
    c.verified(entity, c.population.funeral_home);
    c.record_as(O, "c164-512-g-2-subj", entity, c.population.funeral_home, subject,
                "funeral-arrangements", {"name"});
  }
}

void organ_donation(Context& c) {
  c.record(c.hospital(), c.population.organ_bank, c.patient(), "organ-donation", {"lab-result"});
}

void research_waiver(Context& c) {
  const Principal& entity = c.hospital();
  const Principal& lab = c.any_of(c.population.researchers);
  c.verified(entity, lab);
  c.record(entity, lab, c.patient(), "research", {"lab-result"});
}

void research_preparatory(Context& c) {
  const Principal& entity = c.hospital();
  const Principal& lab = c.any_of(c.population.researchers);
  c.verified(entity, lab);
  c.record(entity, lab, c.patient(), "research-preparatory", {"diagnosis"});
}

void research_decedents(Context& c) {
  const Principal& entity = c.hospital();
  const Principal& lab = c.any_of(c.population.researchers);
  const Principal subject = c.decedent();
  c.deceased(subject, c.random.between(30 * kDay, 3650 * kDay));
  c.verified(entity, lab);
  c.record(entity, lab, subject, "research", {"diagnosis"});
}

void limited_data_set(Context& c) {
  const Principal& entity = c.hospital();
  const Principal& lab = c.any_of(c.population.researchers);
  c.log.row("data_use_agreement", {entity.name, lab.name, kEarly, c.at(365 * kDay)});
  c.record(entity, lab, c.patient(), "research", {"date-of-birth"});
}

void serious_threat(Context& c) {
  c.record(c.doctor(), c.officer(), c.patient(), "serious-threat-prevention", {"diagnosis"});
}

void apprehension(Context& c) {
  c.record(c.hospital(), c.officer(), c.patient(), "apprehension-of-individual",
           {c.one_of({"name", "violent-crime-statement"})});
}

void military(Context& c) {
  const Principal subject = c.newcomer();
  c.role_of_subject(subject, "armed-forces-member");
  c.record(c.hospital(), c.population.military_command, subject, "military-mission", {"diagnosis"});
}

void national_security(Context& c) {
  const Principal& entity = c.hospital();
  c.verified(entity, c.population.federal_official);
  c.record(entity, c.population.federal_official, c.patient(), "national-security", {"diagnosis"});
}

void protective_services(Context& c) {
  const Principal& entity = c.hospital();
  c.verified(entity, c.population.federal_official);
  c.record(entity, c.population.federal_official, c.patient(), "protective-services",
           {"diagnosis"});
}

void custody(Context& c) {
  const Principal subject = c.newcomer();
  c.role_of_subject(subject, "inmate");
  c.record(c.hospital(), c.population.prison, subject, "correctional-custody", {"diagnosis"});
}

void workers_compensation(Context& c) {
  c.record(c.hospital(), c.population.workers_comp, c.patient(), "workers-compensation",
           {"diagnosis"});
}

void fundraising(Context& c) {
  c.record(c.hospital(), c.population.foundation, c.patient(), "fundraising",
           {c.one_of({"name", "address", "department-of-service"})});
}

void de_identified_by_expert(Context& c) {
  const Principal& entity = c.hospital();
  const std::string message = c.record(entity, c.any_of(c.population.researchers), c.patient(),
                                       "research", {"de-identified"});
  c.log.row("deidentification", {message, "expert-determination", c.at(-kDay)});
}

void de_identified_safe_harbor(Context& c) {
  const Principal& entity = c.hospital();
  const std::string message =
      c.record(entity, c.population.public_health, c.patient(), "public-health", {"de-identified"});
  c.log.row("deidentification", {message, "safe-harbor", c.at(-kDay)});
}

void long_dead(Context& c) {
  const Principal subject = c.decedent();
  c.log.row("deceased", {subject.name, printed_date(kLongAgo)});
  c.record(c.hospital(), c.any_of(c.population.researchers), subject, "research",
           {c.one_of({"psychotherapy-notes", "diagnosis"})});
}

// A restriction does not stop disclosures for public health.
void restriction_and_public_health(Context& c) {
  const Principal subject = c.newcomer();
  const Principal& entity = c.hospital();
  c.log.row("restriction",
            {subject.name, entity.name, "medical-record", c.at(-30 * kDay), c.at(365 * kDay)});
  c.record(entity, c.population.public_health, subject, "public-health", {"lab-result"});
}

} // namespace

// The generated mix: mostly treatment, payment and operations, then every
// other permission of the policy, each with the clause that permits it (the
// first permission that holds, in the policy's order) or whose judgement it
// leaves open.  An authorised psychotherapy note or marketing message and a
// public-health disclosure under a restriction pass the prohibitions they
// meet; what permits them is treatment, the marketing firm's contract and
// public health.
const std::vector<Kind>& compliant_kinds() {
  static const std::vector<Kind> kinds = {
      {"treatment", 5000, P, "c164-506-c-2", &treatment},
      {"payment", 1400, P, "c164-506-c-3", &payment},
      {"operations", 500, O, "c164-506-c-4-subj", &operations},
      {"fraud-detection", 40, O, "c164-506-c-4-subj", &fraud_detection},
      {"business-associate", 400, P, "c164-502-e", &business_associate},
      {"access-request", 200, P, "c164-502-a-1-i", &access_request},
      {"accounting-request", 50, P, "c164-502-a-1-i", &accounting_request},
      {"access-directive", 20, P, "c164-524-c-3-ii", &access_directive},
      {"personal-representative", 30, O, "c164-502-g-2-subj", &personal_representative},
      {"authorized-record", 40, P, "c164-508-a-1", &authorized_record},
      {"psychotherapy-authorized", 60, P, "c164-506-c-2", &psychotherapy_authorized},
      {"marketing-authorized", 30, P, "c164-502-e", &marketing_authorized},
      {"marketing-face-to-face", 10, O, "c164-508-a-3-i-subj", &marketing_face_to_face},
      {"sale-authorized", 10, P, "c164-508-a-1", &sale_authorized},
      {"authorization-revoked", 10, O, "c164-508-b-5-i-subj", &revoked_authorization},
      {"secretary", 10, P, "c164-502-a-2-ii", &secretary},
      {"whistleblower", 5, O, "c164-502-j-1-subj", &whistleblower},
      {"plan-sponsor", 10, O, "c164-504-f-2-subj", &plan_sponsor},
      {"summary-to-sponsor", 10, P, "c164-504-f-1-ii", &summary_to_sponsor},
      {"enrollment-to-sponsor", 10, P, "c164-504-f-1-iii", &enrollment_to_sponsor},
      {"facility-directory", 40, P, "c164-510-a", &directory},
      {"care-involvement", 100, O, "c164-510-b-1-i-subj", &care_involvement},
      {"care-without-objection-record", 30, O, "c164-510-b-2-iii-subj",
       &care_without_objection_record},
      {"notification", 30, P, "c164-510-b-1-ii", &notification},
      {"disaster-relief", 10, O, "c164-510-b-4-subj", &disaster_relief},
      {"required-by-law", 150, O, "c164-512-a-1-subj", &required_by_law},
      // 164.512(b)(1)(i): whether the authority is authorised by law to
      // receive this information is for a person.
      {"public-health", 150, O, "c164-512-b-1-i-law-subj", &public_health},
      {"child-abuse-report", 20, P, "c164-512-b-1-ii", &child_abuse_report},
      {"fda-report", 10, O, "c164-512-b-1-iii-subj", &fda_report},
      {"communicable-disease", 10, O, "c164-512-b-1-iv-subj", &communicable_disease},
      {"workplace-surveillance", 10, O, "c164-512-b-1-v-subj", &workplace_surveillance},
      {"school-immunization", 10, O, "c164-512-b-1-vi-C-subj", &school_immunization},
      {"abuse-report", 60, O, "c164-512-c-1-subj", &abuse_report},
      {"oversight", 60, O, "c164-512-d-2-subj", &oversight},
      {"judicial-proceeding", 20, O, "c164-512-e-1-i-subj", &judicial},
      {"law-enforcement-court-order", 20, O, "c164-512-f-1-ii-subj", &law_enforcement_court_order},
      {"identification-request", 20, O, "c164-512-f-2-subj", &identification_request},
      {"crime-victim", 10, O, "c164-512-f-3-subj", &crime_victim},
      {"suspicious-death", 10, O, "c164-512-f-4-subj", &suspicious_death},
      {"crime-on-premises", 40, O, "c164-512-f-5-subj", &crime_on_premises},
      {"emergency-off-premises", 10, O, "c164-512-f-6-i-subj", &emergency_off_premises},
      {"coroner", 30, P, "c164-512-g-1", &coroner},
      {"funeral-director", 10, P, "c164-512-g-2", &funeral},
      {"organ-donation", 30, P, "c164-512-h", &organ_donation},
      {"research-waiver", 30, O, "c164-512-i-1-i-subj", &research_waiver},
      {"research-preparatory", 10, O, "c164-512-i-1-ii-subj", &research_preparatory},
      {"research-decedents", 10, O, "c164-512-i-1-iii-subj", &research_decedents},
      {"limited-data-set", 20, P, "c164-514-e", &limited_data_set},
      {"serious-threat", 60, O, "c164-512-j-1-i-subj", &serious_threat},
      {"apprehension", 10, O, "c164-512-j-1-ii-B-subj", &apprehension},
      {"military-mission", 10, O, "c164-512-k-1-i-subj", &military},
      {"national-security", 5, O, "c164-512-k-2-subj", &national_security},
      {"protective-services", 5, O, "c164-512-k-3-subj", &protective_services},
      {"correctional-custody", 10, O, "c164-512-k-5-i-subj", &custody},
      {"workers-compensation", 20, O, "c164-512-l-subj", &workers_compensation},
      {"fundraising", 20, P, "c164-514-f-1", &fundraising},
      {"de-identified-expert", 60, P, "c164-502-d-2", &de_identified_by_expert},
      {"de-identified-safe-harbor", 30, O, "c164-514-b-2-ii-subj", &de_identified_safe_harbor},
      {"dead-over-fifty-years", 10, P, "c164-502-f", &long_dead},
      {"restriction-public-health", 20, O, "c164-512-b-1-i-law-subj",
       &restriction_and_public_health},
  };
  return kinds;
}

} // namespace hipaa::loggen

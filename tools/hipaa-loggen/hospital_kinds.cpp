// Kinds in the hospital's own language: staff members and vendors who
// disclose for the hospital, payers of every kind, the clearinghouse, the
// release-of-information vendor, designees, patients in custody, and the
// legal edges of the calendar (the last day of a deadline and the day
// after, the expiry day of an authorisation, the first and last day of a
// contract, fifty years to the day).  Each label is the regulation's, with
// the paragraph that decides it in the comment.
#include "hospital_kinds.hpp"

#include "log_writer.hpp"
#include "reference_rows.hpp"

#include "../common/calendar_span.hpp"

#include "dates/date.hpp"

#include <cstdio>

namespace hipaa::loggen {

namespace {

std::string unquoted(const std::string& printed) { return printed.substr(1, printed.size() - 2); }

std::int64_t seconds_of(const std::string& printed) {
  mpz_class seconds = date_from_literal(printed) / kNanosPerSecond;
  return seconds.get_si();
}

// The offset from the clock of the last second of the calendar day that
// holds clock + offset, in the local zone.
std::int64_t end_of_day(const Context& c, std::int64_t offset) {
  DateFields fields;
  const std::string day = c.at(offset);
  std::sscanf(day.c_str(), "%ld:%ld:%ld", &fields.year, &fields.month, &fields.day);
  fields.hour = 23;
  fields.minute = 59;
  fields.second = 59;
  return seconds_of(date_to_text(date_from_fields(fields))) - c.clock;
}

std::int64_t span_end(const Context& c, std::int64_t offset, const tools::CalendarSpan& span) {
  return c.calendar_end(offset, span);
}

// A member of the hospital's workforce, or one of its vendors, who acts for
// it when disclosing at clock + offset (table acts_for).
Principal acting_for(Context& c, const Principal& entity, const char* what, const char* kind,
                     std::int64_t offset = 0, std::vector<std::string> roles = {}) {
  Principal person{printed_string(unquoted(entity.name) + "/" + what), std::move(roles)};
  c.log.row("acts_for_db", {person.name, entity.name, kind, c.at(offset)});
  for (const std::string& role : entity.roles) c.log.role(entity.name, role, c.at(offset));
  return person;
}

// A vendor of the hospital under a contract of its own, from the start of
// today to the end of the year.
Principal vendor(Context& c, const Principal& entity, const char* what,
                 std::vector<std::string> roles) {
  Principal person{printed_string(std::string(what) + "-" + std::to_string(++c.newcomers)),
                   std::move(roles)};
  c.log.row("ba_agreement", {entity.name, person.name, kEarly, c.at(365 * kDay)});
  return person;
}

const Principal& payer(Context& c) {
  static const Principal kPayers[] = {
      {printed_string("motor-insurer"), {}},
      {printed_string("liability-insurer"), {}},
      {printed_string("self-funded-plan"), {"health-plan"}},
      {printed_string("medicaid-agency"), {"health-plan"}},
  };
  return kPayers[c.random.below(4)];
}

// --- Workforce and vendors disclosing for the hospital -----------------

// 160.103 "workforce", 164.506(c)(2): a staff physician treats through a
// colleague elsewhere.
void staff_treatment(Context& c) {
  const Principal& entity = c.hospital();
  const Principal staff =
      acting_for(c, entity, "staff-physician", "workforce-member", 0, {"health-care-provider"});
  c.record(staff, c.doctor(), c.patient(), "treatment", {c.clinical_attribute()});
}

// 164.508(a)(1), 160.103: the release clerk discloses under the
// authorisation the individual gave the hospital.
void clerk_authorised(Context& c) {
  const Principal& entity = c.hospital();
  const Principal subject = c.newcomer();
  c.authorize_now(subject, entity, c.population.life_insurer, "medical-record", "underwriting");
  c.record(acting_for(c, entity, "release-clerk", "workforce-member"), c.population.life_insurer,
           subject, "underwriting", {"diagnosis"});
}

// 164.522(a)(1)(ii): the hospital's agreed restriction binds its staff.
void staff_breaks_restriction(Context& c) {
  const Principal subject = c.newcomer();
  const Principal& entity = c.hospital();
  c.log.row("restriction",
            {subject.name, entity.name, "medical-record", c.at(-30 * kDay), c.at(365 * kDay)});
  c.record(acting_for(c, entity, "billing-clerk", "workforce-member"),
           c.any_of(c.population.health_plans), subject, "payment", {"diagnosis"});
}

// 164.508(a)(1): an authorisation for one hospital does not cover a clerk
// of another.
void clerk_of_another_entity(Context& c) {
  const Principal& entity = c.hospital();
  const Principal& other = c.another_of(c.population.hospitals, entity);
  const Principal subject = c.newcomer();
  c.authorize_now(subject, entity, c.population.life_insurer, "medical-record", "underwriting");
  c.record(acting_for(c, other, "release-clerk", "workforce-member"), c.population.life_insurer,
           subject, "underwriting", {"diagnosis"});
}

// 160.103 "workforce": a nurse hands a record to the hospital itself.
void staff_to_entity(Context& c) {
  const Principal& entity = c.hospital();
  c.record(acting_for(c, entity, "ward-nurse", "workforce-member"), entity, c.patient(),
           "healthcare-op", {"diagnosis"});
}

// 164.502(a)(3), (a)(4)(ii): the transcription vendor returns its work.
void vendor_returns(Context& c) {
  const Principal& entity = c.hospital();
  c.record(vendor(c, entity, "transcription-vendor", {"business-associate"}), entity, c.patient(),
           "healthcare-op", {"diagnosis"});
}

// --- Payers and the clearinghouse -----------------------------------------

// 164.506(c)(1), 164.501 "payment": the hospital's own claim to any payer,
// covered or not (a motor or liability insurer, a plan recorded only as a
// health plan).
void claim_to_any_payer(Context& c) {
  const Principal& recipient = payer(c);
  c.record_as(P, recipient.roles.empty() ? "c164-506-c-1" : "c164-506-c-3", c.hospital(),
              recipient, c.patient(), "payment", {"billing-info"});
}

// 164.506(c)(3), 164.502(e): the claim travels through the hospital's
// clearinghouse to the plan.
void claim_through_clearinghouse(Context& c) {
  const Principal& entity = c.hospital();
  const Principal house =
      vendor(c, entity, "clearinghouse", {"health-care-clearinghouse", "business-associate"});
  const Principal& plan = c.any_of(c.population.health_plans);
  const Principal subject = c.patient();
  c.record(entity, house, subject, "payment", {"billing-info"});
  if (c.room_for(1)) c.record(house, plan, subject, "payment", {"billing-info"}, 300);
}

// 164.522(a)(1)(vi): paid out of pocket; the clearinghouse may not send
// the claim to the plan either.
void self_paid_through_clearinghouse(Context& c) {
  const Principal& entity = c.hospital();
  const Principal house =
      vendor(c, entity, "clearinghouse", {"health-care-clearinghouse", "business-associate"});
  const Principal subject = c.newcomer();
  c.log.row("self_pay_restriction", {subject.name, entity.name, "billing-info", c.at(-kDay)});
  c.record(house, c.any_of(c.population.health_plans), subject, "payment", {"billing-info"});
}

// --- The right of access as a hospital practises it -----------------------

// 164.524(b)(2)(i), 164.502(a)(4)(ii): the release-of-information vendor
// answers for the hospital on the last (30th) calendar day.
void access_by_vendor_on_day_30(Context& c) {
  const Principal& entity = c.hospital();
  const Principal subject = c.newcomer();
  c.log.row("access_request", {subject.name, entity.name, c.at(0)});
  c.label_request(subject, "access-by-vendor-day-30", P, "c164-524-b-2-i");
  const Principal roi = vendor(c, entity, "roi-vendor", {"business-associate"});
  c.record_as(P, "c164-502-a-1-i", roi, subject, subject, "individual-access", {"medical-record"},
              span_end(c, 0, tools::kDays30) - c.random.between(0, 6 * kHour));
}

// 164.524(b)(2)(i): the first second of the 31st day is late.
void access_on_day_31(Context& c) {
  const Principal& entity = c.hospital();
  const Principal subject = c.newcomer();
  c.log.row("access_request", {subject.name, entity.name, c.at(0)});
  c.label_request(subject, "access-day-31", V, "c164-524-b-2");
  c.answer(entity, subject, "individual-access", "medical-record",
           span_end(c, 0, tools::kDays30) + c.random.between(1, 6 * kHour));
}

// 164.524(b)(2)(ii): extended on day 30, answered on day 60 (in time) or
// on day 61 (late).
void access_extended(Context& c, bool late) {
  const Principal& entity = c.hospital();
  const Principal subject = c.newcomer();
  c.log.row("access_request", {subject.name, entity.name, c.at(0)});
  c.label_request(subject, late ? "access-extended-day-61" : "access-extended-day-60", late ? V : P,
                  late ? "c164-524-b-2" : "c164-524-b-2-ii");
  c.answer(entity, subject, "access-extension-notice", "general-condition",
           span_end(c, 0, tools::kDays30) - kHour);
  if (!c.room_for(1)) return;
  c.answer(entity, subject, "individual-access", "medical-record",
           span_end(c, 0, tools::kDays60) + (late ? c.random.between(1, 6 * kHour) : -kHour));
}

void access_extended_to_day_60(Context& c) { access_extended(c, false); }
void access_extended_to_day_61(Context& c) { access_extended(c, true); }

// 164.528(c)(1): the accounting on day 60 is in time, on day 61 late.
void accounting(Context& c, bool late) {
  const Principal& entity = c.hospital();
  const Principal subject = c.newcomer();
  c.log.row("accounting_request", {subject.name, entity.name, c.at(0)});
  c.label_request(subject, late ? "accounting-day-61" : "accounting-day-60", late ? V : P,
                  late ? "c164-528-c-1" : "c164-528-c-1-i");
  c.answer(entity, subject, "accounting-of-disclosures", "treatment-history",
           span_end(c, 0, tools::kDays60) + (late ? c.random.between(1, 6 * kHour) : -kHour));
}

// 164.524(c)(3)(ii): the copy goes to the person the individual designated,
// and answers the request.
void copy_to_designee(Context& c) {
  const Principal& entity = c.hospital();
  const Principal subject = c.newcomer();
  const Principal designee{printed_string("designee-" + std::to_string(++c.newcomers)), {}};
  c.log.row("access_request", {subject.name, entity.name, c.at(0)});
  c.log.row("access_directive", {subject.name, designee.name, c.at(0)});
  c.label_request(subject, "access-copy-to-designee", P, "c164-524-b-2-i");
  c.record(entity, designee, subject, "access-directive", {"medical-record"},
           c.random.between(kDay, 20 * kDay));
}

void accounting_on_day_60(Context& c) { accounting(c, false); }
void accounting_on_day_61(Context& c) { accounting(c, true); }

// --- Custody ----------------------------------------------------------------

// 164.512(k)(5)(i): "an inmate or other individual" in lawful custody; with
// no custody recorded, whether the officer holds the patient is for a
// person.
void patient_in_custody(Context& c) {
  const Principal subject = c.newcomer();
  if (c.random.chance(0.5)) {
    c.role_of_subject(subject, "in-lawful-custody");
    c.record_as(O, "c164-512-k-5-i-subj", c.hospital(), c.officer(), subject,
                "correctional-custody", {"diagnosis"});
  } else {
    c.record(c.hospital(), c.officer(), subject, "correctional-custody", {"diagnosis"});
  }
}

// --- The calendar's edges ------------------------------------------------

// 164.508(b)(2)(i): an authorisation whose expiry is a date is valid
// through that day; used on the expiry day it holds, on the next day not.
void authorisation_on_expiry_day(Context& c) {
  const Principal subject = c.newcomer();
  const Principal& sender = c.hospital();
  c.authorize(subject, sender, c.population.life_insurer, "medical-record", "underwriting",
              -60 * kDay, end_of_day(c, 0));
  c.record(sender, c.population.life_insurer, subject, "underwriting", {"diagnosis"});
}

void authorisation_day_after_expiry(Context& c) {
  const Principal subject = c.newcomer();
  const Principal& sender = c.hospital();
  c.authorize(subject, sender, c.population.life_insurer, "medical-record", "underwriting",
              -60 * kDay, end_of_day(c, -kDay));
  c.record(sender, c.population.life_insurer, subject, "underwriting", {"diagnosis"});
}

// 164.502(e), 164.504(e): a contract signed at the start of today or ending
// at its end covers today's disclosures; one that ended yesterday does not.
void contract_first_or_last_day(Context& c) {
  const Principal& entity = c.hospital();
  const Principal collector{
      printed_string("collection-agency-" + std::to_string(++c.newcomers)), {"business-associate"}};
  const std::int64_t day_end = end_of_day(c, 0);
  if (c.random.chance(0.5)) {
    c.log.row("ba_agreement", {entity.name, collector.name, c.at(day_end - kDay + 1),
                               c.at(365 * kDay)});
  } else {
    c.log.row("ba_agreement", {entity.name, collector.name, kEarly, c.at(day_end)});
  }
  c.record(entity, collector, c.newcomer(), "payment", {"billing-info"});
}

void contract_day_after(Context& c) {
  const Principal& entity = c.hospital();
  const Principal collector{
      printed_string("collection-agency-" + std::to_string(++c.newcomers)), {"business-associate"}};
  c.log.row("ba_agreement", {entity.name, collector.name, kEarly, c.at(end_of_day(c, -kDay))});
  c.record(entity, collector, c.newcomer(), "payment", {"billing-info"});
}

// 160.103, 164.502(f): information of a person deceased for more than 50
// years is no longer protected; an hour short of the 50 years it still is.
void fifty_years(Context& c, bool over) {
  const Principal subject = c.decedent();
  const std::int64_t hour = over ? -kHour : kHour;
  // Died fifty calendar years before clock + hour.
  DateFields fields;
  const std::string then = c.at(hour);
  std::sscanf(then.c_str(), "%ld:%ld:%ld:%ld:%ld:%ld", &fields.year, &fields.month, &fields.day,
              &fields.hour, &fields.minute, &fields.second);
  fields.year -= 50;
  c.log.row("deceased", {subject.name, date_to_text(date_from_fields(fields))});
  c.record_as(over ? P : V, over ? "c164-502-f" : "permitted", c.hospital(),
              c.any_of(c.population.employers), subject, "research", {"diagnosis"});
}

void fifty_years_and_an_hour(Context& c) { fifty_years(c, true); }
void an_hour_short_of_fifty_years(Context& c) { fifty_years(c, false); }

// --- Limited data sets and fundraising ---------------------------------------

// 164.514(e)(2): a limited data set keeps its clinical content but no
// direct identifier.
void limited_data_set_with_diagnoses(Context& c) {
  const Principal& entity = c.hospital();
  const Principal lab{printed_string("quality-consortium-" + std::to_string(++c.newcomers)), {}};
  c.log.row("data_use_agreement", {entity.name, lab.name, kEarly, c.at(365 * kDay)});
  c.record(entity, lab, c.patient(), "healthcare-op", {"limited-data-set", "date-of-birth", "diagnosis"});
}

void limited_data_set_with_a_name(Context& c) {
  const Principal& entity = c.hospital();
  const Principal lab{printed_string("registry-" + std::to_string(++c.newcomers)), {}};
  c.log.row("data_use_agreement", {entity.name, lab.name, kEarly, c.at(365 * kDay)});
  c.record(entity, lab, c.patient(), "healthcare-op", {"limited-data-set", "name"});
}

// 164.514(f)(2)(iv): the hospital's own letter to a patient who opted out.
void fundraising_letter_after_opt_out(Context& c) {
  const Principal subject = c.newcomer();
  const Principal& entity = c.hospital();
  c.log.row("fundraising_opt_out", {subject.name, entity.name, c.at(-10 * kDay)});
  c.record(entity, subject, subject, "fundraising", {"name"});
}

// --- The rarer government functions -------------------------------------

// 164.506(c)(5): the hospital's quality committee shares a case with its
// independent medical staff for the peer review of their joint arrangement
// (table ohca_participant, written once for every hospital).
void arrangement_peer_review(Context& c) {
  const Principal& entity = c.hospital();
  c.record(acting_for(c, entity, "quality-committee", "workforce-member"),
           medical_staff_of(entity), c.patient(), "arrangement-operations", {"diagnosis"});
}

// 164.502(g)(3): the paediatric ward tells a mother about her child; the
// minor's own consent, a confidentiality agreement and State law are for a
// person.
void parent_of_minor(Context& c) {
  const Principal child = c.newcomer();
  const Principal parent{printed_string("parent-of-" + unquoted(child.name)), {}};
  c.role_of_subject(child, "unemancipated-minor");
  c.log.row("personal_rep", {parent.name, child.name, kEarly, c.at(365 * kDay)});
  c.record(c.hospital(), parent, child, "care-involvement", {"diagnosis"});
}

// 164.510(a)(2): the admissions clerk records the patient's objection to
// the directory, or the agreement that withdraws an earlier one; the
// chaplaincy list follows (a new patient, so no other kind's rows apply).
void directory_after_objection(Context& c, bool withdrawn) {
  const Principal subject = c.newcomer();
  const Principal& entity = c.hospital();
  const char* first = withdrawn ? "objection" : "no_objection";
  const char* last = withdrawn ? "no_objection" : "objection";
  c.log.row(first, {subject.name, entity.name, "facility-directory", c.at(-5 * kDay)});
  c.log.row(last, {subject.name, entity.name, "facility-directory", c.at(-2 * kDay)});
  c.record(acting_for(c, entity, "admissions-clerk", "workforce-member"), c.population.clergy,
           subject, "facility-directory", {"religious-affiliation"});
}
void directory_objection_withdrawn(Context& c) { directory_after_objection(c, true); }
void directory_despite_objection(Context& c) { directory_after_objection(c, false); }

// 164.514(f)(2)(i): a community clinic whose notice of privacy practices
// says nothing of fundraising gives names to the hospital's foundation.
void fundraising_without_notice(Context& c) {
  const Principal clinic{printed_string("community-clinic-" + std::to_string(++c.newcomers)),
                         {"covered-entity", "health-care-provider"}};
  c.record(clinic, c.population.foundation, c.newcomer(), "fundraising", {"name"});
}

// 164.508(b)(2), (b)(4): the life insurer made the policy conditional on
// the patient's signature; the review of the form recorded it, so the
// authorisation never covered the release clerk's disclosure.
void conditioned_authorisation(Context& c) {
  const Principal& entity = c.hospital();
  const Principal subject = c.newcomer();
  const std::string signed_at = c.at(-3 * kDay);
  c.authorize(subject, entity, c.population.life_insurer, "medical-record", "underwriting",
              -3 * kDay, 300 * kDay);
  c.log.row("authorization_defect", {subject.name, entity.name, c.population.life_insurer.name,
                                     "underwriting", signed_at, "conditioned"});
  c.record(acting_for(c, entity, "release-clerk", "workforce-member"), c.population.life_insurer,
           subject, "underwriting", {"diagnosis"});
}

Principal agency(const char* name, const char* role) { return {printed_string(name), {role}}; }

// 164.512(k)(1)(ii): to Veterans Affairs on discharge.
void veterans_affairs(Context& c) {
  c.record(c.hospital(), agency("veterans-affairs", "veterans-affairs"), c.patient(),
           "veterans-eligibility", {"diagnosis"});
}

// 164.512(k)(1)(iv): about foreign military personnel to their authority.
void foreign_military(Context& c) {
  c.record(c.hospital(), agency("foreign-military-attache", "foreign-military-authority"),
           c.patient(), "foreign-military-mission", {"diagnosis"});
}

// 164.512(k)(4): whether the individual was found medically suitable, to
// the Department of State; the determination alone.
void state_department(Context& c) {
  c.record(c.hospital(), agency("state-department", "state-department"), c.patient(),
           "medical-suitability-determination", {"suitability-determination"});
}

// 164.512(k)(6)(ii): between agencies administering public benefits.
void public_benefits(Context& c) {
  c.record(agency("state-medicaid-office", "government-program-agency"),
           agency("state-benefits-office", "government-program-agency"), c.patient(),
           "public-benefit-program", {"enrollment-status"});
}

// 164.512(k)(7): the identity of a person barred from firearms to NICS.
void nics_report(Context& c) {
  c.record(c.hospital(), agency("nics-section", "nics-agency"), c.patient(), "nics-reporting",
           {"name"});
}

// 164.502(j)(2): a nurse who was assaulted reports the suspect.
void workforce_victim(Context& c) {
  const Principal& entity = c.hospital();
  c.record(acting_for(c, entity, "assaulted-nurse", "workforce-member"), c.officer(), c.patient(),
           "workforce-crime-victim-report", {"physical-description"});
}

// --- Contracts, components and plans -----------------------------------------

// 164.502(a)(3), 164.504(e)(2)(i): a billing vendor whose contract records
// payment as its purpose sends the hospital's claim to the plan.
void vendor_within_contract(Context& c) {
  const Principal& entity = c.hospital();
  const Principal biller = vendor(c, entity, "billing-vendor", {"business-associate"});
  c.log.row("ba_agreement_purpose", {entity.name, biller.name, "Payment"});
  c.record(biller, c.any_of(c.population.health_plans), c.patient(), "payment", {"billing-info"});
}

// 164.502(a)(3): the release-of-information vendor, whose contract records
// only the answers to requests for access, sends a claim.
void vendor_outside_contract(Context& c) {
  const Principal& entity = c.hospital();
  const Principal roi = vendor(c, entity, "roi-vendor", {"business-associate"});
  c.log.row("ba_agreement_purpose", {entity.name, roi.name, "individual-access"});
  c.record(roi, c.any_of(c.population.health_plans), c.patient(), "payment", {"billing-info"});
}

// 164.504(e)(4): a vendor consults its own lawyer about its contract; that
// it needs to and obtained the assurances is for a person.
void associate_administration(Context& c) {
  const Principal& entity = c.hospital();
  const Principal coder = vendor(c, entity, "coding-vendor", {"business-associate"});
  c.record(coder, c.population.attorney, c.patient(), "associate-administration", {"diagnosis"});
}

// 164.504(c)(2)(ii), (iii): a nurse who also works for the university's
// personnel office, which is no health care component, gives it a patient's
// diagnosis for a decision about the patient's job there.
void record_to_personnel_office(Context& c) {
  const Principal office{printed_string("university-personnel-office"),
                         {"non-health-care-component"}};
  c.record(acting_for(c, office, "ward-nurse", "workforce-member"), office, c.patient(),
           "employment-decision", {"diagnosis"});
}

// 164.504(f)(3)(iv): the group health plan tells the employer that sponsors
// it about an employee, for an employment decision.
void plan_to_sponsor_for_employment(Context& c) {
  const std::string message =
      c.record(c.population.group_plan, c.population.plan_sponsor, c.patient(),
               "plan-administration", {"enrollment-status"});
  c.log.purpose(message, "employment-decision", c.population.group_plan.name);
}

// 164.504(f)(3)(ii): the group health plan sends the employer that sponsors
// it claim details as if the employer were a payer.
void plan_pays_through_sponsor(Context& c) {
  c.record(c.population.group_plan, c.population.plan_sponsor, c.patient(), "payment",
           {"billing-info"});
}

// 164.512(k)(6)(i): a public plan shares enrolment with a benefits agency, as
// a statute may require or expressly authorise.
void public_plan_enrolment(Context& c) {
  c.record(agency("state-medicaid-plan", "health-plan"),
           agency("state-benefits-office", "government-program-agency"), c.patient(),
           "public-benefit-program", {"enrollment-status"});
}

// 164.514(e)(4)(ii): the data use agreement lacks a term the paragraph
// requires, so the limited data set may not go.
void limited_data_set_defective_agreement(Context& c) {
  const Principal& entity = c.hospital();
  const Principal lab{printed_string("quality-consortium-" + std::to_string(++c.newcomers)), {}};
  c.log.row("data_use_agreement", {entity.name, lab.name, kEarly, c.at(365 * kDay)});
  c.log.row("data_use_agreement_defect", {entity.name, lab.name, kEarly});
  c.record(entity, lab, c.patient(), "healthcare-op", {"limited-data-set", "date-of-birth", "diagnosis"});
}

// 164.502(a)(5)(ii)(B)(2)(iv), 164.501 "health care operations" (6)(iv):
// records that go with the sale of a hospital are no sale of information.
void records_sold_with_the_hospital(Context& c) {
  const Principal& entity = c.hospital();
  const Principal buyer{printed_string("acquiring-health-system"), {"covered-entity"}};
  const std::string message =
      c.record(entity, buyer, c.patient(), "sale-of-phi", {"billing-info"});
  c.log.purpose(message, "business-transfer", entity.name);
}

// 164.502(i), 164.520(b)(2)(i): a clinic whose notice promised no
// fundraising still gives names to the hospital's foundation.
void fundraising_the_notice_ruled_out(Context& c) {
  const Principal clinic{printed_string("community-clinic-" + std::to_string(++c.newcomers)),
                         {"covered-entity", "health-care-provider"}};
  c.log.row("notice_statement", {clinic.name, "fundraising", kEarly});
  c.log.row("notice_limitation", {clinic.name, "fundraising", kEarly});
  c.record(clinic, c.population.foundation, c.newcomer(), "fundraising", {"name"});
}

// 164.514(g): a plan that did not get the individual's insurance passes on
// what it learnt in underwriting, for a claim of another plan.
void underwriting_information_reused(Context& c) {
  const Principal& plan = c.any_of(c.population.health_plans);
  const Principal subject = c.newcomer();
  c.log.row("coverage_not_placed", {plan.name, subject.name, c.at(-10 * kDay)});
  c.record(plan, c.another_of(c.population.health_plans, plan), subject, "payment",
           {"diagnosis"});
}

// 164.502(i), 164.520(b)(1)(iii)(C): a plan's actuary prices an applicant's
// coverage, sent by the plan or by its underwriting clerk; the plan's
// notice carries the statement that genetic information is never used for
// underwriting.
void plan_underwriting_with_statement(Context& c) {
  const Principal& plan = c.any_of(c.population.health_plans);
  const Principal actuary = vendor(c, plan, "underwriting-actuary", {"business-associate"});
  const Principal sender =
      c.random.chance(0.5) ? plan : acting_for(c, plan, "underwriting-clerk", "workforce-member");
  c.record(sender, actuary, c.newcomer(), "underwriting",
           {c.one_of({"diagnosis", "treatment-history"})});
}

// 164.502(i), 164.520(b)(1)(iii)(C): a regional plan whose notice lacks the
// statement sends an applicant's diagnosis to its actuary.
void plan_underwriting_without_statement(Context& c) {
  const Principal plan{printed_string("regional-health-plan-" + std::to_string(++c.newcomers)),
                       {"health-plan", "covered-entity"}};
  c.log.row("notice_statement", {plan.name, "plan-administration", kEarly});
  c.log.row("protocol", {plan.name, "underwriting", "diagnosis"});
  c.record(plan, vendor(c, plan, "underwriting-actuary", {"business-associate"}), c.newcomer(),
           "underwriting", {"diagnosis"});
}

// 164.504(g): a system that is both a health plan and a provider bills a
// plan for care it gave; whether the disclosure serves the function it
// performs for this patient is for a person.  Its hospital, registered as a
// provider alone, bills the same way and is settled by the log.
void integrated_system_claim(Context& c) {
  c.record(c.population.integrated_system, c.any_of(c.population.health_plans), c.patient(),
           "payment", {"billing-info"});
}
void integrated_hospital_claim(Context& c) {
  c.record(c.population.integrated_hospital, c.any_of(c.population.health_plans), c.patient(),
           "payment", {"billing-info"});
}

// 164.502(h), 164.522(b): results to a patient who asked for another
// address; that they went there is for a person.
void results_after_confidential_request(Context& c) {
  const Principal& entity = c.hospital();
  const Principal subject = c.newcomer();
  c.log.row("confidential_communication", {subject.name, entity.name, c.at(-5 * kDay)});
  c.record(acting_for(c, entity, "ward-nurse", "workforce-member"), subject, subject,
           "individual-access", {"lab-result"});
}

// 164.524(a)(4), (d)(4): the reviewing official's determination on a
// denial, within 30 days of the request for review, or after.
void denial_review(Context& c, bool late) {
  const Principal& entity = c.hospital();
  const Principal subject = c.newcomer();
  c.log.row("access_review_request", {subject.name, entity.name, c.at(0)});
  c.label_request(subject, late ? "denial-review-late" : "denial-reviewed", late ? V : O,
                  late ? "c164-524-d-4" : "c164-524-d-4-subj");
  c.answer(entity, subject, "access-review-determination", "general-condition",
           late ? 31 * kDay + c.random.between(0, 6 * kHour) : c.random.between(kDay, 29 * kDay));
}
void denial_reviewed(Context& c) { denial_review(c, false); }
void denial_review_late(Context& c) { denial_review(c, true); }

} // namespace

const std::vector<Kind>& hospital_compliant_kinds() {
  static const std::vector<Kind> kinds = {
      {"staff-treatment", 300, P, "c164-506-c-2", &staff_treatment},
      {"release-clerk-authorised", 40, P, "c164-508-a-1", &clerk_authorised},
      {"staff-to-entity", 30, P, "c160-103-workforce", &staff_to_entity},
      {"vendor-returns", 40, P, "c164-502-a-3", &vendor_returns},
      {"claim-to-any-payer", 150, P, "c164-506-c-1", &claim_to_any_payer},
      {"claim-through-clearinghouse", 100, P, "c164-506-c-3", &claim_through_clearinghouse},
      {"access-by-vendor-day-30", 20, P, "c164-502-a-1-i", &access_by_vendor_on_day_30},
      {"access-extended-to-day-60", 20, P, "c164-502-a-1-i", &access_extended_to_day_60},
      {"accounting-on-day-60", 20, P, "c164-502-a-1-i", &accounting_on_day_60},
      {"access-copy-to-designee", 20, P, "c164-524-c-3-ii", &copy_to_designee},
      {"patient-in-custody", 20, O, "c164-512-k-5-i-custody-subj", &patient_in_custody},
      {"authorisation-on-expiry-day", 20, P, "c164-508-a-1", &authorisation_on_expiry_day},
      {"contract-first-or-last-day", 20, P, "c164-502-e", &contract_first_or_last_day},
      {"fifty-years-and-an-hour", 20, P, "c164-502-f", &fifty_years_and_an_hour},
      {"limited-data-set-with-diagnoses", 20, P, "c164-514-e", &limited_data_set_with_diagnoses},
      {"veterans-affairs", 5, O, "c164-512-k-1-ii-subj", &veterans_affairs},
      {"foreign-military", 5, O, "c164-512-k-1-iv-subj", &foreign_military},
      {"state-department", 5, O, "c164-512-k-4-subj", &state_department},
      {"public-benefits", 5, O, "c164-512-k-6-ii-subj", &public_benefits},
      {"nics-report", 5, O, "c164-512-k-7-subj", &nics_report},
      {"workforce-crime-victim", 5, O, "c164-502-j-2-subj", &workforce_victim},
      {"arrangement-peer-review", 20, P, "c164-506-c-5", &arrangement_peer_review},
      {"parent-of-minor", 20, O, "c164-502-g-3-subj", &parent_of_minor},
      {"directory-objection-withdrawn", 10, P, "c164-510-a", &directory_objection_withdrawn},
      {"vendor-within-contract", 10, P, "c164-506-c-3", &vendor_within_contract},
      {"associate-administration", 5, O, "c164-504-e-4-subj", &associate_administration},
      {"public-plan-enrolment", 5, O, "c164-512-k-6-i-subj", &public_plan_enrolment},
      {"records-sold-with-the-hospital", 5, P, "c164-506-c-1", &records_sold_with_the_hospital},
      {"results-after-confidential-request", 5, O, "c164-522-b-subj",
       &results_after_confidential_request},
      {"denial-reviewed", 5, P, "c164-502-a-1-i", &denial_reviewed},
      {"plan-underwriting-with-statement", 5, P, "c164-502-e", &plan_underwriting_with_statement},
      {"plan-and-provider-claim", 10, O, "c164-504-g-subj", &integrated_system_claim},
      {"provider-arm-claim", 10, P, "c164-506-c-3", &integrated_hospital_claim},
  };
  return kinds;
}

const std::vector<Kind>& hospital_violation_kinds() {
  static const std::vector<Kind> kinds = {
      {"staff-breaks-restriction", 0, V, "c164-522-a-1-ii", &staff_breaks_restriction},
      {"clerk-of-another-entity", 0, V, "c164-508-a-1", &clerk_of_another_entity},
      {"self-paid-through-clearinghouse", 0, V, "c164-522-a-1-vi", &self_paid_through_clearinghouse},
      {"access-day-31", 0, P, "c164-502-a-1-i", &access_on_day_31},
      {"access-extended-to-day-61", 0, P, "c164-502-a-1-i", &access_extended_to_day_61},
      {"accounting-on-day-61", 0, P, "c164-502-a-1-i", &accounting_on_day_61},
      {"an-hour-short-of-fifty-years", 0, V, "permitted", &an_hour_short_of_fifty_years},
      {"authorisation-day-after-expiry", 0, V, "c164-508-a-1", &authorisation_day_after_expiry},
      {"contract-day-after", 0, V, "c164-502-e", &contract_day_after},
      {"limited-data-set-with-a-name", 0, V, "c164-514-e-2", &limited_data_set_with_a_name},
      {"fundraising-letter-after-opt-out", 0, V, "c164-514-f-2-iv",
       &fundraising_letter_after_opt_out},
      {"directory-despite-objection", 0, V, "c164-510-a", &directory_despite_objection},
      {"fundraising-without-notice", 0, V, "c164-514-f-2-i", &fundraising_without_notice},
      {"conditioned-authorisation", 0, V, "c164-508-a-1", &conditioned_authorisation},
      {"vendor-outside-contract", 0, V, "c164-502-a-3-scope", &vendor_outside_contract},
      {"record-to-personnel-office", 0, V, "c164-504-c-2", &record_to_personnel_office},
      {"plan-to-sponsor-for-employment", 0, V, "c164-504-f-3-iv", &plan_to_sponsor_for_employment},
      {"plan-pays-through-sponsor", 0, V, "c164-504-f-3-ii", &plan_pays_through_sponsor},
      {"limited-data-set-defective-agreement", 0, V, "c164-514-e-4-ii",
       &limited_data_set_defective_agreement},
      {"fundraising-the-notice-ruled-out", 0, V, "c164-502-i", &fundraising_the_notice_ruled_out},
      {"underwriting-information-reused", 0, V, "c164-514-g", &underwriting_information_reused},
      {"denial-review-late", 0, P, "c164-502-a-1-i", &denial_review_late},
      {"plan-underwriting-without-statement", 0, V, "c164-520-b-1-iii-C",
       &plan_underwriting_without_statement},
  };
  return kinds;
}

} // namespace hipaa::loggen

#include "generator.hpp"

#include "population.hpp"
#include "random.hpp"
#include "reference_rows.hpp"

#include <algorithm>
#include <cstdio>
#include <initializer_list>
#include <string>
#include <vector>

namespace hipaa::loggen {

const char* verdict_name(Verdict verdict) {
  switch (verdict) {
  case Verdict::Permitted: return "permitted";
  case Verdict::Violation: return "violation";
  case Verdict::Open: return "open";
  }
  return "?";
}

namespace {

constexpr std::int64_t kSecond = 1;
constexpr std::int64_t kHour = 3600;
constexpr std::int64_t kDay = 86400;
// 2010-01-04 12:00 UTC: the log starts here and advances 10 to 110 seconds
// per disclosure, so a million disclosures span about two years.
constexpr std::int64_t kLogStart = 1262606400;
// 1950-01-01: the death of the individuals whose information is no longer
// protected (164.502(f)).
constexpr std::int64_t kLongAgo = -631152000;
constexpr std::int64_t kProgressEvery = 100000;
const char* const kEarly = "2009:01:01:00:00:00"; // before every disclosure

constexpr Verdict P = Verdict::Permitted;
constexpr Verdict V = Verdict::Violation;
constexpr Verdict O = Verdict::Open;

class Generator;

struct Kind {
  const char* name;
  int weight; // per ten thousand compliant disclosures; 0 for violations
  Verdict verdict;
  const char* clause;
  void (Generator::*emit)();
};

class Generator {
public:
  Generator(const Settings& settings, LogWriter& log, const LabelSink& labels)
      : settings_(settings), log_(log), labels_(labels), random_(settings.seed),
        population_(settings.disclosures) {}

  void run(const Progress& progress) {
    write_attribute_inclusions(log_);
    write_protocols(log_, population_);
    write_business_associate_contracts(log_, population_);
    std::int64_t next_report = kProgressEvery;
    while (log_.disclosures_written() < settings_.disclosures) {
      clock_ += random_.between(10, 110);
      kind_ = &choose_kind();
      (this->*kind_->emit)();
      if (progress && log_.disclosures_written() >= next_report) {
        progress(log_.disclosures_written());
        next_report += kProgressEvery;
      }
    }
    finish();
  }

  static const std::vector<Kind>& compliant_kinds();
  static const std::vector<Kind>& violation_kinds();

private:
  const Kind& choose_kind() {
    if (random_.chance(settings_.violations)) {
      return violation_kinds()[random_.below(violation_kinds().size())];
    }
    static const int total = [] {
      int sum = 0;
      for (const Kind& kind : compliant_kinds()) sum += kind.weight;
      return sum;
    }();
    int pick = static_cast<int>(random_.below(total));
    for (const Kind& kind : compliant_kinds()) {
      if (pick < kind.weight) return kind;
      pick -= kind.weight;
    }
    return compliant_kinds().front();
  }

  // The log is complete up to its latest disclosure.  A few requests
  // arrive on its last day: their deadlines fall after it, still open.
  void finish() {
    if (log_.disclosures_written() > 0) {
      const std::int64_t last_day = latest_ - kHour;
      const Principal access = newcomer();
      log_.row("access_request", {access.name, hospital().name, printed_date(last_day)});
      label_request("access-not-yet-due", O, "c164-524-b-2-wait");
      const Principal accounting = newcomer();
      log_.row("accounting_request", {accounting.name, hospital().name, printed_date(last_day)});
      label_request("accounting-not-yet-due", O, "c164-528-c-1-wait");
    }
    log_.row("audit_end", {printed_date(std::max(latest_, kLogStart))});
  }

  // -- Helpers ------------------------------------------------------------

  bool room_for_another() const { return log_.disclosures_written() < settings_.disclosures; }

  const Principal& any_of(const std::vector<Principal>& group) {
    return group[random_.below(group.size())];
  }

  // A member of `group` other than `other`.
  const Principal& another_of(const std::vector<Principal>& group, const Principal& other) {
    const Principal* pick = &any_of(group);
    while (pick->name == other.name) pick = &any_of(group);
    return *pick;
  }

  const Principal& hospital() { return any_of(population_.hospitals); }
  const Principal& doctor() { return any_of(population_.doctors); }
  const Principal& officer() { return any_of(population_.officers); }
  Principal patient() {
    return Population::patient(1 + static_cast<std::int64_t>(random_.below(population_.patient_count)));
  }
  Principal newcomer() { return Population::newcomer(++newcomers_); }
  Principal decedent() { return Population::decedent(++decedents_); }

  std::string at(std::int64_t offset) const { return printed_date(clock_ + offset); }

  const char* one_of(std::initializer_list<const char*> choices) {
    return choices.begin()[random_.below(choices.size())];
  }

  const char* clinical_attribute() {
    return one_of({"diagnosis", "prescription", "lab-result", "treatment-history"});
  }

  // One disclosure at clock_ + offset: the disclose row, its purpose, the
  // attributes of the individual it carries, and the roles of both parties
  // at its time.  Labelled with the current kind unless told otherwise.
  std::string record(const Principal& sender, const Principal& recipient, const Principal& subject,
                     const char* purpose, std::initializer_list<const char*> attributes,
                     std::int64_t offset = 0) {
    return record_as(kind_->verdict, kind_->clause, sender, recipient, subject, purpose, attributes,
                     offset);
  }

  std::string record_as(Verdict verdict, const char* clause, const Principal& sender,
                        const Principal& recipient, const Principal& subject, const char* purpose,
                        std::initializer_list<const char*> attributes, std::int64_t offset = 0) {
    char id[32];
    std::snprintf(id, sizeof id, "msg-%09lld", static_cast<long long>(++messages_));
    const std::string message = printed_string(id);
    const std::int64_t when = clock_ + offset;
    const std::string time = printed_date(when);
    latest_ = std::max(latest_, when);
    log_.disclose(sender.name, recipient.name, message, time);
    log_.purpose(message, purpose, sender.name);
    for (const char* attribute : attributes) log_.has_attribute(message, subject.name, attribute, time);
    for (const std::string& role : sender.roles) log_.role(sender.name, role, time);
    for (const std::string& role : recipient.roles) log_.role(recipient.name, role, time);
    if (labels_) labels_({id, kind_->name, verdict, clause});
    return message;
  }

  // A message to the individual that answers a request or gives a notice:
  // permitted as a disclosure to the individual.
  void answer(const Principal& entity, const Principal& subject, const char* purpose,
              const char* attribute, std::int64_t offset) {
    record_as(P, "c164-502-a-1-i", entity, subject, subject, purpose, {attribute}, offset);
  }

  void label_request(const char* kind, Verdict verdict, const char* clause) {
    if (labels_) labels_({"request-" + std::to_string(++requests_), kind, verdict, clause});
  }

  void role_of_subject(const Principal& subject, const char* role) {
    log_.role(subject.name, role, at(0));
  }

  void authorize(const Principal& subject, const Principal& sender, const Principal& recipient,
                 const char* attribute, const char* purpose, std::int64_t signed_offset,
                 std::int64_t expiry_offset) {
    log_.row("authorization", {subject.name, sender.name, recipient.name, attribute, purpose,
                               at(signed_offset), at(expiry_offset)});
  }

  void authorize_now(const Principal& subject, const Principal& sender, const Principal& recipient,
                     const char* attribute, const char* purpose) {
    authorize(subject, sender, recipient, attribute, purpose, -random_.between(kDay, 30 * kDay),
              random_.between(30 * kDay, 365 * kDay));
  }

  void verified(const Principal& entity, const Principal& requester) {
    log_.row("verification", {entity.name, requester.name, at(-random_.between(kHour, 10 * kDay))});
  }

  void deceased(const Principal& subject, std::int64_t before) {
    log_.row("deceased", {subject.name, at(-before)});
  }

  // -- Permitted, or left open for a judgement ----------------------------

  void treatment() {
    const Principal& sender = random_.chance(0.8) ? doctor() : hospital();
    const Principal& recipient = random_.chance(0.8) ? another_of(population_.doctors, sender)
                                                     : another_of(population_.hospitals, sender);
    if (random_.chance(0.3)) {
      record(sender, recipient, patient(), "treatment", {clinical_attribute(), "name"});
    } else {
      record(sender, recipient, patient(), "treatment", {clinical_attribute()});
    }
  }

  void payment() {
    record(hospital(), any_of(population_.health_plans), patient(), "payment",
           {one_of({"billing-info", "insurance-id"})});
  }

  void operations() {
    const Principal& sender = hospital();
    const Principal& recipient = another_of(population_.hospitals, sender);
    const Principal subject = patient();
    log_.row("relationship", {subject.name, sender.name, at(-200 * kDay)});
    log_.row("relationship", {subject.name, recipient.name, at(-100 * kDay)});
    record(sender, recipient, subject, "healthcare-op-para-1-2",
           {one_of({"diagnosis", "treatment-history"})});
  }

  void fraud_detection() {
    const Principal& sender = hospital();
    const Principal& recipient = any_of(population_.health_plans);
    const Principal subject = patient();
    log_.row("relationship", {subject.name, sender.name, at(-200 * kDay)});
    log_.row("relationship", {subject.name, recipient.name, at(-100 * kDay)});
    record(sender, recipient, subject, "fraud-abuse-detection", {"billing-info"});
  }

  void business_associate() {
    const Principal& associate = any_of(population_.associates);
    if (random_.chance(0.6)) {
      record(hospital(), associate, patient(), "payment", {"billing-info"});
    } else {
      record(hospital(), associate, patient(), "healthcare-op", {"diagnosis"});
    }
  }

  // 164.524: granted within 30 days, extended in writing and granted within
  // 60, or denied in writing.
  void access_request() {
    const Principal subject = newcomer();
    const Principal& entity = hospital();
    log_.row("access_request", {subject.name, entity.name, at(0)});
    std::uint64_t outcome = random_.below(10);
    if (outcome < 7) {
      label_request("access-granted", P, "c164-524-b-2-i");
      answer(entity, subject, "individual-access", "medical-record",
             random_.between(2 * kHour, 29 * kDay));
    } else if (outcome < 9) {
      label_request("access-extended", P, "c164-524-b-2-ii");
      answer(entity, subject, "access-extension-notice", "general-condition",
             random_.between(20 * kDay, 29 * kDay));
      answer(entity, subject, "individual-access", "medical-record",
             random_.between(31 * kDay, 59 * kDay));
    } else {
      label_request("access-denied", O, "c164-524-a-2-subj");
      answer(entity, subject, "access-denial", "general-condition",
             random_.between(2 * kHour, 29 * kDay));
    }
  }

  // 164.528: the accounting within 60 days, or extended and within 90.
  void accounting_request() {
    const Principal subject = newcomer();
    const Principal& entity = hospital();
    log_.row("accounting_request", {subject.name, entity.name, at(0)});
    if (random_.chance(0.8)) {
      label_request("accounting-given", P, "c164-528-c-1-i");
      answer(entity, subject, "accounting-of-disclosures", "treatment-history",
             random_.between(kDay, 59 * kDay));
    } else {
      label_request("accounting-extended", P, "c164-528-c-1-ii");
      answer(entity, subject, "accounting-extension-notice", "general-condition",
             random_.between(40 * kDay, 59 * kDay));
      answer(entity, subject, "accounting-of-disclosures", "treatment-history",
             random_.between(61 * kDay, 89 * kDay));
    }
  }

  void access_directive() {
    const Principal subject = newcomer();
    const Principal& designee = any_of(population_.doctors);
    log_.row("access_directive", {subject.name, designee.name, at(-random_.between(kDay, 20 * kDay))});
    record(hospital(), designee, subject, "access-directive", {"medical-record"});
  }

  void personal_representative() {
    const std::int64_t index = 1 + static_cast<std::int64_t>(random_.below(population_.patient_count));
    const Principal relative = Population::relative_of(index);
    log_.row("personal_rep", {relative.name, Population::patient(index).name, kEarly,
                              at(random_.between(30 * kDay, 3650 * kDay))});
    record(doctor(), relative, Population::patient(index), "care-involvement", {"diagnosis"});
  }

  // An authorisation for the whole record covers the diagnosis in it.
  void authorized_record() {
    const Principal subject = newcomer();
    const Principal& sender = hospital();
    authorize_now(subject, sender, population_.life_insurer, "medical-record", "underwriting");
    record(sender, population_.life_insurer, subject, "underwriting",
           {one_of({"diagnosis", "genetic-information"})});
  }

  void psychotherapy_authorized() {
    const Principal subject = newcomer();
    const Principal& sender = doctor();
    const Principal& recipient = another_of(population_.doctors, sender);
    authorize_now(subject, sender, recipient, "psychotherapy-notes", "treatment");
    record(sender, recipient, subject, "treatment", {"psychotherapy-notes"});
  }

  void marketing_authorized() {
    const Principal subject = newcomer();
    const Principal& sender = hospital();
    const Principal& firm = any_of(population_.marketing_firms);
    authorize_now(subject, sender, firm, "demographics", "marketing");
    record(sender, firm, subject, "marketing", {"name", "address"});
  }

  void marketing_face_to_face() {
    const Principal subject = patient();
    record(hospital(), subject, subject, "marketing", {"name"});
  }

  void sale_authorized() {
    const Principal subject = newcomer();
    const Principal& sender = hospital();
    const Principal& buyer = any_of(population_.researchers);
    authorize_now(subject, sender, buyer, "lab-result", "sale-of-phi");
    record(sender, buyer, subject, "sale-of-phi", {"lab-result"});
  }

  void revoked_authorization() {
    const Principal subject = newcomer();
    const Principal& sender = hospital();
    authorize_now(subject, sender, population_.life_insurer, "diagnosis", "underwriting");
    log_.row("revocation", {subject.name, sender.name, population_.life_insurer.name, "underwriting",
                            at(-random_.between(kHour, 5 * kDay))});
    record(sender, population_.life_insurer, subject, "underwriting", {"diagnosis"});
  }

  void secretary() {
    record(hospital(), population_.secretary, patient(), "compliance-investigation",
           {"medical-record"});
  }

  void whistleblower() {
    record(doctor(), random_.chance(0.5) ? population_.accreditation : population_.attorney,
           patient(), "whistleblowing", {"billing-info"});
  }

  void plan_sponsor() {
    record(population_.group_plan, population_.plan_sponsor, patient(), "plan-administration",
           {"billing-info"});
  }

  void summary_to_sponsor() {
    record(population_.group_plan, population_.plan_sponsor, patient(),
           "premium-bids-or-plan-change", {"summary-health-information"});
  }

  void enrollment_to_sponsor() {
    record(population_.group_plan, population_.plan_sponsor, patient(), "plan-administration",
           {"enrollment-status"});
  }

  // 164.510(a): religion to the chaplain, the patient having been told.
  void directory() {
    const Principal subject = patient();
    const Principal& entity = hospital();
    log_.row("no_objection", {subject.name, entity.name, "facility-directory",
                              at(-random_.between(kHour, 10 * kDay))});
    record(entity, population_.clergy, subject, "facility-directory",
           {one_of({"religious-affiliation", "name", "location-in-facility"})});
  }

  // 164.510(b): to a relative, the patient having had the chance to object.
  void care_involvement() {
    const std::int64_t index = 1 + static_cast<std::int64_t>(random_.below(population_.patient_count));
    const Principal subject = Population::patient(index);
    const Principal& sender = doctor();
    log_.row("no_objection", {subject.name, sender.name, "care-involvement",
                              at(-random_.between(kHour, 10 * kDay))});
    record(sender, Population::relative_of(index), subject, "care-involvement",
           {"general-condition"});
  }

  // No record of an opportunity to object: the entity's inference or its
  // judgement in an emergency remain to be confirmed.
  void care_without_objection_record() {
    const Principal subject = newcomer();
    record(doctor(), Principal{printed_string("friend-of-" + subject.name.substr(1, subject.name.size() - 2)),
                               {"close-friend"}},
           subject, "care-involvement", {"general-condition"});
  }

  void notification() {
    const std::int64_t index = 1 + static_cast<std::int64_t>(random_.below(population_.patient_count));
    const Principal subject = Population::patient(index);
    const Principal& entity = hospital();
    log_.row("no_objection", {subject.name, entity.name, "care-involvement",
                              at(-random_.between(kHour, 10 * kDay))});
    record(entity, Population::relative_of(index), subject, "notification",
           {"location-in-facility"});
  }

  void disaster_relief() {
    record(hospital(), population_.disaster_relief, patient(), "disaster-relief",
           {one_of({"location-in-facility", "general-condition"})});
  }

  void required_by_law() {
    record(hospital(), officer(), patient(), "required-by-law", {"diagnosis"});
  }

  void public_health() {
    record(hospital(), population_.public_health, patient(), "public-health", {"lab-result"});
  }

  void child_abuse_report() {
    record(hospital(), population_.social_services, patient(), "child-abuse-report", {"diagnosis"});
  }

  void fda_report() {
    record(hospital(), population_.device_maker, patient(), "fda-reporting", {"lab-result"});
  }

  void communicable_disease() {
    const Principal subject = patient();
    record(hospital(), Population::relative_of(1), subject, "communicable-disease-notification",
           {"diagnosis"});
  }

  void workplace_surveillance() {
    record(doctor(), any_of(population_.employers), patient(), "workplace-surveillance",
           {"diagnosis"});
  }

  void school_immunization() {
    record(doctor(), population_.school, patient(), "school-immunization", {"immunization-record"});
  }

  // 164.512(c): a report of abuse and the prompt notice to the patient
  // (given in 9 cases in 10, within four days either side of the report).
  void abuse_report() {
    const Principal& sender = doctor();
    const Principal subject = newcomer();
    record(sender, population_.social_services, subject, "abuse-neglect-report", {"diagnosis"});
    if (!room_for_another() || random_.chance(0.1)) return;
    answer(sender, subject, "abuse-report-notice", "general-condition",
           random_.between(-4 * kDay, 4 * kDay));
  }

  void oversight() {
    const Principal& entity = hospital();
    verified(entity, population_.oversight_agency);
    record(entity, population_.oversight_agency, patient(), "health-oversight", {"billing-info"});
  }

  void judicial() {
    const Principal& entity = hospital();
    verified(entity, population_.court);
    record(entity, population_.court, patient(), "judicial-proceeding", {"diagnosis"});
  }

  void law_enforcement_court_order() {
    const Principal& entity = hospital();
    const Principal& official = officer();
    verified(entity, official);
    record(entity, official, patient(), "law-enforcement-court-order", {"diagnosis"});
  }

  void identification_request() {
    const Principal& entity = hospital();
    const Principal& official = officer();
    verified(entity, official);
    record(entity, official, patient(), "law-enforcement-relevant-id-or-location",
           {one_of({"name", "address", "ssn", "blood-type", "physical-description"})});
  }

  void crime_victim() {
    const Principal& entity = hospital();
    const Principal& official = officer();
    verified(entity, official);
    record(entity, official, patient(), "crime-victim-information", {"injury-type"});
  }

  void suspicious_death() {
    const Principal subject = decedent();
    deceased(subject, random_.between(kHour, 3 * kDay));
    record(hospital(), officer(), subject, "suspicious-death-notification", {"death-date"});
  }

  void crime_on_premises() {
    record(hospital(), officer(), patient(), "report-possible-crime-on-premises",
           {"physical-description"});
  }

  void emergency_off_premises() {
    record(doctor(), officer(), patient(), "alert-of-crime-commission-location-victims-perpetrator",
           {"injury-type"});
  }

  void coroner() {
    const Principal subject = decedent();
    deceased(subject, random_.between(kHour, 3 * kDay));
    record(hospital(), population_.coroner, subject, "decedent-identification",
           {one_of({"name", "physical-description"})});
  }

  // After the death, or in reasonable anticipation of it.
  void funeral() {
    const Principal subject = decedent();
    if (random_.chance(0.5)) {
      deceased(subject, random_.between(kHour, 3 * kDay));
      record(hospital(), population_.funeral_home, subject, "funeral-arrangements", {"name"});
    } else {
      record_as(O, "c164-512-g-2-subj", hospital(), population_.funeral_home, subject,
                "funeral-arrangements", {"name"});
    }
  }

  void organ_donation() {
    record(hospital(), population_.organ_bank, patient(), "organ-donation", {"lab-result"});
  }

  void research_waiver() {
    const Principal& entity = hospital();
    const Principal& lab = any_of(population_.researchers);
    verified(entity, lab);
    record(entity, lab, patient(), "research", {"lab-result"});
  }

  void research_preparatory() {
    const Principal& entity = hospital();
    const Principal& lab = any_of(population_.researchers);
    verified(entity, lab);
    record(entity, lab, patient(), "research-preparatory", {"diagnosis"});
  }

  void research_decedents() {
    const Principal& entity = hospital();
    const Principal& lab = any_of(population_.researchers);
    const Principal subject = decedent();
    deceased(subject, random_.between(30 * kDay, 3650 * kDay));
    verified(entity, lab);
    record(entity, lab, subject, "research", {"diagnosis"});
  }

  void limited_data_set() {
    const Principal& entity = hospital();
    const Principal& lab = any_of(population_.researchers);
    log_.row("data_use_agreement", {entity.name, lab.name, kEarly, at(365 * kDay)});
    record(entity, lab, patient(), "research", {"date-of-birth"});
  }

  void serious_threat() {
    record(doctor(), officer(), patient(), "serious-threat-prevention", {"diagnosis"});
  }

  void apprehension() {
    record(hospital(), officer(), patient(), "apprehension-of-individual", {"name"});
  }

  void military() {
    const Principal subject = newcomer();
    role_of_subject(subject, "armed-forces-member");
    record(hospital(), population_.military_command, subject, "military-mission", {"diagnosis"});
  }

  void national_security() {
    const Principal& entity = hospital();
    verified(entity, population_.federal_official);
    record(entity, population_.federal_official, patient(), "national-security", {"diagnosis"});
  }

  void protective_services() {
    const Principal& entity = hospital();
    verified(entity, population_.federal_official);
    record(entity, population_.federal_official, patient(), "protective-services", {"diagnosis"});
  }

  void custody() {
    const Principal subject = newcomer();
    role_of_subject(subject, "inmate");
    record(hospital(), population_.prison, subject, "correctional-custody", {"diagnosis"});
  }

  void workers_compensation() {
    record(hospital(), population_.workers_comp, patient(), "workers-compensation", {"diagnosis"});
  }

  void fundraising() {
    record(hospital(), population_.foundation, patient(), "fundraising",
           {one_of({"name", "address", "department-of-service"})});
  }

  void de_identified_by_expert() {
    const Principal& entity = hospital();
    const std::string message =
        record(entity, any_of(population_.researchers), patient(), "research", {"de-identified"});
    log_.row("deidentification", {message, "expert-determination", at(-kDay)});
  }

  void de_identified_safe_harbor() {
    const Principal& entity = hospital();
    const std::string message =
        record(entity, population_.public_health, patient(), "public-health", {"de-identified"});
    log_.row("deidentification", {message, "safe-harbor", at(-kDay)});
  }

  void long_dead() {
    const Principal subject = decedent();
    log_.row("deceased", {subject.name, printed_date(kLongAgo)});
    record(hospital(), any_of(population_.researchers), subject, "research",
           {one_of({"psychotherapy-notes", "diagnosis"})});
  }

  // A restriction does not stop disclosures for public health.
  void restriction_and_public_health() {
    const Principal subject = newcomer();
    const Principal& entity = hospital();
    log_.row("restriction", {subject.name, entity.name, "medical-record", at(-30 * kDay), at(365 * kDay)});
    record(entity, population_.public_health, subject, "public-health", {"lab-result"});
  }

  // -- Violations ---------------------------------------------------------

  void treatment_to_employer() {
    record(doctor(), any_of(population_.employers), newcomer(), "treatment", {"diagnosis"});
  }

  void phi_to_employer() {
    record(doctor(), any_of(population_.employers), newcomer(), "treatment", {"phi"});
  }

  // Through a marketing firm under contract, which is no exception.
  void marketing_unauthorized() {
    record(hospital(), any_of(population_.marketing_firms), newcomer(), "marketing", {"name"});
  }

  void psychotherapy_unauthorized() {
    const Principal& sender = doctor();
    record(sender, another_of(population_.doctors, sender), newcomer(), "treatment",
           {"psychotherapy-notes"});
  }

  void genetic_underwriting_by_plan() {
    const Principal subject = newcomer();
    const Principal& plan = any_of(population_.health_plans);
    authorize_now(subject, plan, population_.life_insurer, "genetic-information", "underwriting");
    record(plan, population_.life_insurer, subject, "underwriting", {"genetic-information"});
  }

  void authorization_expired() {
    const Principal subject = newcomer();
    const Principal& sender = hospital();
    authorize(subject, sender, population_.life_insurer, "diagnosis", "underwriting", -60 * kDay,
              -kSecond);
    record(sender, population_.life_insurer, subject, "underwriting", {"diagnosis"});
  }

  void authorization_not_yet_signed() {
    const Principal subject = newcomer();
    const Principal& sender = hospital();
    authorize(subject, sender, population_.life_insurer, "diagnosis", "underwriting", kSecond,
              365 * kDay);
    record(sender, population_.life_insurer, subject, "underwriting", {"diagnosis"});
  }

  void associate_contract_ended() {
    const Principal& entity = hospital();
    // A collector of its own, so that no later contract covers it.
    const Principal collector{printed_string("collection-agency-" + std::to_string(++newcomers_)),
                              {"business-associate"}};
    log_.row("ba_agreement", {entity.name, collector.name, kEarly, at(-kDay)});
    record(entity, collector, newcomer(), "payment", {"billing-info"});
  }

  void relationship_missing() {
    const Principal& sender = hospital();
    const Principal subject = newcomer();
    log_.row("relationship", {subject.name, sender.name, at(-200 * kDay)});
    record(sender, another_of(population_.hospitals, sender), subject, "healthcare-op-para-1-2",
           {"diagnosis"});
  }

  void law_enforcement_to_non_official() {
    record(hospital(), any_of(population_.employers), newcomer(), "report-possible-crime-on-premises",
           {"physical-description"});
  }

  void identification_outside_the_list() {
    const Principal& entity = hospital();
    const Principal& official = officer();
    verified(entity, official);
    record(entity, official, newcomer(), "law-enforcement-relevant-id-or-location",
           {one_of({"insurance-id", "diagnosis"})});
  }

  void restriction_broken() {
    const Principal subject = newcomer();
    const Principal& entity = hospital();
    log_.row("restriction", {subject.name, entity.name, "medical-record", at(-30 * kDay), at(365 * kDay)});
    record(entity, any_of(population_.health_plans), subject, "payment", {"diagnosis"});
  }

  void self_pay_broken() {
    const Principal subject = newcomer();
    const Principal& entity = hospital();
    log_.row("self_pay_restriction", {subject.name, entity.name, "billing-info", at(-20 * kDay)});
    record(entity, any_of(population_.health_plans), subject, "payment", {"billing-info"});
  }

  void access_late() {
    const Principal subject = newcomer();
    const Principal& entity = hospital();
    log_.row("access_request", {subject.name, entity.name, at(0)});
    label_request("access-late", V, "c164-524-b-2");
    answer(entity, subject, "individual-access", "medical-record",
           random_.between(30 * kDay + kSecond, 60 * kDay));
  }

  // Never answered; a disclosure follows so that the log runs on.
  void access_never_answered() {
    const Principal subject = newcomer();
    const Principal& entity = hospital();
    log_.row("access_request", {subject.name, entity.name, at(-40 * kDay)});
    label_request("access-never-answered", V, "c164-524-b-2");
    record_as(P, "c164-506-c-2", entity, another_of(population_.hospitals, entity), subject,
              "treatment", {"diagnosis"});
  }

  void accounting_late() {
    const Principal subject = newcomer();
    const Principal& entity = hospital();
    log_.row("accounting_request", {subject.name, entity.name, at(0)});
    label_request("accounting-late", V, "c164-528-c-1");
    answer(entity, subject, "accounting-of-disclosures", "treatment-history",
           random_.between(60 * kDay + kSecond, 80 * kDay));
  }

  void sale_unauthorized() {
    record(hospital(), any_of(population_.associates), newcomer(), "sale-of-phi", {"billing-info"});
  }

  void fundraising_after_opt_out() {
    const Principal subject = newcomer();
    const Principal& entity = hospital();
    log_.row("fundraising_opt_out", {subject.name, entity.name, at(-10 * kDay)});
    record(entity, population_.foundation, subject, "fundraising", {"name"});
  }

  void disaster_relief_diagnosis() {
    record(hospital(), population_.disaster_relief, newcomer(), "disaster-relief", {"diagnosis"});
  }

  void de_identified_undocumented() {
    record(hospital(), any_of(population_.employers), newcomer(), "research", {"de-identified"});
  }

  void religion_to_a_visitor() {
    const Principal subject = newcomer();
    const Principal& entity = hospital();
    log_.row("no_objection", {subject.name, entity.name, "facility-directory", at(-kDay)});
    record(entity, any_of(population_.employers), subject, "facility-directory",
           {"religious-affiliation"});
  }

  void coroner_about_the_living() {
    record(hospital(), population_.coroner, newcomer(), "decedent-identification", {"name"});
  }

  const Settings& settings_;
  LogWriter& log_;
  const LabelSink& labels_;
  Random random_;
  Population population_;
  const Kind* kind_ = nullptr;
  std::int64_t clock_ = kLogStart;
  std::int64_t latest_ = 0;
  std::int64_t messages_ = 0;
  std::int64_t decedents_ = 0;
  std::int64_t newcomers_ = 0;
  std::int64_t requests_ = 0;
};

// The generated mix: mostly treatment, payment and operations, then every
// other permission of the policy, each with the clause that permits it or
// whose judgement it leaves open.
const std::vector<Kind>& Generator::compliant_kinds() {
  static const std::vector<Kind> kinds = {
      {"treatment", 5000, P, "c164-506-c-2", &Generator::treatment},
      {"payment", 1400, P, "c164-506-c-3", &Generator::payment},
      {"operations", 500, P, "c164-506-c-4", &Generator::operations},
      {"fraud-detection", 40, P, "c164-506-c-4", &Generator::fraud_detection},
      {"business-associate", 400, P, "c164-502-e", &Generator::business_associate},
      {"access-request", 200, P, "c164-502-a-1-i", &Generator::access_request},
      {"accounting-request", 50, P, "c164-502-a-1-i", &Generator::accounting_request},
      {"access-directive", 20, P, "c164-524-c-3-ii", &Generator::access_directive},
      {"personal-representative", 30, O, "c164-502-g-2-subj", &Generator::personal_representative},
      {"authorized-record", 40, P, "c164-508-a-1", &Generator::authorized_record},
      {"psychotherapy-authorized", 60, P, "c164-508-a-1", &Generator::psychotherapy_authorized},
      {"marketing-authorized", 30, P, "c164-508-a-1", &Generator::marketing_authorized},
      {"marketing-face-to-face", 10, O, "c164-508-a-3-i-subj", &Generator::marketing_face_to_face},
      {"sale-authorized", 10, P, "c164-508-a-1", &Generator::sale_authorized},
      {"authorization-revoked", 10, O, "c164-508-b-5-i-subj", &Generator::revoked_authorization},
      {"secretary", 10, P, "c164-502-a-2-ii", &Generator::secretary},
      {"whistleblower", 5, O, "c164-502-j-1-subj", &Generator::whistleblower},
      {"plan-sponsor", 10, O, "c164-504-f-2-subj", &Generator::plan_sponsor},
      {"summary-to-sponsor", 10, P, "c164-504-f-1-ii", &Generator::summary_to_sponsor},
      {"enrollment-to-sponsor", 10, P, "c164-504-f-1-iii", &Generator::enrollment_to_sponsor},
      {"facility-directory", 40, P, "c164-510-a", &Generator::directory},
      {"care-involvement", 100, O, "c164-510-b-1-i-subj", &Generator::care_involvement},
      {"care-without-objection-record", 30, O, "c164-510-b-2-iii-subj",
       &Generator::care_without_objection_record},
      {"notification", 30, P, "c164-510-b-1-ii", &Generator::notification},
      {"disaster-relief", 10, O, "c164-510-b-4-subj", &Generator::disaster_relief},
      {"required-by-law", 150, O, "c164-512-a-1-subj", &Generator::required_by_law},
      {"public-health", 150, P, "c164-512-b-1-i", &Generator::public_health},
      {"child-abuse-report", 20, P, "c164-512-b-1-ii", &Generator::child_abuse_report},
      {"fda-report", 10, O, "c164-512-b-1-iii-subj", &Generator::fda_report},
      {"communicable-disease", 10, O, "c164-512-b-1-iv-subj", &Generator::communicable_disease},
      {"workplace-surveillance", 10, O, "c164-512-b-1-v-subj", &Generator::workplace_surveillance},
      {"school-immunization", 10, O, "c164-512-b-1-vi-C-subj", &Generator::school_immunization},
      {"abuse-report", 60, O, "c164-512-c-1-subj", &Generator::abuse_report},
      {"oversight", 60, O, "c164-512-d-2-subj", &Generator::oversight},
      {"judicial-proceeding", 20, O, "c164-512-e-1-i-subj", &Generator::judicial},
      {"law-enforcement-court-order", 20, O, "c164-512-f-1-ii-subj",
       &Generator::law_enforcement_court_order},
      {"identification-request", 20, O, "c164-512-f-2-subj", &Generator::identification_request},
      {"crime-victim", 10, O, "c164-512-f-3-subj", &Generator::crime_victim},
      {"suspicious-death", 10, O, "c164-512-f-4-subj", &Generator::suspicious_death},
      {"crime-on-premises", 40, O, "c164-512-f-5-subj", &Generator::crime_on_premises},
      {"emergency-off-premises", 10, O, "c164-512-f-6-i-subj", &Generator::emergency_off_premises},
      {"coroner", 30, P, "c164-512-g-1", &Generator::coroner},
      {"funeral-director", 10, P, "c164-512-g-2", &Generator::funeral},
      {"organ-donation", 30, P, "c164-512-h", &Generator::organ_donation},
      {"research-waiver", 30, O, "c164-512-i-1-i-subj", &Generator::research_waiver},
      {"research-preparatory", 10, O, "c164-512-i-1-ii-subj", &Generator::research_preparatory},
      {"research-decedents", 10, O, "c164-512-i-1-iii-subj", &Generator::research_decedents},
      {"limited-data-set", 20, P, "c164-514-e", &Generator::limited_data_set},
      {"serious-threat", 60, O, "c164-512-j-1-i-subj", &Generator::serious_threat},
      {"apprehension", 10, O, "c164-512-j-1-ii-subj", &Generator::apprehension},
      {"military-mission", 10, O, "c164-512-k-1-i-subj", &Generator::military},
      {"national-security", 5, O, "c164-512-k-2-subj", &Generator::national_security},
      {"protective-services", 5, O, "c164-512-k-3-subj", &Generator::protective_services},
      {"correctional-custody", 10, O, "c164-512-k-5-i-subj", &Generator::custody},
      {"workers-compensation", 20, O, "c164-512-l-subj", &Generator::workers_compensation},
      {"fundraising", 20, P, "c164-514-f-1", &Generator::fundraising},
      {"de-identified-expert", 60, P, "c164-502-d-2", &Generator::de_identified_by_expert},
      {"de-identified-safe-harbor", 30, O, "c164-514-b-2-ii-subj",
       &Generator::de_identified_safe_harbor},
      {"dead-over-fifty-years", 10, P, "c164-502-f", &Generator::long_dead},
      {"restriction-public-health", 20, P, "c164-522-a-1-v",
       &Generator::restriction_and_public_health},
  };
  return kinds;
}

// One kind per prohibition or obligation broken, each at its boundary
// where it has one.
const std::vector<Kind>& Generator::violation_kinds() {
  static const std::vector<Kind> kinds = {
      {"treatment-to-employer", 0, V, "permitted", &Generator::treatment_to_employer},
      {"phi-to-employer", 0, V, "permitted", &Generator::phi_to_employer},
      {"marketing-unauthorized", 0, V, "c164-508-a-3", &Generator::marketing_unauthorized},
      {"psychotherapy-unauthorized", 0, V, "c164-508-a-2", &Generator::psychotherapy_unauthorized},
      {"genetic-underwriting", 0, V, "c164-502-a-5-i", &Generator::genetic_underwriting_by_plan},
      {"authorization-expired", 0, V, "c164-508-a-1", &Generator::authorization_expired},
      {"authorization-not-yet-signed", 0, V, "c164-508-a-1",
       &Generator::authorization_not_yet_signed},
      {"associate-contract-ended", 0, V, "c164-502-e", &Generator::associate_contract_ended},
      {"relationship-missing", 0, V, "c164-506-c-4", &Generator::relationship_missing},
      {"law-enforcement-to-non-official", 0, V, "c164-512-f",
       &Generator::law_enforcement_to_non_official},
      {"identification-outside-the-list", 0, V, "c164-512-f-2",
       &Generator::identification_outside_the_list},
      {"restriction-broken", 0, V, "c164-522-a-1-ii", &Generator::restriction_broken},
      {"self-pay-restriction-broken", 0, V, "c164-522-a-1-vi", &Generator::self_pay_broken},
      {"access-late", 0, P, "c164-502-a-1-i", &Generator::access_late},
      {"access-never-answered", 0, P, "c164-506-c-2", &Generator::access_never_answered},
      {"accounting-late", 0, P, "c164-502-a-1-i", &Generator::accounting_late},
      {"sale-unauthorized", 0, V, "c164-508-a-4", &Generator::sale_unauthorized},
      {"fundraising-after-opt-out", 0, V, "c164-514-f-2-iv", &Generator::fundraising_after_opt_out},
      {"disaster-relief-diagnosis", 0, V, "c164-510-b-4", &Generator::disaster_relief_diagnosis},
      {"de-identified-undocumented", 0, V, "c164-502-d-2", &Generator::de_identified_undocumented},
      {"religion-to-a-visitor", 0, V, "c164-510-a", &Generator::religion_to_a_visitor},
      {"coroner-about-the-living", 0, V, "c164-512-g-1", &Generator::coroner_about_the_living},
  };
  return kinds;
}

} // namespace

void generate_log(const Settings& settings, LogWriter& log, const Progress& progress,
                  const LabelSink& labels) {
  Generator(settings, log, labels).run(progress);
}

} // namespace hipaa::loggen

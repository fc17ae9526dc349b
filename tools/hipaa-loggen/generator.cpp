#include "generator.hpp"

#include "population.hpp"
#include "random.hpp"
#include "reference_rows.hpp"

#include <array>
#include <cstdio>
#include <initializer_list>
#include <string>

namespace hipaa::loggen {

namespace {

constexpr std::int64_t kHour = 3600;
constexpr std::int64_t kDay = 86400;
// 2010-01-04 12:00 UTC: the log starts here and advances 10 to 110 seconds
// per disclosure, so a million disclosures span about two years.
constexpr std::int64_t kLogStart = 1262606400;
constexpr std::int64_t kProgressEvery = 100000;

enum class Kind {
  // compliant
  Treatment,
  Payment,
  Operations,
  BusinessAssociate,
  AccessRequest,
  PublicHealth,
  Oversight,
  OrganDonation,
  Coroner,
  RequiredByLaw,
  AbuseReport,
  SeriousThreat,
  CrimeOnPremises,
  CareInvolvement,
  PsychotherapyAuthorized,
  MarketingAuthorized,
  DeIdentified,
  // violations
  TreatmentToEmployer,
  MarketingUnauthorized,
  PsychotherapyUnauthorized,
  GeneticUnderwriting,
};

struct Weighted {
  Kind kind;
  int weight; // per thousand compliant disclosures
};

// Mostly treatment, payment and operations; a few public-interest
// disclosures, some of which rest on a human judgement.
constexpr std::array<Weighted, 17> kCompliantMix = {{
    {Kind::Treatment, 560},
    {Kind::Payment, 160},
    {Kind::Operations, 70},
    {Kind::BusinessAssociate, 50},
    {Kind::AccessRequest, 30},
    {Kind::PublicHealth, 20},
    {Kind::Oversight, 10},
    {Kind::OrganDonation, 5},
    {Kind::Coroner, 5},
    {Kind::RequiredByLaw, 20},
    {Kind::AbuseReport, 10},
    {Kind::SeriousThreat, 10},
    {Kind::CrimeOnPremises, 5},
    {Kind::CareInvolvement, 15},
    {Kind::PsychotherapyAuthorized, 10},
    {Kind::MarketingAuthorized, 5},
    {Kind::DeIdentified, 15},
}};

constexpr std::array<Kind, 4> kViolations = {
    Kind::TreatmentToEmployer,
    Kind::MarketingUnauthorized,
    Kind::PsychotherapyUnauthorized,
    Kind::GeneticUnderwriting,
};

// The verdict the audit must give each kind, and the clause that decides it.
Planted planted(Kind kind) {
  switch (kind) {
  case Kind::Treatment: return {"treatment", "compliant", "c164-506-c-2"};
  case Kind::Payment: return {"payment", "compliant", "c164-506-c-3"};
  case Kind::Operations: return {"operations", "compliant", "c164-506-c-4"};
  case Kind::BusinessAssociate: return {"business-associate", "compliant", "c164-502-e"};
  case Kind::AccessRequest: return {"access-request", "compliant", "c164-502-a-1-i"};
  case Kind::PublicHealth: return {"public-health", "compliant", "c164-512-b"};
  case Kind::Oversight: return {"oversight", "compliant", "c164-512-d"};
  case Kind::OrganDonation: return {"organ-donation", "compliant", "c164-512-h"};
  case Kind::Coroner: return {"coroner", "compliant", "c164-512-g-1"};
  case Kind::RequiredByLaw: return {"required-by-law", "open", "c164-512-a-1"};
  case Kind::AbuseReport: return {"abuse-report", "open", "c164-512-c-1"};
  case Kind::SeriousThreat: return {"serious-threat", "open", "c164-512-j-1"};
  case Kind::CrimeOnPremises: return {"crime-on-premises", "open", "c164-512-f-5-i"};
  case Kind::CareInvolvement: return {"care-involvement", "open", "c164-510-b-1"};
  case Kind::PsychotherapyAuthorized:
    return {"psychotherapy-authorized", "compliant", "c164-506-c-2"};
  case Kind::MarketingAuthorized: return {"marketing-authorized", "compliant", "c164-508-a-1"};
  case Kind::DeIdentified: return {"de-identified", "compliant", ""};
  case Kind::TreatmentToEmployer: return {"treatment-to-employer", "violation", "permitted"};
  case Kind::MarketingUnauthorized: return {"marketing-unauthorized", "violation", "permitted"};
  case Kind::PsychotherapyUnauthorized:
    return {"psychotherapy-unauthorized", "violation", "c164-508-a-2"};
  case Kind::GeneticUnderwriting: return {"genetic-underwriting", "violation", "permitted"};
  }
  return {"", "", ""};
}

// The notice to the patient that follows a report of abuse carries no
// health information.
constexpr Planted kAbuseNotice = {"abuse-report-notice", "compliant", ""};

class Generator {
public:
  Generator(const Settings& settings, LogWriter& log)
      : settings_(settings), log_(log), random_(settings.seed), population_(settings.disclosures) {}

  void run(const Progress& progress) {
    write_attribute_inclusions(log_);
    write_protocols(log_, population_);
    write_business_associate_contracts(log_, population_);
    std::int64_t next_report = kProgressEvery;
    while (log_.disclosures_written() < settings_.disclosures) {
      clock_ += random_.between(10, 110);
      emit(choose_kind());
      if (progress && log_.disclosures_written() >= next_report) {
        progress(log_.disclosures_written());
        next_report += kProgressEvery;
      }
    }
  }

private:
  Kind choose_kind() {
    if (random_.chance(settings_.violations)) return kViolations[random_.below(kViolations.size())];
    int pick = static_cast<int>(random_.below(1000));
    for (const Weighted& entry : kCompliantMix) {
      if (pick < entry.weight) return entry.kind;
      pick -= entry.weight;
    }
    return Kind::Treatment;
  }

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

  std::int64_t any_patient_index() {
    return 1 + static_cast<std::int64_t>(random_.below(population_.patient_count));
  }

  std::string new_message() {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "msg-%09lld", static_cast<long long>(++messages_));
    return printed_string(buffer);
  }

  // One disclosure: the disclose row, its purpose, the attributes of the
  // individual it carries, and the roles of both parties at its time.
  void record(const Principal& sender, const Principal& recipient, const Principal& subject,
              const char* purpose, std::initializer_list<const char*> attributes,
              std::int64_t at) {
    const std::string message = new_message();
    const std::string time = printed_date(at);
    log_.disclose(sender.name, recipient.name, message, time);
    if (settings_.truth) settings_.truth->add(message, planted(kind_));
    log_.purpose(message, purpose, sender.name);
    for (const char* attribute : attributes) {
      log_.has_attribute(message, subject.name, attribute, time);
    }
    for (const std::string& role : sender.roles) log_.role(sender.name, role, time);
    for (const std::string& role : recipient.roles) log_.role(recipient.name, role, time);
  }

  const char* one_of(std::initializer_list<const char*> choices) {
    return choices.begin()[random_.below(choices.size())];
  }

  const char* clinical_attribute() {
    return one_of({"diagnosis", "prescription", "lab-result", "treatment-history"});
  }

  void emit(Kind kind) {
    kind_ = kind;
    switch (kind) {
    case Kind::Treatment: return treatment();
    case Kind::Payment: return payment();
    case Kind::Operations: return operations();
    case Kind::BusinessAssociate: return business_associate();
    case Kind::AccessRequest: return access_request();
    case Kind::PublicHealth: return to_agency(population_.public_health, "public-health", "lab-result");
    case Kind::Oversight: return to_agency(population_.oversight_agency, "health-oversight", "billing-info");
    case Kind::OrganDonation: return to_agency(population_.organ_bank, "organ-donation", "lab-result");
    case Kind::Coroner: return coroner();
    case Kind::RequiredByLaw: return required_by_law();
    case Kind::AbuseReport: return abuse_report();
    case Kind::SeriousThreat: return serious_threat();
    case Kind::CrimeOnPremises: return crime_on_premises();
    case Kind::CareInvolvement: return care_involvement();
    case Kind::PsychotherapyAuthorized: return psychotherapy(true);
    case Kind::MarketingAuthorized: return marketing(true);
    case Kind::DeIdentified: return de_identified();
    case Kind::TreatmentToEmployer: return treatment_to_employer();
    case Kind::MarketingUnauthorized: return marketing(false);
    case Kind::PsychotherapyUnauthorized: return psychotherapy(false);
    case Kind::GeneticUnderwriting: return genetic_underwriting();
    }
  }

  // 164.506(c)(2): provider to provider.
  void treatment() {
    const Principal& sender = random_.chance(0.8) ? any_of(population_.doctors)
                                                  : any_of(population_.hospitals);
    const Principal& recipient = random_.chance(0.8) ? another_of(population_.doctors, sender)
                                                     : another_of(population_.hospitals, sender);
    const Principal patient = Population::patient(any_patient_index());
    if (random_.chance(0.3)) {
      record(sender, recipient, patient, "treatment", {clinical_attribute(), "name"}, clock_);
    } else {
      record(sender, recipient, patient, "treatment", {clinical_attribute()}, clock_);
    }
  }

  // 164.506(c)(3): hospital to health plan, within the payment protocol.
  void payment() {
    const Principal patient = Population::patient(any_patient_index());
    record(any_of(population_.hospitals), any_of(population_.health_plans), patient, "payment",
           {one_of({"billing-info", "insurance-id"})}, clock_);
  }

  // 164.506(c)(4): to another covered entity that also treats the patient.
  void operations() {
    const Principal& sender = any_of(population_.hospitals);
    const Principal& recipient = another_of(population_.hospitals, sender);
    const Principal patient = Population::patient(any_patient_index());
    log_.row("relationship", {patient.name, sender.name, printed_date(clock_ - 200 * kDay)});
    log_.row("relationship", {patient.name, recipient.name, printed_date(clock_ - 100 * kDay)});
    record(sender, recipient, patient, "healthcare-op-para-1-2",
           {one_of({"diagnosis", "treatment-history"})}, clock_);
  }

  // 164.502(e): to a billing service under contract.
  void business_associate() {
    const Principal patient = Population::patient(any_patient_index());
    const Principal& sender = any_of(population_.hospitals);
    const Principal& associate = any_of(population_.associates);
    if (random_.chance(0.6)) {
      record(sender, associate, patient, "payment", {"billing-info"}, clock_);
    } else {
      record(sender, associate, patient, "healthcare-op", {"diagnosis"}, clock_);
    }
  }

  // 164.524: a request, answered within 30 days (8 in 10), late (1 in 10)
  // or not yet (1 in 10).
  void access_request() {
    const std::int64_t index = any_patient_index();
    const Principal patient = Population::patient(index);
    const Principal& hospital = any_of(population_.hospitals);
    log_.row("access_request", {patient.name, hospital.name, printed_date(clock_)});
    std::uint64_t outcome = random_.below(10);
    if (outcome == 9) return;
    std::int64_t delay = outcome == 8 ? random_.between(31 * kDay, 60 * kDay)
                                      : random_.between(2 * kHour, 29 * kDay);
    record(hospital, patient, patient, "individual-access", {"medical-record"}, clock_ + delay);
  }

  // 164.512(b), (d), (h): routine disclosures to an agency, within protocol.
  void to_agency(const Principal& agency, const char* purpose, const char* attribute) {
    const Principal patient = Population::patient(any_patient_index());
    record(any_of(population_.hospitals), agency, patient, purpose, {attribute}, clock_);
  }

  // 164.512(g)(1): about a decedent.
  void coroner() {
    const Principal decedent = Population::decedent(++decedents_);
    log_.row("deceased", {decedent.name, printed_date(clock_ - random_.between(kHour, 3 * kDay))});
    record(any_of(population_.hospitals), population_.coroner, decedent, "decedent-identification",
           {one_of({"name", "physical-description"})}, clock_);
  }

  // 164.512(a): a judgement remains whether the law requires it.
  void required_by_law() {
    const Principal patient = Population::patient(any_patient_index());
    record(any_of(population_.hospitals), any_of(population_.officers), patient,
           "required-by-law", {"diagnosis"}, clock_);
  }

  // 164.512(c): a report of abuse, and the prompt notice to the patient
  // (given in 9 cases in 10, within four days).
  void abuse_report() {
    const Principal& doctor = any_of(population_.doctors);
    const Principal patient = Population::patient(any_patient_index());
    record(doctor, population_.social_services, patient, "abuse-neglect-report", {"diagnosis"},
           clock_);
    if (!room_for_another() || random_.chance(0.1)) return;
    std::int64_t notice_at = clock_ + random_.between(2 * kHour, 4 * kDay);
    const std::string notice = new_message();
    log_.disclose(doctor.name, patient.name, notice, printed_date(notice_at));
    if (settings_.truth) settings_.truth->add(notice, kAbuseNotice);
  }

  // 164.512(j): to avert a serious threat.
  void serious_threat() {
    const Principal patient = Population::patient(any_patient_index());
    record(any_of(population_.doctors), any_of(population_.officers), patient,
           "serious-threat-prevention", {"diagnosis"}, clock_);
  }

  // 164.512(f)(5): evidence of a crime on the premises.
  void crime_on_premises() {
    const Principal patient = Population::patient(any_patient_index());
    record(any_of(population_.hospitals), any_of(population_.officers), patient,
           "report-possible-crime-on-premises", {"physical-description"}, clock_);
  }

  // 164.510(b): to a relative, the patient having had the chance to object.
  void care_involvement() {
    const std::int64_t index = any_patient_index();
    const Principal patient = Population::patient(index);
    const Principal& doctor = any_of(population_.doctors);
    log_.row("no_objection", {patient.name, doctor.name, "care-involvement",
                              printed_date(clock_ - random_.between(kHour, 10 * kDay))});
    record(doctor, Population::relative_of(index), patient, "care-involvement",
           {"general-condition"}, clock_);
  }

  void authorize(const Principal& patient, const Principal& sender, const Principal& recipient,
                 const char* attribute, const char* purpose) {
    log_.row("authorization", {patient.name, sender.name, recipient.name, attribute, purpose,
                               printed_date(clock_ - random_.between(kDay, 30 * kDay)),
                               printed_date(clock_ + random_.between(30 * kDay, 365 * kDay))});
  }

  // 164.508(a)(2): psychotherapy notes for treatment.
  void psychotherapy(bool authorized) {
    const Principal& sender = any_of(population_.doctors);
    const Principal& recipient = another_of(population_.doctors, sender);
    const Principal patient = Population::patient(any_patient_index());
    if (authorized) authorize(patient, sender, recipient, "psychotherapy-notes", "treatment");
    record(sender, recipient, patient, "treatment", {"psychotherapy-notes"}, clock_);
  }

  // 164.508(a)(3): marketing.
  void marketing(bool authorized) {
    const Principal& sender = any_of(population_.hospitals);
    const Principal& firm = any_of(population_.marketing_firms);
    const Principal patient = Population::patient(any_patient_index());
    if (authorized) {
      authorize(patient, sender, firm, "name", "marketing");
      authorize(patient, sender, firm, "address", "marketing");
      record(sender, firm, patient, "marketing", {"name", "address"}, clock_);
    } else {
      record(sender, firm, patient, "marketing", {"name"}, clock_);
    }
  }

  // 164.514(a): de-identified data is not protected health information.
  void de_identified() {
    const Principal patient = Population::patient(any_patient_index());
    record(any_of(population_.hospitals), population_.public_health, patient, "research",
           {"de-identified"}, clock_);
  }

  // No clause lets a provider send a diagnosis to an employer.
  void treatment_to_employer() {
    const Principal patient = Population::patient(any_patient_index());
    record(any_of(population_.doctors), any_of(population_.employers), patient, "treatment",
           {"diagnosis"}, clock_);
  }

  // 164.502(a)(5)(i): genetic information for underwriting.
  void genetic_underwriting() {
    const Principal patient = Population::patient(any_patient_index());
    record(any_of(population_.hospitals), any_of(population_.health_plans), patient,
           "underwriting", {"genetic-information"}, clock_);
  }

  const Settings& settings_;
  LogWriter& log_;
  Random random_;
  Population population_;
  std::int64_t clock_ = kLogStart;
  std::int64_t messages_ = 0;
  std::int64_t decedents_ = 0;
  Kind kind_ = Kind::Treatment; // the kind being emitted
};

} // namespace

void generate_log(const Settings& settings, LogWriter& log, const Progress& progress) {
  Generator(settings, log).run(progress);
}

} // namespace hipaa::loggen

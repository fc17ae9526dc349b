#include "reference_rows.hpp"

#include <string>
#include <utility>
#include <vector>

namespace hipaa::loggen {

namespace {

// Direct inclusions (attribute, the attribute it belongs to).  Psychotherapy
// notes are kept apart from the medical record (164.501); demographic
// information is what 164.514(f)(1)(i) lists, so religion, location and
// appearance are protected information but not demographics.  A
// re-identification code is protected information wherever it goes:
// "Disclosure of a code or other means of record identification designed
// to enable coded or otherwise de-identified information to be
// re-identified constitutes disclosure of protected health information"
// (164.502(d)(2)(i)).
const std::vector<std::pair<std::string, std::string>> kInclusions = {
    {"medical-record", "phi"},
    {"diagnosis", "medical-record"},
    {"prescription", "medical-record"},
    {"lab-result", "medical-record"},
    {"treatment-history", "medical-record"},
    {"genetic-information", "medical-record"},
    {"immunization-record", "medical-record"},
    {"psychotherapy-notes", "phi"},
    {"billing-info", "phi"},
    {"insurance-id", "phi"},
    {"insurance-status", "phi"},
    {"general-condition", "phi"},
    {"location-in-facility", "phi"},
    {"religious-affiliation", "phi"},
    {"physical-description", "phi"},
    {"ssn", "phi"},
    {"blood-type", "phi"},
    {"injury-type", "phi"},
    {"treatment-date", "phi"},
    {"death-date", "phi"},
    {"violent-crime-statement", "phi"},
    {"department-of-service", "phi"},
    {"treating-physician", "phi"},
    {"outcome-information", "phi"},
    {"summary-health-information", "phi"},
    {"enrollment-status", "phi"},
    {"demographics", "phi"},
    {"name", "demographics"},
    {"address", "demographics"},
    {"date-of-birth", "demographics"},
    {"limited-data-set", "phi"},
    {"date-of-birth", "limited-data-set"},
    {"re-identification-code", "phi"},
    {"suitability-determination", "phi"},
};

// Every attribute an attribute belongs to, directly or not, each once.
void collect_ancestors(const std::string& attribute, std::vector<std::string>& found) {
  for (const auto& [sub, super] : kInclusions) {
    if (sub != attribute) continue;
    bool known = false;
    for (const std::string& seen : found) known = known || seen == super;
    if (known) continue;
    found.push_back(super);
    collect_ancestors(super, found);
  }
}

// Routine disclosures: purpose and the attributes its protocol allows.  No
// protocol allows the entire medical record (164.514(d)(5)).
const std::vector<std::pair<std::string, std::vector<std::string>>> kProtocols = {
    {"payment", {"billing-info", "insurance-id", "diagnosis", "treatment-history"}},
    {"healthcare-op-para-1-2", {"diagnosis", "treatment-history", "lab-result"}},
    {"fraud-abuse-detection", {"billing-info"}},
    {"arrangement-operations", {"diagnosis", "treatment-history"}},
    {"healthcare-op",
     {"billing-info", "diagnosis", "treatment-history", "limited-data-set", "date-of-birth"}},
    {"public-health", {"lab-result", "diagnosis", "date-of-birth", "address"}},
    {"child-abuse-report", {"diagnosis"}},
    {"health-oversight", {"billing-info", "treatment-history", "diagnosis"}},
    {"organ-donation", {"lab-result", "diagnosis", "name"}},
    {"decedent-identification", {"name", "physical-description"}},
    {"funeral-arrangements", {"name"}},
    {"facility-directory", {"name", "location-in-facility", "general-condition",
                            "religious-affiliation"}},
    {"notification", {"location-in-facility", "general-condition"}},
    {"premium-bids-or-plan-change", {"summary-health-information"}},
    {"plan-administration", {"enrollment-status"}},
    {"fundraising", {"name", "address", "department-of-service"}},
    {"research", {"date-of-birth"}},
    {"business-transfer", {"billing-info", "diagnosis"}},
};

} // namespace

void write_attribute_inclusions(LogWriter& log) {
  const std::string basis = printed_string("45 CFR 160.103");
  std::vector<std::string> attributes;
  for (const auto& [sub, super] : kInclusions) {
    bool known = false;
    for (const std::string& seen : attributes) known = known || seen == sub;
    if (!known) attributes.push_back(sub);
  }
  for (const std::string& attribute : attributes) {
    std::vector<std::string> ancestors;
    collect_ancestors(attribute, ancestors);
    for (const std::string& ancestor : ancestors) log.row("attr_in_db", {attribute, ancestor, basis});
  }
}

void write_protocols(LogWriter& log, const Population& population) {
  std::vector<const Principal*> entities;
  for (const Principal& hospital : population.hospitals) entities.push_back(&hospital);
  entities.push_back(&population.group_plan);
  entities.push_back(&population.integrated_system);
  entities.push_back(&population.integrated_hospital);
  for (const Principal* entity : entities) {
    for (const auto& [purpose, attributes] : kProtocols) {
      for (const std::string& attribute : attributes) {
        log.row("protocol", {entity->name, purpose, attribute});
      }
    }
  }
  // The plans' underwriting: the applicant's diagnoses and history.
  for (const Principal& plan : population.health_plans) {
    for (const char* attribute : {"diagnosis", "treatment-history"}) {
      log.row("protocol", {plan.name, "underwriting", attribute});
    }
  }
}

Principal medical_staff_of(const Principal& hospital) {
  return {printed_string("medical-staff-of-" + hospital.name.substr(1, hospital.name.size() - 2)),
          {"health-care-provider"}};
}

void write_arrangements(LogWriter& log, const Population& population) {
  const std::string joined = printed_date(1230800400); // early 2009
  const std::string left = printed_date(1924905600);   // end of 2030
  for (const Principal& hospital : population.hospitals) {
    const std::string arrangement =
        printed_string("ohca-of-" + hospital.name.substr(1, hospital.name.size() - 2));
    log.row("ohca_participant", {arrangement, hospital.name, joined, left});
    log.row("ohca_participant", {arrangement, medical_staff_of(hospital).name, joined, left});
  }
}

void write_notice_statements(LogWriter& log, const Population& population) {
  const std::string effective = printed_date(1230800400); // early 2009
  for (const Principal& hospital : population.hospitals) {
    log.row("notice_statement", {hospital.name, "fundraising", effective});
  }
  // 164.520(b)(1)(iii)(C): the plans' notices say that genetic information
  // is never used for underwriting.
  for (const Principal& plan : population.health_plans) {
    log.row("notice_statement", {plan.name, "underwriting", effective});
  }
}

void write_business_associate_contracts(LogWriter& log, const Population& population) {
  const std::string signed_at = printed_date(1230800400);   // early 2009
  const std::string ends_at = printed_date(1924905600);     // end of 2030
  for (const Principal& hospital : population.hospitals) {
    for (const Principal& associate : population.associates) {
      log.row("ba_agreement", {hospital.name, associate.name, signed_at, ends_at});
    }
    // Marketing firms work for the hospitals too; their contract does not
    // lift the need for an authorisation to market.
    for (const Principal& firm : population.marketing_firms) {
      log.row("ba_agreement", {hospital.name, firm.name, signed_at, ends_at});
    }
  }
}

} // namespace hipaa::loggen

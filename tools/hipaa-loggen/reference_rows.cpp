#include "reference_rows.hpp"

#include <string>
#include <utility>
#include <vector>

namespace hipaa::loggen {

namespace {

// Direct inclusions (attribute, the attribute it belongs to).
const std::vector<std::pair<std::string, std::string>> kInclusions = {
    {"medical-record", "phi"},
    {"diagnosis", "medical-record"},
    {"prescription", "medical-record"},
    {"lab-result", "medical-record"},
    {"treatment-history", "medical-record"},
    {"psychotherapy-notes", "medical-record"},
    {"genetic-information", "medical-record"},
    {"billing-info", "phi"},
    {"insurance-id", "phi"},
    {"general-condition", "phi"},
    {"demographics", "phi"},
    {"name", "demographics"},
    {"address", "demographics"},
    {"date-of-birth", "demographics"},
    {"location-in-facility", "demographics"},
    {"religious-affiliation", "demographics"},
    {"physical-description", "demographics"},
    {"limited-data-set", "phi"},
    {"date-of-birth", "limited-data-set"},
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

// Routine disclosures: purpose and the attributes its protocol allows.
const std::vector<std::pair<std::string, std::vector<std::string>>> kProtocols = {
    {"payment", {"billing-info", "insurance-id", "diagnosis", "treatment-history"}},
    {"healthcare-op-para-1-2", {"diagnosis", "treatment-history", "lab-result"}},
    {"healthcare-op", {"billing-info", "diagnosis", "treatment-history"}},
    {"public-health", {"lab-result", "diagnosis", "date-of-birth", "address"}},
    {"health-oversight", {"billing-info", "treatment-history", "diagnosis"}},
    {"organ-donation", {"lab-result", "diagnosis", "name"}},
    {"decedent-identification", {"name", "physical-description", "medical-record"}},
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
  for (const Principal& hospital : population.hospitals) {
    for (const auto& [purpose, attributes] : kProtocols) {
      for (const std::string& attribute : attributes) {
        log.row("protocol", {hospital.name, purpose, attribute});
      }
    }
  }
}

void write_business_associate_contracts(LogWriter& log, const Population& population) {
  const std::string signed_at = printed_date(1230800400);   // early 2009
  const std::string ends_at = printed_date(1924905600);     // end of 2030
  for (const Principal& hospital : population.hospitals) {
    for (const Principal& associate : population.associates) {
      log.row("ba_agreement", {hospital.name, associate.name, signed_at, ends_at});
    }
  }
}

} // namespace hipaa::loggen

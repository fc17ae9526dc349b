#include "population.hpp"

#include "log_writer.hpp"

#include <algorithm>
#include <cstdio>

namespace hipaa::loggen {

namespace {

std::string numbered(const char* prefix, std::int64_t number, int digits) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%s-%0*lld", prefix, digits,
                static_cast<long long>(number));
  return printed_string(buffer);
}

std::vector<Principal> group(const char* prefix, std::int64_t count, int digits,
                             const std::vector<std::string>& roles) {
  std::vector<Principal> principals;
  for (std::int64_t i = 1; i <= count; ++i) principals.push_back({numbered(prefix, i, digits), roles});
  return principals;
}

Principal single(const char* name, const std::vector<std::string>& roles) {
  return {printed_string(name), roles};
}

} // namespace

Population::Population(std::int64_t disclosures)
    : doctors(group("dr", std::max<std::int64_t>(20, disclosures / 500), 5,
                    {"health-care-provider"})),
      hospitals(group("hospital", 5 + disclosures / 100000, 3,
                      {"health-care-provider", "covered-entity"})),
      health_plans(group("health-plan", 4, 2, {"health-plan", "covered-entity"})),
      associates(group("billing-service", 3, 2, {"business-associate"})),
      employers(group("employer", 3, 2, {"employer"})),
      marketing_firms(group("marketing-firm", 2, 2, {"marketing-firm"})),
      officers(group("police-officer", 5, 3, {"law-enforcement-official"})),
      researchers(group("research-lab", 3, 2, {"researcher"})),
      public_health(single("state-health-department", {"public-health-authority"})),
      foreign_official(single("foreign-health-ministry", {"foreign-health-official"})),
      oversight_agency(single("health-oversight-agency", {"health-oversight-agency"})),
      social_services(single("adult-protective-services", {"government-authority"})),
      coroner(single("county-coroner", {"coroner"})),
      organ_bank(single("regional-organ-bank", {"organ-procurement-organization"})),
      secretary(single("hhs-office-for-civil-rights", {"secretary-hhs"})),
      accreditation(single("joint-accreditation-board", {"accreditation-organization"})),
      group_plan(single("acme-group-health-plan", {"group-health-plan", "health-plan", "covered-entity"})),
      plan_sponsor(single("acme-corporation", {"plan-sponsor", "employer"})),
      clergy(single("hospital-chaplain", {"clergy"})),
      disaster_relief(single("red-cross-chapter", {"disaster-relief-entity"})),
      device_maker(single("device-maker", {"fda-regulated-person"})),
      school(single("county-school", {"school"})),
      court(single("county-court", {"court"})),
      federal_official(single("federal-agent", {"federal-official"})),
      military_command(single("base-command", {"armed-forces-command"})),
      prison(single("state-prison", {"correctional-institution"})),
      funeral_home(single("funeral-home", {"funeral-director"})),
      workers_comp(single("workers-comp-insurer", {"workers-compensation-insurer"})),
      foundation(single("hospital-foundation", {"related-foundation"})),
      life_insurer(single("life-insurer", {})),
      attorney(single("employee-attorney", {"attorney"})),
      close_friend(single("close-friend", {"close-friend"})),
      exposed_contact(single("exposed-contact", {})),
      integrated_system(single("integrated-health-system",
                               {"health-plan", "health-care-provider", "covered-entity"})),
      integrated_hospital(single("integrated-system-hospital",
                                 {"health-care-provider", "covered-entity"})),
      patient_count(std::max<std::int64_t>(100, disclosures / 10)) {}

Principal Population::patient(std::int64_t index) { return {numbered("patient", index, 7), {}}; }

Principal Population::relative_of(std::int64_t patient_index) {
  return {numbered("relative-of-patient", patient_index, 7), {"family-member"}};
}

Principal Population::decedent(std::int64_t index) { return {numbered("decedent", index, 7), {}}; }

Principal Population::newcomer(std::int64_t index) { return {numbered("individual", index, 7), {}}; }

} // namespace hipaa::loggen

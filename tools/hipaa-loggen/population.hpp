// The principals of a synthetic log and the roles the log records for them.
// Names are printed string terms, ready to store.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace hipaa::loggen {

struct Principal {
  std::string name;               // printed form, with quotes
  std::vector<std::string> roles; // printed role constants
};

// Organisations and professionals, sized to the number of disclosures;
// patients are numbered and named on demand.
struct Population {
  explicit Population(std::int64_t disclosures);

  std::vector<Principal> doctors;
  std::vector<Principal> hospitals;
  std::vector<Principal> health_plans;
  std::vector<Principal> associates;
  std::vector<Principal> employers;
  std::vector<Principal> marketing_firms;
  std::vector<Principal> officers;
  std::vector<Principal> researchers;
  Principal public_health;
  Principal foreign_official;
  Principal oversight_agency;
  Principal social_services;
  Principal coroner;
  Principal organ_bank;
  Principal secretary;
  Principal accreditation;
  Principal group_plan;
  Principal plan_sponsor;
  Principal clergy;
  Principal disaster_relief;
  Principal device_maker;
  Principal school;
  Principal court;
  Principal federal_official;
  Principal military_command;
  Principal prison;
  Principal funeral_home;
  Principal workers_comp;
  Principal foundation;
  Principal life_insurer;
  Principal attorney;
  Principal close_friend;
  Principal exposed_contact;
  // An integrated system that is both a health plan and a provider
  // (164.504(g)), and its hospital, a provider registered apart from it.
  Principal integrated_system;
  Principal integrated_hospital;
  std::int64_t patient_count;

  // Patient i, its relative, a decedent and a newcomer: the last two are
  // fresh individuals each time, whose rows no other disclosure shares.
  static Principal patient(std::int64_t index);
  static Principal relative_of(std::int64_t patient_index);
  static Principal decedent(std::int64_t index);
  static Principal newcomer(std::int64_t index);
};

} // namespace hipaa::loggen

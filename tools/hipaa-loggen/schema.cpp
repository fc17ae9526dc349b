#include "schema.hpp"

#include "../common/tool_error.hpp"

namespace hipaa::loggen {

const std::vector<TableLayout>& log_tables() {
  static const std::vector<TableLayout> tables = {
      {"attr_in_db", {"subattr", "superattr", "basis"}, {{"subattr", "superattr"}}},
      {"hasattrof_db", {"info", "subject", "attr", "recorded"}, {{"info"}}},
      {"disclose", {"sender", "recipient", "info", "at"}, {{"recipient", "sender"}}},
      {"inrole_db", {"person", "role", "at"}, {{"at", "person"}}},
      {"purp_in_db", {"info", "purpose", "stated_by"}, {{"info"}}},
      {"authorization",
       {"individual", "discloser", "recipient", "attr", "purpose", "signed", "expires"},
       {{"individual", "recipient", "discloser", "attr"}}},
      {"ba_agreement", {"covered_entity", "associate", "signed", "ends"},
       {{"associate", "covered_entity"}}},
      {"personal_rep", {"representative", "individual", "since", "until"},
       {{"representative", "individual"}}},
      {"no_objection", {"individual", "covered_entity", "purpose", "recorded"},
       {{"individual", "covered_entity", "purpose"}}},
      {"relationship", {"individual", "entity", "since"}, {{"individual", "entity"}}},
      {"protocol", {"covered_entity", "purpose", "attr"}, {{"covered_entity", "purpose", "attr"}}},
      {"data_use_agreement", {"covered_entity", "recipient", "signed", "ends"},
       {{"recipient", "covered_entity"}}},
      {"deceased", {"individual", "died"}, {{"individual"}}},
      {"access_request", {"individual", "covered_entity", "received"}, {}},
      {"audit_end", {"time"}, {}},
      {"revocation", {"individual", "discloser", "recipient", "purpose", "received"},
       {{"individual", "discloser", "recipient"}}},
      {"restriction", {"individual", "covered_entity", "attr", "agreed", "ends"},
       {{"individual", "covered_entity"}}},
      {"self_pay_restriction", {"individual", "covered_entity", "attr", "requested"},
       {{"individual", "covered_entity"}}},
      {"accounting_request", {"individual", "covered_entity", "received"}, {}},
      {"verification", {"covered_entity", "requester", "verified"},
       {{"covered_entity", "requester"}}},
      {"deidentification", {"info", "method", "documented"}, {{"info"}}},
      {"fundraising_opt_out", {"individual", "covered_entity", "elected"},
       {{"individual", "covered_entity"}}},
      {"access_directive", {"individual", "designee", "requested"}, {{"individual", "designee"}}},
      {"acts_for_db", {"person", "entity", "kind", "at"}, {{"person", "at"}}},
      {"calendar_span", {"start", "span", "ends"}, {{"start", "span"}}},
      {"objection", {"individual", "covered_entity", "purpose", "recorded"},
       {{"individual", "covered_entity"}}},
      {"notice_statement", {"covered_entity", "purpose", "effective"}, {{"covered_entity"}}},
      {"authorization_defect",
       {"individual", "discloser", "recipient", "purpose", "signed", "defect"},
       {{"individual", "discloser", "recipient"}}},
      {"ohca_participant", {"arrangement", "participant", "joined", "ends"},
       {{"participant"}}},
      {"ba_agreement_purpose", {"covered_entity", "associate", "purpose"}, {{"associate"}}},
      {"data_use_agreement_defect", {"covered_entity", "recipient", "signed"}, {{"recipient"}}},
      {"notice_limitation", {"covered_entity", "purpose", "effective"}, {}},
      {"coverage_not_placed", {"health_plan", "individual", "decided"}, {{"individual"}}},
      {"confidential_communication", {"individual", "covered_entity", "agreed"}, {{"individual"}}},
      {"access_review_request", {"individual", "covered_entity", "received"}, {}},
  };
  return tables;
}

const TableLayout& table_named(const std::string& name) {
  for (const TableLayout& table : log_tables()) {
    if (table.name == name) return table;
  }
  throw tools::ToolError("no log table named " + name);
}

} // namespace hipaa::loggen

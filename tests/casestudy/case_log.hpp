// Hand-made audit logs for the shipped case study: every table that
// hipaa.d maps a DB predicate to, created empty, and helpers that add the
// rows of one disclosure.  Values are given in their printed form.
#pragma once

#include "casestudy/sandbox.hpp"

#include "../../tools/common/calendar_span.hpp"

#include "logic/declarations.hpp"
#include "syntax/decls_parser.hpp"

#include <initializer_list>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace hipaa::testing {

inline DeclList shipped_declarations() {
  std::ostringstream diagnostics;
  std::optional<DeclList> entries =
      parse_decls_file(std::string(HIPAA_SOURCE_DIR) + "/hipaa-case-study/hipaa.d", diagnostics);
  if (!entries) throw std::runtime_error("hipaa.d does not parse: " + diagnostics.str());
  return *entries;
}

// A string term's printed form.
inline std::string str(const std::string& text) { return "\"" + text + "\""; }

inline std::string sql_quote(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("''") : std::string(1, c);
  return quoted + "'";
}

class CaseLog {
public:
  explicit CaseLog(const Sandbox& sandbox) : db_(sandbox.path("hipaa.db")) {
    for (const DeclEntry& entry : shipped_declarations()) {
      const PredDecl* pred = std::get_if<PredDecl>(&entry.decl);
      if (pred == nullptr || !pred->dbinfo) continue;
      std::string sql = "CREATE TABLE " + pred->dbinfo->table + " (";
      for (std::size_t i = 0; i < pred->dbinfo->columns.size(); ++i) {
        sql += (i ? ", " : "") + pred->dbinfo->columns[i] + " TEXT";
      }
      db_.exec(sql + ")");
    }
    for (const auto& [sub, super] : kInclusions) row("attr_in_db", {sub, super, str("45 CFR 160.103")});
  }

  // What counts as protected health information, as the generated logs
  // store it (every inclusion, direct or not): psychotherapy notes apart
  // from the medical record (164.501), demographics as 164.514(f)(1)(i)
  // lists them.
  static constexpr std::pair<const char*, const char*> kInclusions[] = {
      {"medical-record", "phi"},         {"diagnosis", "medical-record"},
      {"diagnosis", "phi"},              {"genetic-information", "medical-record"},
      {"genetic-information", "phi"},    {"lab-result", "medical-record"},
      {"lab-result", "phi"},             {"immunization-record", "medical-record"},
      {"immunization-record", "phi"},    {"psychotherapy-notes", "phi"},
      {"demographics", "phi"},           {"name", "demographics"},
      {"name", "phi"},                   {"address", "demographics"},
      {"address", "phi"},                {"date-of-birth", "demographics"},
      {"date-of-birth", "limited-data-set"}, {"date-of-birth", "phi"},
      {"limited-data-set", "phi"},       {"billing-info", "phi"},
      {"insurance-id", "phi"},           {"ssn", "phi"},
      {"general-condition", "phi"},      {"location-in-facility", "phi"},
      {"religious-affiliation", "phi"},  {"summary-health-information", "phi"},
      {"enrollment-status", "phi"},      {"injury-type", "phi"},
      {"violent-crime-statement", "phi"}, {"re-identification-code", "phi"},
      {"suitability-determination", "phi"},
  };

  void row(const std::string& table, std::initializer_list<std::string> values) {
    row(table, std::vector<std::string>(values));
  }

  // A row as the importer stores it, with the calendar spans that a request
  // or a death opens (the last column of those tables is their start).
  void row(const std::string& table, const std::vector<std::string>& values) {
    std::string sql = "INSERT INTO " + table + " VALUES (";
    bool first = true;
    for (const std::string& value : values) {
      sql += (first ? "" : ", ") + sql_quote(value);
      first = false;
    }
    db_.exec(sql + ")");
    for (const tools::CalendarSpan& span : tools::spans_of_table(table)) {
      row("calendar_span", {values.back(), span.name, tools::calendar_span_end(values.back(), span)});
    }
  }

  // sender sends message to recipient at `at`, for `purpose`, carrying
  // `attribute` of `subject`; names are plain text, the rest printed.
  void disclosure(const std::string& sender, const std::string& recipient,
                  const std::string& message, const std::string& at, const std::string& subject,
                  const std::string& attribute, const std::string& purpose) {
    row("disclose", {str(sender), str(recipient), str(message), at});
    row("hasattrof_db", {str(message), str(subject), attribute, at});
    row("purp_in_db", {str(message), purpose, str(sender)});
  }

  void role(const std::string& person, const std::string& role, const std::string& at) {
    row("inrole_db", {str(person), role, at});
  }

  TestDb& db() { return db_; }

private:
  TestDb db_;
};

} // namespace hipaa::testing

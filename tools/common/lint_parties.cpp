// The parties of checked disclosures that hold no role at the disclosure's
// time.  The audit asks for a party's role at the exact time of each
// disclosure, so a party without one fails every clause that asks for it:
// a recipient given no role period turns every treatment disclosure to it
// into a violation.  Such a party is a problem where a clause for one of
// the disclosure's purposes asks for its role; elsewhere (a patient, a
// recipient under an authorisation) it needs none and is only counted.
#include "lint_context.hpp"

#include <algorithm>
#include <cstdlib>
#include <map>
#include <set>
#include <sstream>

namespace hipaa::tools {

namespace names = case_tables;

namespace {

// One party without a role at the time of some checked disclosures.
struct RolelessParty {
  std::int64_t disclosures = 0;
  std::string first_row, first_at;
  std::vector<std::string> clauses; // in the order first met
  bool has_role_rows = false;
};

std::vector<std::string> words(const std::string& text) {
  std::vector<std::string> list;
  std::istringstream in(text);
  for (std::string word; in >> word;) list.push_back(word);
  return list;
}

// ", nearest role row: ..." for `person` around the printed time `at`.
std::string nearest_role(LogReader& log, const Bound& roles, const std::string& person,
                         const std::string& at) {
  const auto when = seconds_of(at);
  std::optional<std::int64_t> best;
  std::string best_text;
  log.each_row("SELECT " + roles.columns[1] + ", " + roles.columns[2] + " FROM " + roles.table +
                   " WHERE " + roles.columns[0] + " = ?",
               {person}, [&](const TextRow& row) {
                 auto seconds = seconds_of(row[1]);
                 if (!when || !seconds) return true;
                 std::int64_t gap = *seconds - *when;
                 if (!best || std::llabs(gap) < std::llabs(*best)) {
                   best = gap;
                   best_text = row[0] + " at " + row[1];
                 }
                 return true;
               });
  if (!best) return "no role row at any time";
  return "nearest role row: " + best_text + ", " + distance(*best);
}

std::string joined(const std::vector<std::string>& list) {
  std::string text;
  for (const std::string& item : list) text += (text.empty() ? "" : ", ") + item;
  return text;
}

} // namespace

void check_parties(LintContext& context) {
  auto disclose = context.bind(names::kDisclose, {"sender", "recipient", "info", "at"});
  auto attribute_of = context.bind(names::kAttributeOf, {"info", "subject", "attr"});
  auto attribute_in = context.bind(names::kAttributeIn, {"subattr", "superattr"});
  auto role_at = context.bind(names::kRoleAt, {"person", "role", "at"});
  if (!disclose || !attribute_of || !attribute_in || !role_at) return;
  auto purpose_of = context.bind(names::kPurposeOf, {"info", "purpose"});
  const auto& dc = disclose->columns;
  const auto& hc = attribute_of->columns;
  const auto& rc = role_at->columns;
  const std::string phi = in_phi("h." + hc[2], *attribute_in);
  const std::string purposes =
      purpose_of ? "(SELECT group_concat(p." + purpose_of->columns[1] + ", ' ') FROM " +
                       purpose_of->table + " p WHERE p." + purpose_of->columns[0] + " = d." +
                       dc[2] + ")"
                 : "''";
  const std::string holders = [&] {
    const auto run = [&](const std::string& sql) {
      context.log.each_row(sql, {}, [](const TextRow&) { return true; });
    };
    run("DROP TABLE IF EXISTS temp.lint_role_holders");
    run("CREATE TEMP TABLE lint_role_holders (name TEXT PRIMARY KEY) WITHOUT ROWID");
    run("INSERT OR IGNORE INTO temp.lint_role_holders SELECT " + rc[0] + " FROM " + role_at->table);
    return std::string("temp.lint_role_holders");
  }();
  const std::string no_role = [&](const std::string& person) {
    return "NOT EXISTS (SELECT 1 FROM " + role_at->table + " r WHERE r." + rc[0] + " = " + person +
           " AND r." + rc[2] + " = d." + dc[3] + ")";
  }("@PERSON");

  std::map<std::pair<Party, std::string>, RolelessParty> parties;
  for (Party party : {Party::Sender, Party::Recipient, Party::Individual}) {
    std::string person, sql;
    if (party == Party::Individual) {
      person = "h." + hc[1];
      sql = "SELECT DISTINCT d.rowid, " + person + ", d." + dc[3] + ", " + purposes + ", " +
            person + " IN " + holders + " FROM " + disclose->table + " d JOIN " +
            attribute_of->table + " h ON h." + hc[0] + " = d." + dc[2] + " WHERE " + phi;
    } else {
      person = "d." + dc[party == Party::Sender ? 0 : 1];
      sql = "SELECT d.rowid, " + person + ", d." + dc[3] + ", " + purposes + ", " + person +
            " IN " + holders + " FROM " + disclose->table + " d WHERE EXISTS (SELECT 1 FROM " +
            attribute_of->table + " h WHERE h." + hc[0] + " = d." + dc[2] + " AND " + phi + ")";
      // A recipient who is the individual needs no role.
      if (party == Party::Recipient) {
        sql += " AND NOT EXISTS (SELECT 1 FROM " + attribute_of->table + " h WHERE h." + hc[0] +
               " = d." + dc[2] + " AND h." + hc[1] + " = " + person + ")";
      }
    }
    std::string condition = no_role;
    condition.replace(condition.find("@PERSON"), 7, person);
    sql += " AND " + condition;
    context.log.each_row(sql, {names::kTopAttribute}, [&](const TextRow& row) {
      RolelessParty& entry = parties[{party, row[1]}];
      if (entry.disclosures++ == 0) {
        entry.first_row = row[0];
        entry.first_at = row[2];
        entry.has_role_rows = row[4] == "1";
      }
      if (!context.roles) return true;
      for (const std::string& clause : context.roles->depending(party, words(row[3]))) {
        if (std::find(entry.clauses.begin(), entry.clauses.end(), clause) == entry.clauses.end()) {
          entry.clauses.push_back(clause);
        }
      }
      return true;
    });
  }

  FindingBuilder missing("party-without-role",
                         "parties holding no role at the time of disclosures whose verdict "
                         "depends on it",
                         50);
  std::int64_t spared = 0, spared_disclosures = 0;
  for (const auto& [key, entry] : parties) {
    // Without the policy, only a party with role rows at other times counts.
    const bool problem = context.roles ? !entry.clauses.empty() : entry.has_role_rows;
    if (!problem) {
      ++spared;
      spared_disclosures += entry.disclosures;
      continue;
    }
    std::string example;
    if (missing.wants_example()) {
      example = std::string(party_name(key.first)) + " " + key.second + ": " +
                std::to_string(entry.disclosures) +
                (entry.disclosures == 1 ? " disclosure" : " disclosures") + ", the first " +
                context.place(names::kDisclose, entry.first_row) + " at " + entry.first_at + " (" +
                nearest_role(context.log, *role_at, key.second, entry.first_at) + ")";
      if (!entry.clauses.empty()) example += "; clauses " + joined(entry.clauses);
    }
    missing.add(example);
  }
  std::move(missing).into(context.report);
  if (spared > 0) {
    context.report.notes.push_back(
        std::to_string(spared) + (spared == 1 ? " party holds" : " parties hold") +
        " no role at the time of " + std::to_string(spared_disclosures) +
        (spared_disclosures == 1 ? " checked disclosure" : " checked disclosures") +
        " where no clause for the purposes asks for one");
  }
}

} // namespace hipaa::tools

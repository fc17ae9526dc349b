// The parties of checked disclosures that hold no role at the disclosure's
// time.  The audit asks for a party's role at the exact time of each
// disclosure, so a party without one fails every clause that asks for it:
// a recipient given no role period turns every treatment disclosure to it
// into a violation.  Such a party is a problem where a clause for one of
// the disclosure's purposes asks for its role; elsewhere (a patient, a
// recipient under an authorisation) it needs none.
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

namespace {

// Runs one statement that returns no rows.
void run(LogReader& log, const std::string& sql) {
  log.each_row(sql, {}, [](const TextRow&) { return true; });
}

// A temporary table `name` (one indexed column, name) filled with `values`
// or by `select`; only the connection's temporary database is written.
std::string temp_table(LogReader& log, const std::string& name, const std::string& select,
                       const std::vector<std::string>& values = {}) {
  run(log, "DROP TABLE IF EXISTS temp." + name);
  run(log, "CREATE TEMP TABLE " + name + " (name TEXT PRIMARY KEY) WITHOUT ROWID");
  if (!select.empty()) run(log, "INSERT OR IGNORE INTO temp." + name + " " + select);
  for (const std::string& value : values) {
    log.each_row("INSERT OR IGNORE INTO temp." + name + " VALUES (?)", {value},
                 [](const TextRow&) { return true; });
  }
  return "temp." + name;
}

} // namespace

void check_parties(LintContext& context) {
  auto disclose = context.bind(names::kDisclose, {"sender", "recipient", "info", "at"});
  auto attribute_of = context.bind(names::kAttributeOf, {"info", "subject", "attr"});
  auto attribute_in = context.bind(names::kAttributeIn, {"subattr", "superattr"});
  auto role_at = context.bind(names::kRoleAt, {"person", "role", "at"});
  if (!disclose || !attribute_of || !attribute_in || !role_at) return;
  auto purpose_of = context.bind(names::kPurposeOf, {"info", "purpose"});
  LogReader& log = context.log;
  const auto& dc = disclose->columns;
  const auto& hc = attribute_of->columns;
  const auto& rc = role_at->columns;
  const auto& ic = attribute_in->columns;

  // Lookups built once: phi and what lies in it, who holds any role, and
  // (with the policy) the stored purposes for which some clause asks for
  // the role of each kind of party.  A disclosure for none of them cannot
  // lose a verdict to a missing role, and is not read at all.
  const std::string phi =
      temp_table(log, "lint_phi", "SELECT " + ic[0] + " FROM " + attribute_in->table + " WHERE " +
                                      ic[1] + " = '" + names::kTopAttribute + "'",
                 {names::kTopAttribute});
  const std::string holders =
      temp_table(log, "lint_role_holders", "SELECT " + rc[0] + " FROM " + role_at->table);
  std::map<Party, std::string> asked; // per kind of party: the purposes table
  if (context.roles && purpose_of) {
    const std::vector<std::string> all =
        constants_of_sort(context.signature, purpose_of->layout->sorts[1]);
    for (Party party : {Party::Sender, Party::Recipient, Party::Individual}) {
      std::vector<std::string> wanted;
      for (const std::string& purpose : all) {
        if (!context.roles->depending(party, {purpose}).empty()) wanted.push_back(purpose);
      }
      asked[party] = temp_table(log, std::string("lint_asked_") + party_name(party), "", wanted);
    }
  }
  const auto for_purposes = [&](Party party) {
    if (!asked.count(party)) return std::string();
    return " AND EXISTS (SELECT 1 FROM " + purpose_of->table + " p WHERE p." +
           purpose_of->columns[0] + " = d." + dc[2] + " AND p." + purpose_of->columns[1] + " IN " +
           asked[party] + ")";
  };
  const std::string purposes =
      purpose_of ? "(SELECT group_concat(p." + purpose_of->columns[1] + ", ' ') FROM " +
                       purpose_of->table + " p WHERE p." + purpose_of->columns[0] + " = d." +
                       dc[2] + ")"
                 : "''";
  const auto role_now = [&](const std::string& person) {
    return "EXISTS (SELECT 1 FROM " + role_at->table + " r WHERE r." + rc[0] + " = " + person +
           " AND r." + rc[2] + " = d." + dc[3] + ")";
  };
  const std::string audited = "EXISTS (SELECT 1 FROM " + attribute_of->table + " h WHERE h." +
                              hc[0] + " = d." + dc[2] + " AND h." + hc[2] + " IN " + phi + ")";

  std::map<std::pair<Party, std::string>, RolelessParty> parties;
  const auto note = [&](Party party, const TextRow& row, const std::string& person,
                        const std::string& purpose_list, bool holder) {
    std::vector<std::string> clauses;
    if (context.roles) {
      clauses = context.roles->depending(party, words(purpose_list));
      if (clauses.empty()) return;
    } else if (!holder) {
      return; // without the policy, only a party with role rows elsewhere
    }
    RolelessParty& entry = parties[{party, person}];
    if (entry.disclosures++ == 0) {
      entry.first_row = row[0];
      entry.first_at = row[3];
    }
    for (const std::string& clause : clauses) {
      if (std::find(entry.clauses.begin(), entry.clauses.end(), clause) == entry.clauses.end()) {
        entry.clauses.push_back(clause);
      }
    }
  };

  // Senders and recipients in one pass; a recipient who is the individual
  // needs no role.  The role lookups come first: most disclosures pass
  // them, and only the others are read further.
  const std::string sender = "d." + dc[0], recipient = "d." + dc[1];
  std::string parties_sql =
      "SELECT " + log.row_id(names::kDisclose, "d") + ", " + sender + ", " + recipient + ", d." + dc[3] + ", " + purposes + ", " +
      role_now(sender) + ", " + role_now(recipient) + ", " + sender + " IN " + holders + ", " +
      recipient + " IN " + holders + ", EXISTS (SELECT 1 FROM " + attribute_of->table +
      " h WHERE h." + hc[0] + " = d." + dc[2] + " AND h." + hc[1] + " = " + recipient +
      ") FROM " + disclose->table + " d WHERE (NOT " + role_now(sender) + " OR NOT " +
      role_now(recipient) + ") AND " + audited;
  if (!asked.empty()) {
    parties_sql += " AND (1 " + for_purposes(Party::Sender) + " OR 1 " +
                   for_purposes(Party::Recipient) + ")";
  }
  log.each_row(parties_sql, {}, [&](const TextRow& row) {
    if (row[5] == "0") note(Party::Sender, row, row[1], row[4], row[7] == "1");
    if (row[6] == "0" && row[9] == "0") note(Party::Recipient, row, row[2], row[4], row[8] == "1");
    return true;
  });
  // The individual's roles matter for few purposes: with the policy, the
  // pass starts from the disclosures' purposes.
  const std::string individual = "h." + hc[1];
  const std::string from =
      asked.count(Party::Individual)
          ? " FROM " + purpose_of->table + " p JOIN " + disclose->table + " d ON d." + dc[2] +
                " = p." + purpose_of->columns[0] + " JOIN " + attribute_of->table + " h ON h." +
                hc[0] + " = d." + dc[2] + " WHERE p." + purpose_of->columns[1] + " IN " +
                asked[Party::Individual] + " AND "
          : " FROM " + disclose->table + " d JOIN " + attribute_of->table + " h ON h." + hc[0] +
                " = d." + dc[2] + " WHERE ";
  log.each_row("SELECT DISTINCT " + log.row_id(names::kDisclose, "d") + ", " + individual + ", NULL, d." + dc[3] + ", " + purposes +
                   ", " + individual + " IN " + holders + from + "h." + hc[2] + " IN " + phi +
                   " AND NOT " + role_now(individual),
               {}, [&](const TextRow& row) {
                 note(Party::Individual, row, row[1], row[4], row[5] == "1");
                 return true;
               });

  FindingBuilder missing("party-without-role",
                         "parties holding no role at the time of disclosures whose verdict "
                         "depends on it",
                         50);
  missing.for_one("party holding no role at the time of disclosures whose verdict depends on it");
  for (const auto& [key, entry] : parties) {
    std::string example;
    if (missing.wants_example()) {
      example = std::string(party_name(key.first)) + " " + key.second + ": " +
                std::to_string(entry.disclosures) +
                (entry.disclosures == 1 ? " disclosure" : " disclosures") + ", the first " +
                context.place(names::kDisclose, entry.first_row) + " at " + entry.first_at + " (" +
                nearest_role(log, *role_at, key.second, entry.first_at) + ")";
      if (!entry.clauses.empty()) example += "; clauses " + joined(entry.clauses);
    }
    missing.add(example);
  }
  std::move(missing).into(context.report);
}

} // namespace hipaa::tools

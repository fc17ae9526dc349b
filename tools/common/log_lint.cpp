#include "log_lint.hpp"

#include "lint_values.hpp"

#include "base/failure.hpp"
#include "dates/date.hpp"

#include <cstdlib>
#include <map>
#include <optional>
#include <ostream>

namespace hipaa::tools {

namespace names = case_tables;

namespace {

// The case study's attribute that is declared outside phi on purpose:
// de-identified data is no protected health information.
constexpr const char* kNotPhi = "de-identified";

class FindingBuilder {
public:
  explicit FindingBuilder(std::string title) { finding_.title = std::move(title); }
  void add(const std::string& example) {
    if (finding_.examples.size() < kLintExamples) finding_.examples.push_back(example);
    ++finding_.count;
  }
  std::int64_t count() const { return finding_.count; }
  void into(LintReport& report) && {
    if (finding_.count > 0) report.findings.push_back(std::move(finding_));
  }

private:
  LintFinding finding_;
};

std::string joined(const TextRow& row, std::size_t from = 0, std::size_t to = SIZE_MAX) {
  std::string text;
  for (std::size_t i = from; i < row.size() && i < to; ++i) text += (text.empty() ? "" : " ") + row[i];
  return text;
}

std::string q(const std::string& identifier) { return quote_identifier(identifier); }

std::optional<std::int64_t> seconds_of(const std::string& printed) {
  try {
    mpz_class seconds = date_from_literal(printed) / kNanosPerSecond;
    return seconds.get_si();
  } catch (const Failure&) {
    return std::nullopt;
  }
}

// SQL for "the attribute `attr` (an expression) is phi or lies in it", with
// phi bound as parameter ?1: the messages the audit checks carry one.
std::string in_phi(const std::string& attr, const std::string& inclusions,
                   const std::string& sub, const std::string& super) {
  return "(" + attr + " = ?1 OR EXISTS (SELECT 1 FROM " + inclusions + " a WHERE a." + sub +
         " = " + attr + " AND a." + super + " = ?1))";
}

// A temporary table `name` (one indexed column, name) of the distinct values
// of `column` in `table`: a lookup that the log's own indexes may not serve,
// built in one pass instead of a scan per row.  Only the connection's
// temporary database is written; the log is not.
std::string distinct_values(LogReader& log, const std::string& name, const std::string& table,
                            const std::string& column) {
  const std::string temp = q(name);
  log.each_row("DROP TABLE IF EXISTS temp." + temp, {}, [](const TextRow&) { return true; });
  log.each_row("CREATE TEMP TABLE " + temp + " (name TEXT PRIMARY KEY) WITHOUT ROWID", {},
               [](const TextRow&) { return true; });
  log.each_row("INSERT OR IGNORE INTO temp." + temp + " SELECT " + column + " FROM " + table, {},
               [](const TextRow&) { return true; });
  return "temp." + temp;
}

// A declared table with the named columns, present in the log: the quoted
// table name and the quoted column names.
struct Bound {
  std::string table;
  std::vector<std::string> columns;
  const LogTable* layout = nullptr;
};

std::optional<Bound> bind(LogReader& log, const std::vector<LogTable>& tables, const char* name,
                          std::initializer_list<const char*> columns) {
  const LogTable* table = find_table(tables, name);
  if (table == nullptr || !log.has_table(name)) return std::nullopt;
  Bound bound{q(name), {}, table};
  for (const char* column : columns) {
    if (!table->column_index(column)) return std::nullopt;
    bound.columns.push_back(q(column));
  }
  return bound;
}

struct Span {
  std::int64_t disclosures = 0;
  std::optional<std::int64_t> first, last;
  std::string first_text, last_text;
};

// Every stored value of every declared table against its column's sort.
void check_values(LogReader& log, const std::vector<LogTable>& tables, const Signature& signature,
                  LintReport& report, Span& span) {
  FindingBuilder blanks("values with leading or trailing blanks or control characters");
  FindingBuilder undeclared("values not declared with their column's sort");
  FindingBuilder unreadable("stored values the audit does not read as stored");
  const StoredValueJudge judge(signature);
  for (const LogTable& table : tables) {
    if (!log.has_table(table.name)) continue;
    std::string list;
    for (const std::string& column : table.columns) list += ", " + q(column);
    const bool disclosures = table.name == names::kDisclose;
    const std::optional<std::size_t> at = table.column_index("at");
    log.each_row("SELECT " + log.row_id(table.name) + list + " FROM " + q(table.name), {},
                 [&](const TextRow& row) {
      for (std::size_t c = 0; c < table.columns.size(); ++c) {
        const std::string& value = row[c + 1];
        std::string detail;
        ValueVerdict verdict = judge.judge(value, table.sorts[c], detail);
        if (verdict == ValueVerdict::Good) continue;
        std::string where = table.name + " row " + row[0] + ", " + table.columns[c] + ": " + value;
        if (verdict == ValueVerdict::Blanks) blanks.add(where);
        if (verdict == ValueVerdict::Undeclared) undeclared.add(where + " " + detail);
        if (verdict == ValueVerdict::Unreadable) unreadable.add(where + " " + detail);
      }
      if (disclosures && at) {
        ++span.disclosures;
        const std::string& text = row[*at + 1];
        if (auto seconds = seconds_of(text)) {
          if (!span.first || *seconds < *span.first) span.first = *seconds, span.first_text = text;
          if (!span.last || *seconds > *span.last) span.last = *seconds, span.last_text = text;
        }
      }
      return true;
    });
  }
  std::move(blanks).into(report);
  std::move(undeclared).into(report);
  std::move(unreadable).into(report);
}

// Disclosures outside the policy's top-level guard: the audit checks a
// disclosure only for an attribute of its message that is phi or lies in it
// (de-identified data aside, which the policy treats on its own).
void check_unaudited(LogReader& log, const std::vector<LogTable>& tables, LintReport& report) {
  auto disclose = bind(log, tables, names::kDisclose, {"info"});
  auto attribute_of = bind(log, tables, names::kAttributeOf, {"info", "attr"});
  auto attribute_in = bind(log, tables, names::kAttributeIn, {"subattr", "superattr"});
  auto purpose_of = bind(log, tables, names::kPurposeOf, {"info"});
  if (!disclose || !attribute_of || !attribute_in) return;
  const std::string d = disclose->table, h = attribute_of->table, a = attribute_in->table;
  const std::string d_info = "d." + disclose->columns[0];
  const std::string no_attribute =
      "NOT EXISTS (SELECT 1 FROM " + h + " h WHERE h." + attribute_of->columns[0] + " = " + d_info + ")";
  const std::string has_purpose =
      purpose_of ? "EXISTS (SELECT 1 FROM " + purpose_of->table + " p WHERE p." +
                       purpose_of->columns[0] + " = " + d_info + ")"
                 : "1";

  FindingBuilder without(
      "disclosures with a purpose but no attribute row, which the audit never checks");
  std::int64_t bare = 0;
  const std::string d_row = log.row_id(names::kDisclose, "d");
  log.each_row("SELECT " + d_row + ", d.*, " + has_purpose + " FROM " + d + " d WHERE " + no_attribute,
               {}, [&](const TextRow& row) {
                 if (row.back() == "1") {
                   without.add("disclose row " + row[0] + ": " + joined(row, 1, row.size() - 1));
                 } else {
                   ++bare;
                 }
                 return true;
               });
  std::move(without).into(report);
  if (bare > 0) {
    report.notes.push_back(std::to_string(bare) +
                           " disclosures carry neither an attribute nor a purpose (notices and "
                           "answers); the audit does not check them");
  }

  FindingBuilder outside("disclosures whose attributes all lie outside phi, which the audit "
                         "never checks");
  const std::string h_info = attribute_of->columns[0], h_attr = attribute_of->columns[1];
  log.each_row(
      "SELECT " + d_row + ", d.*, (SELECT group_concat(" + h_attr + ", ' ') FROM " + h + " h WHERE h." +
          h_info + " = " + d_info + ") FROM " + d + " d WHERE NOT " + no_attribute +
          " AND NOT EXISTS (SELECT 1 FROM " + h + " h WHERE h." + h_info + " = " + d_info +
          " AND " + in_phi("h." + h_attr, a, attribute_in->columns[0], attribute_in->columns[1]) +
          ") AND EXISTS (SELECT 1 FROM " + h + " h WHERE h." + h_info + " = " + d_info + " AND h." +
          h_attr + " <> ?2)",
      {names::kTopAttribute, kNotPhi}, [&](const TextRow& row) {
        outside.add("disclose row " + row[0] + ": " + joined(row, 1, row.size() - 1) +
                    " (attributes: " + row.back() + ")");
        return true;
      });
  std::move(outside).into(report);
}

std::string distance(std::int64_t seconds) {
  std::int64_t magnitude = seconds < 0 ? -seconds : seconds;
  std::string when = seconds < 0 ? " earlier" : " later";
  if (magnitude >= 86400) return std::to_string(magnitude / 86400) + " days" + when;
  if (magnitude >= 3600) return std::to_string(magnitude / 3600) + " hours" + when;
  return std::to_string(magnitude) + " seconds" + when;
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
  if (!best) return " (no role row at any time)";
  return " (nearest role row: " + best_text + ", " + distance(*best) + ")";
}

// The audit asks for a party's role at the exact time of each checked
// disclosure.  A party with role rows but none at that time has most often
// been given its roles the natural way, from a date on; a party with no role
// row at all needs none (the individual, a recipient under an
// authorisation), and a recipient who is the individual needs none either.
void check_roles(LogReader& log, const std::vector<LogTable>& tables, LintReport& report) {
  auto disclose = bind(log, tables, names::kDisclose, {"sender", "recipient", "info", "at"});
  auto attribute_of = bind(log, tables, names::kAttributeOf, {"info", "subject", "attr"});
  auto attribute_in = bind(log, tables, names::kAttributeIn, {"subattr", "superattr"});
  auto role_at = bind(log, tables, names::kRoleAt, {"person", "role", "at"});
  if (!disclose || !attribute_of || !attribute_in || !role_at) return;
  const auto& dc = disclose->columns;
  const auto& hc = attribute_of->columns;
  const auto& rc = role_at->columns;
  const std::string audited =
      "EXISTS (SELECT 1 FROM " + attribute_of->table + " h WHERE h." + hc[0] + " = d." + dc[2] +
      " AND " + in_phi("h." + hc[2], attribute_in->table, attribute_in->columns[0],
                       attribute_in->columns[1]) + ")";
  const std::string holders = distinct_values(log, "lint_role_holders", role_at->table, rc[0]);
  FindingBuilder missing("parties of checked disclosures with role rows, but none at the "
                         "disclosure's time");
  for (int party = 0; party < 2; ++party) {
    const std::string person = "d." + dc[static_cast<std::size_t>(party)];
    std::string sql = "SELECT " + log.row_id(names::kDisclose, "d") + ", " + person + ", d." + dc[3] + ", d.* FROM " +
                      disclose->table + " d WHERE " + person + " IN " + holders + " AND " +
                      audited + " AND NOT EXISTS (SELECT 1 FROM " + role_at->table + " r WHERE r." +
                      rc[0] + " = " + person + " AND r." + rc[2] + " = d." + dc[3] + ")";
    if (party == 1) {
      sql += " AND NOT EXISTS (SELECT 1 FROM " + attribute_of->table + " h WHERE h." + hc[0] +
             " = d." + dc[2] + " AND h." + hc[1] + " = " + person + ")";
    }
    log.each_row(sql, {names::kTopAttribute}, [&](const TextRow& row) {
      std::string example = "disclose row " + row[0] + ": " + joined(row, 3) + ": " +
                            (party == 0 ? "sender " : "recipient ") + row[1];
      if (missing.count() < static_cast<std::int64_t>(kLintExamples)) {
        example += nearest_role(log, *role_at, row[1], row[2]);
      }
      missing.add(example);
      return true;
    });
  }
  std::move(missing).into(report);
}

void check_reference_tables(LogReader& log, const std::vector<LogTable>& tables,
                            LintReport& report) {
  auto disclose = bind(log, tables, names::kDisclose, {});
  if (!disclose || log.single("SELECT count(*) FROM " + disclose->table) == "0") return;
  FindingBuilder empty("reference tables that are empty while there are disclosures");
  for (const char* name : {names::kAttributeIn, names::kAttributeOf, names::kPurposeOf,
                           names::kRoleAt}) {
    auto table = bind(log, tables, name, {});
    if (table && log.single("SELECT count(*) FROM " + table->table) == "0") empty.add(name);
  }
  std::move(empty).into(report);
}

// The audit reads only direct rows: diagnosis in phi must be a row of its
// own, beside diagnosis in medical-record and medical-record in phi.
void check_closure(LogReader& log, const std::vector<LogTable>& tables, LintReport& report) {
  auto inclusions = bind(log, tables, names::kAttributeIn, {"subattr", "superattr"});
  if (!inclusions) return;
  const std::string t = inclusions->table, sub = inclusions->columns[0],
                    super = inclusions->columns[1];
  FindingBuilder open("attribute inclusions missing from the transitive closure");
  log.each_row("SELECT DISTINCT x." + sub + ", x." + super + ", y." + super + " FROM " + t +
                   " x JOIN " + t + " y ON y." + sub + " = x." + super + " WHERE x." + sub +
                   " <> y." + super + " AND NOT EXISTS (SELECT 1 FROM " + t + " z WHERE z." +
                   sub + " = x." + sub + " AND z." + super + " = y." + super + ")",
               {}, [&](const TextRow& row) {
                 open.add(row[0] + " in " + row[2] + " (through " + row[1] + ")");
                 return true;
               });
  std::move(open).into(report);
}

// A request can only be answered by a disclosure from its covered entity;
// an entity that discloses nothing in the log (a name spelt otherwise, most
// often) leaves it without a possible answer.
void check_requests(LogReader& log, const std::vector<LogTable>& tables, LintReport& report) {
  auto disclose = bind(log, tables, names::kDisclose, {"sender"});
  if (!disclose) return;
  const std::string senders =
      distinct_values(log, "lint_senders", disclose->table, disclose->columns[0]);
  for (const char* name : {names::kAccessRequest, names::kAccountingRequest}) {
    auto requests = bind(log, tables, name, {"covered_entity"});
    if (!requests) continue;
    FindingBuilder hopeless(std::string(name) + " rows whose covered entity makes no disclosure in "
                            "the log, so that none can answer them");
    log.each_row("SELECT " + log.row_id(name, "q") + ", q.* FROM " + requests->table + " q WHERE q." +
                     requests->columns[0] + " NOT IN " + senders,
                 {}, [&](const TextRow& row) {
                   hopeless.add(std::string(name) + " row " + row[0] + ": " + joined(row, 1));
                   return true;
                 });
    std::move(hopeless).into(report);
  }
}

// The clauses of custody (164.512(k)(5)(i)) and of the armed forces
// (164.512(k)(1)(i)) test a role of the individual, not of a party.  When
// no such disclosure has any role row for its individual, the log most
// likely records no individual's roles at all (role periods given for the
// parties only), and every one of them fails the test or waits for a person.
void check_individual_roles(LogReader& log, const std::vector<LogTable>& tables,
                            LintReport& report) {
  auto disclose = bind(log, tables, names::kDisclose, {"info", "at"});
  auto attribute_of = bind(log, tables, names::kAttributeOf, {"info", "subject"});
  auto purpose_of = bind(log, tables, names::kPurposeOf, {"info", "purpose"});
  auto role_at = bind(log, tables, names::kRoleAt, {"person", "at"});
  if (!disclose || !attribute_of || !purpose_of || !role_at) return;
  const auto& dc = disclose->columns;
  const auto& hc = attribute_of->columns;
  const auto& pc = purpose_of->columns;
  const auto& rc = role_at->columns;
  const std::string about = " FROM " + disclose->table + " d JOIN " + purpose_of->table +
                            " p ON p." + pc[0] + " = d." + dc[0] + " JOIN " +
                            attribute_of->table + " h ON h." + hc[0] + " = d." + dc[0] +
                            " WHERE p." + pc[1] +
                            " IN ('correctional-custody', 'military-mission') AND ";
  const std::string has_role = "EXISTS (SELECT 1 FROM " + role_at->table + " r WHERE r." + rc[0] +
                               " = h." + hc[1] + " AND r." + rc[1] + " = d." + dc[1] + ")";
  if (log.single("SELECT count(*)" + about + has_role) != "0") return;
  FindingBuilder missing("disclosures for custody or the armed forces, none of whose individuals "
                         "has a role row (the clauses test the individual's role; give the "
                         "individuals' role periods too)");
  log.each_row("SELECT DISTINCT d.rowid, h." + hc[1] + ", d.*" + about + "NOT " + has_role, {},
               [&](const TextRow& row) {
                 missing.add("disclose row " + row[0] + ": " + joined(row, 2) + ": individual " +
                             row[1]);
                 return true;
               });
  std::move(missing).into(report);
}

// What a person discloses counts as the covered entity's only through the
// table acts_for or a business associate contract: a sender with neither,
// and without any role of its own, discloses for no entity the log knows,
// and every table kept by an entity is looked up for it alone.
void check_unaffiliated_senders(LogReader& log, const std::vector<LogTable>& tables,
                                LintReport& report) {
  auto disclose = bind(log, tables, names::kDisclose, {"sender", "at"});
  auto role_at = bind(log, tables, names::kRoleAt, {"person"});
  auto acts_for = bind(log, tables, "acts_for_db", {"person"});
  auto contracts = bind(log, tables, "ba_agreement", {"associate"});
  if (!disclose || !role_at || !acts_for || !contracts) return;
  const auto& dc = disclose->columns;
  FindingBuilder alone("senders who hold no role and act for no covered entity (no acts_for "
                       "row, no business associate contract), so that what they disclose is "
                       "judged as their own");
  log.each_row("SELECT d." + dc[0] + ", count(*) FROM " + disclose->table + " d WHERE NOT EXISTS "
                   "(SELECT 1 FROM " + role_at->table + " r WHERE r." + role_at->columns[0] +
                   " = d." + dc[0] + ") AND NOT EXISTS (SELECT 1 FROM " + acts_for->table +
                   " a WHERE a." + acts_for->columns[0] + " = d." + dc[0] +
                   ") AND NOT EXISTS (SELECT 1 FROM " + contracts->table + " b WHERE b." +
                   contracts->columns[0] + " = d." + dc[0] + ") GROUP BY d." + dc[0] +
                   " ORDER BY min(d.rowid)",
               {}, [&](const TextRow& row) {
                 alone.add(row[0] + " (" + row[1] + " disclosures)");
                 return true;
               });
  std::move(alone).into(report);
}

// The log's time span and the moment up to which it claims to be complete.
void check_span(LogReader& log, const Span& span, LintReport& report) {
  std::string note = std::to_string(span.disclosures) + " disclosures";
  if (span.first) note += ", from " + span.first_text + " to " + span.last_text;
  std::string end;
  if (log.has_table(names::kAuditEnd)) {
    end = log.single("SELECT " + q(names::kAuditEndColumn) + " FROM " + q(names::kAuditEnd) +
                     " ORDER BY " + log.row_id(names::kAuditEnd) + " DESC");
  }
  if (end.empty()) {
    note += "; no audit_end: the log is taken as complete up to its last disclosure";
  } else {
    note += "; complete up to " + end + " (audit_end)";
  }
  report.notes.insert(report.notes.begin(), note);
  if (end.empty() || !span.last) return;
  auto end_seconds = seconds_of(end);
  if (!end_seconds) return;
  if (*span.last > *end_seconds) {
    FindingBuilder late("disclosures after the audit_end moment " + end);
    late.add("the last at " + span.last_text);
    std::move(late).into(report);
  }
}

} // namespace

LintReport lint_log(LogReader& log, const Signature& signature) {
  std::vector<LogTable> tables = log_tables_of(signature);
  LintReport report;
  Span span;
  check_reference_tables(log, tables, report);
  check_values(log, tables, signature, report, span);
  check_unaudited(log, tables, report);
  check_roles(log, tables, report);
  check_closure(log, tables, report);
  check_requests(log, tables, report);
  check_individual_roles(log, tables, report);
  check_unaffiliated_senders(log, tables, report);
  check_span(log, span, report);
  return report;
}

void print_lint(const LintReport& report, std::ostream& out) {
  for (const std::string& note : report.notes) out << note << "\n";
  for (const LintFinding& finding : report.findings) {
    out << finding.count << " " << finding.title << ":\n";
    for (const std::string& example : finding.examples) out << "  " << example << "\n";
    if (finding.count > static_cast<std::int64_t>(finding.examples.size())) {
      out << "  ... and " << finding.count - static_cast<std::int64_t>(finding.examples.size())
          << " more\n";
    }
  }
  const std::size_t kinds = report.findings.size();
  if (kinds == 0) {
    out << "no problems found\n";
  } else {
    out << kinds << (kinds == 1 ? " kind of problem found\n" : " kinds of problems found\n");
  }
}

void print_lint_summary(const LintReport& report, std::ostream& out) {
  for (const std::string& note : report.notes) out << note << "\n";
  for (const LintFinding& finding : report.findings) {
    out << finding.count << " " << finding.title << "\n";
  }
}

} // namespace hipaa::tools

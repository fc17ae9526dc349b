#include "log_lint.hpp"

#include "count_noun.hpp"
#include "lint_context.hpp"
#include "lint_values.hpp"
#include "policy_input.hpp"

#include "base/failure.hpp"
#include "base/file_io.hpp"
#include "dates/date.hpp"

#include <filesystem>
#include <sstream>

namespace hipaa::tools {

namespace names = case_tables;

std::string quoted(const std::string& identifier) { return quote_identifier(identifier); }

std::optional<std::int64_t> seconds_of(const std::string& printed) {
  try {
    mpz_class seconds = date_from_literal(printed) / kNanosPerSecond;
    return seconds.get_si();
  } catch (const Failure&) {
    return std::nullopt;
  }
}

std::string in_phi(const std::string& attr, const Bound& inclusions) {
  return "(" + attr + " = ?1 OR EXISTS (SELECT 1 FROM " + inclusions.table + " a WHERE a." +
         inclusions.columns[0] + " = " + attr + " AND a." + inclusions.columns[1] + " = ?1))";
}

std::string distance(std::int64_t seconds) {
  std::int64_t magnitude = seconds < 0 ? -seconds : seconds;
  std::string when = seconds < 0 ? " earlier" : " later";
  if (magnitude >= 86400) return count_noun(magnitude / 86400, "day", "days") + when;
  if (magnitude >= 3600) return count_noun(magnitude / 3600, "hour", "hours") + when;
  return count_noun(magnitude, "second", "seconds") + when;
}

std::optional<Bound> LintContext::bind(const char* name,
                                       std::initializer_list<const char*> columns) {
  const LogTable* table = find_table(tables, name);
  if (table == nullptr || !log.has_table(name)) return std::nullopt;
  Bound bound{quoted(name), {}, table};
  for (const char* column : columns) {
    if (!table->column_index(column)) return std::nullopt;
    bound.columns.push_back(quoted(column));
  }
  return bound;
}

std::string LintContext::place(const std::string& table, const std::string& rowid) {
  std::string where = table + " row " + rowid;
  if (!has_lines_) has_lines_ = log.has_table(names::kImportLines);
  if (!*has_lines_) return where;
  std::string line;
  log.each_row("SELECT file, first_line + (?2 - first_row) FROM " + quoted(names::kImportLines) +
                   " WHERE tbl = ?1 AND first_row <= ?2 AND last_row >= ?2",
               {table, rowid}, [&](const TextRow& row) {
                 line = row[0] + ":" + row[1];
                 return false;
               });
  return line.empty() ? where : where + " (" + line + ")";
}

namespace {

// The case study's attribute that is declared outside phi on purpose:
// de-identified data is no protected health information.
constexpr const char* kNotPhi = "de-identified";

std::string joined(const TextRow& row, std::size_t from = 0, std::size_t to = SIZE_MAX) {
  std::string text;
  for (std::size_t i = from; i < row.size() && i < to; ++i) text += (text.empty() ? "" : " ") + row[i];
  return text;
}

// Whether `text` is well-formed UTF-8: the audit's reader stops at the
// first byte that is not.
bool is_utf8(const std::string& text) {
  std::size_t i = 0;
  const std::size_t n = text.size();
  while (i < n) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c < 0x80) {
      ++i;
      continue;
    }
    std::size_t length = c >= 0xF0 && c <= 0xF4 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 && c < 0xE0 ? 2 : 0;
    if (c >= 0xF5) length = 0;
    if (length == 0 || i + length > n) return false;
    for (std::size_t k = 1; k < length; ++k) {
      if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
    }
    i += length;
  }
  return true;
}

// The log itself: an empty file, and declared tables that it lacks (the
// audit stops at the first query of a missing table).
void check_tables(LintContext& context) {
  std::error_code error;
  if (std::filesystem::file_size(context.log.path(), error) == 0 && !error) {
    FindingBuilder empty("empty-file", "logs that are an empty file, which no audit can read");
    empty.for_one("log that is an empty file, which no audit can read");
    empty.add(context.log.path() + " holds 0 bytes");
    std::move(empty).into(context.report);
  }
  FindingBuilder missing("missing-table", "declared tables missing from the log, whose queries "
                                          "stop the audit", SIZE_MAX);
  missing.for_one("declared table missing from the log, whose queries stop the audit");
  for (const LogTable& table : context.tables) {
    if (!context.log.has_table(table.name)) missing.add(table.name);
  }
  std::move(missing).into(context.report);
}

// Every stored value of every declared table against its column's sort.
void check_values(LintContext& context) {
  FindingBuilder encoding("not-utf8", "stored values that are not UTF-8, which the audit cannot "
                                      "read");
  encoding.for_one("stored value that is not UTF-8, which the audit cannot read");
  FindingBuilder blanks("blanks", "values with leading or trailing blanks or control characters");
  blanks.for_one("value with leading or trailing blanks or control characters");
  FindingBuilder undeclared("undeclared", "values not declared with their column's sort");
  undeclared.for_one("value not declared with its column's sort");
  FindingBuilder unreadable("unreadable", "stored values the audit does not read as stored");
  unreadable.for_one("stored value the audit does not read as stored");
  const StoredValueJudge judge(context.signature);
  Span& span = context.span;
  for (const LogTable& table : context.tables) {
    if (!context.log.has_table(table.name)) continue;
    std::string list;
    for (const std::string& column : table.columns) list += ", " + quoted(column);
    const bool disclosures = table.name == names::kDisclose;
    const std::optional<std::size_t> at = table.column_index("at");
    std::vector<std::pair<FindingBuilder*, std::string>> found;
    context.log.each_row("SELECT " + context.log.row_id(table.name) + list + " FROM " +
                             quoted(table.name), {},
                         [&](const TextRow& row) {
      for (std::size_t c = 0; c < table.columns.size(); ++c) {
        const std::string& value = row[c + 1];
        std::string detail;
        if (!is_utf8(value)) {
          found.push_back({&encoding, table.columns[c] + ": " + value});
          continue;
        }
        ValueVerdict verdict = judge.judge(value, table.sorts[c], detail);
        if (verdict == ValueVerdict::Good) continue;
        std::string what = table.columns[c] + ": " + value;
        if (verdict == ValueVerdict::Blanks) found.push_back({&blanks, what});
        if (verdict == ValueVerdict::Undeclared) found.push_back({&undeclared, what + " " + detail});
        if (verdict == ValueVerdict::Unreadable) found.push_back({&unreadable, what + " " + detail});
      }
      // The place of a row is looked up only for the examples kept.
      for (auto& [finding, what] : found) {
        finding->add(finding->wants_example() ? context.place(table.name, row[0]) + ", " + what
                                              : std::string());
      }
      found.clear();
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
  std::move(encoding).into(context.report);
  std::move(blanks).into(context.report);
  std::move(undeclared).into(context.report);
  std::move(unreadable).into(context.report);
}

// Disclosures outside the policy's top-level guard: the audit checks a
// disclosure only for an attribute of its message that is phi or lies in it
// (de-identified data aside, which the policy treats on its own).
void check_unaudited(LintContext& context) {
  auto disclose = context.bind(names::kDisclose, {"info"});
  auto attribute_of = context.bind(names::kAttributeOf, {"info", "attr"});
  auto attribute_in = context.bind(names::kAttributeIn, {"subattr", "superattr"});
  auto purpose_of = context.bind(names::kPurposeOf, {"info"});
  if (!disclose || !attribute_of || !attribute_in) return;
  const std::string d = disclose->table, h = attribute_of->table;
  const std::string d_info = "d." + disclose->columns[0];
  const std::string no_attribute =
      "NOT EXISTS (SELECT 1 FROM " + h + " h WHERE h." + attribute_of->columns[0] + " = " + d_info + ")";
  const std::string has_purpose =
      purpose_of ? "EXISTS (SELECT 1 FROM " + purpose_of->table + " p WHERE p." +
                       purpose_of->columns[0] + " = " + d_info + ")"
                 : "1";

  FindingBuilder without("unchecked-no-attribute",
                         "disclosures with a purpose but no attribute row, which the audit never "
                         "checks");
  without.for_one("disclosure with a purpose but no attribute row, which the audit never checks");
  std::int64_t bare = 0;
  context.log.each_row(
      "SELECT " + context.log.row_id(names::kDisclose, "d") + ", d.*, " + has_purpose + " FROM " + d + " d WHERE " + no_attribute, {},
      [&](const TextRow& row) {
        if (row.back() == "1") {
          without.add(without.wants_example() ? context.place(names::kDisclose, row[0]) + ": " +
                                                    joined(row, 1, row.size() - 1)
                                              : std::string());
        } else {
          ++bare;
        }
        return true;
      });
  std::move(without).into(context.report);
  if (bare > 0) {
    const bool one = bare == 1;
    context.report.notes.push_back(count_noun(bare, "disclosure", "disclosures") +
                                   (one ? " carries" : " carry") +
                                   " neither an attribute nor a purpose (notices and answers); "
                                   "the audit does not check " + (one ? "it" : "them"));
  }

  FindingBuilder outside("unchecked-outside-phi", "disclosures whose attributes all lie outside "
                                                  "phi, which the audit never checks");
  outside.for_one("disclosure whose attributes all lie outside phi, which the audit never checks");
  const std::string h_info = attribute_of->columns[0], h_attr = attribute_of->columns[1];
  context.log.each_row(
      "SELECT " + context.log.row_id(names::kDisclose, "d") + ", d.*, (SELECT group_concat(" + h_attr + ", ' ') FROM " + h + " h WHERE h." +
          h_info + " = " + d_info + ") FROM " + d + " d WHERE NOT " + no_attribute +
          " AND NOT EXISTS (SELECT 1 FROM " + h + " h WHERE h." + h_info + " = " + d_info +
          " AND " + in_phi("h." + h_attr, *attribute_in) + ") AND EXISTS (SELECT 1 FROM " + h +
          " h WHERE h." + h_info + " = " + d_info + " AND h." + h_attr + " <> ?2)",
      {names::kTopAttribute, kNotPhi}, [&](const TextRow& row) {
        outside.add(outside.wants_example() ? context.place(names::kDisclose, row[0]) + ": " +
                                                  joined(row, 1, row.size() - 1) +
                                                  " (attributes: " + row.back() + ")"
                                            : std::string());
        return true;
      });
  std::move(outside).into(context.report);
}

void check_reference_tables(LintContext& context) {
  auto disclose = context.bind(names::kDisclose, {});
  if (!disclose || context.log.single("SELECT count(*) FROM " + disclose->table) == "0") return;
  FindingBuilder empty("empty-reference", "reference tables that are empty while there are "
                                          "disclosures");
  empty.for_one("reference table that is empty while there are disclosures");
  for (const char* name : {names::kAttributeIn, names::kAttributeOf, names::kPurposeOf,
                           names::kRoleAt}) {
    auto table = context.bind(name, {});
    if (table && context.log.single("SELECT count(*) FROM " + table->table) == "0") empty.add(name);
  }
  std::move(empty).into(context.report);
}

// The audit reads only direct rows: diagnosis in phi must be a row of its
// own, beside diagnosis in medical-record and medical-record in phi.
void check_closure(LintContext& context) {
  auto inclusions = context.bind(names::kAttributeIn, {"subattr", "superattr"});
  if (!inclusions) return;
  const std::string t = inclusions->table, sub = inclusions->columns[0],
                    super = inclusions->columns[1];
  FindingBuilder open("open-closure", "attribute inclusions missing from the transitive closure");
  open.for_one("attribute inclusion missing from the transitive closure");
  context.log.each_row(
      "SELECT DISTINCT x." + sub + ", x." + super + ", y." + super + " FROM " + t + " x JOIN " + t +
          " y ON y." + sub + " = x." + super + " WHERE x." + sub + " <> y." + super +
          " AND NOT EXISTS (SELECT 1 FROM " + t + " z WHERE z." + sub + " = x." + sub + " AND z." +
          super + " = y." + super + ")",
      {}, [&](const TextRow& row) {
        open.add(row[0] + " in " + row[2] + " (through " + row[1] + ")");
        return true;
      });
  std::move(open).into(context.report);
}

// A temporary table `name` (one indexed column, name) of the distinct values
// of `column` in `table`: a lookup that the log's own indexes may not serve,
// built in one pass instead of a scan per row.  Only the connection's
// temporary database is written; the log is not.
std::string distinct_values(LogReader& log, const std::string& name, const std::string& table,
                            const std::string& column) {
  const std::string temp = quoted(name);
  const auto run = [&](const std::string& sql) {
    log.each_row(sql, {}, [](const TextRow&) { return true; });
  };
  run("DROP TABLE IF EXISTS temp." + temp);
  run("CREATE TEMP TABLE " + temp + " (name TEXT PRIMARY KEY) WITHOUT ROWID");
  run("INSERT OR IGNORE INTO temp." + temp + " SELECT " + column + " FROM " + table);
  return "temp." + temp;
}

// Requests that nothing in the log can answer: their covered entity makes
// no disclosure in the log (a name spelt otherwise, most often), or they
// were received before the log's first disclosure and no disclosure of the
// log goes from the entity to the individual, so that the answer may lie
// before the log begins and the audit would count the deadline as missed.
void check_requests(LintContext& context) {
  auto disclose = context.bind(names::kDisclose, {"sender", "recipient"});
  if (!disclose) return;
  const std::string senders =
      distinct_values(context.log, "lint_senders", disclose->table, disclose->columns[0]);
  FindingBuilder early("request-before-log",
                       "requests received before the log's first disclosure and answered by none "
                       "of its disclosures, whose answer may lie before the log");
  early.for_one("request received before the log's first disclosure and answered by none of "
                "its disclosures, whose answer may lie before the log");
  for (const char* name : {names::kAccessRequest, names::kAccountingRequest}) {
    auto requests = context.bind(name, {"covered_entity"});
    if (!requests) continue;
    FindingBuilder hopeless("request-without-entity",
                            std::string(name) + " rows whose covered entity makes no disclosure "
                                                "in the log, so that none can answer them");
    hopeless.for_one(std::string(name) + " row whose covered entity makes no disclosure in the "
                                         "log, so that none can answer it");
    context.log.each_row("SELECT " + context.log.row_id(name, "q") + ", q.* FROM " + requests->table + " q WHERE q." +
                             requests->columns[0] + " NOT IN " + senders,
                         {}, [&](const TextRow& row) {
                           hopeless.add(context.place(name, row[0]) + ": " + joined(row, 1));
                           return true;
                         });
    std::move(hopeless).into(context.report);
    auto received = requests->layout->column_index("received");
    auto individual = context.bind(name, {"individual", "covered_entity"});
    if (!received || !individual || !context.span.first) continue;
    // The answer comes from the entity, from someone who acts for it or
    // from its business associate, as the policy lets them answer.
    const std::string entity = "q." + individual->columns[1];
    std::string answerer = "d." + disclose->columns[0] + " = " + entity;
    if (auto acts_for = context.bind("acts_for_db", {"person", "entity"})) {
      answerer += " OR EXISTS (SELECT 1 FROM " + acts_for->table + " a WHERE a." +
                  acts_for->columns[0] + " = d." + disclose->columns[0] + " AND a." +
                  acts_for->columns[1] + " = " + entity + ")";
    }
    if (auto contracts = context.bind("ba_agreement", {"covered_entity", "associate"})) {
      answerer += " OR EXISTS (SELECT 1 FROM " + contracts->table + " b WHERE b." +
                  contracts->columns[1] + " = d." + disclose->columns[0] + " AND b." +
                  contracts->columns[0] + " = " + entity + ")";
    }
    context.log.each_row("SELECT " + context.log.row_id(name, "q") + ", q.* FROM " + requests->table + " q WHERE NOT EXISTS "
                         "(SELECT 1 FROM " + disclose->table + " d WHERE (" + answerer + ") AND d." +
                         disclose->columns[1] + " = q." + individual->columns[0] + ")", {},
                         [&](const TextRow& row) {
                           auto when = seconds_of(row[*received + 1]);
                           if (!when || *when >= *context.span.first) return true;
                           early.add(context.place(name, row[0]) + ": " + joined(row, 1) + ", " +
                                     distance(*when - *context.span.first) + " than " +
                                     context.span.first_text);
                           return true;
                         });
  }
  std::move(early).into(context.report);
}


// The clauses of custody (164.512(k)(5)(i)) and of the armed forces
// (164.512(k)(1)(i)) test a role of the individual, not of a party; so does
// the clause of parents of unemancipated minors (164.502(g)(3)) for every
// disclosure to a personal representative.  When no such disclosure has any
// role row for its individual, the log most likely records no individual's
// roles at all (role periods given for the parties only), and every one of
// them fails the test or waits for a person, or (a minor without the role)
// passes as an adult's.
void check_individual_roles(LintContext& context) {
  auto disclose = context.bind(names::kDisclose, {"info", "at", "recipient"});
  auto attribute_of = context.bind(names::kAttributeOf, {"info", "subject"});
  auto purpose_of = context.bind(names::kPurposeOf, {"info", "purpose"});
  auto role_at = context.bind(names::kRoleAt, {"person", "at"});
  if (!disclose || !attribute_of || !purpose_of || !role_at) return;
  const auto& dc = disclose->columns;
  const auto& hc = attribute_of->columns;
  const auto& pc = purpose_of->columns;
  const auto& rc = role_at->columns;
  const std::string has_role = "EXISTS (SELECT 1 FROM " + role_at->table + " r WHERE r." + rc[0] +
                               " = h." + hc[1] + " AND r." + rc[1] + " = d." + dc[1] + ")";
  // One finding for the disclosures `about` selects (FROM ... WHERE ... AND).
  const auto check = [&](const std::string& about, const char* name, const char* title,
                         const char* one) {
    if (context.log.single("SELECT count(*)" + about + has_role) != "0") return;
    FindingBuilder missing(name, title);
    missing.for_one(one);
    context.log.each_row(
        "SELECT DISTINCT " + context.log.row_id(names::kDisclose, "d") + ", h." + hc[1] + ", d.*" +
            about + "NOT " + has_role,
        {}, [&](const TextRow& row) {
          missing.add(missing.wants_example() ? context.place(names::kDisclose, row[0]) + ": " +
                                                    joined(row, 2) + ": individual " + row[1]
                                              : std::string());
          return true;
        });
    std::move(missing).into(context.report);
  };
  check(" FROM " + disclose->table + " d JOIN " + purpose_of->table + " p ON p." + pc[0] +
            " = d." + dc[0] + " JOIN " + attribute_of->table + " h ON h." + hc[0] + " = d." +
            dc[0] + " WHERE p." + pc[1] + " IN ('correctional-custody', 'military-mission') AND ",
        "individual-roles",
        "disclosures for custody or the armed forces, none of whose individuals has a role row "
        "(the clauses test the individual's role; give the individuals' role periods too)",
        "disclosure for custody or the armed forces, none of whose individuals has a role row "
        "(the clauses test the individual's role; give the individuals' role periods too)");
  auto representative = context.bind("personal_rep", {"representative", "individual"});
  if (!representative) return;
  check(" FROM " + disclose->table + " d JOIN " + attribute_of->table + " h ON h." + hc[0] +
            " = d." + dc[0] + " JOIN " + representative->table + " g ON g." +
            representative->columns[0] + " = d." + dc[2] + " AND g." +
            representative->columns[1] + " = h." + hc[1] + " WHERE ",
        "minor-roles",
        "disclosures to a personal representative, none of whose individuals has a role row "
        "(whether the individual is an unemancipated minor, whose parent may receive less, is "
        "a role of the individual; give the individuals' role periods too)",
        "disclosure to a personal representative, none of whose individuals has a role row "
        "(whether the individual is an unemancipated minor, whose parent may receive less, is "
        "a role of the individual; give the individuals' role periods too)");
}

// What a person discloses counts as the covered entity's only through the
// table acts_for or a business associate contract: a sender with neither,
// and without any role of its own, discloses for no entity the log knows,
// and every table kept by an entity is looked up for it alone.
void check_unaffiliated_senders(LintContext& context) {
  auto disclose = context.bind(names::kDisclose, {"sender", "at"});
  auto role_at = context.bind(names::kRoleAt, {"person"});
  auto acts_for = context.bind("acts_for_db", {"person"});
  auto contracts = context.bind("ba_agreement", {"associate"});
  if (!disclose || !role_at || !acts_for || !contracts) return;
  const auto& dc = disclose->columns;
  FindingBuilder alone("sender-for-no-entity",
                       "senders who hold no role and act for no covered entity (no acts_for "
                       "row, no business associate contract), so that what they disclose is "
                       "judged as their own");
  alone.for_one("sender who holds no role and acts for no covered entity (no acts_for row, no "
                "business associate contract), so that what they disclose is judged as their "
                "own");
  // The role table's index leads with the time, not the person: the holders
  // of a role are gathered once instead of scanning the table per disclosure.
  const std::string holders =
      distinct_values(context.log, "lint_role_holders", role_at->table, role_at->columns[0]);
  context.log.each_row(
      "SELECT d." + dc[0] + ", count(*) FROM " + disclose->table + " d WHERE NOT EXISTS "
          "(SELECT 1 FROM " + holders + " r WHERE r.name = d." + dc[0] + ") AND NOT EXISTS (SELECT 1 FROM " + acts_for->table + " a WHERE a." +
          acts_for->columns[0] + " = d." + dc[0] + ") AND NOT EXISTS (SELECT 1 FROM " +
          contracts->table + " b WHERE b." + contracts->columns[0] + " = d." + dc[0] +
          ") GROUP BY d." + dc[0] + " ORDER BY min(" + context.log.row_id(names::kDisclose, "d") +
          ")",
      {}, [&](const TextRow& row) {
        alone.add(row[0] + " (" + row[1] + (row[1] == "1" ? " disclosure)" : " disclosures)"));
        return true;
      });
  std::move(alone).into(context.report);
}

// The log's time span and the moment up to which it claims to be complete.
void check_span(LintContext& context) {
  const Span& span = context.span;
  std::string note = count_noun(span.disclosures, "disclosure", "disclosures");
  if (span.first) note += ", from " + span.first_text + " to " + span.last_text;
  std::string end;
  if (context.log.has_table(names::kAuditEnd)) {
    end = context.log.single("SELECT " + quoted(names::kAuditEndColumn) + " FROM " +
                             quoted(names::kAuditEnd) + " ORDER BY " +
                             context.log.row_id(names::kAuditEnd) + " DESC");
  }
  if (end.empty()) {
    note += "; no audit_end: the log is taken as complete up to its last disclosure";
  } else {
    note += "; complete up to " + end + " (audit_end)";
  }
  context.report.notes.insert(context.report.notes.begin(), note);
  if (end.empty() || !span.last) return;
  auto end_seconds = seconds_of(end);
  if (!end_seconds) return;
  if (*span.last > *end_seconds) {
    FindingBuilder late("after-audit-end", "disclosures after the audit_end moment " + end);
    late.add("the last at " + span.last_text);
    std::move(late).into(context.report);
  }
}

// The checks in the order their findings are listed; the span is known
// once the values have been read.
const LintCheck kChecks[] = {
    check_tables,  check_reference_tables, check_values,   check_unaudited,
    check_parties, check_closure,          check_requests, check_individual_roles,
    check_unaffiliated_senders, check_span,
};

} // namespace

LintReport lint_log(LogReader& log, const Signature& signature, const FormulaPtr& policy) {
  LintContext context(log, signature);
  if (policy) context.roles.emplace(*policy);
  for (LintCheck check : kChecks) check(context);
  return std::move(context.report);
}

FormulaPtr load_lint_policy(const std::string& path, const Signature& signature,
                            bool accept_repairs, std::ostream& diag) {
  std::string text;
  try {
    text = read_text_file(path);
  } catch (const Failure& failure) {
    throw ToolError(failure.message());
  }
  return load_policy_text(path, text, signature, accept_repairs, diag);
}

} // namespace hipaa::tools

// hipaa-report on generated logs: the verdicts agree with the planted truth
// and with hipaa-audit, any number of threads or shards gives the same
// rows, and bad input leaves no report behind.
#include "casestudy/case_log.hpp"
#include "tools/csv_rows.hpp"

#include "logic/printer.hpp"
#include "syntax/policy_parser.hpp"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <functional>
#include <map>
#include <regex>
#include <set>

namespace hipaa::testing {
namespace {

// The records of an RFC 4180 text, keyed by the header's names.
std::vector<CsvRow> read_csv(const std::string& text) { return csv_rows(text); }

std::vector<CsvRow> verdicts(const Sandbox& sandbox, const std::string& folder = "report") {
  return read_csv(read_file(sandbox.path(folder + "/verdicts.csv")));
}

std::set<std::string> words(const std::string& text) {
  std::set<std::string> result;
  std::istringstream in(text);
  for (std::string word; in >> word;) result.insert(word);
  return result;
}

// Whether a row of truth.csv is a disclosure's (the others are requests').
bool is_message(const CsvRow& truth) { return truth.at("message").rfind("\"msg-", 0) == 0; }

// The clause names of a row: those broken, the closest permissions, those
// that permitted it or are open; "permitted" where no permission holds.
std::set<std::string> clause_words(const CsvRow& row) {
  std::set<std::string> result;
  for (const char* column : {"closest_permissions", "permitted_by", "open_clauses"}) {
    for (const std::string& word : words(row.at(column))) result.insert(word);
  }
  std::istringstream broken(row.at("broken"));
  for (std::string item; std::getline(broken, item, ';');) {
    while (!item.empty() && item.front() == ' ') item.erase(0, 1);
    result.insert(item == "no clause permits the disclosure" ? "permitted" : item);
  }
  return result;
}

// The message of a disclosure as the truth file writes it: in policy form.
std::string message_of(const CsvRow& row) { return "\"" + row.at("info") + "\""; }

void generate(const Sandbox& sandbox, std::vector<std::string> args) {
  args.insert(args.end(), {"--output", "hipaa.db", "--force"});
  ASSERT_EQ(sandbox.run("hipaa-loggen", args).status, 0);
}

TEST(Report, FindsExactlyThePlantedViolationsWithTheirClauses) {
  Sandbox sandbox;
  generate(sandbox, {"-n", "5000", "--violations", "0.05", "--seed", "11", "--truth", "truth.csv"});
  RunResult report = sandbox.run("hipaa-report", {"--quiet"});
  EXPECT_EQ(report.status, 1) << report.err;
  EXPECT_EQ(report.out, "");

  std::map<std::string, std::set<std::string>> reported; // message -> violated clauses
  std::map<std::string, std::set<std::string>> open;     // message -> open clauses
  std::map<std::string, std::string> residual;           // message -> open residuals
  for (const CsvRow& row : verdicts(sandbox)) {
    if (row.at("rule") != "c164-502-a") continue;
    std::set<std::string> clauses = clause_words(row);
    if (row.at("verdict") == "violation")
      reported[message_of(row)].insert(clauses.begin(), clauses.end());
    if (row.at("verdict") == "open") {
      open[message_of(row)].insert(clauses.begin(), clauses.end());
      residual[message_of(row)] += row.at("residual");
    }
  }
  std::set<std::string> planted;
  std::size_t open_planted = 0;
  for (const CsvRow& truth : read_csv(read_file(sandbox.path("truth.csv")))) {
    const std::string& message = truth.at("message");
    if (!is_message(truth)) continue; // a request's row names its individual
    if (truth.at("verdict") == "violation") {
      planted.insert(message);
      EXPECT_EQ(reported[message].count(truth.at("clause")), 1u) << message;
    } else if (truth.at("verdict") == "open") {
      ++open_planted;
      // The judgement may stand inside a larger open clause.
      EXPECT_TRUE(open[message].count(truth.at("clause")) == 1 ||
                  residual[message].find(truth.at("clause")) != std::string::npos)
          << message;
    }
  }
  std::set<std::string> found;
  for (const auto& [message, clauses] : reported) {
    if (!clauses.empty()) found.insert(message);
  }
  EXPECT_GT(planted.size(), 150u);
  EXPECT_GT(open_planted, 100u);
  EXPECT_EQ(found, planted);
}

// Calls `visit` on every subformula of the policy.
void each_formula(const FormulaPtr& formula, const std::function<void(const Formula&)>& visit) {
  visit(*formula);
  if (const auto* conj = formula->as<And>()) {
    for (const FormulaPtr& member : conj->conjuncts) each_formula(member, visit);
  } else if (const auto* disj = formula->as<Or>()) {
    for (const FormulaPtr& member : disj->disjuncts) each_formula(member, visit);
  } else if (const auto* q = formula->as<Quantified>()) {
    each_formula(q->body, visit);
  }
}

// Every disclosure of a log with every kind the generator knows gets the
// planted verdict and names the planted clause; every permission of the
// case study permits some disclosure or leaves it to a person, and every
// prohibition and deadline is broken by some disclosure.
TEST(Report, EveryClauseOfTheCaseStudyIsExercisedAndNamed) {
  Sandbox sandbox;
  generate(sandbox, {"-n", "20000", "--violations", "0.1", "--seed", "3", "--truth", "truth.csv"});
  ASSERT_EQ(sandbox.run("hipaa-report", {"--quiet", "--no-lint", "--format", "csv"}).status, 1);

  std::map<std::string, std::vector<CsvRow>> of_message;
  // (rule, verdict) -> the clauses named in the clause column or, for an
  // open instance, inside its residual.
  std::map<std::pair<std::string, std::string>, std::set<std::string>> named;
  for (CsvRow& row : verdicts(sandbox)) {
    std::set<std::string>& names = named[{row.at("rule"), row.at("verdict")}];
    for (const std::string& clause : clause_words(row)) names.insert(clause);
    if (row.at("verdict") == "open") {
      const std::string& residual = row.at("residual");
      for (std::size_t at = residual.find('<'); at != std::string::npos;
           at = residual.find('<', at + 1)) {
        names.insert(residual.substr(at + 1, residual.find('>', at) - at - 1));
      }
    }
    if (row.at("rule") == "c164-502-a") of_message[message_of(row)].push_back(std::move(row));
  }
  for (const CsvRow& truth : read_csv(read_file(sandbox.path("truth.csv")))) {
    if (!is_message(truth)) continue;
    const std::vector<CsvRow>& rows = of_message[truth.at("message")];
    std::set<std::string> verdicts_given;
    std::set<std::string> clauses;
    for (const CsvRow& row : rows) {
      verdicts_given.insert(row.at("verdict"));
      if (row.at("verdict") == truth.at("verdict")) {
        for (const std::string& clause : clause_words(row)) clauses.insert(clause);
        if (row.at("verdict") == "open") clauses.insert(row.at("residual"));
      }
    }
    const std::string& expected = truth.at("verdict");
    bool agrees = expected == "compliant" ? verdicts_given == std::set<std::string>{"compliant"}
                  : expected == "open"    ? verdicts_given.count("open") == 1 &&
                                             verdicts_given.count("violation") == 0
                                          : verdicts_given.count("violation") == 1;
    EXPECT_TRUE(agrees) << truth.at("message") << " " << truth.at("kind");
    bool named = clauses.count(truth.at("clause")) == 1 ||
                 std::any_of(clauses.begin(), clauses.end(), [&](const std::string& text) {
                   return text.find("<" + truth.at("clause") + ">") != std::string::npos;
                 });
    EXPECT_TRUE(named) << truth.at("message") << " " << truth.at("kind");
  }

  std::ostringstream diagnostics;
  FormulaParse parse =
      parse_formula_text(read_file(std::string(HIPAA_SOURCE_DIR) + "/hipaa-case-study/hipaa.f"), diagnostics);
  const FormulaPtr& policy = std::get<FormulaPtr>(*parse.result);
  // Every name inside a permission (the named disjuncts of "permitted"),
  // the permission's own included, leads to the permission; prohibitions
  // are the named implications and universals whose consequence is false
  // and that no alternative excuses (they are not a disjunct).
  std::map<std::string, std::string> permission_of;
  std::set<std::string> prohibitions;
  std::set<std::string> excusable;
  each_formula(policy, [&](const Formula& formula) {
    if (const auto* disj = formula.as<Or>()) {
      for (const FormulaPtr& member : disj->disjuncts) {
        if (member->name) excusable.insert(*member->name);
        if (formula.name != "permitted" || !member->name) continue;
        each_formula(member, [&](const Formula& inner) {
          if (inner.name) permission_of[*inner.name] = *member->name;
        });
      }
    }
    const auto* q = formula.as<Quantified>();
    if (formula.name && q != nullptr && q->kind == Quantifier::All && q->body->is<False>()) {
      prohibitions.insert(*formula.name);
    }
  });
  std::set<std::string> permissions;
  for (const auto& [inner, permission] : permission_of) permissions.insert(permission);
  std::set<std::string> exercised;
  for (const char* verdict : {"compliant", "open"}) {
    for (const std::string& clause : named[{"c164-502-a", verdict}]) {
      if (permission_of.count(clause) == 1) exercised.insert(permission_of[clause]);
    }
  }
  EXPECT_GT(permissions.size(), 30u);
  EXPECT_EQ(exercised, permissions);
  const std::set<std::string>& broken = named[{"c164-502-a", "violation"}];
  for (const std::string& clause : prohibitions) {
    if (excusable.count(clause) == 0) {
      EXPECT_EQ(broken.count(clause), 1u) << "prohibition never broken: " << clause;
    }
  }
  // Deadlines: the rules over requests, each broken and each still running
  // at the log's end.
  for (const std::string rule : {"c164-524-b-2", "c164-528-c-1"}) {
    const std::set<std::string>& late = named[{rule, "violation"}];
    const std::set<std::string>& running = named[{rule, "open"}];
    EXPECT_FALSE(late.empty()) << rule;
    EXPECT_EQ(running.count(rule + "-wait"), 1u) << rule;
  }
}

// The instance conjuncts of the audit's residual: the members of each
// rule's conjunction, without the rule's own quantifier kept for later
// disclosures.
std::multiset<std::string> audit_instances(const std::string& residual_text) {
  std::ostringstream diagnostics;
  FormulaParse parse = parse_formula_text(residual_text, diagnostics);
  const FormulaPtr& residual = std::get<FormulaPtr>(*parse.result);
  std::multiset<std::string> instances;
  for (const FormulaPtr& rule : residual->as<And>()->conjuncts) {
    const And* members = rule->as<And>();
    if (members == nullptr) {
      instances.insert(print_formula(*rule));
      continue;
    }
    for (const FormulaPtr& member : members->conjuncts) {
      if (member->is<Quantified>() && member->name == rule->name) continue;
      instances.insert(print_formula(*member));
    }
  }
  return instances;
}

TEST(Report, AgreesWithTheAuditOnLogsWithAndWithoutViolations) {
  for (const char* violations : {"0", "0.01"}) {
    Sandbox sandbox;
    generate(sandbox, {"-n", "3000", "--violations", violations, "--seed", "4"});
    RunResult audit = sandbox.run("hipaa-audit");
    ASSERT_EQ(audit.status, 0);
    std::string residual = audit.out.substr(audit.out.find('\n') + 1);
    RunResult report = sandbox.run("hipaa-report", {"--quiet", "--format", "csv"});
    bool audit_false = residual == "false\n";
    EXPECT_EQ(report.status, audit_false ? 1 : 0) << violations;
    EXPECT_EQ(audit_false, std::string(violations) != "0");
    if (audit_false) continue;
    std::multiset<std::string> open;
    for (const CsvRow& row : verdicts(sandbox)) {
      if (row.at("verdict") == "open") open.insert(row.at("residual"));
    }
    EXPECT_GT(open.size(), 100u);
    EXPECT_EQ(open, audit_instances(residual));
  }
}

TEST(Report, ThreadsAndShardsGiveTheSameRows) {
  Sandbox sandbox;
  generate(sandbox, {"-n", "1500", "--violations", "0.02", "--seed", "9"});
  ASSERT_EQ(sandbox.run("hipaa-report", {"-q", "--out", "one"}).status, 1);
  ASSERT_EQ(sandbox.run("hipaa-report", {"-q", "--jobs", "2", "--out", "two"}).status, 1);
  std::string whole = read_file(sandbox.path("one/verdicts.csv"));
  EXPECT_EQ(read_file(sandbox.path("two/verdicts.csv")), whole);
  EXPECT_EQ(read_file(sandbox.path("two/verdicts.json")),
            read_file(sandbox.path("one/verdicts.json")));

  // Shards, merged (tests/tools/report_merge_test.cpp checks the merge),
  // whether the driving rows come from tables in memory or from queries of
  // the log: each shard passes the others' rows over in either.
  const std::vector<std::vector<std::string>> variants = {
      {}, {"--engine", "tuple"}, {"--memory", "1"}, {"--jobs", "2"}};
  for (std::size_t v = 0; v < variants.size(); ++v) {
    const std::vector<std::string>& variant = variants[v];
    std::string label = variant.empty() ? "set" : variant[0] + " " + variant[1];
    std::string merged = "merged" + std::to_string(v);
    std::vector<std::string> merge = {"merge", "--out", merged};
    for (const char* shard : {"0", "1", "2"}) {
      std::string out = "shard" + std::to_string(v) + "-" + shard;
      std::vector<std::string> args = {"-q", "-F", "csv", "--shard", std::string(shard) + "/3",
                                       "--out", out};
      args.insert(args.end(), variant.begin(), variant.end());
      EXPECT_NE(sandbox.run("hipaa-report", args).status, 2) << label << " shard " << shard;
      merge.push_back(out);
    }
    EXPECT_EQ(sandbox.run("hipaa-report", merge).status, 1) << label;
    EXPECT_EQ(read_file(sandbox.path(merged + "/verdicts.csv")), whole) << label;
  }
}

TEST(Report, JsonHoldsTheSameVerdictsAsCsv) {
  Sandbox sandbox;
  generate(sandbox, {"-n", "400", "--violations", "0.05"});
  sandbox.run("hipaa-report", {"-q"});
  std::vector<CsvRow> rows = verdicts(sandbox);
  nlohmann::json json = nlohmann::json::parse(read_file(sandbox.path("report/verdicts.json")));
  ASSERT_EQ(json.size(), rows.size());
  for (std::size_t i = 0; i < rows.size(); ++i) {
    EXPECT_EQ(json[i]["position"].get<std::size_t>(), std::stoul(rows[i].at("position")));
    EXPECT_EQ(json[i]["verdict"], rows[i].at("verdict"));
    EXPECT_EQ(json[i]["residual"], rows[i].at("residual"));
    if (rows[i].at("rule") == "c164-502-a") {
      EXPECT_EQ(json[i]["values"]["info"], message_of(rows[i]));
      EXPECT_EQ(json[i]["reason"], rows[i].at("reason"));
    }
  }
}

TEST(Report, AnAwaitedDisclosurePastItsDeadlineIsOverdue) {
  Sandbox sandbox;
  generate(sandbox, {"-n", "2000"});
  std::string last_out;
  // The instances that wait for a disclosure, and those already overdue.
  auto awaiting = [&](const std::vector<std::string>& args, const std::string& mark) {
    RunResult result = sandbox.run("hipaa-report", args);
    last_out = result.out;
    std::vector<CsvRow> rows;
    for (const CsvRow& row : verdicts(sandbox)) {
      if (row.at("obligations").find(mark) != std::string::npos) rows.push_back(row);
    }
    return rows;
  };
  std::vector<CsvRow> waiting = awaiting({"-q"}, ": awaiting a disclosure by 20");
  ASSERT_FALSE(waiting.empty());
  for (const CsvRow& row : waiting) EXPECT_EQ(row.at("verdict"), "open");
  std::vector<CsvRow> overdue = awaiting({"-F", "csv", "--as-of", "2100-01-01"}, "overdue");
  EXPECT_EQ(overdue.size(), waiting.size());
  EXPECT_NE(last_out.find("(" + std::to_string(overdue.size()) + " overdue)\n"), std::string::npos)
      << last_out;
  for (const CsvRow& row : overdue) {
    EXPECT_EQ(row.at("verdict"), "violation");
    EXPECT_FALSE(row.at("broken").empty());
    // The reason says each awaited disclosure once, however many paths of
    // the residual await it.
    std::string reason;
    std::set<std::string> said;
    std::istringstream items(row.at("obligations"));
    for (std::string item; std::getline(items, item, ';');) {
      if (item.starts_with(" ")) item.erase(0, 1);
      const std::size_t colon = item.find(": overdue, awaiting a disclosure by ");
      ASSERT_NE(colon, std::string::npos) << item;
      std::string deadline = item.substr(item.rfind(' ') + 1);
      std::replace(deadline.begin(), deadline.end(), 'T', ' ');
      if (deadline.ends_with(":00")) deadline.resize(deadline.size() - 3);
      std::string sentence = item.substr(0, colon) + ": the disclosure it awaits by " + deadline +
                             " has not been made";
      if (!said.insert(sentence).second) continue;
      reason += (reason.empty() ? "" : "; ") + sentence;
    }
    EXPECT_EQ(row.at("reason"), reason);
  }
}

// The whole file for a hand-made log: a compliant disclosure, one no
// clause permits, and a request for access not yet answered.
TEST(Report, VerdictsFileOfASmallLogIsExact) {
  Sandbox sandbox;
  {
    CaseLog log(sandbox);
    const std::string t1 = "2010:03:01:10:00:00";
    log.disclosure("Smith, J.", "dr-b", "m1", t1, "pat", "diagnosis", "treatment");
    log.role("dr-b", "health-care-provider", t1);
    log.disclosure("Smith, J.", "boss", "m2", t1, "pat", "diagnosis", "treatment");
    log.row("access_request", {str("pat"), str("hospital"), t1});
    log.row("audit_end", {"2010:03:10:00:00:00"});
  }
  RunResult report = sandbox.run("hipaa-report", {"--format", "csv", "--as-of", "2010-03-15"});
  EXPECT_EQ(report.status, 1) << report.err;
  EXPECT_EQ(read_file(sandbox.path("report/verdicts.csv")),
            "position,rule,sender,recipient,info,at,subject,attr,individual,covered_entity,"
            "received,verdict,broken,closest_permissions,reason,titles,permitted_by,open_clauses,"
            "judgements,obligations,residual,warnings,questions,decisions\r\n"
            "0,c164-502-a,\"Smith, J.\",dr-b,m1,2010-03-01T10:00:00,pat,diagnosis,,,,compliant,,,,,"
            "c164-506-c-2,,,,true,,,\r\n"
            "1,c164-502-a,\"Smith, J.\",boss,m2,2010-03-01T10:00:00,pat,diagnosis,,,,violation,"
            "no clause permits the disclosure,c164-506-c-2,c164-506-c-2: boss holds no role "
            "Health-care-provider on 2010-03-01 10:00,45 CFR 164.506(c)(2) Treatment activities "
            "of any provider,,,,,false,,,\r\n"
            "2,c164-524-b-2,,,,,,,pat,hospital,2010-03-01T10:00:00,open,,,,45 CFR 164.524(b)(2) "
            "Action on a request for access within 30 days,,c164-524-b-2,,c164-524-b-2-wait: "
            "awaiting a disclosure by 2010-03-31T23:59:59,\"(<c164-524-b-2-wait> ex [m25: string] "
            "[t25: date] (and (disclose-eval \"\"hospital\"\" \"\"pat\"\" m25 t25) (time_in "
            "2010:03:01:10:00:00 t25 2010:03:31:23:59:59)) (or (purp_in m25 individual-access) "
            "(purp_in m25 access-denial) (purp_in m25 access-extension-notice)))\",,"
            "awaiting c164-524-b-2-wait,\r\n");
  EXPECT_EQ(report.out, "2 disclosures, from 2010:03:01:10:00:00 to 2010:03:01:10:00:00; complete "
                        "up to 2010:03:10:00:00:00 (audit_end)\n"
                        "1 party holding no role at the time of disclosures whose verdict "
                        "depends on it\n"
                        "1 access_request row whose covered entity makes no disclosure in the "
                        "log, so that none can answer it\n"
                        "1 sender who holds no role and acts for no covered entity (no acts_for "
                        "row, no business associate contract), so that what they disclose is "
                        "judged as their own\n"
                        "Audited 3 instances of 4 rules: c164-502-a 2, c164-524-b-2 1, c164-528-c-1 0, "
                        "c164-524-d-4 0\n"
                        "  violation          1\n"
                        "  open               1\n"
                        "  compliant          1\n"
                        "Clauses most at stake (violations, open):\n"
                        "  c164-506-c-2                            1        0  45 CFR 164.506(c)(2) "
                        "Treatment activities of any provider\n"
                        "  no clause permits the disclosure        1        0\n"
                        "  c164-524-b-2                            0        1  45 CFR 164.524(b)(2) "
                        "Action on a request for access within 30 days\n"
                        "Report: report/verdicts.csv report/worklist.csv\n");
}

// A reason names the record that broke the rule, not merely the first row
// of its table: the sender's own notice among others' notices, and the
// restriction it agreed to behind many that do not apply.
TEST(Report, AReasonNamesTheRecordThatBrokeTheRule) {
  Sandbox sandbox;
  const std::string t = "2010:03:01:10:00:00";
  {
    CaseLog log(sandbox);
    log.disclosure("clinic-b", "fdn", "m1", t, "pat", "name", "fundraising");
    log.role("fdn", "related-foundation", t);
    log.row("notice_statement", {str("clinic-b"), "fundraising", "2009:01:01:00:00:00"});
    log.row("protocol", {str("clinic-b"), "fundraising", "name"});
    log.row("notice_limitation", {str("clinic-a"), "fundraising", "2009:06:01:00:00:00"});
    log.row("notice_limitation", {str("clinic-b"), "fundraising", "2009:07:01:00:00:00"});
    log.disclosure("hosp", "plan", "m2", t, "pat", "diagnosis", "payment");
    log.role("hosp", "covered-entity", t);
    log.role("plan", "covered-entity", t);
    log.row("protocol", {str("hosp"), "payment", "diagnosis"});
    for (int i = 0; i < 20; ++i) {
      log.row("restriction", {str("pat"), str("clinic-" + std::to_string(i)), "medical-record",
                              "2010:01:01:00:00:00", "2011:01:01:00:00:00"});
    }
    log.row("restriction", {str("pat"), str("hosp"), "medical-record", "2010:01:02:00:00:00",
                            "2011:01:01:00:00:00"});
    log.row("audit_end", {"2010:12:31:00:00:00"});
  }
  RunResult report = sandbox.run("hipaa-report", {"--quiet", "--no-lint", "--format", "csv"});
  ASSERT_EQ(report.status, 1) << report.err;
  std::map<std::string, std::string> reasons;
  for (const CsvRow& row : verdicts(sandbox)) reasons[row.at("info")] = row.at("reason");
  EXPECT_EQ(reasons["m1"], "c164-502-i: the notice of privacy practices of clinic-b rules out "
                           "disclosures for fundraising from 2009-07-01 00:00; none of its "
                           "exceptions applies");
  EXPECT_EQ(reasons["m2"], "c164-522-a-1-ii: hosp agreed with pat on 2010-01-02 00:00 to restrict "
                           "disclosures of medical-record (until 2011-01-01 00:00); none of its "
                           "exceptions applies");
}

TEST(Report, BadInputIsRefusedWithoutWritingAReport) {
  Sandbox sandbox;
  generate(sandbox, {"-n", "50"});
  write_file(sandbox.path("notes.txt"), std::string(4096, 'x'));
  write_file(sandbox.path("broken.f"), "(and (all [x] ");
  write_file(sandbox.path("unsorted.f"), "(lessthan \"a\" 3)");
  std::filesystem::create_directory(sandbox.path("papers"));
  write_file(sandbox.path("papers/draft.txt"), "mine");
  struct Case {
    std::vector<std::string> args;
    std::string message; // what standard error must contain
  };
  const Case cases[] = {
      {{"--db", "absent.db"}, "hipaa-report: absent.db: cannot open the audit database\n"},
      {{"--db", "notes.txt"}, "hipaa-report: notes.txt: not an SQLite database\n"},
      {{"--policy", "broken.f"}, "hipaa-report: broken.f: does not parse\n"},
      {{"--policy", "unsorted.f"}, "hipaa-report: unsorted.f: rejected ("},
      {{"--out", "notes.txt/report"},
       "hipaa-report: cannot write the report to notes.txt/report: "},
      {{"--shard", "3/3"}, "hipaa-report: --shard needs K/N with 0 <= K < N, not \"3/3\"\n"},
      {{"--shard", "a/b"}, "hipaa-report: --shard needs K/N with 0 <= K < N, not \"a/b\"\n"},
      {{"--jobs", "0"}, "hipaa-report: --jobs needs a whole number from 1 to 256, not \"0\"\n"},
      {{"--engine", "fast"}, "hipaa-report: --engine takes set or tuple, not \"fast\"\n"},
      {{"--memory", "0"},
       "hipaa-report: --memory needs a whole number of MiB from 1 to 1048576, not \"0\"\n"},
      {{"--as-of", "2010-13-01"}, "hipaa-report: --as-of: \"2010-13-01\" is not a date\n"},
      {{"--as-of", "soon"}, "hipaa-report: --as-of needs a date such as 2010-03-01"},
      {{"--format", "csv,xml"}, "hipaa-report: --format takes csv, json and html"},
      {{"--db"}, "hipaa-report: option --db needs a value\n"},
      {{"--out", "papers"},
       "hipaa-report: cannot write the report to papers: the folder holds "
       "files that are not a report's\n"},
  };
  for (const Case& c : cases) {
    RunResult result = sandbox.run("hipaa-report", c.args);
    EXPECT_EQ(result.status, 2) << c.args.back();
    EXPECT_NE(result.err.find(c.message), std::string::npos) << result.err;
    EXPECT_EQ(result.out, "") << c.args.back();
    EXPECT_EQ(sandbox.files(), (std::vector<std::string>{"broken.f", "hipaa.db", "notes.txt",
                                                         "papers", "unsorted.f"}))
        << c.args.back();
  }
  EXPECT_EQ(read_file(sandbox.path("papers/draft.txt")), "mine");
}

TEST(Report, SummaryPageRendersInABrowser) {
  if (std::system("command -v chromium >/dev/null 2>&1") != 0) {
    GTEST_SKIP() << "chromium is not installed; scripts/setup.sh installs it";
  }
  Sandbox sandbox;
  generate(sandbox, {"-n", "600", "--violations", "0.05"});
  RunResult report = sandbox.run("hipaa-report");
  ASSERT_EQ(report.status, 1);
  std::size_t violations = 0;
  for (const CsvRow& row : verdicts(sandbox)) violations += row.at("verdict") == "violation";
  EXPECT_NE(report.out.find("  violation  " +
                            std::string(9 - std::to_string(violations).size(), ' ') +
                            std::to_string(violations) + "\n"),
            std::string::npos)
      << report.out;

  std::filesystem::create_directory(sandbox.path("browser-profile"));
  std::string command =
      "chromium --headless --no-sandbox --disable-gpu --disable-quic --no-first-run "
      "--disable-background-networking --disable-component-update --disable-sync "
      "--user-data-dir=" +
      shell_quote(sandbox.path("browser-profile").string()) + " --dump-dom " +
      shell_quote("file://" + sandbox.path("report/summary.html").string()) + " > " +
      shell_quote(sandbox.path("dom.html").string()) + " 2>/dev/null";
  ASSERT_EQ(std::system(command.c_str()), 0);
  std::string dom = read_file(sandbox.path("dom.html"));
  EXPECT_NE(dom.find("id=\"violation\">" + std::to_string(violations) + "<"), std::string::npos);
  EXPECT_NE(dom.find("<svg"), std::string::npos);
  EXPECT_NE(dom.find("c164-502-a"), std::string::npos);
  // The page says what to do next, with the counts, and names the values by
  // the log's columns, never by the policy's variables.
  const std::size_t questions = read_csv(read_file(sandbox.path("report/worklist.csv"))).size();
  EXPECT_NE(dom.find("<li>Look into the " + std::to_string(violations) + " violation"),
            std::string::npos);
  EXPECT_NE(dom.find("<li>Answer the " + std::to_string(questions) + " question"),
            std::string::npos);
  EXPECT_NE(dom.find("\"variables\":[[\"sender\",\"recipient\""), std::string::npos);
}

} // namespace
} // namespace hipaa::testing

namespace hipaa::testing {
namespace {

// A reason's whole text against its pattern: {column} stands for the row's
// value of that column (a date as the sentence writes it), {date} for any
// date, {id} for any name of the log.
::testing::AssertionResult reads(const std::string& reason, const std::string& pattern,
                                 const CsvRow& row) {
  auto escaped = [](const std::string& text) {
    static const std::regex special(R"([.^$|()\[\]{}*+?\\])");
    return std::regex_replace(text, special, R"(\$&)");
  };
  auto sentence_date = [](std::string iso) {
    std::replace(iso.begin(), iso.end(), 'T', ' ');
    if (iso.size() == 19 && iso.ends_with(":00")) iso.resize(16);
    return iso;
  };
  std::string expression;
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    const std::size_t close = pattern[i] == '{' ? pattern.find('}', i) : std::string::npos;
    if (close == std::string::npos) {
      expression += escaped(std::string(1, pattern[i]));
      continue;
    }
    const std::string name = pattern.substr(i + 1, close - i - 1);
    if (name == "date") expression += R"(\d{4}-\d\d-\d\d \d\d:\d\d(:\d\d)?)";
    else if (name == "id") expression += "[a-z0-9-]+";
    else if (name == "at" || name == "received") expression += escaped(sentence_date(row.at(name)));
    else expression += escaped(row.at(name));
    i = close;
  }
  if (std::regex_match(reason, std::regex(expression))) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "the reason\n  " << reason << "\nreads not as\n  "
                                       << pattern;
}

// Every kind of violation the generator plants gets a reason that says in
// the clause's terms what failed, with the disclosure's own values.
TEST(Report, EveryPlantedViolationHasAReasonWithItsValues) {
  Sandbox sandbox;
  generate(sandbox, {"-n", "4000", "--violations", "0.2", "--seed", "3", "--truth", "truth.csv"});
  ASSERT_EQ(sandbox.run("hipaa-report", {"--quiet", "--no-lint", "--format", "csv"}).status, 1);
  // A prohibition names the row that made it apply, then its exceptions.
  const std::string authorised =
      ", in force on {at} and with no recorded defect, lets {sender} or an entity it acts for "
      "disclose {attr} to {recipient} for ";
  const std::string nearest_authorisation =
      "; the nearest record: an authorisation from {subject} lets {id} disclose {id} to "
      "{recipient} for underwriting (signed {date}, expiring {date})";
  const std::string unanswered_authorisation = "c164-508-a-1: no authorisation from {subject}" +
                                               authorised + "the purpose of message {info}" +
                                               nearest_authorisation;
  const std::string payee =
      "c164-506-c-3: {recipient} is no covered entity on {date}: neither a health care provider, "
      "a health plan nor a clearinghouse, for whose payment activities the disclosure could be "
      "made";
  // A contract that had ended: the agreement on file says more than the
  // other permissions that the disclosure came near.
  const std::string ended_contract =
      "c164-502-e: no business associate agreement between the covered entity and {recipient} is "
      "in force; the nearest record: a business associate agreement between {sender} and "
      "{recipient} was signed {date} and ends {date}";
  const std::map<std::string, std::string> expected = {
      {"associate-contract-ended", ended_contract},
      {"an-hour-short-of-fifty-years",
       "c164-502-f: the 50 years after the death of {subject}, during which the information stays "
       "protected, had not passed by the disclosure on {at}; the nearest record: {subject} died on "
       "{date}"},
      {"authorisation-day-after-expiry", unanswered_authorisation},
      {"authorization-expired", unanswered_authorisation},
      {"authorization-not-yet-signed", unanswered_authorisation},
      {"clerk-of-another-entity", unanswered_authorisation},
      // An authorisation in force but with a recorded defect: the defect.
      {"conditioned-authorisation",
       "c164-508-a-1: the authorisation of {subject} for {id} to disclose to {recipient} for "
       "underwriting, signed {date}, has the defect conditioned and was never valid"},
      {"contract-day-after", ended_contract},
      {"coroner-about-the-living", "c164-512-g-1: {subject} is not recorded as deceased"},
      {"directory-despite-objection",
       "c164-510-a: {subject} objected on {date} to disclosures by {id} for facility-directory; its "
       "exception does not apply: no record that {subject} was given the chance to object to {id} "
       "disclosing for facility-directory and did not object; the nearest record: {subject} did not "
       "object to {id} disclosing for facility-directory (recorded {date})"},
      {"disaster-relief-diagnosis",
       "c164-510-b-4: {attr} is none of what may go to a disaster relief entity about {subject}: "
       "name, location in the facility, general condition or date of death"},
      {"fundraising-after-opt-out",
       "c164-514-f-2-iv: {subject} opted out of fundraising communications from {sender} on {date}"},
      {"fundraising-letter-after-opt-out",
       "c164-514-f-2-iv: {subject} opted out of fundraising communications from {sender} on {date}"},
      // The notice is looked up for the entity the sender acts for.
      {"fundraising-the-notice-ruled-out",
       "c164-502-i: the notice of privacy practices of {id} rules out disclosures for fundraising "
       "from {date}; none of its exceptions applies"},
      {"fundraising-without-notice",
       "c164-514-f-2-i: {sender} is no related foundation, and no notice of privacy practices of "
       "{sender} or of an entity it acts for stated by {at} that fundraising communications may be "
       "sent"},
      {"genetic-underwriting",
       "c164-502-a-5-i: {sender} is a health plan and disclosed genetic information of {subject} "
       "({attr}) for underwriting"},
      {"identification-outside-the-list",
       "c164-512-f-2: {attr} is none of the identifying information that may go to law enforcement "
       "to identify or locate {subject}: name, address, date of birth, social security number, "
       "blood type, type of injury, date of treatment, date of death or physical description"},
      {"law-enforcement-to-non-official",
       "c164-512-f: {recipient} holds no role law-enforcement-official on {date}"},
      {"limited-data-set-defective-agreement",
       "c164-514-e-4-ii: the data use agreement of {sender} with {recipient}, signed {date}, lacks "
       "a required term"},
      {"limited-data-set-with-a-name",
       "c164-514-e-2: the limited data set in message {info} carries {attr} of {subject}, which a "
       "limited data set must exclude"},
      {"marketing-unauthorized", "c164-508-a-3: no authorisation from {subject}" + authorised + "marketing"},
      {"phi-to-employer", "c164-506-c-2: {recipient} holds no role Health-care-provider on {at}"},
      {"plan-pays-through-sponsor", payee},
      {"plan-to-sponsor-for-employment",
       "c164-504-f-3-iv: message {info} is recorded as made for employment-decision, for which a "
       "group health plan may not disclose to the plan sponsor {recipient}"},
      {"plan-underwriting-without-statement",
       "c164-520-b-1-iii-C: {sender} is a health plan, the disclosure is for underwriting, and no "
       "statement in the notice of privacy practices of {sender} in effect at {at} says that it may "
       "not use or disclose genetic information for underwriting"},
      {"psychotherapy-unauthorized",
       "c164-508-a-2: no authorisation from {subject}" + authorised + "the purpose of message {info}"},
      {"re-identification-code-disclosed",
       "c164-514-c-2: message {info} carries re-identification-code of {subject}"},
      {"record-to-personnel-office",
       "c164-504-c-2: {recipient} is a component of the entity that is no health care component on "
       "{at}: it receives as a third party would, not as the entity itself"},
      {"relationship-missing", "c164-506-c-4: no relationship between {subject} and {recipient} is on record"},
      {"religion-to-a-visitor", "c164-510-a: {recipient} holds no role clergy on {at}"},
      {"required-by-law-as-cover",
       "c164-512-a-2: message {info} is recorded as made for abuse-neglect-report, a disclosure that "
       "must meet the conditions of its own paragraph: that a law requires it does not suffice"},
      {"restriction-broken",
       "c164-522-a-1-ii: {sender} agreed with {subject} on {date} to restrict disclosures of "
       "medical-record (until {date}); none of its exceptions applies"},
      {"sale-unauthorized", "c164-508-a-4: no authorisation from {subject}" + authorised + "sale-of-phi"},
      {"self-paid-through-clearinghouse",
       "c164-522-a-1-vi: {subject} asked {id} on {date} not to disclose {attr} to a health plan "
       "(paid in full); its exception does not apply: message {info} is not recorded as made for "
       "required-by-law"},
      {"self-pay-restriction-broken",
       "c164-522-a-1-vi: {subject} asked {sender} on {date} not to disclose {attr} to a health plan "
       "(paid in full); its exception does not apply: message {info} is not recorded as made for "
       "required-by-law"},
      {"staff-breaks-restriction",
       "c164-522-a-1-ii: {id} agreed with {subject} on {date} to restrict disclosures of "
       "medical-record (until {date}); none of its exceptions applies"},
      {"treatment-to-employer", "c164-506-c-2: {recipient} holds no role Health-care-provider on {at}"},
      {"underwriting-information-reused",
       "c164-514-g: {sender} received {subject}'s information for underwriting, and the coverage "
       "was not placed with it ({date}); none of its exceptions applies"},
      {"vendor-outside-contract",
       "c164-502-a-3-scope: the contract of {id} with {sender} permits the purpose "
       "individual-access; message {info} went from {sender} to {recipient}, not back to {id}, for "
       "no purpose the contract permits, nor as required by law or for {sender}'s own "
       "administration"},
  };
  // The deadlines of requests: rule -> the reason of every violation.
  const std::map<std::string, std::string> unanswered = {
      {"c164-524-b-2",
       "c164-524-b-2: {covered_entity} did not act on the request for access that {individual} "
       "made on {received} in time: it neither gave the access or a written denial by the end of "
       "day 30 nor, after a written notice of extension sent by then, acted by the end of day 60; "
       "the nearest record: day 30 from {received} ends at {date}"},
      {"c164-528-c-1",
       "c164-528-c-1: {covered_entity} did not act on the request for an accounting of disclosures "
       "that {individual} made on {received} in time: it neither gave the accounting by the end of "
       "day 60 nor, after a written notice of extension sent by then, gave it by the end of day 90; "
       "the nearest record: day 60 from {received} ends at {date}"},
      {"c164-524-d-4",
       "c164-524-d-4: {covered_entity} gave {individual} neither the reviewing official's "
       "determination nor the access within a reasonable time of the request of {received} to "
       "review its denial of access"},
  };
  std::map<std::string, CsvRow> violation_of; // message -> its violation row
  std::set<std::string> rules_seen;
  for (CsvRow& row : verdicts(sandbox)) {
    if (row.at("verdict") != "violation") continue;
    if (row.at("rule") == "c164-502-a") {
      violation_of.emplace(message_of(row), std::move(row));
      continue;
    }
    auto found = unanswered.find(row.at("rule"));
    ASSERT_NE(found, unanswered.end()) << row.at("rule");
    EXPECT_TRUE(reads(row.at("reason"), found->second, row));
    rules_seen.insert(row.at("rule"));
  }
  EXPECT_EQ(rules_seen.size(), unanswered.size());
  std::set<std::string> kinds_seen;
  for (const CsvRow& truth : read_csv(read_file(sandbox.path("truth.csv")))) {
    if (truth.at("verdict") != "violation" || !is_message(truth)) continue;
    const std::string& kind = truth.at("kind");
    auto found = expected.find(kind);
    ASSERT_NE(found, expected.end()) << "a kind without an expected reason: " << kind;
    auto row = violation_of.find(truth.at("message"));
    ASSERT_NE(row, violation_of.end()) << truth.at("message");
    EXPECT_TRUE(reads(row->second.at("reason"), found->second, row->second)) << kind;
    EXPECT_EQ(row->second.at("broken").find("permitted "), std::string::npos);
    kinds_seen.insert(kind);
  }
  EXPECT_EQ(kinds_seen.size(), expected.size());
}

} // namespace
} // namespace hipaa::testing

namespace hipaa::testing {
namespace {

// A time written in the hour New York skips reads as the hour after it: the
// report marks the instance, in its warnings, its reason and the summary.
// A log imported with the hospital's own codes (the importer keeps them in
// hipaa_import_codes): a reason names the local code beside the constant,
// once, where the constant stands whole, and nothing else changes.
TEST(Report, AReasonNamesTheLocalCodeBesideTheConstant) {
  Sandbox sandbox;
  generate(sandbox, {"-n", "4000", "--violations", "0.2", "--seed", "3"});
  ASSERT_EQ(sandbox.run("hipaa-report", {"--quiet", "--no-lint", "--format", "csv"}).status, 1);
  const std::vector<CsvRow> plain = verdicts(sandbox);
  {
    TestDb db(sandbox.path("hipaa.db"));
    db.exec("CREATE TABLE hipaa_import_codes (sort TEXT, local TEXT, constant TEXT, "
            "PRIMARY KEY (sort, local)) WITHOUT ROWID");
    db.exec("INSERT INTO hipaa_import_codes VALUES ('purpose', 'MKT', 'marketing'), "
            "('purpose', 'ROI-LEGAL', 'required-by-law'), ('purpose', 'LEGAL', 'required-by-law'), "
            "('role', 'DOC', 'health-care-provider'), ('role', 'PRV', 'Health-care-provider')");
  }
  ASSERT_EQ(sandbox.run("hipaa-report", {"--quiet", "--no-lint", "--format", "csv", "--out",
                                         "coded"})
                .status,
            1);
  const std::vector<CsvRow> coded = verdicts(sandbox, "coded");
  ASSERT_EQ(coded.size(), plain.size());
  const std::vector<std::string> notes = {" (local code MKT)", " (local codes LEGAL, ROI-LEGAL)",
                                          " (local code DOC)", " (local code PRV)"};
  std::set<std::string> seen;
  for (std::size_t i = 0; i < plain.size(); ++i) {
    std::string reason = coded[i].at("reason");
    for (const std::string& note : notes) {
      const std::size_t at = reason.find(note);
      if (at == std::string::npos) continue;
      seen.insert(note);
      EXPECT_EQ(reason.find(note, at + 1), std::string::npos) << reason;
      // The note follows the whole constant, not part of a longer name.
      EXPECT_TRUE(at + note.size() == reason.size() || reason[at + note.size()] == ' ' ||
                  reason[at + note.size()] == ';' || reason[at + note.size()] == ',')
          << reason;
      reason.erase(at, note.size());
    }
    EXPECT_EQ(reason, plain[i].at("reason")) << i;
    CsvRow rest = coded[i];
    rest["reason"] = plain[i].at("reason");
    EXPECT_EQ(rest, plain[i]) << i;
  }
  EXPECT_GE(seen.size(), 2u);
}

TEST(Report, ATimeInADaylightSavingGapIsMarked) {
  Sandbox sandbox;
  {
    CaseLog log(sandbox);
    const std::string gap = "2010:03:14:02:30:00"; // skipped in New York
    const std::string plain = "2010:03:15:12:00:00";
    log.disclosure("hospital", "boss", "m1", gap, "pat", "diagnosis", "treatment");
    log.disclosure("hospital", "boss", "m2", plain, "pat", "diagnosis", "treatment");
    log.row("audit_end", {"2010:03:20:00:00:00"});
  }
  std::string command = "cd " + shell_quote(sandbox.path("").string()) +
                        " && TZ=America/New_York " +
                        shell_quote(std::string(HIPAA_BINARY_DIR) + "/hipaa-report") +
                        " --no-lint --format csv > .stdout 2> .stderr";
  int status = std::system(command.c_str());
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 1) << read_file(sandbox.path(".stderr"));
  std::vector<CsvRow> rows = verdicts(sandbox);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].at("at"), "2010-03-14T03:30:00");
  EXPECT_EQ(rows[0].at("warnings"),
            "at 2010-03-14T03:30:00 lies in the hour after the local clocks moved forward: a time "
            "written in the skipped hour reads as this one");
  EXPECT_NE(rows[0].at("reason").find("(warning: at 2010-03-14T03:30:00"), std::string::npos);
  EXPECT_EQ(rows[1].at("warnings"), "");
  EXPECT_NE(read_file(sandbox.path(".stdout")).find("Warning: 1 instance holds a time just after"),
            std::string::npos);
}

} // namespace
} // namespace hipaa::testing

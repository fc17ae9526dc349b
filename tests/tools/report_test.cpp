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
    EXPECT_NE(row.at("reason").find("has not been made"), std::string::npos) << row.at("reason");
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

// Every kind of violation the generator plants gets a reason that names
// the failed fact with the disclosure's own values.
TEST(Report, EveryPlantedViolationHasAReasonWithItsValues) {
  Sandbox sandbox;
  generate(sandbox, {"-n", "4000", "--violations", "0.2", "--seed", "3", "--truth", "truth.csv"});
  ASSERT_EQ(sandbox.run("hipaa-report", {"--quiet", "--no-lint", "--format", "csv"}).status, 1);
  // kind -> the clause the reason starts with, words of its sentence, the
  // column whose value the sentence names, and words that must follow (a
  // prohibition names the row that made it apply, then its exceptions).
  struct Expected {
    const char* clause;
    const char* words;
    const char* column;
    const char* after = nullptr;
  };
  const std::map<std::string, Expected> expected = {
      {"associate-contract-ended", {"c164-506-c-3", "holds no role covered-entity", "recipient"}},
      {"an-hour-short-of-fifty-years", {"c164-502-f", "is not recorded as deceased", "subject"}},
      {"authorisation-day-after-expiry", {"c164-508-a-1", "the nearest record: an authorisation", "subject"}},
      {"clerk-of-another-entity", {"c164-508-a-1", "the nearest record: an authorisation", "subject"}},
      {"conditioned-authorisation", {"c164-508-a-1", "the nearest record: an authorisation", "subject"}},
      {"contract-day-after", {"c164-506-c-3", "holds no role covered-entity", "recipient"}},
      {"directory-despite-objection", {"c164-510-a", "objected on", "subject"}},
      {"fundraising-letter-after-opt-out",
       {"c164-514-f-2-iv", "opted out of fundraising communications from", "subject"}},
      // The notice is looked up for the entity the sender acts for, which the
      // sentence names by its column: no value of the row stands in it.
      {"fundraising-without-notice",
       {"c164-514-f-2-i",
        "the notice of privacy practices of the covered entity carried no statement for fundraising",
        nullptr}},
      {"limited-data-set-with-a-name", {"c164-514-e-2", "is a kind of name", "attr"}},
      {"self-paid-through-clearinghouse",
       {"c164-522-a-1-vi", "not to disclose", "subject", "; its exception does not apply: message "}},
      {"staff-breaks-restriction",
       {"c164-522-a-1-ii", "to restrict disclosures of", "subject", "; none of its exceptions applies"}},
      {"authorization-expired", {"c164-508-a-1", "the nearest record: an authorisation from", "subject"}},
      {"authorization-not-yet-signed", {"c164-508-a-1", "the nearest record: an authorisation", "sender"}},
      {"coroner-about-the-living", {"c164-512-g-1", "is not recorded as deceased", "subject"}},
      {"disaster-relief-diagnosis", {"c164-510-b-4", "is not a kind of", "attr"}},
      {"fundraising-after-opt-out",
       {"c164-514-f-2-iv", "opted out of fundraising communications from", "subject"}},
      {"genetic-underwriting", {"c164-502-a-5-i", "is a kind of genetic-information", "attr"}},
      {"identification-outside-the-list", {"c164-512-f-2", "is not a kind of", "attr"}},
      {"law-enforcement-to-non-official", {"c164-512-f", "holds no role law-enforcement-official", "recipient"}},
      {"marketing-unauthorized",
       {"c164-508-a-3", "no authorisation from", "recipient", " lets the discloser disclose "}},
      {"phi-to-employer", {"c164-506-c-2", "holds no role Health-care-provider", "recipient"}},
      {"psychotherapy-unauthorized", {"c164-508-a-2", "no authorisation from", "subject"}},
      {"re-identification-code-disclosed", {"c164-514-c-2", "carries re-identification-code", "info"}},
      {"relationship-missing", {"c164-506-c-4", "no relationship between", "subject"}},
      {"religion-to-a-visitor", {"c164-510-a", "holds no role clergy", "recipient"}},
      {"required-by-law-as-cover", {"c164-512-a-2", "is recorded as made for", "info"}},
      {"restriction-broken",
       {"c164-522-a-1-ii", "to restrict disclosures of", "subject", "; none of its exceptions applies"}},
      {"sale-unauthorized", {"c164-508-a-4", "no authorisation from", "recipient"}},
      {"self-pay-restriction-broken",
       {"c164-522-a-1-vi", "not to disclose", "subject", "; its exception does not apply: message "}},
      {"treatment-to-employer", {"c164-506-c-2", "holds no role Health-care-provider", "recipient"}},
      {"vendor-outside-contract", {"c164-502-a-3-scope", "permits the purpose", "sender"}},
      {"record-to-personnel-office", {"c164-504-c-2", "holds the role non-health-care-component", "recipient"}},
      {"plan-to-sponsor-for-employment", {"c164-504-f-3-iv", "is recorded as made for employment-decision", "info"}},
      {"limited-data-set-defective-agreement", {"c164-514-e-4-ii", "lacks a required term", "recipient"}},
      // The notice is looked up for the entity the sender acts for.
      {"fundraising-the-notice-ruled-out", {"c164-502-i", "rules out disclosures for fundraising", nullptr}},
      {"plan-pays-through-sponsor", {"c164-506-c-3", "holds no role covered-entity", "recipient"}},
      {"underwriting-information-reused", {"c164-514-g", "the coverage was not placed with it", "subject"}},
      {"plan-underwriting-without-statement",
       {"c164-520-b-1-iii-C", "carried no statement for underwriting", "sender"}},
  };
  std::map<std::string, CsvRow> violation_of; // message -> its violation row
  for (CsvRow& row : verdicts(sandbox)) {
    if (row.at("rule") == "c164-502-a" && row.at("verdict") == "violation") {
      violation_of.emplace(message_of(row), std::move(row));
    }
  }
  std::set<std::string> kinds_seen;
  for (const CsvRow& truth : read_csv(read_file(sandbox.path("truth.csv")))) {
    if (truth.at("verdict") != "violation" || !is_message(truth)) continue;
    const std::string& kind = truth.at("kind");
    auto found = expected.find(kind);
    ASSERT_NE(found, expected.end()) << "a kind without an expected reason: " << kind;
    auto row = violation_of.find(truth.at("message"));
    ASSERT_NE(row, violation_of.end()) << truth.at("message");
    const std::string& reason = row->second.at("reason");
    const Expected& want = found->second;
    EXPECT_EQ(reason.rfind(std::string(want.clause) + ": ", 0), 0u) << kind << ": " << reason;
    EXPECT_NE(reason.find(want.words), std::string::npos) << kind << ": " << reason;
    if (want.column != nullptr) {
      EXPECT_NE(reason.find(row->second.at(want.column)), std::string::npos) << kind << ": " << reason;
    }
    if (want.after != nullptr) {
      std::size_t after = reason.find(want.after);
      EXPECT_NE(after, std::string::npos) << kind << ": " << reason;
      EXPECT_GT(after, reason.find(want.words)) << kind << ": " << reason;
    }
    EXPECT_EQ(reason.find("permitted"), std::string::npos) << reason;
    // A value the fact leaves open is named, never "any".
    EXPECT_EQ(reason.find(" any "), std::string::npos) << kind << ": " << reason;
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

// The worklist of questions and the decisions that answer them: answering
// settles exactly what each instance's formula says, the log is untouched,
// and a decisions file that cannot be used stops the run before anything
// is written.
#include "casestudy/case_log.hpp"
#include "support/sanitized.hpp"
#include "tools/csv_rows.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <set>

namespace hipaa::testing {
namespace {

void generate(const Sandbox& sandbox, std::vector<std::string> args) {
  args.insert(args.end(), {"--output", "hipaa.db", "--force"});
  ASSERT_EQ(sandbox.run("hipaa-loggen", args).status, 0);
}

std::vector<CsvRow> rows_of(const Sandbox& sandbox, const std::string& file) {
  return csv_rows(read_file(sandbox.path(file)));
}

// The shape of an open residual, "all of (q1, any one of (q2, awaiting
// c))", read in three values under the given answers.
class Shape {
public:
  using Answers = std::map<std::string, bool>;
  Shape(const std::string& text, const Answers& answers) : text_(text), answers_(answers) {}

  // 1 true, 0 false, -1 undecided.
  int value() {
    int result = item();
    EXPECT_EQ(at_, text_.size()) << text_;
    return result;
  }
  // The question ids it names.
  static std::set<std::string> ids(const std::string& text) {
    std::set<std::string> found;
    for (std::size_t at = text.find('q'); at != std::string::npos; at = text.find('q', at + 1)) {
      if ((at == 0 || text[at - 1] == ' ' || text[at - 1] == '(') && at + 17 <= text.size()) {
        found.insert(text.substr(at, 17));
      }
    }
    return found;
  }

private:
  bool eat(const std::string& word) {
    if (text_.compare(at_, word.size(), word) != 0) return false;
    at_ += word.size();
    return true;
  }
  int list(bool all) {
    int result = all ? 1 : 0;
    do {
      int part = item();
      if (all) result = part == 0 || result == 0 ? 0 : (part < 0 || result < 0 ? -1 : 1);
      else result = part == 1 || result == 1 ? 1 : (part < 0 || result < 0 ? -1 : 0);
    } while (eat(", "));
    EXPECT_TRUE(eat(")")) << text_;
    return result;
  }
  int item() {
    if (eat("all of (")) return list(true);
    if (eat("any one of (")) return list(false);
    if (eat("awaiting ")) {
      while (at_ < text_.size() && text_[at_] != ',' && text_[at_] != ')') ++at_;
      return -1;
    }
    std::string id = text_.substr(at_, 17);
    at_ += 17;
    auto answer = answers_.find(id);
    return answer == answers_.end() ? -1 : answer->second ? 1 : 0;
  }

  const std::string& text_;
  const Answers& answers_;
  std::size_t at_ = 0;
};

// The filled-in worklist: `answer` gives each question's decision, or none.
std::string filled_worklist(const std::vector<CsvRow>& worklist,
                            const std::function<std::optional<bool>(std::size_t)>& answer,
                            Shape::Answers& given) {
  std::string text = "id,clause,title,question,settles,waiting,instances,decision,reviewer,date,note\r\n";
  for (std::size_t i = 0; i < worklist.size(); ++i) {
    std::optional<bool> yes = answer(i);
    const std::string& id = worklist[i].at("id");
    text += id + ",c,t,\"the question, in words\",1,1,0,";
    if (yes) {
      given[id] = *yes;
      text += std::string(*yes ? "yes" : "no") + ",R. Reviewer,2026-12-01,\"seen, on file\"";
    } else {
      text += ",,,";
    }
    text += "\r\n";
  }
  return text;
}

TEST(ReportDecisions, AnsweringTheWorklistSettlesExactlyWhatTheFormulasSay) {
  // Under the sanitizers, which check the programs' memory and not the
  // grouping, a quarter of the log: the same kinds, a fraction of the time.
  Sandbox sandbox;
  generate(sandbox, {"-n", kSanitized ? "5000" : "20000", "--violations", "0.1", "--seed", "5"});
  ASSERT_EQ(sandbox.run("hipaa-report", {"--quiet", "--no-lint", "--format", "csv"}).status, 1);
  const std::vector<CsvRow> before = rows_of(sandbox, "report/verdicts.csv");
  const std::vector<CsvRow> worklist = rows_of(sandbox, "report/worklist.csv");

  // Each question once, ranked by the instances one answer settles, with
  // the open instances that ask it.
  std::map<std::string, std::size_t> waiting;
  std::size_t open = 0;
  for (const CsvRow& row : before) {
    if (row.at("verdict") != "open") continue;
    ++open;
    for (const std::string& id : Shape::ids(row.at("questions"))) ++waiting[id];
  }
  ASSERT_GT(worklist.size(), kSanitized ? 100u : 500u);
  EXPECT_EQ(worklist.size(), waiting.size());
  for (std::size_t i = 0; i < worklist.size(); ++i) {
    const CsvRow& entry = worklist[i];
    EXPECT_EQ(entry.at("waiting"), std::to_string(waiting[entry.at("id")])) << entry.at("id");
    EXPECT_EQ(entry.at("decision") + entry.at("reviewer") + entry.at("date") + entry.at("note"), "");
    if (i > 0) {
      EXPECT_GE(std::stoul(worklist[i - 1].at("settles")), std::stoul(entry.at("settles")));
    }
  }

  struct Case {
    const char* name;
    std::function<std::optional<bool>(std::size_t)> answer;
  };
  const Case cases[] = {
      {"all yes", [](std::size_t) { return std::optional<bool>(true); }},
      {"all no", [](std::size_t) { return std::optional<bool>(false); }},
      {"half", [](std::size_t i) { return i % 2 ? std::nullopt : std::optional<bool>(i % 4 == 0); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Shape::Answers given;
    std::string decisions = filled_worklist(worklist, c.answer, given);
    // Questions that no longer arise are stale, not refused.
    decisions += "q00000000000000ff,c,t,q,0,0,,yes,R. Reviewer,2026-12-01,\r\n";
    write_file(sandbox.path("decisions.csv"), decisions);
    // The answers reach every thread alike.
    RunResult run = sandbox.run("hipaa-report", {"--no-lint", "--format", "csv", "--out", "decided",
                                                 "--decisions", "decisions.csv", "--jobs",
                                                 std::string(c.name) == "half" ? "2" : "1"});
    ASSERT_EQ(run.status, 1) << run.err;
    EXPECT_NE(run.out.find("Stale decisions (their questions no longer arise): 1: q00000000000000ff\n"),
              std::string::npos)
        << run.out;
    EXPECT_EQ(read_file(sandbox.path("decided/stale-decisions.csv")),
              "id,decision,reviewer,date,note,line\r\nq00000000000000ff,yes,R. Reviewer,2026-12-01,," +
                  std::to_string(worklist.size() + 2) + "\r\n");

    const std::vector<CsvRow> after = rows_of(sandbox, "decided/verdicts.csv");
    ASSERT_EQ(after.size(), before.size());
    std::size_t settled = 0, still_open = 0, awaiting = 0;
    for (std::size_t i = 0; i < before.size(); ++i) {
      const CsvRow& was = before[i];
      const CsvRow& now = after[i];
      if (was.at("verdict") != "open") {
        EXPECT_EQ(now.at("verdict"), was.at("verdict")) << i;
        EXPECT_EQ(now.at("decisions"), "") << i;
        continue;
      }
      int value = Shape(was.at("questions"), given).value();
      const char* expected = value == 1 ? "compliant" : value == 0 ? "violation" : "open";
      EXPECT_EQ(now.at("verdict"), expected) << i << " " << was.at("questions");
      if (value >= 0) {
        ++settled;
        EXPECT_NE(now.at("decisions").find(" (R. Reviewer, 2026-12-01)"), std::string::npos) << i;
      } else {
        ++still_open;
        awaiting += was.at("questions").find("awaiting") != std::string::npos;
        // What remains asks only questions nobody answered.
        for (const std::string& id : Shape::ids(now.at("questions"))) EXPECT_EQ(given.count(id), 0u);
      }
    }
    if (given.size() == worklist.size()) {
      // Everything a person can answer is answered: only the instances
      // that await a disclosure stay open.
      EXPECT_EQ(still_open, awaiting);
      EXPECT_EQ(rows_of(sandbox, "decided/worklist.csv").size(), 0u);
    } else {
      EXPECT_GT(settled, 0u);
      EXPECT_GT(still_open, awaiting);
    }
    EXPECT_EQ(settled + still_open, open);
  }
}

// An answer covers what was done up to its date: a later disclosure under
// the same question waits for a new answer, and the same answer given again
// with a later date covers it too.
TEST(ReportDecisions, AnAnswerCoversOnlyWhatWasDoneByItsDate) {
  Sandbox sandbox;
  generate(sandbox, {"-n", "3000", "--violations", "0.01", "--seed", "1"});
  ASSERT_EQ(sandbox.run("hipaa-report", {"--quiet", "--no-lint", "--format", "csv"}).status, 1);
  const std::vector<CsvRow> before = rows_of(sandbox, "report/verdicts.csv");
  const std::vector<CsvRow> worklist = rows_of(sandbox, "report/worklist.csv");
  const std::string header = "id,decision,reviewer,date,note\n";
  const auto day_of = [](const CsvRow& row) {
    const std::string& at = row.at("at").empty() ? row.at("received") : row.at("at");
    return at.substr(0, 10);
  };
  const std::string cut = "2010-02-01";
  std::string early = header, late = header;
  for (const CsvRow& row : worklist) {
    early += row.at("id") + ",yes,A," + cut + ",\n";
    late += row.at("id") + ",yes,B,2026-12-01,\n";
  }
  write_file(sandbox.path("early.csv"), early);
  write_file(sandbox.path("both.csv"), early + late.substr(header.size()));
  for (const char* file : {"early.csv", "both.csv"}) {
    SCOPED_TRACE(file);
    std::filesystem::remove_all(sandbox.path("decided"));
    ASSERT_EQ(sandbox.run("hipaa-report", {"--quiet", "--no-lint", "--format", "csv", "--out",
                                           "decided", "--decisions", file})
                  .status,
              1);
    const std::vector<CsvRow> after = rows_of(sandbox, "decided/verdicts.csv");
    ASSERT_EQ(after.size(), before.size());
    std::size_t settled_early = 0, open_late = 0;
    for (std::size_t i = 0; i < before.size(); ++i) {
      if (before[i].at("verdict") != "open") continue;
      const bool awaits = before[i].at("questions").find("awaiting") != std::string::npos;
      if (day_of(before[i]) > cut && std::string(file) == "early.csv") {
        EXPECT_EQ(after[i].at("verdict"), "open") << i;
        EXPECT_EQ(after[i].at("questions"), before[i].at("questions")) << i;
        ++open_late;
      } else if (!awaits) {
        EXPECT_NE(after[i].at("verdict"), "open") << i << " " << before[i].at("questions");
        settled_early += day_of(before[i]) <= cut;
      }
    }
    EXPECT_GT(settled_early, 0u);
    if (std::string(file) == "early.csv") {
      EXPECT_GT(open_late, 0u);
    }
  }
}

TEST(ReportDecisions, AFileThatCannotBeUsedIsRefusedWithItsLine) {
  Sandbox sandbox;
  generate(sandbox, {"-n", "400", "--violations", "0.1", "--seed", "2"});
  ASSERT_EQ(sandbox.run("hipaa-report", {"--quiet", "--no-lint", "--format", "csv"}).status, 1);
  const std::vector<CsvRow> worklist = rows_of(sandbox, "report/worklist.csv");
  ASSERT_GE(worklist.size(), 2u);
  // A question whose yes decides an instance, so that the decision shows.
  std::string q;
  for (const CsvRow& row : rows_of(sandbox, "report/verdicts.csv")) {
    for (const std::string& id : Shape::ids(row.at("questions"))) {
      if (q.empty() && Shape(row.at("questions"), {{id, true}}).value() != -1) q = id;
    }
  }
  ASSERT_FALSE(q.empty());
  const std::string other = worklist[0].at("id") == q ? worklist[1].at("id") : worklist[0].at("id");
  const std::string header = "id,decision,reviewer,date,note\n";
  std::filesystem::remove_all(sandbox.path("report"));

  struct Case {
    std::string text;
    std::string message; // after "hipaa-report: d.csv:"
  };
  const Case cases[] = {
      {header + q + ",maybe,A,2026-12-01,\n",
       "2: the decision on " + q + " is \"maybe\", neither yes nor no"},
      {header + "q12,yes,A,2026-12-01,\n",
       "2: \"q12\" is not a question id (q and 16 hexadecimal digits)"},
      {header + q + ",yes,A,2026-12-01,\n" + other + ",no,A,2026-12-01,\n" + q +
           ",no,B,2026-12-02,\n",
       "4: question " + q + " is decided yes on line 2 and no here"},
      {header + q + ",yes,A,12/01/2026,\n",
       "2: the decision on " + q + " has the date \"12/01/2026\", not one such as 2010-03-01"},
      {header + q + ",yes,A,2026-02-30,\n",
       "2: the decision on " + q + " has the date \"2026-02-30\", not one such as 2010-03-01"},
      {header + q + ",no,,2026-12-01,\n", "2: the decision on " + q + " names no reviewer"},
      {"question,answer\n" + q + ",yes\n",
       "1: the header needs the columns id and decision (and reviewer, date, note)"},
      {"", "1: no header line (id,decision,reviewer,date,note)"},
      {header + q + ",yes,A,2026-12-01,\"unclosed\n",
       "2: unbalanced quote: the quoted field that starts here is not closed"},
  };
  for (const Case& c : cases) {
    write_file(sandbox.path("d.csv"), c.text);
    RunResult run = sandbox.run("hipaa-report", {"--decisions", "d.csv"});
    EXPECT_EQ(run.status, 2) << c.message;
    EXPECT_EQ(run.err, "hipaa-report: d.csv:" + c.message + "\n");
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(sandbox.files(), (std::vector<std::string>{"d.csv", "hipaa.db"})) << c.message;
  }

  // What a spreadsheet makes of the file is read alike: columns in another
  // order with others between, CR LF, capitals, a question decided twice
  // alike (the later date counts), rows still without a decision.
  write_file(sandbox.path("d.csv"), "Note,extra,Decision,Reviewer,ID,Date\r\n"
                                    "fine,x,YES,A,"  + q + ",2026-12-01\r\n"
                                    ",x,yes,B," + q + ",2026-12-02\r\n"
                                    ",x,,," + other + ",\r\n");
  RunResult run = sandbox.run("hipaa-report", {"--quiet", "--decisions", "d.csv"});
  EXPECT_LE(run.status, 1) << run.err;
  std::string page = read_file(sandbox.path("report/summary.html"));
  EXPECT_EQ(read_file(sandbox.path("report/stale-decisions.csv")),
            "id,decision,reviewer,date,note,line\r\n");
  bool settled = false;
  for (const CsvRow& row : rows_of(sandbox, "report/verdicts.csv")) {
    EXPECT_EQ(Shape::ids(row.at("questions")).count(q), 0u);
    settled = settled || row.at("decisions").find(q + " yes (B, 2026-12-02)") != std::string::npos;
  }
  EXPECT_TRUE(settled);
}

// On the demo log: one question asks about the same parties for every
// disclosure that raises it, in the words of the case study's templates and
// catalogue when they are there (the atom and the clause's name when not),
// under an id that depends on the question alone; so there are fewer
// questions than open instances.
TEST(ReportDecisions, WorklistAsksEachQuestionOnceInTheTemplatesWords) {
  Sandbox sandbox;
  generate(sandbox, {"-n", "3000", "--seed", "1", "--violations", "0.01"});
  std::filesystem::create_directory(sandbox.path("cs"));
  for (const char* file : {"hipaa.d", "hipaa.f"}) {
    std::filesystem::copy_file(sandbox.path("hipaa-case-study") / file, sandbox.path("cs") / file);
  }
  write_file(sandbox.path("cs/templates.csv"),
             "predicate,if_false,if_true,question\n"
             "directed-by-public-health-authority,,,\"Has a public health authority directed {1} "
             "to disclose to {2}?\"\n"
             "pertains-to-relationship,x,y,Does {2} pertain to the relationship with {1}? {3}\n");
  write_file(sandbox.path("cs/catalogue.csv"),
             "clause,citation,title,quotation,log_decides,person_judges,url\n"
             "c164-512-b-1-i-subj,45 CFR 164.512(b)(1)(i),"
             "Directed by a public health authority,,,,\n");
  ASSERT_EQ(sandbox.run("hipaa-report", {"--quiet", "--no-lint", "--format", "csv", "--decls",
                                         "cs/hipaa.d", "--policy", "cs/hipaa.f"})
                .status,
            1);
  const std::vector<CsvRow> verdicts = rows_of(sandbox, "report/verdicts.csv");
  std::map<std::string, CsvRow> by_id;
  for (const CsvRow& row : rows_of(sandbox, "report/worklist.csv")) by_id[row.at("id")] = row;
  std::size_t open = 0;
  for (const CsvRow& row : verdicts) open += row.at("verdict") == "open";
  EXPECT_EQ(open, 461u);
  EXPECT_EQ(by_id.size(), 236u);

  // Ids are those of the question alone: the atom's own where it names no
  // message, the message left out where it does.
  struct Case {
    const char* id;
    const char* clause;
    const char* title;
    const char* question;
  };
  const Case cases[] = {
      {"qbc76ec30823783f6", "c164-512-b-1-i-subj", "Directed by a public health authority",
       "Has a public health authority directed hospital-005 to disclose to "
       "foreign-health-ministry?"},
      {"qae51d2615920ab5b", "c164-506-c-4-subj", "c164-506-c-4-subj",
       "Does each disclosure listed pertain to the relationship with hospital-002? {3}"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    ASSERT_EQ(by_id.count(c.id), 1u);
    const CsvRow& row = by_id.at(c.id);
    EXPECT_EQ(row.at("clause"), c.clause);
    EXPECT_EQ(row.at("title"), c.title);
    EXPECT_EQ(row.at("question"), c.question);
    // Its counts are those of the verdicts whose questions name it, the
    // disclosures it asks about among them.
    std::size_t waiting = 0, settles = 0;
    std::set<std::string> messages;
    for (const CsvRow& verdict : verdicts) {
      const std::string& questions = verdict.at("questions");
      if (Shape::ids(questions).count(c.id) == 0) continue;
      ++waiting;
      messages.insert(verdict.at("info"));
      settles += Shape(questions, {{c.id, true}}).value() != -1 ||
                 Shape(questions, {{c.id, false}}).value() != -1;
    }
    EXPECT_EQ(row.at("waiting"), std::to_string(waiting));
    EXPECT_EQ(row.at("settles"), std::to_string(settles));
    EXPECT_GT(messages.size(), std::string(c.id) == cases[1].id ? 20u : 1u);
  }

  // A question of several atoms keeps the clause's all of / any one of in
  // its words; an atom without a template reads as the atom, unquoted.
  std::size_t templated = 0, structured = 0;
  for (const auto& [id, row] : by_id) {
    const std::string& question = row.at("question");
    EXPECT_EQ(question.find("msg-"), std::string::npos) << question;
    if (question.rfind("all of [", 0) == 0 || question.rfind("any one of [", 0) == 0) {
      ++structured;
      EXPECT_EQ(question.back(), ']') << question;
      EXPECT_EQ(question.find('"'), std::string::npos) << question;
    } else if (question.rfind("Does ", 0) == 0 || question.rfind("Has ", 0) == 0) {
      ++templated;
    } else {
      EXPECT_EQ(question.front(), '(') << question;
      EXPECT_EQ(row.at("title"), row.at("clause"));
    }
  }
  EXPECT_GT(templated, 5u);
  EXPECT_GT(structured, 100u);
}

} // namespace
} // namespace hipaa::testing

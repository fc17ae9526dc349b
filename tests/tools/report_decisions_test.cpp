// The worklist of questions and the decisions that answer them: answering
// settles exactly what each instance's formula says, the log is untouched,
// and a decisions file that cannot be used stops the run before anything
// is written.
#include "casestudy/case_log.hpp"
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
  Sandbox sandbox;
  generate(sandbox, {"-n", "20000", "--violations", "0.1", "--seed", "5"});
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
  ASSERT_GT(worklist.size(), 500u);
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
  // alike, rows still without a decision.
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
    settled = settled || row.at("decisions").find(q + " yes (A, 2026-12-01)") != std::string::npos;
  }
  EXPECT_TRUE(settled);
}

// The words of the case study's templates and catalogue when they are
// there, the atom and the clause's name when not; question ids depend on
// the atom alone.
TEST(ReportDecisions, WorklistSpeaksTheTemplatesWordsAndKeepsItsIds) {
  Sandbox sandbox;
  generate(sandbox, {"-n", "3000", "--seed", "1", "--violations", "0.01"});
  std::filesystem::create_directory(sandbox.path("cs"));
  for (const char* file : {"hipaa.d", "hipaa.f"}) {
    std::filesystem::copy_file(sandbox.path("hipaa-case-study") / file, sandbox.path("cs") / file);
  }
  write_file(sandbox.path("cs/templates.csv"),
             "predicate,if_false,if_true,question\n"
             "plan-documents-amended,,,\"Have the plan documents of {1} been amended for "
             "disclosures to {2}?\"\n"
             "pertains-to-relationship,x,y,Does {2} pertain to the relationship with {1}? {3}\n");
  write_file(sandbox.path("cs/catalogue.csv"),
             "clause,citation,title,quotation,log_decides,person_judges,url\n"
             "c164-504-f-2-subj,45 CFR 164.504(f)(2),Plan documents amended,,,,\n");
  ASSERT_EQ(sandbox.run("hipaa-report", {"--quiet", "--no-lint", "--format", "csv", "--decls",
                                         "cs/hipaa.d", "--policy", "cs/hipaa.f"})
                .status,
            1);
  std::map<std::string, CsvRow> by_id;
  for (const CsvRow& row : rows_of(sandbox, "report/worklist.csv")) by_id[row.at("id")] = row;
  // (plan-documents-amended "acme-group-health-plan" "acme-corporation")
  const CsvRow& plan = by_id.at("q9c5c784970d77a93");
  EXPECT_EQ(plan.at("clause"), "c164-504-f-2-subj");
  EXPECT_EQ(plan.at("title"), "Plan documents amended");
  EXPECT_EQ(plan.at("question"), "Have the plan documents of acme-group-health-plan been amended "
                                 "for disclosures to acme-corporation?");
  // Its counts are those of the verdicts whose questions name it.
  std::size_t waiting = 0, settles = 0;
  for (const CsvRow& row : rows_of(sandbox, "report/verdicts.csv")) {
    const std::string& questions = row.at("questions");
    if (Shape::ids(questions).count("q9c5c784970d77a93") == 0) continue;
    ++waiting;
    settles += Shape(questions, {{"q9c5c784970d77a93", true}}).value() != -1 ||
               Shape(questions, {{"q9c5c784970d77a93", false}}).value() != -1;
  }
  EXPECT_GT(waiting, 0u);
  EXPECT_EQ(plan.at("settles"), std::to_string(settles));
  EXPECT_EQ(plan.at("waiting"), std::to_string(waiting));
  std::size_t templated = 0;
  for (const auto& [id, row] : by_id) {
    const std::string& question = row.at("question");
    if (question.rfind("Does ", 0) == 0) {
      ++templated;
      // An argument the atom lacks leaves its placeholder as written.
      EXPECT_EQ(question.substr(question.size() - 4), " {3}") << question;
      EXPECT_EQ(question.find('"'), std::string::npos) << question;
    } else if (id != "q9c5c784970d77a93") {
      EXPECT_EQ(question.front(), '(') << question;
      EXPECT_EQ(row.at("title"), row.at("clause"));
    }
  }
  EXPECT_GT(templated, 100u);
}

} // namespace
} // namespace hipaa::testing

// summary.html in the system's headless Chromium: the tables filter, sort
// and search, a patient's view gathers everything about them, and values
// with markup in them stay text.
#include "casestudy/case_log.hpp"
#include "tools/csv_rows.hpp"
#include "tools/headless_browser.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>

namespace hipaa::testing {
namespace {

using Json = nlohmann::json;

// A value of verdicts.csv without its policy quotes.
std::string plain(const std::string& printed) {
  if (printed.size() >= 2 && printed.front() == '"' && printed.back() == '"')
    return printed.substr(1, printed.size() - 2);
  return printed;
}

// Sets a filter field as typing would, and returns the matching counts of
// the violations, open, questions and decided tables.
std::string set_filter(const std::string& field, const std::string& value) {
  return "(function () { var e = document.getElementById('f-" + field + "'); e.value = " +
         Json(value).dump() + "; e.dispatchEvent(new Event('input')); return counts(); })()";
}

const char* const kHelpers = R"JS(
window.counts = function () {
  return ['violations', 'open', 'questions', 'decided', 'decisions'].map(function (t) {
    return Number(document.getElementById('t-' + t + '-count').dataset.matching);
  });
};
window.column = function (table, index) {
  return Array.from(document.querySelectorAll('#' + table + ' tbody tr')).map(function (tr) {
    return tr.cells[index].textContent;
  });
};
true
)JS";

TEST(ReportPage, FiltersSortsAndShowsOnePatientInABrowser) {
  if (!std::filesystem::exists(HeadlessBrowser::kChromium)) {
    GTEST_SKIP() << "chromium is not installed; scripts/setup.sh installs it";
  }
  Sandbox sandbox;
  ASSERT_EQ(sandbox.run("hipaa-loggen", {"-n", "2000", "--violations", "0.05", "--seed", "4",
                                         "--output", "hipaa.db"})
                .status,
            0);
  ASSERT_EQ(sandbox.run("hipaa-report", {"--quiet", "--no-lint"}).status, 1);
  std::vector<CsvRow> worklist = csv_rows(read_file(sandbox.path("report/worklist.csv")));
  ASSERT_GE(worklist.size(), 10u);
  // Ten answers, with markup in a reviewer's name and a note.
  std::string decisions = "id,decision,reviewer,date,note\n";
  for (std::size_t i = 0; i < 10; ++i) {
    decisions += worklist[i].at("id") + (i % 2 ? ",no," : ",yes,") +
                 (i < 5 ? "A. Officer" : "\"<b>B</b> & Counsel\"") + ",2026-12-0" +
                 std::to_string(i % 9 + 1) + ",\"</script><script>window.pwned=1</script>\"\n";
  }
  write_file(sandbox.path("decisions.csv"), decisions);
  ASSERT_EQ(sandbox.run("hipaa-report", {"--quiet", "--no-lint", "--decisions", "decisions.csv"})
                .status,
            1);

  // What the page must show, from verdicts.csv.
  std::vector<CsvRow> rows = csv_rows(read_file(sandbox.path("report/verdicts.csv")));
  std::size_t violations = 0, open = 0, decided = 0;
  std::map<std::string, std::size_t> listed_of_patient; // violations, open or decided
  std::map<std::string, std::size_t> violations_of_patient;
  std::string first_day = "9999", last_day;
  // The patient is the individual the disclosure is about, or who asked.
  auto patient_of = [](const CsvRow& row) { return row.at("subject") + row.at("individual"); };
  for (const CsvRow& row : rows) {
    const std::string& verdict = row.at("verdict");
    const std::string day = (row.at("at") + row.at("received")).substr(0, 10);
    if (!day.empty()) {
      first_day = std::min(first_day, day);
      last_day = std::max(last_day, day);
    }
    bool settled = !row.at("decisions").empty();
    violations += verdict == "violation";
    open += verdict == "open";
    decided += settled;
    if (verdict != "compliant" || settled) ++listed_of_patient[patient_of(row)];
    if (verdict == "violation") ++violations_of_patient[patient_of(row)];
  }
  ASSERT_GT(decided, 0u);
  auto busiest = std::max_element(violations_of_patient.begin(), violations_of_patient.end(),
                                   [](const auto& a, const auto& b) { return a.second < b.second; });
  const std::string patient = busiest->first;

  std::filesystem::create_directory(sandbox.path("profile"));
  HeadlessBrowser browser(sandbox.path("profile"));
  browser.open("file://" + sandbox.path("report/summary.html").string());
  ASSERT_EQ(browser.eval(kHelpers), true);

  // Opened: every table drawn from the embedded data, nothing run from it.
  // (An answer settles instances, and with them any other question they
  // asked.)
  std::size_t questions = csv_rows(read_file(sandbox.path("report/worklist.csv"))).size();
  EXPECT_LE(questions, worklist.size() - 10);
  EXPECT_EQ(browser.eval("counts()"), Json::array({violations, open, questions, decided, 10}));
  EXPECT_EQ(browser.eval("window.pwned === undefined"), true);
  EXPECT_EQ(browser.eval("column('t-decisions', 2).filter(function (t) { return t === "
                         "'<b>B</b> & Counsel'; }).length"),
            5);
  EXPECT_EQ(browser.eval("column('t-decisions', 4)[0]"),
            "</script><script>window.pwned=1</script>");
  // The tables one triages on come first; the clauses follow, folded.
  EXPECT_EQ(browser.eval("['t-violations', 't-open', 't-questions', 't-decided', 't-decisions']"
                         ".every(function (id) { return document.getElementById(id)"
                         ".compareDocumentPosition(document.getElementById('clauses')) & "
                         "Node.DOCUMENT_POSITION_FOLLOWING; })"),
            true);
  EXPECT_EQ(browser.eval("document.getElementById('clause-list').open"), false);
  EXPECT_GT(browser.eval("document.querySelectorAll('#clauses tr').length").get<int>(), 1);
  // The chart has a scale and the log's own dates.
  EXPECT_GE(browser.eval("document.querySelectorAll('#chart text.tick').length").get<int>(), 2);
  EXPECT_EQ(browser.eval("document.getElementById('log-first').textContent"), first_day);
  EXPECT_EQ(browser.eval("document.getElementById('log-last').textContent"), last_day);
  // Every label lies inside the chart, the dates left to right without
  // overlapping; dates and rule names are never broken over lines.
  EXPECT_EQ(browser.eval("(function () { var svg = document.getElementById('chart');"
                         " var width = svg.width.baseVal.value, end = -1, ok = true;"
                         " svg.querySelectorAll('text:not([transform])').forEach(function (t) {"
                         " var b = t.getBBox(); if (b.x < 0 || b.x + b.width > width) ok = false; });"
                         " svg.querySelectorAll('text.day').forEach(function (t) {"
                         " var b = t.getBBox(); if (b.x < end) ok = false; end = b.x + b.width; });"
                         " return ok; })()"),
            true);
  EXPECT_EQ(browser.eval("['2', '3'].map(function (n) { return getComputedStyle(document"
                         ".querySelector('#t-violations tbody td:nth-child(' + n + ')'))"
                         ".whiteSpace; }).join()"),
            "nowrap,nowrap");
  // On a laptop's screen every triage table fits the page's width, so that
  // nothing hides behind a sideways scroll (the clauses' table opened as
  // well): the reason of a violation
  // follows its clause and lies inside the window, and the clause names in
  // the wrapped cells stay on one line each.
  EXPECT_EQ(browser.eval("Array.from(document.querySelectorAll('#t-violations th'))"
                         ".map(function (th) { return th.dataset.key; }).join()"),
            "position,day,rule,patient,sender,recipient,clause,reason,decided,valuesText");
  browser.eval("document.getElementById('clause-list').open = true");
  for (int width : {1366, 1920}) {
    SCOPED_TRACE(width);
    browser.resize(width, 768);
    EXPECT_EQ(browser.eval("['t-violations', 't-open', 't-questions', 't-decided', 't-decisions',"
                           " 'clauses'].filter(function (id) { var t = document.getElementById(id);"
                           " return t.scrollWidth > t.parentElement.clientWidth ||"
                           " t.getBoundingClientRect().right > innerWidth; })"),
              Json::array());
    EXPECT_LE(browser.eval("document.documentElement.scrollWidth").get<int>(), width);
    Json reason = browser.eval("(function () { var r = document.querySelector('#t-violations"
                               " tbody td:nth-child(8)').getBoundingClientRect();"
                               " return [r.left, r.right, innerWidth]; })()");
    EXPECT_GE(reason[0].get<double>(), 0);
    EXPECT_LE(reason[1].get<double>(), reason[2].get<double>());
    Json broken = browser.eval("Array.from(document.querySelectorAll('#t-violations td span.k'))"
                               ".filter(function (s) { return s.getClientRects().length !== 1; })"
                               ".map(function (s) { return s.textContent; })");
    EXPECT_GT(browser.eval("document.querySelectorAll('#t-violations td span.k').length")
                  .get<int>(),
              0);
    EXPECT_EQ(broken, Json::array());
  }

  // Filters: a patient, then a search typed on top of it, a reviewer, a
  // day; clearing brings everything back.
  Json counts = browser.eval(set_filter("patient", patient));
  EXPECT_EQ(counts[0], violations_of_patient[patient]);
  for (const Json& cell : browser.eval("column('t-violations', 3)")) EXPECT_EQ(cell, patient);
  const std::string message = plain(std::find_if(rows.begin(), rows.end(), [&](const CsvRow& row) {
                                      return row.at("verdict") == "violation" &&
                                             patient_of(row) == patient && !row.at("info").empty();
                                    })->at("info"));
  EXPECT_EQ(browser.eval(set_filter("search", message.substr(0, message.size() - 1)))[0].get<std::size_t>() >= 1,
            true);
  // A message may break more than one clause of the patient's.
  const auto of_message = std::count_if(rows.begin(), rows.end(), [&](const CsvRow& row) {
    return row.at("verdict") == "violation" && patient_of(row) == patient &&
           row.at("info") == message;
  });
  EXPECT_EQ(browser.eval(set_filter("search", message))[0], of_message);
  browser.eval("document.getElementById('f-clear').click()");
  EXPECT_EQ(browser.eval(set_filter("reviewer", "counsel"))[3].get<std::size_t>() +
                browser.eval(set_filter("reviewer", "officer"))[3].get<std::size_t>(),
            decided);
  browser.eval("document.getElementById('f-clear').click()");
  browser.eval("(function () { var f = document.getElementById('f-from'), t = "
               "document.getElementById('f-to'); f.value = t.value = '" +
               first_day + "'; f.dispatchEvent(new Event('change')); return 1; })()");
  for (const Json& cell : browser.eval("column('t-open', 1)")) EXPECT_EQ(cell, first_day);
  browser.eval("document.getElementById('f-clear').click()");
  EXPECT_EQ(browser.eval("counts()")[0], violations);

  // Sorting: by position downwards, then by date upwards.
  browser.eval("document.querySelector('#t-violations th[data-key=position]').click()");
  browser.eval("document.querySelector('#t-violations th[data-key=position]').click()");
  Json positions = browser.eval("column('t-violations', 0).map(Number)");
  EXPECT_TRUE(std::is_sorted(positions.rbegin(), positions.rend()));
  EXPECT_EQ(browser.eval("document.querySelector('#t-violations th.desc').dataset.key"), "position");
  browser.eval("document.querySelector('#t-violations th[data-key=day]').click()");
  Json days = browser.eval("column('t-violations', 1)");
  EXPECT_TRUE(std::is_sorted(days.begin(), days.end()));

  // One patient's view, opened from a link in the table.
  browser.eval("location.hash = '#patient=' + encodeURIComponent(" + Json(patient).dump() + ")");
  browser.eval("new Promise(function (r) { setTimeout(r, 100); })");
  EXPECT_EQ(browser.eval("document.getElementById('view').hidden"), false);
  EXPECT_EQ(browser.eval("document.getElementById('view-title').textContent"), "patient " + patient);
  Json mine = browser.eval("column('t-view', 3)");
  EXPECT_EQ(mine.size(), listed_of_patient[patient]);
  for (const Json& cell : mine) EXPECT_EQ(cell, patient);
}

} // namespace
} // namespace hipaa::testing

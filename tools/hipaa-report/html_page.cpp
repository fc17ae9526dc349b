#include "html_page.hpp"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <optional>
#include <ostream>

namespace hipaa::report {

namespace {

constexpr int kChartWidth = 960;
constexpr int kChartHeight = 200;

void row(std::ostream& out, const std::string& head, const std::string& value) {
  out << "<tr><th>" << html_escape(head) << "</th><td>" << html_escape(value) << "</td></tr>\n";
}

// Days longer than this span are charted only where they have items.
constexpr int kMostDaysCharted = 3660;

std::optional<std::chrono::sys_days> day_of(const std::string& text) {
  int year = 0;
  unsigned month = 0, day = 0;
  if (std::sscanf(text.c_str(), "%d-%u-%u", &year, &month, &day) != 3) return std::nullopt;
  std::chrono::year_month_day date{std::chrono::year(year), std::chrono::month(month),
                                   std::chrono::day(day)};
  if (!date.ok()) return std::nullopt;
  return std::chrono::sys_days(date);
}

std::string text_of(std::chrono::sys_days day) {
  std::chrono::year_month_day date(day);
  char text[16];
  std::snprintf(text, sizeof text, "%04d-%02u-%02u", static_cast<int>(date.year()),
                static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()));
  return text;
}

// Every day from the first to the last with an item, so that quiet days
// show as gaps.
std::map<std::string, DayCounts> calendar(const std::map<std::string, DayCounts>& days) {
  std::map<std::string, DayCounts> all = days;
  auto first = day_of(days.begin()->first);
  auto last = day_of(days.rbegin()->first);
  if (!first || !last || (*last - *first).count() > kMostDaysCharted) return all;
  for (std::chrono::sys_days day = *first; day <= *last; day += std::chrono::days(1)) {
    all.try_emplace(text_of(day));
  }
  return all;
}

// Violations (red) stacked on open items (amber), one bar per day.
void write_chart(std::ostream& out, const Summary& summary) {
  if (summary.days().empty()) {
    out << "<p>No violation and no open item carries a date.</p>\n";
    return;
  }
  const std::map<std::string, DayCounts> days = calendar(summary.days());
  out << "<p><span style=\"color:#c03030\">&#9632;</span> violations "
      << "<span style=\"color:#e0a030\">&#9632;</span> open items</p>\n";
  std::size_t highest = 1;
  for (const auto& [day, counts] : days)
    highest = std::max(highest, counts.violations + counts.open);
  double step = static_cast<double>(kChartWidth) / static_cast<double>(days.size());
  double bar = std::max(1.0, step * 0.8);
  out << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << kChartWidth << "\" height=\""
      << kChartHeight + 20 << "\" role=\"img\" aria-label=\"violations and open items per day\">\n";
  double x = 0;
  for (const auto& [day, counts] : days) {
    double open_height = kChartHeight * static_cast<double>(counts.open) / highest;
    double violation_height = kChartHeight * static_cast<double>(counts.violations) / highest;
    out << "<g><title>" << day << ": " << counts.violations << " violations, " << counts.open
        << " open</title>";
    out << "<rect x=\"" << x << "\" y=\"" << kChartHeight - open_height << "\" width=\"" << bar
        << "\" height=\"" << open_height << "\" fill=\"#e0a030\"/>";
    out << "<rect x=\"" << x << "\" y=\"" << kChartHeight - open_height - violation_height
        << "\" width=\"" << bar << "\" height=\"" << violation_height << "\" fill=\"#c03030\"/>";
    out << "</g>\n";
    x += step;
  }
  out << "<text x=\"0\" y=\"" << kChartHeight + 16 << "\" font-size=\"12\">" << days.begin()->first
      << "</text>";
  out << "<text x=\"" << kChartWidth << "\" y=\"" << kChartHeight + 16
      << "\" font-size=\"12\" text-anchor=\"end\">" << days.rbegin()->first << "</text>\n";
  out << "</svg>\n";
}

} // namespace

std::string html_escape(const std::string& text) {
  std::string escaped;
  escaped.reserve(text.size());
  for (char c : text) {
    switch (c) {
    case '&': escaped += "&amp;"; break;
    case '<': escaped += "&lt;"; break;
    case '>': escaped += "&gt;"; break;
    case '"': escaped += "&quot;"; break;
    case '\'': escaped += "&#39;"; break;
    default: escaped += c;
    }
  }
  return escaped;
}

void write_html_page(std::ostream& out, const Summary& summary, const RunInfo& run) {
  out << "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
      << "<title>Audit report: " << html_escape(run.db) << "</title>\n"
      << "<style>body{font-family:sans-serif;margin:2em}table{border-collapse:collapse}"
      << "th,td{border:1px solid #ccc;padding:2px 8px;text-align:left}"
      << "td.n{text-align:right}td.k{white-space:nowrap}.violation{color:#c03030}</style>\n</"
         "head>\n<body>\n";
  out << "<h1>Audit report</h1>\n<h2>Run</h2>\n<table>\n";
  row(out, "audit database", run.db);
  row(out, "declarations", run.decls);
  row(out, "policy", run.policy);
  row(out, "started", run.started);
  if (!run.as_of.empty()) row(out, "as of", run.as_of);
  if (!run.shard.empty()) row(out, "shard", run.shard);
  out << "</table>\n<h2>Verdicts</h2>\n<table>\n";
  out << "<tr><th>instances</th><td class=\"n\" id=\"instances\">" << summary.instances()
      << "</td></tr>\n";
  for (Verdict verdict : {Verdict::Violation, Verdict::Open, Verdict::Compliant}) {
    const char* word = verdict_word(verdict);
    out << "<tr><th>" << word << "</th><td class=\"n\" id=\"" << word << "\">"
        << summary.count(verdict) << "</td></tr>\n";
  }
  if (summary.overdue() > 0) {
    out << "<tr><th>of which overdue</th><td class=\"n\" id=\"overdue\">" << summary.overdue()
        << "</td></tr>\n";
  }
  if (summary.skipped_times() > 0) {
    out << "<tr><th>with a time that may lie in a daylight-saving gap</th><td class=\"n\" "
           "id=\"skipped-times\">"
        << summary.skipped_times() << "</td></tr>\n";
  }
  out << "</table>\n<h2>Clauses</h2>\n";
  std::vector<std::pair<std::string, ClauseCounts>> ranked = summary.ranked_clauses();
  if (ranked.empty()) {
    out << "<p>No clause is at stake.</p>\n";
  } else {
    out << "<table>\n<tr><th>clause</th><th>citation and title</th><th>violations</th>"
           "<th>open</th></tr>\n";
    for (const auto& [clause, counts] : ranked) {
      const ClauseEntry* entry = run.catalogue ? run.catalogue->clause(clause) : nullptr;
      out << "<tr><td>" << html_escape(clause) << "</td><td>";
      if (entry != nullptr) {
        std::string text = entry->citation + (entry->citation.empty() ? "" : " ") + entry->title;
        if (entry->url.rfind("https://", 0) == 0) {
          out << "<a href=\"" << html_escape(entry->url) << "\" title=\""
              << html_escape(entry->quotation) << "\">" << html_escape(text) << "</a>";
        } else {
          out << html_escape(text);
        }
      }
      out << "</td><td class=\"n\">" << counts.violations << "</td><td class=\"n\">"
          << counts.open << "</td></tr>\n";
    }
    out << "</table>\n";
  }
  out << "<h2>Violations and open items per day</h2>\n";
  write_chart(out, summary);
  out << "<h2>Violations</h2>\n";
  if (summary.violations().empty()) {
    out << "<p>None.</p>\n";
  } else {
    out << "<table>\n<tr><th>position</th><th>rule</th><th>values</th><th>clause</th>"
           "<th>reason</th></tr>\n";
    for (const Violation& violation : summary.violations()) {
      out << "<tr class=\"violation\"><td class=\"n\">" << violation.position
          << "</td><td class=\"k\">" << html_escape(violation.rule) << "</td><td>"
          << html_escape(violation.values) << "</td><td class=\"k\">"
          << html_escape(violation.clauses) << "</td><td>" << html_escape(violation.reason)
          << "</td></tr>\n";
    }
    out << "</table>\n";
  }
  out << "</body>\n</html>\n";
}

} // namespace hipaa::report

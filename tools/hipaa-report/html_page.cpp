#include "html_page.hpp"

#include "../common/count_noun.hpp"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <map>
#include <optional>
#include <ostream>
#include <string_view>
#include <unordered_set>

namespace hipaa::report {

namespace {

constexpr int kChartWidth = 960;
constexpr int kChartHeight = 200;
constexpr int kLeft = 56;   // room for the scale
constexpr int kBottom = 44; // room for the dates
constexpr int kTop = 10;
// Half the width of a date label ("2010-01-04") at the chart's font size.
constexpr double kHalfDateLabel = 32;

// Days longer than this span are charted only where they have items.
constexpr int kMostDaysCharted = 3660;

void row(std::ostream& out, const std::string& head, const std::string& value) {
  out << "<tr><th>" << html_escape(head) << "</th><td>" << html_escape(value) << "</td></tr>\n";
}

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

// Every day of the log's own range, so that quiet days show as gaps.
std::map<std::string, DayCounts> calendar(const Summary& summary) {
  std::map<std::string, DayCounts> all = summary.days();
  auto first = day_of(summary.first_day());
  auto last = day_of(summary.last_day());
  if (!first || !last || *last < *first || (*last - *first).count() > kMostDaysCharted) return all;
  for (std::chrono::sys_days day = *first; day <= *last; day += std::chrono::days(1)) {
    all.try_emplace(text_of(day));
  }
  return all;
}

// A step of 1, 2 or 5 times a power of ten that divides `highest` into at
// most five intervals.
std::size_t scale_step(std::size_t highest) {
  std::size_t step = 1;
  for (;;) {
    for (std::size_t factor : {1, 2, 5}) {
      if (highest <= step * factor * 5) return step * factor;
    }
    step *= 10;
  }
}

// Violations (red) stacked on open items (amber), one bar per day of the
// log, with a scale of instances and the dates below.
void write_chart(std::ostream& out, const Summary& summary) {
  if (summary.first_day().empty()) {
    out << "<p>No instance carries a date.</p>\n";
    return;
  }
  const std::map<std::string, DayCounts> days = calendar(summary);
  out << "<p>Log dates: <span id=\"log-first\">" << html_escape(summary.first_day())
      << "</span> to <span id=\"log-last\">" << html_escape(summary.last_day())
      << "</span>. <span style=\"color:#c03030\">&#9632;</span> violations "
      << "<span style=\"color:#e0a030\">&#9632;</span> open instances, per day</p>\n";
  std::size_t highest = 1;
  for (const auto& [day, counts] : days)
    highest = std::max(highest, counts.violations + counts.open);
  std::size_t step = scale_step(highest);
  std::size_t top = (highest + step - 1) / step * step;
  double width = kChartWidth - kLeft;
  double slot = width / static_cast<double>(days.size());
  double bar = std::max(1.0, slot * 0.8);
  auto y_of = [&](double count) { return kTop + kChartHeight - kChartHeight * count / top; };
  out << "<svg id=\"chart\" xmlns=\"http://www.w3.org/2000/svg\" width=\"" << kChartWidth + 10
      << "\" height=\"" << kTop + kChartHeight + kBottom
      << "\" role=\"img\" aria-label=\"violations and open instances per day\" "
         "font-size=\"11\">\n";
  // The scale: a line and a label per step.
  for (std::size_t value = 0; value <= top; value += step) {
    double y = y_of(static_cast<double>(value));
    out << "<line x1=\"" << kLeft << "\" x2=\"" << kChartWidth << "\" y1=\"" << y << "\" y2=\""
        << y << "\" stroke=\"#ddd\"/><text class=\"tick\" x=\"" << kLeft - 4 << "\" y=\""
        << y + 4 << "\" text-anchor=\"end\">" << value << "</text>\n";
  }
  out << "<text x=\"12\" y=\"" << kTop + kChartHeight / 2 << "\" transform=\"rotate(-90 12 "
      << kTop + kChartHeight / 2 << ")\" text-anchor=\"middle\">instances</text>\n";
  double x = kLeft;
  std::size_t index = 0;
  std::size_t label_every = std::max<std::size_t>(1, days.size() / 6);
  for (const auto& [day, counts] : days) {
    double open_top = y_of(static_cast<double>(counts.open));
    double violation_top = y_of(static_cast<double>(counts.open + counts.violations));
    out << "<g><title>" << day << ": " << counts.violations << " violations, " << counts.open
        << " open</title>";
    out << "<rect x=\"" << x << "\" y=\"" << open_top << "\" width=\"" << bar << "\" height=\""
        << kTop + kChartHeight - open_top << "\" fill=\"#e0a030\"/>";
    out << "<rect x=\"" << x << "\" y=\"" << violation_top << "\" width=\"" << bar
        << "\" height=\"" << open_top - violation_top << "\" fill=\"#c03030\"/></g>\n";
    // A label sits under the middle of its bar.  The last day is always
    // labelled, moved left to end inside the chart when it would be cut off
    // at the right edge; a regular label too close to it is left out rather
    // than printed over it.
    bool last = index + 1 == days.size();
    bool regular = index % label_every == 0 && days.size() - 1 - index >= label_every / 2;
    if (last || regular) {
      double middle = x + bar / 2;
      bool flush = middle + kHalfDateLabel > kChartWidth + 8;
      out << "<line x1=\"" << middle << "\" x2=\"" << middle << "\" y1=\"" << kTop + kChartHeight
          << "\" y2=\"" << kTop + kChartHeight + 4 << "\" stroke=\"#444\"/><text class=\"day\" x=\""
          << (flush ? kChartWidth + 8 : middle) << "\" y=\"" << kTop + kChartHeight + 16
          << "\" text-anchor=\"" << (flush ? "end" : "middle") << "\">" << day << "</text>\n";
    }
    x += slot;
    ++index;
  }
  out << "<line x1=\"" << kLeft << "\" x2=\"" << kLeft << "\" y1=\"" << kTop << "\" y2=\""
      << kTop + kChartHeight << "\" stroke=\"#444\"/><line x1=\"" << kLeft << "\" x2=\""
      << kChartWidth << "\" y1=\"" << kTop + kChartHeight << "\" y2=\"" << kTop + kChartHeight
      << "\" stroke=\"#444\"/>\n<text x=\"" << kLeft + width / 2 << "\" y=\""
      << kTop + kChartHeight + 36 << "\" text-anchor=\"middle\">day</text>\n</svg>\n";
}

std::string joined_reviewers(const std::vector<std::string>& ids, const Decisions& decisions) {
  std::string names;
  for (const std::string& id : ids) {
    const Decision* decision = decisions.find(id);
    if (decision == nullptr) continue;
    if (names.find(decision->reviewer) != std::string::npos) continue;
    if (!names.empty()) names += "; ";
    names += decision->reviewer;
  }
  return names;
}

// Appends `text` as a JSON string that is also safe inside a <script>
// element: no "<", ">" or "&", no line separator, no control character.
// Bytes that are not UTF-8 pass through: the page is read as UTF-8, which
// turns them into replacement characters before the script sees them.
void append_string(std::string& out, std::string_view text) {
  static const char* const kHex = "0123456789abcdef";
  out += '"';
  for (std::size_t i = 0; i < text.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20 || c == '<' || c == '>' || c == '&') {
      out += "\\u00";
      out += kHex[c >> 4];
      out += kHex[c & 15];
    } else if (c == 0xE2 && i + 2 < text.size() && text[i + 1] == '\x80' &&
               (text[i + 2] == '\xA8' || text[i + 2] == '\xA9')) {
      out += text[i + 2] == '\xA8' ? "\\u2028" : "\\u2029";
      i += 2;
    } else {
      out += static_cast<char>(c);
    }
  }
  out += '"';
}

// Appends the members of a JSON array, strings and whole numbers alike.
class ArrayText {
public:
  explicit ArrayText(std::string& out) : out_(out) { out_ += '['; }
  ~ArrayText() { out_ += ']'; }
  ArrayText(const ArrayText&) = delete;
  ArrayText& operator=(const ArrayText&) = delete;

  ArrayText& operator<<(std::string_view text) {
    comma();
    append_string(out_, text);
    return *this;
  }
  ArrayText& operator<<(const std::string& text) { return *this << std::string_view(text); }
  ArrayText& operator<<(const char* text) { return *this << std::string_view(text); }
  ArrayText& operator<<(std::size_t number) {
    comma();
    out_ += std::to_string(number);
    return *this;
  }
  // A nested array, begun after a comma where one is due.
  std::string& nested() {
    comma();
    return out_;
  }

private:
  void comma() {
    if (!first_) out_ += ',';
    first_ = false;
  }
  std::string& out_;
  bool first_ = true;
};

// What the officer does with this report, in the order it asks of her:
// the violations to look into, the questions only she can answer and how
// her answers reach the next run, and answers that no longer apply.
void write_next_steps(std::ostream& out, const PageInput& input) {
  const Summary& summary = input.summary;
  const std::size_t violations = summary.count(Verdict::Violation);
  const std::size_t open = summary.count(Verdict::Open);
  out << "<h2>What to do next</h2>\n<ol id=\"next-steps\">\n";
  if (violations > 0) {
    out << "<li>Look into the " << tools::count_noun(violations, "violation", "violations")
        << " below: each names the clause it breaks and the fact that decided it.</li>\n";
  }
  if (input.worklist.size() > 0) {
    out << "<li>Answer the " << tools::count_noun(input.worklist.size(), "question", "questions")
        << " for a person, on which " << tools::count_noun(open, "open instance", "open instances")
        << " wait: fill in <code>decision</code> (yes or no), <code>reviewer</code> and "
           "<code>date</code> in a copy of worklist.csv, and run the report again with "
           "<code>--decisions</code> and that file. An answer settles what was done up to its "
           "date; the log itself is never changed.</li>\n";
  } else if (open > 0) {
    out << "<li>" << tools::count_noun(open, "instance awaits", "instances await")
        << " a disclosure that is not yet due: run the report again later.</li>\n";
  }
  if (!input.stale.empty()) {
    out << "<li>Check the " << tools::count_noun(input.stale.size(), "stale decision", "stale decisions")
        << " in stale-decisions.csv: their questions no longer arise.</li>\n";
  }
  if (violations == 0 && open == 0 && input.stale.empty()) {
    out << "<li>Nothing: every instance is compliant.</li>\n";
  }
  out << "</ol>\n";
}

// The page's data, written piece by piece so that no copy of it all is
// held.  Instances are arrays (the page names their fields in one place),
// to keep a page of many thousand rows small.
void write_page_data(std::ostream& out, const PageInput& input, const RunInfo& run) {
  const Summary& summary = input.summary;
  std::string text = "{\"run\":{\"db\":";
  append_string(text, run.db);
  text += ",\"started\":";
  append_string(text, run.started);
  text += "},\"rules\":";
  {
    ArrayText rules(text);
    for (const Rule& rule : summary.layout().rules()) rules << rule.name;
  }
  // The values are named by the log's columns, as in verdicts.csv, not by
  // the policy's variables.
  text += ",\"variables\":";
  {
    ArrayText variables(text);
    const Layout& layout = summary.layout();
    for (std::size_t rule = 0; rule < layout.rules().size(); ++rule) {
      ArrayText names(variables.nested());
      if (layout.rules()[rule].all == nullptr) continue;
      for (std::size_t column : layout.columns_of(rule)) names << layout.column_name(column);
    }
  }
  text += ",\"rows\":[";
  bool first = true;
  for (const PageRow& page_row : summary.rows()) {
    if (!first) text += ',';
    first = false;
    {
      ArrayText row(text);
      row << page_row.position << page_row.rule << static_cast<std::size_t>(page_row.verdict)
          << std::size_t{page_row.overdue ? 1u : 0u} << page_row.day << page_row.patient
          << page_row.sender << page_row.recipient << page_row.clauses << page_row.questions
          << page_row.decided_by << joined_reviewers(page_row.decided, input.decisions);
      {
        ArrayText values(row.nested());
        for (const std::string& value : page_row.values) values << value;
      }
      row << page_row.reason;
    }
    if (text.size() > 1 << 16) {
      out << text;
      text.clear();
    }
  }
  text += "],\"rowsTotal\":" + std::to_string(summary.listed_total()) + ",\"questions\":[";
  std::size_t listed = 0;
  for (const Worklist::Entry* entry : input.worklist.ranked()) {
    if (listed == Summary::kPageRows) break;
    if (listed++ > 0) text += ',';
    {
      ArrayText question(text);
      question << entry->id << entry->clause << input.worklist.wording().title(entry->clause)
               << entry->question << entry->settles << entry->waiting;
      {
        ArrayText positions(question.nested());
        for (std::size_t position : entry->positions) positions << position;
      }
      ArrayText args(question.nested());
      for (std::size_t at = 0, end; (end = entry->args.find('\n', at)) != std::string::npos;
           at = end + 1) {
        args << std::string_view(entry->args).substr(at, end - at);
      }
    }
    if (text.size() > 1 << 16) {
      out << text;
      text.clear();
    }
  }
  text += "],\"questionsTotal\":" + std::to_string(input.worklist.size()) + ",\"decisions\":[";
  const std::unordered_set<std::string> stale(input.stale.begin(), input.stale.end());
  first = true;
  for (const Decision& decision : input.decisions.all()) {
    if (!first) text += ',';
    first = false;
    auto settled = summary.settled_by().find(decision.id);
    ArrayText row(text);
    row << decision.id << decision_word(decision.yes) << decision.reviewer << decision.date
        << decision.note
        << (settled == summary.settled_by().end() ? std::size_t{0} : settled->second)
        << std::size_t{stale.count(decision.id)};
  }
  text += "],\"limit\":" + std::to_string(Summary::kPageRows) + "}";
  out << text;
}

// Draws the tables from the data, and sorts and filters them.  The fields
// of an instance are named in `instance` below and its columns in
// `instanceColumns`: a new field (a reason, the clause broken, a title) is
// one entry in each.
const char* const kScript = R"JS(
(function () {
  'use strict';
  var started = performance.now();
  var D = JSON.parse(document.getElementById('report-data').textContent);
  var VERDICTS = ['violation', 'open', 'compliant'];
  var SHOWN = 500;

  function instance(a) {
    return {position: a[0], rule: D.rules[a[1]], ruleIndex: a[1], verdict: VERDICTS[a[2]],
            overdue: a[3] === 1, day: a[4], patient: a[5], sender: a[6], recipient: a[7],
            clause: a[8], questions: a[9], decided: a[10], reviewer: a[11], values: a[12],
            reason: a[13], clauseHtml: null, reasonHtml: null};
  }
  function valuesText(r) {
    var names = D.variables[r.ruleIndex] || [];
    return r.values.map(function (v, i) { return (names[i] || '') + ' = ' + v; }).join(', ');
  }
  var rows = D.rows.map(instance);
  rows.forEach(function (r) {
    r.valuesText = valuesText(r);
    r.text = [r.position, r.rule, r.verdict, r.day, r.clause, r.questions, r.decided,
              r.reason, r.valuesText].join(' ').toLowerCase();
  });
  var questions = D.questions.map(function (a) {
    var q = {id: a[0], clause: a[1], title: a[2], question: a[3], settles: a[4], waiting: a[5],
             instances: a[6].join(' ') + (a[5] > a[6].length ? ' and ' + (a[5] - a[6].length) + ' more' : ''),
             args: a[7]};
    q.text = [q.id, q.clause, q.title, q.question, q.args.join(' ')].join(' ').toLowerCase();
    return q;
  });
  var decisions = D.decisions.map(function (a) {
    var d = {id: a[0], decision: a[1], reviewer: a[2], date: a[3], note: a[4], settled: a[5],
             stale: a[6] === 1 ? 'stale' : ''};
    d.text = [d.id, d.decision, d.reviewer, d.date, d.note].join(' ').toLowerCase();
    return d;
  });

  var ENTITIES = {'&': '&amp;', '<': '&lt;', '>': '&gt;', '"': '&quot;', "'": '&#39;'};
  function entity(c) { return ENTITIES[c]; }
  function esc(text) {
    return String(text).replace(/[&<>"']/g, entity);
  }
  function who(kind, name) {
    if (!name) return '';
    return '<a class="who" href="#' + kind + '=' + encodeURIComponent(name) + '">' + esc(name) + '</a>';
  }
  // Text that wraps between its words but never inside one: every word
  // with a hyphen in it (a name, a date, a clause) is kept on one line, and
  // a "/" after such a word lets a long name of a part of an entity wrap
  // there.
  function keptWord(match, word, slash) {
    return '<span class="k">' + word + '</span>' + (slash ? '/<wbr>' : '');
  }
  function kept(text) {
    return esc(text).replace(/([^\s\/]*-[^\s\/]*)(\/)?/g, keptWord);
  }

  var instanceColumns = [
    {key: 'position', label: 'position', num: true},
    {key: 'day', label: 'date', keep: true},
    {key: 'rule', label: 'rule', keep: true},
    {key: 'patient', label: 'patient', html: function (r) { return who('patient', r.patient); }},
    {key: 'sender', label: 'sender', html: function (r) { return who('sender', r.sender); }},
    {key: 'recipient', label: 'recipient', html: function (r) { return who('recipient', r.recipient); }},
    // The clause and the reason that explains it, side by side, each
    // marked up once a row, when first drawn.
    {key: 'clause', label: 'clause', html: function (r) {
      return r.clauseHtml === null ? (r.clauseHtml = kept(r.clause)) : r.clauseHtml;
    }},
    {key: 'reason', label: 'reason', html: function (r) {
      return r.reasonHtml === null ? (r.reasonHtml = kept(r.reason)) : r.reasonHtml;
    }},
    {key: 'verdict', label: 'verdict'},
    {key: 'questions', label: 'questions'},
    {key: 'decided', label: 'decided by'},
    {key: 'valuesText', label: 'values'}
  ];
  // The columns of `keys`, in that order.
  function columns(keys) {
    return keys.map(function (key) {
      return instanceColumns.filter(function (c) { return c.key === key; })[0];
    });
  }

  // The filter bar.
  var F = {};
  ['from', 'to', 'patient', 'sender', 'recipient', 'clause', 'verdict', 'reviewer', 'search']
    .forEach(function (name) { F[name] = document.getElementById('f-' + name); });
  // What the filters ask for, read once each time a table is drawn rather
  // than once a row: the dates as given, the texts trimmed and in lower
  // case.
  var W = {};
  function readFilters() {
    W = {};
    Object.keys(F).forEach(function (name) { W[name] = F[name].value.trim().toLowerCase(); });
    W.from = F.from.value;
    W.to = F.to.value;
  }
  function value(name) { return W[name]; }
  function contains(field, wanted) { return !wanted || String(field).toLowerCase().indexOf(wanted) >= 0; }
  function matchInstance(r) {
    var from = W.from, to = W.to;
    if (from && (!r.day || r.day < from)) return false;
    if (to && (!r.day || r.day > to)) return false;
    if (!contains(r.patient, value('patient'))) return false;
    if (!contains(r.sender, value('sender'))) return false;
    if (!contains(r.recipient, value('recipient'))) return false;
    if (!contains(r.clause, value('clause'))) return false;
    if (value('verdict') && r.verdict !== value('verdict')) return false;
    if (!contains(r.reviewer, value('reviewer'))) return false;
    return contains(r.text, value('search'));
  }
  function matchQuestion(q) {
    if (!contains(q.clause + ' ' + q.title, value('clause'))) return false;
    var names = q.args.join(' ').toLowerCase();
    if (!contains(names, value('patient')) || !contains(names, value('sender')) ||
        !contains(names, value('recipient'))) return false;
    return contains(q.text, value('search'));
  }
  function matchDecision(d) {
    var from = W.from, to = W.to;
    if (from && d.date < from) return false;
    if (to && d.date > to) return false;
    if (!contains(d.reviewer, value('reviewer'))) return false;
    return contains(d.text, value('search'));
  }

  function Table(id, cols, source, match) {
    this.el = document.getElementById(id);
    this.cols = cols;
    this.source = source;
    this.match = match;
    this.sortKey = null;
    this.desc = false;
    var head = '<thead><tr>' + cols.map(function (c) {
      return '<th data-key="' + c.key + '" tabindex="0">' + esc(c.label) + '</th>';
    }).join('') + '</tr></thead><tbody></tbody>';
    this.el.innerHTML = head;
    var table = this;
    this.el.querySelectorAll('th').forEach(function (th) {
      th.addEventListener('click', function () { table.sortBy(th.dataset.key); });
    });
    this.count = document.getElementById(id + '-count');
  }
  Table.prototype.sortBy = function (key) {
    this.desc = this.sortKey === key ? !this.desc : false;
    this.sortKey = key;
    this.render();
  };
  Table.prototype.render = function () {
    readFilters();
    var list = this.source().filter(this.match);
    var key = this.sortKey, desc = this.desc;
    if (key) {
      var num = this.cols.some(function (c) { return c.key === key && c.num; });
      list.sort(function (a, b) {
        var x = a[key], y = b[key];
        var order = num ? x - y : String(x).localeCompare(String(y));
        return desc ? -order : order;
      });
    }
    var cols = this.cols;
    var html = '';
    for (var i = 0; i < list.length && i < SHOWN; ++i) {
      var r = list[i];
      html += '<tr class="' + (r.verdict || '') + '">';
      for (var j = 0; j < cols.length; ++j) {
        var c = cols[j];
        html += '<td' + (c.num ? ' class="n"' : c.keep ? ' class="k"' : '') + '>' + (c.html ? c.html(r) : esc(r[c.key])) + '</td>';
      }
      html += '</tr>';
    }
    this.el.tBodies[0].innerHTML = html;
    this.el.querySelectorAll('th').forEach(function (th) {
      th.className = th.dataset.key === key ? (desc ? 'desc' : 'asc') : '';
    });
    if (this.count) {
      this.count.textContent = list.length + ' matching' +
        (list.length > SHOWN ? ', the first ' + SHOWN + ' shown' : '');
      this.count.dataset.matching = list.length;
    }
  };

  var byVerdict = function (verdict) {
    var subset = rows.filter(function (r) { return r.verdict === verdict; });
    return function () { return subset; };
  };
  var decidedRows = rows.filter(function (r) { return r.decided; });
  var tables = [
    new Table('t-violations', columns(['position', 'day', 'rule', 'patient', 'sender', 'recipient',
      'clause', 'reason', 'decided', 'valuesText']), byVerdict('violation'), matchInstance),
    new Table('t-open', columns(['position', 'day', 'rule', 'patient', 'sender', 'recipient',
      'clause', 'questions']), byVerdict('open'), matchInstance),
    new Table('t-questions', [
      {key: 'id', label: 'id', keep: true}, {key: 'clause', label: 'clause', keep: true}, {key: 'title', label: 'title'},
      {key: 'question', label: 'question'}, {key: 'settles', label: 'settles', num: true},
      {key: 'waiting', label: 'waiting', num: true}, {key: 'instances', label: 'instances'}],
      function () { return questions; }, matchQuestion),
    new Table('t-decided', columns(['position', 'day', 'rule', 'patient', 'sender', 'recipient',
      'clause', 'verdict', 'decided']), function () { return decidedRows; }, matchInstance),
    new Table('t-decisions', [
      {key: 'id', label: 'id', keep: true}, {key: 'decision', label: 'decision'},
      {key: 'reviewer', label: 'reviewer'}, {key: 'date', label: 'date', keep: true}, {key: 'note', label: 'note'},
      {key: 'settled', label: 'instances settled', num: true}, {key: 'stale', label: 'stale'}],
      function () { return decisions; }, matchDecision)
  ];
  function renderAll() { tables.forEach(function (t) { t.render(); }); }
  Object.keys(F).forEach(function (name) {
    F[name].addEventListener('input', renderAll);
    F[name].addEventListener('change', renderAll);
  });
  document.getElementById('f-clear').addEventListener('click', function () {
    Object.keys(F).forEach(function (name) { F[name].value = ''; });
    renderAll();
  });

  // The view of one patient, sender or recipient: every listed instance
  // that names them, and the questions that mention them.
  var view = document.getElementById('view');
  var viewTable = null;
  function showView() {
    var hash = location.hash.slice(1);
    var at = hash.indexOf('=');
    var kind = at > 0 ? hash.slice(0, at) : '';
    if (['patient', 'sender', 'recipient'].indexOf(kind) < 0) {
      view.hidden = true;
      return;
    }
    var name = decodeURIComponent(hash.slice(at + 1));
    var mine = rows.filter(function (r) { return r[kind] === name; });
    var asked = questions.filter(function (q) { return q.args.indexOf(name) >= 0; });
    var counts = {violation: 0, open: 0, compliant: 0};
    mine.forEach(function (r) { counts[r.verdict]++; });
    document.getElementById('view-title').textContent = kind + ' ' + name;
    document.getElementById('view-counts').textContent = mine.length + ' listed instances: ' +
      counts.violation + ' violations, ' + counts.open + ' open, ' + counts.compliant +
      ' settled compliant; ' + asked.length + ' questions mention them.';
    viewTable = new Table('t-view', instanceColumns, function () { return mine; },
                          function () { return true; });
    viewTable.render();
    new Table('t-view-questions', [
      {key: 'id', label: 'id', keep: true}, {key: 'clause', label: 'clause', keep: true}, {key: 'question', label: 'question'},
      {key: 'waiting', label: 'waiting', num: true}], function () { return asked; },
      function () { return true; }).render();
    view.hidden = false;
    view.scrollIntoView();
  }
  window.addEventListener('hashchange', showView);

  // "#filter?search=x&verdict=open" sets the filters on opening the page.
  if (location.hash.indexOf('#filter?') === 0) {
    new URLSearchParams(location.hash.slice(8)).forEach(function (v, k) {
      if (F[k]) F[k].value = v;
    });
  }
  renderAll();
  showView();
  // How long the script took, and when the page was ready since it was
  // asked for: the figures the page's benchmark reads.
  document.body.dataset.ready = String(Math.round(performance.now() - started));
  document.body.dataset.readyAt = String(Math.round(performance.now()));
})();
)JS";

void write_section(std::ostream& out, const std::string& id, const std::string& title,
                   const std::string& note) {
  out << "<h2 id=\"h-" << id << "\">" << html_escape(title) << "</h2>\n";
  if (!note.empty()) out << "<p>" << html_escape(note) << "</p>\n";
  out << "<p class=\"count\" id=\"t-" << id << "-count\"></p>\n<table id=\"t-" << id
      << "\" class=\"data\"></table>\n";
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

// The clauses at stake, each with its violations, open and decided
// instances: the catalogue's view, after the tables one triages on, and
// folded until opened.
void write_clauses(std::ostream& out, const PageInput& input, const RunInfo& run) {
  const Summary& summary = input.summary;
  std::vector<std::pair<std::string, ClauseCounts>> ranked = summary.ranked_clauses();
  out << "<details id=\"clause-list\"><summary><h2>Clauses</h2> "
      << "<span class=\"count\">" << ranked.size()
      << " at stake, with their violations, open and decided instances</span></summary>\n";
  if (ranked.empty()) {
    out << "<p>No clause is at stake.</p>\n";
  } else {
    out << "<table id=\"clauses\">\n<tr><th>clause</th><th>citation and title</th>"
           "<th>violations</th><th>still open</th><th>decided</th></tr>\n";
    for (const auto& [clause, counts] : ranked) {
      const ClauseEntry* entry = run.catalogue ? run.catalogue->clause(clause) : nullptr;
      out << "<tr><td class=\"k\">" << html_escape(clause) << "</td><td>";
      if (entry != nullptr) {
        std::string text = entry->citation + (entry->citation.empty() ? "" : " ") + entry->title;
        if (entry->url.rfind("https://", 0) == 0) {
          out << "<a href=\"" << html_escape(entry->url) << "\" title=\""
              << html_escape(entry->quotation) << "\">" << html_escape(text) << "</a>";
        } else {
          out << html_escape(text);
        }
      } else {
        out << html_escape(input.worklist.wording().title(clause));
      }
      out << "</td><td class=\"n\">" << counts.violations << "</td><td class=\"n\">"
          << counts.open << "</td><td class=\"n\">" << counts.decided << "</td></tr>\n";
    }
    out << "</table>\n";
  }
  out << "</details>\n";
}

void write_html_page(std::ostream& out, const PageInput& input, const RunInfo& run) {
  const Summary& summary = input.summary;
  out << "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
      << "<meta http-equiv=\"Content-Security-Policy\" content=\"default-src 'none'; "
         "script-src 'unsafe-inline'; style-src 'unsafe-inline'; img-src data:\">\n"
      << "<title>Audit report: " << html_escape(run.db) << "</title>\n"
      << "<style>body{font-family:sans-serif;margin:2em}table{border-collapse:collapse}"
      << "th,td{border:1px solid #ccc;padding:2px 6px;text-align:left;vertical-align:top}"
      << "td.n{text-align:right}.k{white-space:nowrap}tr.violation td{color:#c03030}"
      // The triage tables fit a laptop's window: their long cells wrap,
      // and the reason, the values and a question's instances are given
      // a share of the width rather than what the names leave over.
      << "table.data{font-size:.875em}th[data-key=reason]{width:24%}"
      << "th[data-key=valuesText],th[data-key=instances]{width:20%}"
      << "table.data th{cursor:pointer;background:#f4f4f4}th.asc:after{content:' \\25B2'}"
      << "th.desc:after{content:' \\25BC'}#filters{position:sticky;top:0;background:#fff;"
      << "padding:6px 0;border-bottom:1px solid #ccc}#filters label{margin-right:8px}"
      << "#filters input{width:9em}#view{border:2px solid #888;padding:0 1em 1em}"
      << ".count{color:#555}summary h2{display:inline}</style>\n</head>\n<body>\n";
  out << "<h1>Audit report</h1>\n<h2>Run</h2>\n<table>\n";
  row(out, "audit database", run.db);
  row(out, "declarations", run.decls);
  row(out, "policy", run.policy);
  row(out, "started", run.started);
  if (!run.as_of.empty()) row(out, "as of", run.as_of);
  if (!run.shard.empty()) row(out, "shard", run.shard);
  if (!input.decisions.path().empty()) row(out, "decisions", input.decisions.path());
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
  out << "<tr><th>settled by decisions</th><td class=\"n\" id=\"decided\">" << summary.decided()
      << "</td></tr>\n<tr><th>questions for a person</th><td class=\"n\" id=\"questions\">"
      << input.worklist.size() << "</td></tr>\n";
  if (!input.stale.empty()) {
    out << "<tr><th>stale decisions</th><td class=\"n\" id=\"stale\">" << input.stale.size()
        << "</td></tr>\n";
  }
  if (summary.skipped_times() > 0) {
    out << "<tr><th>with a time that may lie in a daylight-saving gap</th><td class=\"n\" "
           "id=\"skipped-times\">"
        << summary.skipped_times() << "</td></tr>\n";
  }
  out << "</table>\n";
  write_next_steps(out, input);
  out << "<h2>Violations and open instances per day</h2>\n";
  write_chart(out, summary);

  out << "<div id=\"filters\"><strong>Filter</strong> "
      << "<label>from <input type=\"date\" id=\"f-from\"></label>"
      << "<label>to <input type=\"date\" id=\"f-to\"></label>"
      << "<label>patient <input id=\"f-patient\"></label>"
      << "<label>sender <input id=\"f-sender\"></label>"
      << "<label>recipient <input id=\"f-recipient\"></label>"
      << "<label>clause <input id=\"f-clause\"></label>"
      << "<label>verdict <select id=\"f-verdict\"><option value=\"\">any</option>"
      << "<option>violation</option><option>open</option><option>compliant</option></select>"
      << "</label><label>reviewer <input id=\"f-reviewer\"></label>"
      << "<label>search <input type=\"search\" id=\"f-search\"></label>"
      << "<button type=\"button\" id=\"f-clear\">clear</button></div>\n";
  if (summary.listed_total() > summary.rows().size()) {
    out << "<p id=\"limit\">This page lists the first " << summary.rows().size() << " of the "
        << summary.listed_total()
        << " instances that are violations, open or settled by decisions; verdicts.csv (and "
           "verdicts.json) hold every instance.</p>\n";
  }
  out << "<section id=\"view\" hidden><h2 id=\"view-title\"></h2><p id=\"view-counts\"></p>"
      << "<p><a href=\"#\">close</a></p><table id=\"t-view\" class=\"data\"></table>"
      << "<h3>Questions that mention them</h3><table id=\"t-view-questions\" class=\"data\">"
      << "</table></section>\n";
  write_section(out, "violations", "Violations", "");
  write_section(out, "open", "Open instances", "");
  std::string worklist_note = "One answer may settle many instances; worklist.csv holds every question.";
  if (input.worklist.size() > Summary::kPageRows) {
    worklist_note += " This page lists the first " + std::to_string(Summary::kPageRows) + " of " +
                     std::to_string(input.worklist.size()) + ".";
  }
  write_section(out, "questions", "Questions for a person", worklist_note);
  write_section(out, "decided", "Settled by decisions", "");
  write_section(out, "decisions", "Decisions: who decided what", "");
  write_clauses(out, input, run);

  out << "<script type=\"application/json\" id=\"report-data\">";
  write_page_data(out, input, run);
  out << "</script>\n<script>" << kScript << "</script>\n</body>\n</html>\n";
}

} // namespace hipaa::report

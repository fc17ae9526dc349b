#include "generator.hpp"

#include "context.hpp"
#include "hospital_kinds.hpp"
#include "kinds.hpp"
#include "reference_rows.hpp"

#include <algorithm>

namespace hipaa::loggen {

const char* verdict_name(Verdict verdict) {
  switch (verdict) {
  case Verdict::Permitted: return "compliant";
  case Verdict::Violation: return "violation";
  case Verdict::Open: return "open";
  }
  return "?";
}

namespace {

// 2010-01-04 12:00 UTC: the log starts here and covers a year, as a
// hospital's log of a year does, by day and by night: each disclosure comes
// a random step after the one before, the steps averaging a year divided by
// the number of disclosures and never less than a minute, so that a
// million disclosures span about two years.
constexpr std::int64_t kLogStart = 1262606400;
constexpr std::int64_t kYear = 365 * 86400;
constexpr std::int64_t kProgressEvery = 100000;

// The mean step between two disclosures of a log of `disclosures`.
std::int64_t mean_step(std::int64_t disclosures) {
  return std::max<std::int64_t>(60, kYear / std::max<std::int64_t>(1, disclosures));
}

// The policy's kinds followed by the hospital's.
std::vector<Kind> joined(const std::vector<Kind>& first, const std::vector<Kind>& second) {
  std::vector<Kind> all = first;
  all.insert(all.end(), second.begin(), second.end());
  return all;
}

const Kind& choose_kind(Context& c, double violations) {
  static const std::vector<Kind> compliant = joined(compliant_kinds(), hospital_compliant_kinds());
  static const std::vector<Kind> broken = joined(violation_kinds(), hospital_violation_kinds());
  if (c.random.chance(violations)) return broken[c.random.below(broken.size())];
  static const int total = [] {
    int sum = 0;
    for (const Kind& kind : compliant) sum += kind.weight;
    return sum;
  }();
  int pick = static_cast<int>(c.random.below(total));
  for (const Kind& kind : compliant) {
    if (pick < kind.weight) return kind;
    pick -= kind.weight;
  }
  return compliant.front();
}

// The log is complete up to its latest disclosure.  A request for access
// and one for an accounting arrive on its last day: their deadlines fall
// after it and stay open.
void finish(Context& c) {
  if (c.log.disclosures_written() > 0) {
    const std::string last_day = printed_date(c.latest - kHour);
    const Principal access = c.newcomer();
    c.log.row("access_request", {access.name, c.hospital().name, last_day});
    c.label_request(access, "access-not-yet-due", O, "c164-524-b-2-wait");
    const Principal accounting = c.newcomer();
    c.log.row("accounting_request", {accounting.name, c.hospital().name, last_day});
    c.label_request(accounting, "accounting-not-yet-due", O, "c164-528-c-1-wait");
  }
  c.log.row("audit_end", {printed_date(std::max(c.latest, kLogStart))});
}

} // namespace

void generate_log(const Settings& settings, LogWriter& log, const Progress& progress,
                  const LabelSink& labels) {
  Context c(settings, log, labels);
  c.clock = kLogStart;
  write_attribute_inclusions(log);
  write_protocols(log, c.population);
  write_business_associate_contracts(log, c.population);
  write_notice_statements(log, c.population);
  write_arrangements(log, c.population);
  std::int64_t next_report = kProgressEvery;
  const std::int64_t step = mean_step(settings.disclosures);
  while (log.disclosures_written() < settings.disclosures) {
    c.clock += c.random.between(step / 6, step * 11 / 6);
    c.kind = &choose_kind(c, settings.violations);
    c.kind->emit(c);
    if (progress && log.disclosures_written() >= next_report) {
      progress(log.disclosures_written());
      next_report += kProgressEvery;
    }
  }
  finish(c);
}

} // namespace hipaa::loggen

// What every kind of generated disclosure needs: the log being written, the
// population, the seeded random source, the clock, and the helpers that
// write one disclosure with its rows and its label.
#pragma once

#include "generator.hpp"
#include "population.hpp"
#include "random.hpp"

#include "../common/calendar_span.hpp"

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace hipaa::loggen {

constexpr std::int64_t kSecond = 1;
constexpr std::int64_t kHour = 3600;
constexpr std::int64_t kDay = 86400;
// Before every disclosure of every log.
inline const char* const kEarly = "2009:01:01:00:00:00";

constexpr Verdict P = Verdict::Permitted;
constexpr Verdict V = Verdict::Violation;
constexpr Verdict O = Verdict::Open;

class Context;

// One kind of disclosure: how often it comes (per ten thousand compliant
// disclosures; violations are drawn evenly), what the regulation says of
// it and the clause concerned, and how to write it.
struct Kind {
  const char* name;
  int weight;
  Verdict verdict;
  const char* clause;
  void (*emit)(Context&);
};

class Context {
public:
  Context(const Settings& settings, LogWriter& log, const LabelSink& labels)
      : log(log), labels(labels), random(settings.seed), population(settings.disclosures),
        disclosures(settings.disclosures) {}

  LogWriter& log;
  const LabelSink& labels;
  Random random;
  Population population;
  std::int64_t disclosures;   // how many the log is to have
  const Kind* kind = nullptr; // the kind being generated
  std::int64_t clock = 0;     // seconds since the epoch
  std::int64_t latest = 0;    // the latest disclosure so far
  std::int64_t messages = 0;
  std::int64_t decedents = 0;
  std::int64_t newcomers = 0;
  std::int64_t requests = 0;

  // Whether `count` more disclosures fit in the log.
  bool room_for(std::int64_t count) const {
    return log.disclosures_written() + count <= disclosures;
  }

  const Principal& any_of(const std::vector<Principal>& group) {
    return group[random.below(group.size())];
  }

  // A member of `group` other than `other`.
  const Principal& another_of(const std::vector<Principal>& group, const Principal& other) {
    const Principal* pick = &any_of(group);
    while (pick->name == other.name) pick = &any_of(group);
    return *pick;
  }

  const Principal& hospital() { return any_of(population.hospitals); }
  const Principal& doctor() { return any_of(population.doctors); }
  const Principal& officer() { return any_of(population.officers); }
  Principal patient() {
    return Population::patient(1 +
                               static_cast<std::int64_t>(random.below(population.patient_count)));
  }
  Principal newcomer() { return Population::newcomer(++newcomers); }
  Principal decedent() { return Population::decedent(++decedents); }

  std::string at(std::int64_t offset) const { return printed_date(clock + offset); }

  const char* one_of(std::initializer_list<const char*> choices) {
    return choices.begin()[random.below(choices.size())];
  }

  const char* clinical_attribute() {
    return one_of({"diagnosis", "prescription", "lab-result", "treatment-history"});
  }

  // One disclosure at clock + offset: the disclose row, its purpose, the
  // attributes of the individual it carries, and the roles of both parties
  // at its time.  Labelled with the current kind, or as told.  Returns the
  // message's printed id.
  std::string record(const Principal& sender, const Principal& recipient, const Principal& subject,
                     const char* purpose, std::initializer_list<const char*> attributes,
                     std::int64_t offset = 0);
  std::string record_as(Verdict verdict, const char* clause, const Principal& sender,
                        const Principal& recipient, const Principal& subject, const char* purpose,
                        std::initializer_list<const char*> attributes, std::int64_t offset = 0);

  // A message to the individual that answers a request or gives a notice:
  // permitted as a disclosure to the individual.
  void answer(const Principal& entity, const Principal& subject, const char* purpose,
              const char* attribute, std::int64_t offset);

  // The label of a request by `subject` rather than of a message.
  void label_request(const Principal& subject, const char* name, Verdict verdict,
                     const char* clause);
  // The offset from the clock of the last second of `span` counted from
  // clock + offset (calendar days in the local zone).
  std::int64_t calendar_end(std::int64_t offset, const tools::CalendarSpan& span) const;

  void role_of_subject(const Principal& subject, const char* role);
  void authorize(const Principal& subject, const Principal& sender, const Principal& recipient,
                 const char* attribute, const char* purpose, std::int64_t signed_offset,
                 std::int64_t expiry_offset);
  // Signed days ago, expiring months ahead.
  void authorize_now(const Principal& subject, const Principal& sender, const Principal& recipient,
                     const char* attribute, const char* purpose);
  // The requester's identity and authority verified days ago.
  void verified(const Principal& entity, const Principal& requester);
  void deceased(const Principal& subject, std::int64_t before);
};

} // namespace hipaa::loggen

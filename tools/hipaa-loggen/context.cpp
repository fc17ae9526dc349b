#include "context.hpp"

#include "dates/date.hpp"

#include <cstdio>

namespace hipaa::loggen {

std::string Context::record(const Principal& sender, const Principal& recipient,
                            const Principal& subject, const char* purpose,
                            std::initializer_list<const char*> attributes, std::int64_t offset) {
  return record_as(kind->verdict, kind->clause, sender, recipient, subject, purpose, attributes,
                   offset);
}

std::string Context::record_as(Verdict verdict, const char* clause, const Principal& sender,
                               const Principal& recipient, const Principal& subject,
                               const char* purpose, std::initializer_list<const char*> attributes,
                               std::int64_t offset) {
  char id[32];
  std::snprintf(id, sizeof id, "msg-%09lld", static_cast<long long>(++messages));
  const std::string message = printed_string(id);
  const std::int64_t when = clock + offset;
  const std::string time = printed_date(when);
  latest = std::max(latest, when);
  log.disclose(sender.name, recipient.name, message, time);
  log.purpose(message, purpose, sender.name);
  for (const char* attribute : attributes) log.has_attribute(message, subject.name, attribute, time);
  for (const std::string& role : sender.roles) log.role(sender.name, role, time);
  for (const std::string& role : recipient.roles) log.role(recipient.name, role, time);
  if (labels) labels({message, false, kind->name, verdict, clause});
  return message;
}

void Context::answer(const Principal& entity, const Principal& subject, const char* purpose,
                     const char* attribute, std::int64_t offset) {
  record_as(P, "c164-502-a-1-i", entity, subject, subject, purpose, {attribute}, offset);
}

void Context::label_request(const Principal& subject, const char* name, Verdict verdict,
                            const char* clause) {
  ++requests;
  if (labels) labels({subject.name, true, name, verdict, clause});
}

std::int64_t Context::calendar_end(std::int64_t offset, const tools::CalendarSpan& span) const {
  mpz_class seconds =
      date_from_literal(tools::calendar_span_end(at(offset), span)) / kNanosPerSecond;
  return seconds.get_si() - clock;
}

void Context::role_of_subject(const Principal& subject, const char* role) {
  log.role(subject.name, role, at(0));
}

void Context::authorize(const Principal& subject, const Principal& sender,
                        const Principal& recipient, const char* attribute, const char* purpose,
                        std::int64_t signed_offset, std::int64_t expiry_offset) {
  log.row("authorization", {subject.name, sender.name, recipient.name, attribute, purpose,
                            at(signed_offset), at(expiry_offset)});
}

void Context::authorize_now(const Principal& subject, const Principal& sender,
                            const Principal& recipient, const char* attribute,
                            const char* purpose) {
  authorize(subject, sender, recipient, attribute, purpose, -random.between(kDay, 30 * kDay),
            random.between(30 * kDay, 365 * kDay));
}

void Context::verified(const Principal& entity, const Principal& requester) {
  log.row("verification", {entity.name, requester.name, at(-random.between(kHour, 10 * kDay))});
}

void Context::deceased(const Principal& subject, std::int64_t before) {
  log.row("deceased", {subject.name, at(-before)});
}

} // namespace hipaa::loggen

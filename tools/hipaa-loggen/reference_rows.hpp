// The rows that do not belong to one disclosure: which attributes are
// protected health information, the covered entities' standard protocols
// for routine disclosures, and business associate contracts.
#pragma once

#include "log_writer.hpp"
#include "population.hpp"

namespace hipaa::loggen {

void write_attribute_inclusions(LogWriter& log);
void write_protocols(LogWriter& log, const Population& population);
void write_business_associate_contracts(LogWriter& log, const Population& population);
// The fundraising statement in every hospital's notice of privacy practices
// (164.514(f)(2)(i)), in effect from early 2009.
void write_notice_statements(LogWriter& log, const Population& population);
// The independent medical staff of a hospital, which takes part with it in
// an organised health care arrangement (164.506(c)(5)).
Principal medical_staff_of(const Principal& hospital);
// Every hospital's arrangement with its medical staff, from early 2009.
void write_arrangements(LogWriter& log, const Population& population);

} // namespace hipaa::loggen

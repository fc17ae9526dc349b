// What every check of hipaa-lint works on: the log, its declared tables,
// the policy's role clauses and the report being built.  A check is one
// function of this context; lint_log runs them in a fixed order.
#pragma once

#include "lint_report.hpp"
#include "log_reader.hpp"
#include "log_tables.hpp"
#include "role_clauses.hpp"

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

namespace hipaa::tools {

// A declared table with the named columns, present in the log: the quoted
// table name and the quoted column names.
struct Bound {
  std::string table;
  std::vector<std::string> columns;
  const LogTable* layout = nullptr;
};

// The disclosures' time span, found while their values are checked.
struct Span {
  std::int64_t disclosures = 0;
  std::optional<std::int64_t> first, last;
  std::string first_text, last_text;
};

struct LintContext {
  LintContext(LogReader& reader, const Signature& declared)
      : log(reader), signature(declared), tables(log_tables_of(declared)) {}

  LogReader& log;
  const Signature& signature;
  std::vector<LogTable> tables;
  std::optional<RoleClauses> roles; // absent without a policy
  LintReport report;
  Span span;

  // The table `name` with `columns`, when declared and present in the log.
  std::optional<Bound> bind(const char* name, std::initializer_list<const char*> columns);

  // "disclose row 48", followed by " (disclose.csv:49)" when the importer
  // recorded where the row came from: the line its messages would name.
  std::string place(const std::string& table, const std::string& rowid);

private:
  std::optional<bool> has_lines_;
};

using LintCheck = void (*)(LintContext&);

std::string quoted(const std::string& identifier);

// The date that a stored date text denotes, in seconds; absent for no date.
std::optional<std::int64_t> seconds_of(const std::string& printed);

// SQL for "the attribute `attr` (an expression) is phi or lies in it", with
// phi bound as parameter ?1.
std::string in_phi(const std::string& attr, const Bound& inclusions);

// "3 days earlier", "2 hours later".
std::string distance(std::int64_t seconds);

// The checks of the parties of disclosures (lint_parties.cpp).
void check_parties(LintContext& context);

} // namespace hipaa::tools

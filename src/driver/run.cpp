#include "driver/run.hpp"

#include "check/decls_check.hpp"
#include "check/modes.hpp"
#include "check/scope.hpp"
#include "check/sorts.hpp"
#include "db/sqlite.hpp"
#include "base/failure.hpp"
#include "base/file_io.hpp"
#include "driver/statistics.hpp"
#include "logic/printer.hpp"
#include "scenario/reduce_policy.hpp"
#include "syntax/decls_parser.hpp"
#include "syntax/policy_parser.hpp"

#include <ostream>

namespace hipaa {

namespace {

// Reads, parses and checks the declarations file once.
Signature read_signature(std::ostream& out) {
  std::optional<DeclList> entries = parse_decls_file(kDeclarationsPath, out);
  if (!entries) raise("Option");
  check_decls(*entries, out);
  return std::move(*entries);
}

FormulaPtr parse_policy(const std::string& text, std::ostream& out) {
  FormulaParse parse = parse_formula_text(text, out);
  write_repair_block(parse.repair_lines, out);
  if (!parse.result) raise("Option");
  const FormulaPtr* formula = std::get_if<FormulaPtr>(&*parse.result);
  if (formula == nullptr) raise("BadParseType");
  return *formula;
}

FormulaPtr check_policy(const FormulaPtr& parsed, const Signature& signature, std::ostream& out) {
  FormulaPtr scoped = scope_formula(parsed, {}, out);
  FormulaPtr sorted = sort_check_formula(scoped, {}, signature, out);
  if (!sorted->is<True>() && !sorted->is<False>()) mode_check_formula(*sorted, {}, signature, out);
  return sorted;
}

// Counts characters (code points), not bytes, of a UTF-8 text.
std::size_t character_count(const std::string& text) {
  std::size_t count = 0;
  for (unsigned char c : text) {
    if ((c & 0xC0) != 0x80) ++count;
  }
  return count;
}

void report(const std::vector<std::string>& arguments, db::Connection& connection,
            const FormulaPtr& residual, const std::string& time_text, std::ostream& out) {
  if (arguments.empty()) {
    print_flushed(out, "%%%%%%%%%% time used: " + time_text + "%%%%%%%%%%%%%\n");
    // The residual goes out as it is printed, never whole in memory.
    write_formula(out, *residual);
    print_flushed(out, "\n");
    return;
  }
  const std::string& test_id = arguments.front();
  print_statistics(connection, test_id, time_text, out);
  if (character_count(test_id) >= 2) {
    std::string text = print_formula(*residual);
    text += '\n';
    write_text_file(kResidualPath, text);
  }
}

} // namespace

void run_audit(const std::vector<std::string>& arguments, std::ostream& out) {
  // Every phase flushes its diagnostics; a phase whose diagnostics could not
  // be written ends the run before the next one starts.
  Signature reduction_signature = read_signature(out);
  check_standard_output(out, "flushOut");
  Signature checking_signature = read_signature(out);
  check_standard_output(out, "flushOut");
  std::string policy_text = read_text_file(kPolicyPath);
  FormulaPtr policy = parse_policy(policy_text, out);
  check_standard_output(out, "flushOut");
  FormulaPtr checked = check_policy(policy, checking_signature, out);
  check_standard_output(out, "flushOut");

  std::optional<db::Connection> connection = db::Connection::open(kAuditDatabasePath);
  if (!connection) raise("Option");
  // The audit looks rows up by index all over the log's smaller tables
  // (relationships, authorizations, ...), which outgrow SQLite's default
  // page cache on a large log; each miss is then a read from the operating
  // system.  Bounded, so that memory stays within a fixed margin.
  connection->set_page_cache(kLogPageCacheMiB);

  RunClock clock;
  std::int64_t start = clock.now();
  FormulaPtr residual = reduce_policy(checked, reduction_signature, *connection, out);
  std::int64_t end = clock.now();
  check_standard_output(out, "flushOut");

  report(arguments, *connection, residual, time_string(start, end), out);
  connection->close();
}

} // namespace hipaa

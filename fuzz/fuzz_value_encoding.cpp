// The importer's value encoding: a field either is refused with a message
// or becomes the printed term that the audit reads back, unchanged, as a
// value of the column's sort.  The first byte picks the column's sort.
#include "../tools/common/tool_error.hpp"
#include "../tools/hipaa-import/csv_reader.hpp"
#include "../tools/hipaa-import/value_encoding.hpp"
#include "check/sorts.hpp"
#include "fuzz_support.hpp"
#include "logic/printer.hpp"
#include "syntax/policy_parser.hpp"

using namespace hipaa;

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
  if (size == 0) return 0;
  static const Sort kSorts[] = {Sort::string(), Sort::integer(), Sort::date(),
                                Sort::named("attribute"), Sort::named("purpose"),
                                Sort::named("role")};
  const Sort& sort = kSorts[data[0] % std::size(kSorts)];
  const std::string field = fuzz::as_text(data + 1, size - 1);
  // The reader refuses a field with a NUL byte or bytes that are not UTF-8
  // before it reaches the encoder.
  if (!import::text_problem(field).empty()) return 0;
  const Signature& signature = fuzz::case_study_signature();
  std::string encoded;
  try {
    encoded = import::encode_value(field, sort, signature);
  } catch (const tools::ToolError&) {
    return 0;
  } catch (const Failure&) {
    return 0;
  }
  std::ostringstream diag;
  std::optional<TermPtr> term;
  try {
    term = parse_term(encoded, diag);
  } catch (const Failure&) {
  }
  fuzz::require(term.has_value() && diag.str().empty(), "an encoded value parses without repairs",
                encoded);
  fuzz::require(print_term(**term) == encoded, "an encoded value reads back as written", encoded);
  try {
    check_value_term(**term, sort, signature, diag);
  } catch (const Failure& failure) {
    fuzz::require(false, "an encoded value checks against its column's sort",
                  encoded + " " + failure.name());
  }
  return 0;
}

// The term parser the audit uses for every stored value, and the checks a
// value then goes through.  A term, printed, parses back to the same text.
#include "check/sorts.hpp"
#include "fuzz_support.hpp"
#include "logic/printer.hpp"
#include "syntax/policy_parser.hpp"

using namespace hipaa;

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
  std::ostringstream diag;
  try {
    std::optional<TermPtr> term = parse_term(fuzz::as_text(data, size), diag);
    if (!term) return 0;
    const std::string printed = print_term(**term);
    std::ostringstream repairs;
    std::optional<TermPtr> again = parse_term(printed, repairs);
    fuzz::require(again.has_value() && repairs.str().empty(),
                  "a printed term parses without repairs", printed);
    fuzz::require(print_term(**again) == printed, "a printed term prints the same again", printed);
    const Signature& signature = fuzz::case_study_signature();
    for (const Sort& sort : {Sort::string(), Sort::integer(), Sort::date(), Sort::any(),
                             Sort::named("attribute"), Sort::named("role")}) {
      try {
        check_value_term(**term, sort, signature, diag);
      } catch (const Failure&) {
      }
    }
  } catch (const Failure&) {
  }
  return 0;
}

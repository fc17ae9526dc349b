// The declarations parser and the declaration checks: a list or nothing,
// then acceptance or a named failure.
#include "fuzz_support.hpp"

using namespace hipaa;

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
  std::ostringstream diag;
  try {
    std::optional<DeclList> entries = parse_decls_text(fuzz::as_text(data, size), diag);
    if (entries) check_decls(*entries, diag);
  } catch (const Failure&) {
  }
  return 0;
}

// What the fuzz targets share: the case study's vocabulary as a checked
// Signature, and a check that stops the run on a broken property.
#pragma once

#include "base/failure.hpp"
#include "check/decls_check.hpp"
#include "syntax/decls_parser.hpp"

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

namespace hipaa::fuzz {

// The Signature of the shipped case study, read once.
inline const Signature& case_study_signature() {
  static const Signature signature = [] {
    std::ostringstream diag;
    std::optional<DeclList> entries =
        parse_decls_file(HIPAA_SOURCE_DIR "/hipaa-case-study/hipaa.d", diag);
    if (!entries) std::abort();
    check_decls(*entries, diag);
    return std::move(*entries);
  }();
  return signature;
}

// A property every input must keep; a broken one is a crash for the fuzzer.
inline void require(bool holds, const char* property, const std::string& detail = "") {
  if (holds) return;
  std::fprintf(stderr, "property broken: %s\n%s\n", property, detail.c_str());
  std::abort();
}

inline std::string as_text(const unsigned char* data, std::size_t size) {
  return std::string(reinterpret_cast<const char*>(data), size);
}

} // namespace hipaa::fuzz

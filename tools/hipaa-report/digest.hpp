// SHA-256 digests of files and of streams read piece by piece, in
// lower-case hexadecimal: what the manifest records and the merge checks.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace hipaa::report {

class Sha256 {
public:
  Sha256();
  Sha256(const Sha256&) = delete;
  Sha256& operator=(const Sha256&) = delete;
  ~Sha256();

  void add(std::string_view bytes);
  // The digest of everything added; the object is spent afterwards.
  std::string hex();

private:
  struct Context;
  std::unique_ptr<Context> context_;
};

struct FileDigest {
  std::string sha256;
  std::uintmax_t bytes = 0;
};

// Reads the whole file; a ToolError naming it when it cannot.
FileDigest digest_file(const std::string& path);

} // namespace hipaa::report

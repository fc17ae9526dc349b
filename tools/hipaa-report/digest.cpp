#include "digest.hpp"

#include "../common/tool_error.hpp"

#include <openssl/evp.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <vector>

namespace hipaa::report {

struct Sha256::Context {
  struct Free {
    void operator()(EVP_MD_CTX* context) const { EVP_MD_CTX_free(context); }
  };
  std::unique_ptr<EVP_MD_CTX, Free> md{EVP_MD_CTX_new()};
};

Sha256::Sha256() : context_(std::make_unique<Context>()) {
  if (!context_->md || EVP_DigestInit_ex(context_->md.get(), EVP_sha256(), nullptr) != 1) {
    throw tools::ToolError("cannot compute SHA-256 digests");
  }
}

Sha256::~Sha256() = default;

void Sha256::add(std::string_view bytes) {
  EVP_DigestUpdate(context_->md.get(), bytes.data(), bytes.size());
}

std::string Sha256::hex() {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int size = 0;
  EVP_DigestFinal_ex(context_->md.get(), digest, &size);
  static const char kHex[] = "0123456789abcdef";
  std::string text;
  for (unsigned int i = 0; i < size; ++i) {
    text += kHex[digest[i] >> 4];
    text += kHex[digest[i] & 15];
  }
  return text;
}

FileDigest digest_file(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) throw tools::ToolError(path + ": cannot read (" + std::strerror(errno) + ")");
  Sha256 sha;
  FileDigest digest;
  std::vector<char> buffer(1 << 20);
  while (file) {
    file.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
    std::streamsize got = file.gcount();
    if (got <= 0) break;
    sha.add(std::string_view(buffer.data(), static_cast<std::size_t>(got)));
    digest.bytes += static_cast<std::uintmax_t>(got);
  }
  if (file.bad()) throw tools::ToolError(path + ": cannot read");
  digest.sha256 = sha.hex();
  return digest;
}

} // namespace hipaa::report

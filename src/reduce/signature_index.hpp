// Name lookup in the Signature by hashing instead of a linear scan; the
// first entry with a name wins, as in the scan.
#pragma once

#include "logic/declarations.hpp"

#include <array>
#include <cstddef>
#include <string_view>
#include <unordered_map>

namespace hipaa {

class SignatureIndex {
public:
  explicit SignatureIndex(const Signature& signature);

  const Signature& signature() const { return signature_; }
  const DeclEntry* find(std::string_view name) const;
  const PredDecl* find_pred(std::string_view name) const;
  const ConsDecl* find_cons(std::string_view name) const;

private:
  // The entry last found for a name at a given address.
  struct Recent {
    const char* data = nullptr;
    const DeclEntry* entry = nullptr;
  };
  static constexpr std::size_t kRecent = 1024;

  const Signature& signature_;
  std::unordered_map<std::string_view, const DeclEntry*> entries_;
  mutable std::array<Recent, kRecent> recent_{};
};

} // namespace hipaa

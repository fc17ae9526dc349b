#include "reduce/signature_index.hpp"

namespace hipaa {

SignatureIndex::SignatureIndex(const Signature& signature) : signature_(signature) {
  entries_.reserve(signature.size());
  for (const DeclEntry& entry : signature) entries_.try_emplace(entry.name, &entry);
}

const DeclEntry* SignatureIndex::find(std::string_view name) const {
  auto found = entries_.find(name);
  return found == entries_.end() ? nullptr : found->second;
}

const PredDecl* SignatureIndex::find_pred(std::string_view name) const {
  const DeclEntry* entry = find(name);
  return entry == nullptr ? nullptr : std::get_if<PredDecl>(&entry->decl);
}

const ConsDecl* SignatureIndex::find_cons(std::string_view name) const {
  const DeclEntry* entry = find(name);
  return entry == nullptr ? nullptr : std::get_if<ConsDecl>(&entry->decl);
}

} // namespace hipaa

#include "reduce/signature_index.hpp"

#include <cstdint>

namespace hipaa {

SignatureIndex::SignatureIndex(const Signature& signature) : signature_(signature) {
  entries_.reserve(signature.size());
  for (const DeclEntry& entry : signature) entries_.try_emplace(entry.name, &entry);
}

const DeclEntry* SignatureIndex::find(std::string_view name) const {
  // The names looked up mostly live in the policy's own nodes, each asked
  // for again and again: a name at the same address as last time, and still
  // equal to the entry found then, needs no hashing.
  Recent& recent = recent_[(reinterpret_cast<std::uintptr_t>(name.data()) >> 4) % kRecent];
  if (recent.data == name.data() && recent.entry != nullptr && recent.entry->name == name) {
    return recent.entry;
  }
  auto found = entries_.find(name);
  const DeclEntry* entry = found == entries_.end() ? nullptr : found->second;
  recent = Recent{name.data(), entry};
  return entry;
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

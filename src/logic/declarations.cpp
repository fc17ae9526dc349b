#include "logic/declarations.hpp"

namespace hipaa {

const DeclEntry* lookup(const Signature& signature, std::string_view name) {
  for (const DeclEntry& entry : signature) {
    if (entry.name == name) return &entry;
  }
  return nullptr;
}

const PredDecl* lookup_pred(const Signature& signature, std::string_view name) {
  const DeclEntry* entry = lookup(signature, name);
  return entry ? std::get_if<PredDecl>(&entry->decl) : nullptr;
}

const ConsDecl* lookup_cons(const Signature& signature, std::string_view name) {
  const DeclEntry* entry = lookup(signature, name);
  return entry ? std::get_if<ConsDecl>(&entry->decl) : nullptr;
}

} // namespace hipaa

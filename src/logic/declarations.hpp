// Declarations of the policy vocabulary, as the declarations parser produces
// them, and the Signature: the checked list of entries in file order.
#pragma once

#include "logic/sort.hpp"

#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace hipaa {

enum class PredClass { Subj, Db, Eval, Sql };
enum class ConsClass { Sym, Sql, Eval };
enum class Mode { Input, Output };

// The table and the columns (one per argument) that hold a DB predicate.
struct DbInfo {
  std::string table;
  std::vector<std::string> columns;
};

struct PredArg {
  Mode mode;
  Sort sort;
};

struct SortDecl {};
struct PredDecl {
  PredClass cls;
  std::vector<PredArg> args;
  std::optional<std::string> infix;
  std::optional<DbInfo> dbinfo;
};
struct ConsDecl {
  ConsClass cls;
  std::vector<Sort> arg_sorts;
  Sort result;
  std::optional<std::string> infix;
};

using Declaration = std::variant<SortDecl, PredDecl, ConsDecl>;

struct DeclEntry {
  Declaration decl;
  std::string name;
};

using DeclList = std::vector<DeclEntry>;
// After check_decls has accepted it, a declaration list is the Signature.
using Signature = DeclList;

// The first entry named `name` (a linear scan from the front), or null.
const DeclEntry* lookup(const Signature& signature, std::string_view name);
// The predicate declaration named `name`, or null when absent or not a predicate.
const PredDecl* lookup_pred(const Signature& signature, std::string_view name);
// The constructor declaration named `name`, or null when absent or not a constructor.
const ConsDecl* lookup_cons(const Signature& signature, std::string_view name);

} // namespace hipaa

// Declaration checking.  The entries are checked first to last against the
// entries before them; the first violation ends the run.  The order of the
// checks inside one entry decides which of several faults is reported.

#include "check/decls_check.hpp"

#include "check/diagnostic.hpp"

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>

namespace hipaa {

namespace {

// The entries accepted so far, by name.  Only accepted entries are in it,
// and an accepted entry's name is new, so every name maps to its first (and
// only) entry.
class Earlier {
public:
  const DeclEntry* find(std::string_view name) const {
    auto found = by_name_.find(name);
    return found == by_name_.end() ? nullptr : found->second;
  }
  void accept(const DeclEntry& entry) { by_name_.emplace(entry.name, &entry); }

private:
  std::unordered_map<std::string_view, const DeclEntry*> by_name_;
};

const DeclEntry* find_earlier(const Earlier& earlier, const std::string& name) {
  return earlier.find(name);
}

// A declared sort must name an earlier sort declaration; an earlier
// predicate or constructor of that name does not count.
void check_sort_declared(const Earlier& earlier, const Sort& sort, std::ostream& out) {
  if (!sort.is_named()) return;
  const DeclEntry* entry = find_earlier(earlier, sort.name);
  if (entry && std::holds_alternative<SortDecl>(entry->decl)) return;
  report_failure(out, "Undeclared sort name: " + sort.name + "\n", "DeclNotSort");
}

// Argument sorts are tested from the last argument back to the first.
template <class Args, class SortOf>
void check_arg_sorts_declared(const Earlier& earlier, const Args& args, SortOf sort_of,
                              std::ostream& out) {
  for (std::size_t i = args.size(); i-- > 0;)
    check_sort_declared(earlier, sort_of(args[i]), out);
}

void check_infix(const std::optional<std::string>& infix, bool is_sql, std::size_t arity,
                 const std::string& name, std::ostream& out) {
  if (!infix || (is_sql && arity == 2)) return;
  report_failure(out, "Unnecessary infix name: " + name + "\n", "BadInfixName");
}

void check_cons_class(const ConsDecl& cons, const std::string& name, std::ostream& out) {
  switch (cons.cls) {
  case ConsClass::Sym:
    if (cons.result.is_primitive())
      report_failure(out, "SYM constructor: " + name + " has result of primitive sort\n",
                     "BadReturnSort");
    return;
  case ConsClass::Sql:
    if (!cons.result.is_primitive())
      report_failure(out, "SQL constructor: " + name + " has result of non-primitive sort\n",
                     "BadReturnSort");
    for (const Sort& arg : cons.arg_sorts) {
      if (!arg.is_primitive())
        report_failure(out, "SQL constructor: " + name + " has argument of non-primitive sort\n",
                       "BadArgSort");
    }
    return;
  case ConsClass::Eval:
    if (!cons.result.is_primitive())
      report_failure(out, "EVAL constructor: " + name + " has result of non-primitive sort\n",
                     "BadReturnSort");
    return;
  }
}

// The result sort is tested before the argument sorts.
void check_cons(const Earlier& earlier, const ConsDecl& cons, const std::string& name, std::ostream& out) {
  check_sort_declared(earlier, cons.result, out);
  check_arg_sorts_declared(
      earlier, cons.arg_sorts, [](const Sort& s) -> const Sort& { return s; }, out);
  check_cons_class(cons, name, out);
  check_infix(cons.infix, cons.cls == ConsClass::Sql, cons.arg_sorts.size(), name, out);
}

// SQL predicates are decided by the scenario from their inputs alone: every
// argument is primitive (all of them checked first) and in input mode.
void check_sql_pred(const PredDecl& pred, const std::string& name, std::ostream& out) {
  for (const PredArg& arg : pred.args) {
    if (!arg.sort.is_primitive())
      report_failure(out, "SQL predicate: " + name + " has argument of non-primitive sort\n",
                     "BadArgSort");
  }
  for (const PredArg& arg : pred.args) {
    if (arg.mode == Mode::Output)
      report_failure(out, "SQL predicate: " + name + " has argument in output mode\n",
                     "BadArgMode");
  }
}

void check_dbinfo(const PredDecl& pred, const std::string& name, std::ostream& out) {
  const bool is_db = pred.cls == PredClass::Db;
  if (!pred.dbinfo) {
    if (is_db)
      report_failure(out, "%dbinfo not given for DB predicate: " + name + "\n", "MissingDbInfo");
    return;
  }
  if (!is_db)
    report_failure(out, "%dbinfo given for non-DB predicate: " + name + "\n", "BadDbInfo");
  if (pred.dbinfo->columns.size() != pred.args.size())
    report_failure(out,
                   "Number of columns in %dbinfo of predicate: " + name +
                       " differs from number of arguments\n",
                   "BadDbInfo");
}

void check_pred(const Earlier& earlier, const PredDecl& pred, const std::string& name, std::ostream& out) {
  check_arg_sorts_declared(
      earlier, pred.args, [](const PredArg& a) -> const Sort& { return a.sort; }, out);
  if (pred.cls == PredClass::Sql) check_sql_pred(pred, name, out);
  check_infix(pred.infix, pred.cls == PredClass::Sql, pred.args.size(), name, out);
  check_dbinfo(pred, name, out);
  if (pred.cls == PredClass::Db && pred.args.empty())
    report_failure(out, "Nullary DB predicate: " + name + "\n", "NullaryDBPred");
}

void check_entry(const Earlier& earlier, const DeclEntry& entry, std::ostream& out) {
  if (find_earlier(earlier, entry.name))
    report_failure(out, "Duplicate declaration of identifier: " + entry.name + "\n",
                   "DuplicateDecl");
  if (const auto* cons = std::get_if<ConsDecl>(&entry.decl)) {
    check_cons(earlier, *cons, entry.name, out);
  } else if (const auto* pred = std::get_if<PredDecl>(&entry.decl)) {
    check_pred(earlier, *pred, entry.name, out);
  }
}

} // namespace

void check_decls(const DeclList& entries, std::ostream& out) {
  Earlier earlier;
  for (const DeclEntry& entry : entries) {
    check_entry(earlier, entry, out);
    earlier.accept(entry);
  }
}

} // namespace hipaa

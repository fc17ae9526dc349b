// Mode checking of single argument terms of guard atoms.  Both walks record
// whether they are below a constructor that must be evaluated (or, in a
// COMPILE guard, that SQL cannot build), where a variable can no longer
// receive a value from the atom and so must already be ground.

#include "base/stack_depth.hpp"
#include "check/diagnostic.hpp"
#include "check/ground_state.hpp"
#include "logic/printer.hpp"

#include <algorithm>

namespace hipaa {

namespace {

const ConsDecl& find_constructor(const std::string& name, const Signature& signature,
                                 std::ostream& out) {
  const ConsDecl* cons = lookup_cons(signature, name);
  if (!cons)
    report_failure(out, "Undeclared/non-constructor: " + name + " used as constructor\n",
                   "ModeCheckInternal");
  return *cons;
}

// An output argument: below an SQL or EVAL constructor every variable must
// already be ground, since the atom's solutions cannot be inverted through
// an evaluated constructor.
void walk_output(const Term& term, const Term& whole, bool evaluated, const Signature& signature,
                 const GroundTest& ground, std::ostream& out) {
  check_stack_depth();
  if (const auto* var = term.as<VarTerm>()) {
    if (!evaluated || ground(var->name)) return;
    report_failure(out,
                   "Variable " + var->name + " in ouput term " + print_term(whole) +
                       " appears under SQL or EVAL constructor, but is not ground\n",
                   "OutputUngroundUnderEval");
  }
  const auto* app = term.as<AppTerm>();
  if (!app) return; // literals
  const ConsDecl& cons = find_constructor(app->name, signature, out);
  const bool below = evaluated || cons.cls != ConsClass::Sym;
  for (const TermPtr& arg : app->args)
    walk_output(*arg, whole, below, signature, ground, out);
}

// An argument of a COMPILE guard atom: below a SYM or EVAL constructor the
// query text cannot compute the value, so every variable there must be
// ground before the guard is resolved.
void walk_compile(const Term& term, const Term& whole, bool below_non_sql,
                  const Signature& signature, const GroundTest& ground, std::ostream& out) {
  check_stack_depth();
  if (const auto* var = term.as<VarTerm>()) {
    if (!below_non_sql || ground(var->name)) return;
    report_failure(out,
                   "Variable " + var->name + " in term " + print_term(whole) +
                       " appears in COMPILE guard under non-SQL constructor, but is not ground "
                       "outside the guard\n",
                   "CompileUngroundUnderNonSQL");
  }
  const auto* app = term.as<AppTerm>();
  if (!app) return; // literals
  const ConsDecl& cons = find_constructor(app->name, signature, out);
  const bool below = below_non_sql || cons.cls != ConsClass::Sql;
  for (const TermPtr& arg : app->args)
    walk_compile(*arg, whole, below, signature, ground, out);
}

} // namespace

void check_output_term_with(const Term& term, const Signature& signature, const GroundTest& ground,
                            std::ostream& out) {
  walk_output(term, term, false, signature, ground, out);
}

void check_compile_term_with(const Term& term, const Signature& signature,
                             const GroundTest& ground, std::ostream& out) {
  walk_compile(term, term, false, signature, ground, out);
}

namespace {

GroundTest member_of(const GroundSet& ground) {
  return [&ground](std::string_view var) {
    return std::find(ground.begin(), ground.end(), var) != ground.end();
  };
}

} // namespace

void check_output_term(const Term& term, const Signature& signature, const GroundSet& ground,
                       std::ostream& out) {
  check_output_term_with(term, signature, member_of(ground), out);
}

void check_compile_term(const Term& term, const Signature& signature, const GroundSet& ground,
                        std::ostream& out) {
  check_compile_term_with(term, signature, member_of(ground), out);
}

} // namespace hipaa

// The policy grammar's nonterminals and semantic actions, shared by its
// tables and its builder.
#pragma once

#include "syntax/ll_machine.hpp"

namespace hipaa::syntax::policy {

enum Nonterminal : Sym {
  N_START = kFirstNonterminal,
  N_FORMULA,
  N_NAME,
  N_FBODY,
  N_FARG,
  N_FARGS,
  N_BOUNDS,
  N_BSORT,
  N_SORT,
  N_EXL,
  N_TUPLES,
  N_COMPILE,
  N_GARG,
  N_GUARD,
  N_GARGS,
  N_TERM,
  N_TARGS,
  N_TARG
};

enum Action : Sym {
  A_MARK = kFirstAction,
  A_FORMULA_RESULT,
  A_TERM_RESULT,
  A_NAME,
  A_NO_NAME,
  A_ALL,
  A_EX,
  A_AND,
  A_OR,
  A_TRUE,
  A_FALSE,
  A_ATOM,
  A_IMP,
  A_TRUE0,
  A_FALSE0,
  A_ATOM0,
  A_BOUND_VAR,
  A_BOUND_LIST,
  A_NO_SORT,
  A_SORT_STRING,
  A_SORT_INT,
  A_SORT_DATE,
  A_SORT_ANY,
  A_SORT_NAMED,
  A_EXCLUSIONS,
  A_NO_EXCLUSIONS,
  A_TUPLE,
  A_COMPILE,
  A_NO_COMPILE,
  A_GTRUE,
  A_GFALSE,
  A_GATOM,
  A_GATOM0,
  A_GEX,
  A_GAND,
  A_GOR,
  A_APP,
  A_APP0
};

} // namespace hipaa::syntax::policy

#include "syntax/policy_grammar.hpp"

#include "syntax/policy_actions.hpp"


namespace hipaa::syntax {

namespace {

using namespace policy;

// Production indices, in the order of kProductions below.
enum Rule : int {
  R_START_FORMULA,
  R_START_TERM,
  R_FORMULA_PAREN,
  R_FORMULA_NAMED,
  R_NAME,
  R_NO_NAME,
  R_ALL,
  R_EX,
  R_AND,
  R_OR,
  R_TRUE,
  R_FALSE,
  R_ATOM,
  R_IMP,
  R_FARG_TRUE,
  R_FARG_FALSE,
  R_FARG_ID,
  R_FARG_PAREN,
  R_FARGS_MORE,
  R_EMPTY,
  R_BOUNDS_MORE,
  R_BSORT,
  R_NO_BSORT,
  R_SORT_STRING,
  R_SORT_INT,
  R_SORT_DATE,
  R_SORT_ANY,
  R_SORT_NAMED,
  R_EXL,
  R_NO_EXL,
  R_TUPLES_MORE,
  R_COMPILE,
  R_NO_COMPILE,
  R_GARG_TRUE,
  R_GARG_FALSE,
  R_GARG_ID,
  R_GARG_PAREN,
  R_GUARD_ATOM,
  R_GUARD_EX,
  R_GUARD_AND,
  R_GUARD_OR,
  R_GARGS_MORE,
  R_TERM_APP,
  R_LITERAL_STR,
  R_LITERAL_DATE,
  R_LITERAL_INT,
  R_TERM_PAREN,
  R_TARGS_MORE,
  R_TARG_ID,
  R_COUNT
};

constexpr Production kProductions[R_COUNT] = {
    // start -> START_FORMULA formula EOF | START_TERM term EOF
    {4, {P_START_FORMULA, N_FORMULA, P_EOF, A_FORMULA_RESULT}},
    {4, {P_START_TERM, N_TERM, P_EOF, A_TERM_RESULT}},
    // formula -> "(" formula ")" | name_opt fbody
    {3, {P_LPAREN, N_FORMULA, P_RPAREN}},
    {2, {N_NAME, N_FBODY}},
    // name_opt -> "<" ID ">" | (empty)
    {4, {P_LANGLE, P_ID, P_RANGLE, A_NAME}},
    {1, {A_NO_NAME}},
    // fbody -> "all" bound_list exl compile_opt guard_arg formula_arg
    {9, {P_ALL, A_MARK, N_BOUNDS, A_BOUND_LIST, N_EXL, N_COMPILE, N_GARG, N_FARG, A_ALL}},
    // fbody -> "ex" bound_list exl compile_opt guard_arg formula_arg
    {9, {P_EX, A_MARK, N_BOUNDS, A_BOUND_LIST, N_EXL, N_COMPILE, N_GARG, N_FARG, A_EX}},
    // fbody -> "and" formula_arg formula_arg { formula_arg }
    {6, {P_AND, A_MARK, N_FARG, N_FARG, N_FARGS, A_AND}},
    // fbody -> "or" formula_arg formula_arg { formula_arg }
    {6, {P_OR, A_MARK, N_FARG, N_FARG, N_FARGS, A_OR}},
    // fbody -> "true" | "false" | ID term_arg_list
    {2, {P_TRUE, A_TRUE}},
    {2, {P_FALSE, A_FALSE}},
    {4, {P_ID, A_MARK, N_TARGS, A_ATOM}},
    // fbody -> "imp" compile_opt guard_arg formula_arg
    {5, {P_IMP, N_COMPILE, N_GARG, N_FARG, A_IMP}},
    // formula_arg -> "true" | "false" | ID | "(" formula ")"
    {2, {P_TRUE, A_TRUE0}},
    {2, {P_FALSE, A_FALSE0}},
    {2, {P_ID, A_ATOM0}},
    {3, {P_LPAREN, N_FORMULA, P_RPAREN}},
    // { formula_arg }
    {2, {N_FARG, N_FARGS}},
    // every repetition's and option's empty alternative
    {0, {}},
    // bound_list -> { "[" ID [ ":" sort ] "]" }
    {6, {P_LBRACK, P_ID, N_BSORT, P_RBRACK, A_BOUND_VAR, N_BOUNDS}},
    {2, {P_COLON, N_SORT}},
    {1, {A_NO_SORT}},
    // sort -> "string" | "int" | "date" | "any" | ID
    {2, {P_STRING_KW, A_SORT_STRING}},
    {2, {P_INT_KW, A_SORT_INT}},
    {2, {P_DATE_KW, A_SORT_DATE}},
    {2, {P_ANY, A_SORT_ANY}},
    {2, {P_ID, A_SORT_NAMED}},
    // exl -> "{" { "[" term_arg_list "]" } "}" | (empty)
    {5, {P_LBRACE, A_MARK, N_TUPLES, P_RBRACE, A_EXCLUSIONS}},
    {1, {A_NO_EXCLUSIONS}},
    {6, {P_LBRACK, A_MARK, N_TARGS, P_RBRACK, A_TUPLE, N_TUPLES}},
    // compile_opt -> "COMPILE" | (empty)
    {2, {P_COMPILE, A_COMPILE}},
    {1, {A_NO_COMPILE}},
    // guard_arg -> "true" | "false" | ID | "(" guard ")"  (also guard's first four)
    {2, {P_TRUE, A_GTRUE}},
    {2, {P_FALSE, A_GFALSE}},
    {2, {P_ID, A_GATOM0}},
    {3, {P_LPAREN, N_GUARD, P_RPAREN}},
    // guard -> ID term_arg_list
    {4, {P_ID, A_MARK, N_TARGS, A_GATOM}},
    // guard -> "ex" bound_list guard_arg
    {6, {P_EX, A_MARK, N_BOUNDS, A_BOUND_LIST, N_GARG, A_GEX}},
    // guard -> "and" guard_arg guard_arg { guard_arg } | "or" ...
    {6, {P_AND, A_MARK, N_GARG, N_GARG, N_GARGS, A_GAND}},
    {6, {P_OR, A_MARK, N_GARG, N_GARG, N_GARGS, A_GOR}},
    {2, {N_GARG, N_GARGS}},
    // term -> ID term_arg_list | STR | DATE | INT | "(" term ")"
    {4, {P_ID, A_MARK, N_TARGS, A_APP}},
    {1, {P_STR}},
    {1, {P_DATE}},
    {1, {P_INT}},
    {3, {P_LPAREN, N_TERM, P_RPAREN}},
    // term_arg_list -> { term_arg }
    {2, {N_TARG, N_TARGS}},
    // term_arg -> ID | STR | DATE | INT | "(" term ")"
    {2, {P_ID, A_APP0}},
};

bool begins_argument(int kind) {
  return kind == P_TRUE || kind == P_FALSE || kind == P_ID || kind == P_LPAREN;
}

bool begins_term(int kind) {
  return kind == P_ID || kind == P_STR || kind == P_DATE || kind == P_INT || kind == P_LPAREN;
}

int predict_fbody(int kind) {
  switch (kind) {
  case P_ALL: return R_ALL;
  case P_EX: return R_EX;
  case P_AND: return R_AND;
  case P_OR: return R_OR;
  case P_TRUE: return R_TRUE;
  case P_FALSE: return R_FALSE;
  case P_ID: return R_ATOM;
  case P_IMP: return R_IMP;
  default: return -1;
  }
}

int predict_formula(int kind) {
  if (kind == P_LPAREN) return R_FORMULA_PAREN;
  if (kind == P_LANGLE || predict_fbody(kind) >= 0) return R_FORMULA_NAMED;
  return -1;
}

int predict_sort(int kind) {
  switch (kind) {
  case P_STRING_KW: return R_SORT_STRING;
  case P_INT_KW: return R_SORT_INT;
  case P_DATE_KW: return R_SORT_DATE;
  case P_ANY: return R_SORT_ANY;
  case P_ID: return R_SORT_NAMED;
  default: return -1;
  }
}

// formula_arg and guard_arg share their shape; `first` is the rule for "true".
int predict_argument(int kind, int first) {
  switch (kind) {
  case P_TRUE: return first;
  case P_FALSE: return first + 1;
  case P_ID: return first + 2;
  case P_LPAREN: return first + 3;
  default: return -1;
  }
}

int predict_guard(int kind) {
  switch (kind) {
  case P_ID: return R_GUARD_ATOM;
  case P_EX: return R_GUARD_EX;
  case P_AND: return R_GUARD_AND;
  case P_OR: return R_GUARD_OR;
  default: return predict_argument(kind, R_GARG_TRUE);
  }
}

int predict_term(int kind, bool argument) {
  switch (kind) {
  case P_ID: return argument ? R_TARG_ID : R_TERM_APP;
  case P_STR: return R_LITERAL_STR;
  case P_DATE: return R_LITERAL_DATE;
  case P_INT: return R_LITERAL_INT;
  case P_LPAREN: return R_TERM_PAREN;
  default: return -1;
  }
}

int predict_start(int kind) {
  if (kind == P_START_FORMULA) return R_START_FORMULA;
  if (kind == P_START_TERM) return R_START_TERM;
  return -1;
}

constexpr int kRepairKinds[] = {
    P_ID,    P_RPAREN,  P_LPAREN, P_RBRACK,    P_LBRACK, P_RBRACE, P_LBRACE, P_RANGLE, P_LANGLE,
    P_COLON, P_TRUE,    P_FALSE,  P_AND,       P_OR,     P_ALL,    P_EX,     P_IMP,    P_COMPILE,
    P_ANY,   P_DATE_KW, P_INT_KW, P_STRING_KW, P_STR,    P_INT,    P_DATE};

constexpr int kStartKinds[] = {P_START_FORMULA, P_START_TERM};

} // namespace

const Sym PolicyGrammar::kStart = N_START;

int PolicyGrammar::predict(Sym nonterminal, int kind) {
  switch (nonterminal) {
  case N_START: return predict_start(kind);
  case N_FORMULA: return predict_formula(kind);
  case N_NAME: return kind == P_LANGLE ? R_NAME : R_NO_NAME;
  case N_FBODY: return predict_fbody(kind);
  case N_FARG: return predict_argument(kind, R_FARG_TRUE);
  case N_FARGS: return begins_argument(kind) ? R_FARGS_MORE : R_EMPTY;
  case N_BOUNDS: return kind == P_LBRACK ? R_BOUNDS_MORE : R_EMPTY;
  case N_BSORT: return kind == P_COLON ? R_BSORT : R_NO_BSORT;
  case N_SORT: return predict_sort(kind);
  case N_EXL: return kind == P_LBRACE ? R_EXL : R_NO_EXL;
  case N_TUPLES: return kind == P_LBRACK ? R_TUPLES_MORE : R_EMPTY;
  case N_COMPILE: return kind == P_COMPILE ? R_COMPILE : R_NO_COMPILE;
  case N_GARG: return predict_argument(kind, R_GARG_TRUE);
  case N_GUARD: return predict_guard(kind);
  case N_GARGS: return begins_argument(kind) ? R_GARGS_MORE : R_EMPTY;
  case N_TERM: return predict_term(kind, false);
  case N_TARGS: return begins_term(kind) ? R_TARGS_MORE : R_EMPTY;
  case N_TARG: return predict_term(kind, true);
  default: return -1;
  }
}

const Production& PolicyGrammar::production(int index) { return kProductions[index]; }

std::span<const int> PolicyGrammar::repair_kinds() { return kRepairKinds; }

std::span<const int> PolicyGrammar::start_kinds() { return kStartKinds; }

// Long runs of tokens may be deleted where a whole formula or term begins
// and inside a bound-variable list; elsewhere only short ones.
std::size_t PolicyGrammar::max_deletion_run(Sym top, Sym below) {
  if (top == N_BOUNDS) return 50;
  if ((top == N_FORMULA || top == N_TERM) && below == P_EOF) return 50;
  return 5;
}

// Inserted tokens carry fixed values: the identifier "x", the empty
// string, the integer 0 and the date of the epoch (1970-01-01 00:00:00 UTC).
Token PolicyGrammar::placeholder(int kind, std::size_t offset) {
  Token token{kind, offset, {}, 0};
  if (kind == P_ID) token.text = "x";
  if (kind == P_DATE) token.value = -1;
  return token;
}

} // namespace hipaa::syntax

#include "syntax/decls_grammar.hpp"
#include "syntax/value_stack.hpp"

namespace hipaa::syntax {

namespace {

enum Nonterminal : Sym {
  N_FILE = kFirstNonterminal,
  N_DECLS,
  N_DECL,
  N_KIND,
  N_KTAIL,
  N_PARGS,
  N_CREST,
  N_SORT,
  N_MODE,
  N_MODE_IN,
  N_PCLASS,
  N_CCLASS,
  N_INF,
  N_DBINFO,
  N_COLS
};

enum Action : Sym {
  A_MARK = kFirstAction,
  A_FILE,
  A_ENTRY,
  A_SORT_DECL,
  A_PRED,
  A_CONS,
  A_ARG,
  A_SORT_STRING,
  A_SORT_INT,
  A_SORT_DATE,
  A_SORT_ANY,
  A_SORT_NAMED,
  A_INPUT,
  A_OUTPUT,
  A_SUBJ,
  A_DB,
  A_PRED_EVAL,
  A_PRED_SQL,
  A_NO_PRED_CLASS,
  A_SYM,
  A_CONS_SQL,
  A_CONS_EVAL,
  A_NO_CONS_CLASS,
  A_INFIX,
  A_NO_INFIX,
  A_DBINFO,
  A_NO_DBINFO
};

enum Rule : int {
  R_FILE,
  R_DECLS_MORE,
  R_EMPTY,
  R_DECL,
  R_KIND_SORT,
  R_KIND_PRED,
  R_KIND_SORT_FIRST,
  R_KTAIL_PRED,
  R_KTAIL_CONS,
  R_PARGS_MORE,
  R_CREST_MORE,
  R_SORT_STRING,
  R_SORT_INT,
  R_SORT_DATE,
  R_SORT_ANY,
  R_SORT_NAMED,
  R_MODE_PLUS,
  R_MODE_MINUS,
  R_MODE_PAREN,
  R_SUBJ,
  R_DB,
  R_PRED_EVAL,
  R_PRED_SQL,
  R_NO_PRED_CLASS,
  R_SYM,
  R_CONS_SQL,
  R_CONS_EVAL,
  R_NO_CONS_CLASS,
  R_INF,
  R_NO_INF,
  R_DBINFO,
  R_NO_DBINFO,
  R_COLS_MORE,
  R_COUNT
};

constexpr Production kProductions[R_COUNT] = {
    // file -> START_DECL { decl } EOF
    {5, {D_START_DECL, A_MARK, N_DECLS, D_EOF, A_FILE}},
    {2, {N_DECL, N_DECLS}},
    {0, {}},
    // decl -> ID ":" kind "."
    {5, {D_ID, D_COLON, N_KIND, D_DOT, A_ENTRY}},
    // kind -> "sort" | "pred" [predclass] [inf] [dbinfo] | sort ktail
    {2, {D_SORT, A_SORT_DECL}},
    {6, {D_PRED, A_MARK, N_PCLASS, N_INF, N_DBINFO, A_PRED}},
    {3, {A_MARK, N_SORT, N_KTAIL}},
    // ktail -> mode "->" { sort mode "->" } "pred" [predclass] [inf] [dbinfo]
    {9, {N_MODE, A_ARG, D_ARROW, N_PARGS, D_PRED, N_PCLASS, N_INF, N_DBINFO, A_PRED}},
    // ktail -> { "->" sort } [constclass] [inf]
    {4, {N_CREST, N_CCLASS, N_INF, A_CONS}},
    {5, {N_SORT, N_MODE, A_ARG, D_ARROW, N_PARGS}},
    {3, {D_ARROW, N_SORT, N_CREST}},
    // sort -> "string" | "int" | "date" | "any" | ID
    {2, {D_STRING_KW, A_SORT_STRING}},
    {2, {D_INT_KW, A_SORT_INT}},
    {2, {D_DATE_KW, A_SORT_DATE}},
    {2, {D_ANY, A_SORT_ANY}},
    {2, {D_ID, A_SORT_NAMED}},
    // mode -> "+" | "-" | "(" "+" ")" | "(" "-" ")"
    {2, {D_PLUS, A_INPUT}},
    {2, {D_MINUS, A_OUTPUT}},
    {3, {D_LPAREN, N_MODE_IN, D_RPAREN}},
    // predclass -> "SUBJ" | "DB" | "EVAL" | "SQL"
    {2, {D_SUBJ, A_SUBJ}},
    {2, {D_DB, A_DB}},
    {2, {D_EVAL, A_PRED_EVAL}},
    {2, {D_SQL, A_PRED_SQL}},
    {1, {A_NO_PRED_CLASS}},
    // constclass -> "SYM" | "SQL" | "EVAL"
    {2, {D_SYM, A_SYM}},
    {2, {D_SQL, A_CONS_SQL}},
    {2, {D_EVAL, A_CONS_EVAL}},
    {1, {A_NO_CONS_CLASS}},
    // inf -> "%infix" STR
    {3, {D_INFIX, D_STR, A_INFIX}},
    {1, {A_NO_INFIX}},
    // dbinfo -> "%dbinfo" STR "(" STR { "," STR } ")"
    {8, {D_DBINFO, D_STR, D_LPAREN, A_MARK, D_STR, N_COLS, D_RPAREN, A_DBINFO}},
    {1, {A_NO_DBINFO}},
    {3, {D_COMMA, D_STR, N_COLS}},
};

bool begins_sort(int kind) {
  return kind == D_STRING_KW || kind == D_INT_KW || kind == D_DATE_KW || kind == D_ANY ||
         kind == D_ID;
}

int predict_sort(int kind) {
  switch (kind) {
  case D_STRING_KW: return R_SORT_STRING;
  case D_INT_KW: return R_SORT_INT;
  case D_DATE_KW: return R_SORT_DATE;
  case D_ANY: return R_SORT_ANY;
  case D_ID: return R_SORT_NAMED;
  default: return -1;
  }
}

int predict_kind(int kind) {
  if (kind == D_SORT) return R_KIND_SORT;
  if (kind == D_PRED) return R_KIND_PRED;
  return begins_sort(kind) ? R_KIND_SORT_FIRST : -1;
}

int predict_mode(int kind, bool parenthesised_allowed) {
  if (kind == D_PLUS) return R_MODE_PLUS;
  if (kind == D_MINUS) return R_MODE_MINUS;
  if (kind == D_LPAREN && parenthesised_allowed) return R_MODE_PAREN;
  return -1;
}

int predict_pred_class(int kind) {
  switch (kind) {
  case D_SUBJ: return R_SUBJ;
  case D_DB: return R_DB;
  case D_EVAL: return R_PRED_EVAL;
  case D_SQL: return R_PRED_SQL;
  default: return R_NO_PRED_CLASS;
  }
}

int predict_cons_class(int kind) {
  switch (kind) {
  case D_SYM: return R_SYM;
  case D_SQL: return R_CONS_SQL;
  case D_EVAL: return R_CONS_EVAL;
  default: return R_NO_CONS_CLASS;
  }
}

constexpr int kRepairKinds[] = {D_ID,      D_DOT,    D_COLON,  D_ARROW, D_PLUS,      D_MINUS,
                                D_RPAREN,  D_LPAREN, D_COMMA,  D_SORT,  D_PRED,      D_SUBJ,
                                D_DB,      D_EVAL,   D_SYM,    D_SQL,   D_STRING_KW, D_INT_KW,
                                D_DATE_KW, D_ANY,    D_DBINFO, D_INFIX, D_STR};

constexpr int kStartKinds[] = {D_START_DECL};

} // namespace

const Sym DeclsGrammar::kStart = N_FILE;

int DeclsGrammar::predict(Sym nonterminal, int kind) {
  switch (nonterminal) {
  case N_FILE: return kind == D_START_DECL ? R_FILE : -1;
  case N_DECLS: return kind == D_ID ? R_DECLS_MORE : R_EMPTY;
  case N_DECL: return kind == D_ID ? R_DECL : -1;
  case N_KIND: return predict_kind(kind);
  case N_KTAIL: return predict_mode(kind, true) >= 0 ? R_KTAIL_PRED : R_KTAIL_CONS;
  case N_PARGS: return begins_sort(kind) ? R_PARGS_MORE : R_EMPTY;
  case N_CREST: return kind == D_ARROW ? R_CREST_MORE : R_EMPTY;
  case N_SORT: return predict_sort(kind);
  case N_MODE: return predict_mode(kind, true);
  case N_MODE_IN: return predict_mode(kind, false);
  case N_PCLASS: return predict_pred_class(kind);
  case N_CCLASS: return predict_cons_class(kind);
  case N_INF: return kind == D_INFIX ? R_INF : R_NO_INF;
  case N_DBINFO: return kind == D_DBINFO ? R_DBINFO : R_NO_DBINFO;
  case N_COLS: return kind == D_COMMA ? R_COLS_MORE : R_EMPTY;
  default: return -1;
  }
}

const Production& DeclsGrammar::production(int index) { return kProductions[index]; }

std::span<const int> DeclsGrammar::repair_kinds() { return kRepairKinds; }

std::span<const int> DeclsGrammar::start_kinds() { return kStartKinds; }

// Inserted tokens carry fixed values: the identifier "x" and the empty string.
Token DeclsGrammar::placeholder(int kind, std::size_t offset) {
  Token token{kind, offset, {}, 0};
  if (kind == D_ID) token.text = "x";
  return token;
}

template <class T> std::vector<T> DeclsGrammar::Builder::pop_list() {
  return pop_marked_list<T, Mark>(values_);
}

void DeclsGrammar::Builder::shift(const Token& token) {
  if (token.kind == D_ID || token.kind == D_STR) values_.emplace_back(std::string(token.text));
}

void DeclsGrammar::Builder::act(Sym action) {
  switch (action) {
  case A_MARK: values_.emplace_back(Mark{}); return;
  case A_FILE: result_ = pop_list<DeclEntry>(); return;
  case A_ENTRY: {
    Declaration declaration = pop<Declaration>();
    values_.emplace_back(DeclEntry{std::move(declaration), pop<std::string>()});
    return;
  }
  case A_SORT_DECL: values_.emplace_back(Declaration(SortDecl{})); return;
  default: break;
  }
  if (action == A_PRED || action == A_CONS) return act_declaration(action);
  act_part(action);
}

// pred: the PredArgs above the mark, class, infix, dbinfo.
// cons: the sorts above the mark (the last is the result), class, infix.
void DeclsGrammar::Builder::act_declaration(Sym action) {
  if (action == A_PRED) {
    std::optional<DbInfo> dbinfo = pop<std::optional<DbInfo>>();
    std::optional<std::string> infix = pop<std::optional<std::string>>();
    const std::optional<PredClass> cls = pop<std::optional<PredClass>>();
    std::vector<PredArg> args = pop_list<PredArg>();
    values_.emplace_back(Declaration(PredDecl{cls.value_or(PredClass::Db), std::move(args),
                                              std::move(infix), std::move(dbinfo)}));
    return;
  }
  std::optional<std::string> infix = pop<std::optional<std::string>>();
  const std::optional<ConsClass> cls = pop<std::optional<ConsClass>>();
  std::vector<Sort> sorts = pop_list<Sort>();
  Sort result = sorts.back();
  sorts.pop_back();
  const ConsClass default_class = result.is_primitive() ? ConsClass::Eval : ConsClass::Sym;
  values_.emplace_back(Declaration(ConsDecl{cls.value_or(default_class), std::move(sorts),
                                            std::move(result), std::move(infix)}));
}

void DeclsGrammar::Builder::act_part(Sym action) {
  switch (action) {
  case A_ARG: {
    const Mode mode = pop<Mode>();
    values_.emplace_back(PredArg{mode, pop<Sort>()});
    return;
  }
  case A_SORT_STRING: values_.emplace_back(Sort::string()); return;
  case A_SORT_INT: values_.emplace_back(Sort::integer()); return;
  case A_SORT_DATE: values_.emplace_back(Sort::date()); return;
  case A_SORT_ANY: values_.emplace_back(Sort::any()); return;
  case A_SORT_NAMED: values_.emplace_back(Sort::named(pop<std::string>())); return;
  case A_INPUT: values_.emplace_back(Mode::Input); return;
  case A_OUTPUT: values_.emplace_back(Mode::Output); return;
  case A_SUBJ: values_.emplace_back(std::optional<PredClass>(PredClass::Subj)); return;
  case A_DB: values_.emplace_back(std::optional<PredClass>(PredClass::Db)); return;
  case A_PRED_EVAL: values_.emplace_back(std::optional<PredClass>(PredClass::Eval)); return;
  case A_PRED_SQL: values_.emplace_back(std::optional<PredClass>(PredClass::Sql)); return;
  case A_NO_PRED_CLASS: values_.emplace_back(std::optional<PredClass>()); return;
  case A_SYM: values_.emplace_back(std::optional<ConsClass>(ConsClass::Sym)); return;
  case A_CONS_SQL: values_.emplace_back(std::optional<ConsClass>(ConsClass::Sql)); return;
  case A_CONS_EVAL: values_.emplace_back(std::optional<ConsClass>(ConsClass::Eval)); return;
  case A_NO_CONS_CLASS: values_.emplace_back(std::optional<ConsClass>()); return;
  case A_INFIX: values_.emplace_back(std::optional<std::string>(pop<std::string>())); return;
  case A_NO_INFIX: values_.emplace_back(std::optional<std::string>()); return;
  case A_DBINFO: {
    std::vector<std::string> columns = pop_list<std::string>();
    values_.emplace_back(std::optional<DbInfo>(DbInfo{pop<std::string>(), std::move(columns)}));
    return;
  }
  case A_NO_DBINFO: values_.emplace_back(std::optional<DbInfo>()); return;
  default: return;
  }
}

} // namespace hipaa::syntax

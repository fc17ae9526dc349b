// The questions only a person can answer: the subjective atoms of an open
// residual, each under an id that depends on the ground atom alone, so that
// it is the same in every run and however the log grows; and the residual
// with the answers a person has already given put in.
#pragma once

#include "reduce/instance_verdict.hpp"
#include "reduce/signature_index.hpp"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace hipaa::report {

// "q" followed by the 16 hexadecimal digits of a 64-bit FNV-1a hash of the
// atom's printed form, e.g. "q3f09a1c47b2d5e61": two of a million questions
// share one by chance about once in forty million runs.
std::string question_id(std::string_view printed_atom);
// Whether `text` has the form of a question id.
bool is_question_id(std::string_view text);

// A term as a person reads it: a string without its quotes, a date as
// "2010-01-06 17:34", a constant as written.
std::string plain_term(const Term& term);

// One subjective atom of an open residual.
struct Question {
  std::string id;
  std::string atom;   // the printed atom, "(pred arg ...)"
  std::string clause; // the innermost named clause around it, else the rule
  std::string pred;
  std::vector<std::string> args; // plain_term of each argument
  // Whether answering it alone, yes or no, decides the instance.
  bool settles = false;
};

// What an open residual leaves to people: its distinct questions, in the
// order they occur, and its shape over them, e.g. "all of (q1, any one of
// (q2, q3), awaiting c164-524-b-2)".
struct OpenQuestions {
  std::vector<Question> questions;
  std::string shape;
};

OpenQuestions open_questions(const FormulaPtr& residual, const SignatureIndex& decls,
                             const std::string& rule);

// Looks a question id up: true or false when a person decided it.
using Answers = std::function<std::optional<bool>(const std::string& id)>;

// The residual with every answered subjective atom replaced by its answer
// and simplified as the reduction simplifies (a false conjunct or a true
// disjunct decides its parent, a single survivor replaces its parent), with
// the clauses named as the reduction names them and the ids of the answers
// that decided it.  `settled` is false, and the rest untouched, when no
// atom of the residual is answered.
struct Settlement {
  bool settled = false;
  FormulaPtr residual;
  std::vector<std::string> clauses;
  std::vector<std::string> decided;  // question ids, in order, each once
  std::vector<std::string> answered; // every answered question of the residual
};

Settlement settle(const FormulaPtr& residual, const SignatureIndex& decls, const Answers& answers);

} // namespace hipaa::report

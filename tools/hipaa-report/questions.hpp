// The questions only a person can answer.  A question is the part of an
// open residual that only subjective atoms make up (one atom, or an all of /
// any one of over several, as the clause says), with the disclosed message
// put as "the disclosure": the same question about the same parties is then
// one question for every disclosure that raises it, and its id depends on
// that form alone, so that it is the same in every run and however the log
// grows.  Settling puts the answers people gave into the residual.
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
// question's printed form, e.g. "q3f09a1c47b2d5e61": two of a million questions
// share one by chance about once in forty million runs.
std::string question_id(std::string_view printed_atom);
// Whether `text` has the form of a question id.
bool is_question_id(std::string_view text);

// A term as a person reads it: a string without its quotes, a date as
// "2010-01-06 17:34", a constant as written.
std::string plain_term(const Term& term);

// The words that stand for the disclosed message in a question.
inline constexpr const char* kDisclosureWords = "each disclosure listed";

// One subjective atom of a question: its predicate and its arguments in
// plain form, the disclosed message as kDisclosureWords.
struct QuestionAtom {
  std::string pred;
  std::vector<std::string> args;
};

// One question of an open residual.
struct Question {
  std::string id;
  // The printed form its id hashes: the atom "(pred arg ...)", or
  // "(and ...)" / "(or ...)" over several, the disclosed message as the
  // variable <message>.
  std::string atom;
  std::string clause; // its own name, else the innermost named clause around it, else the rule
  // Its structure over its atoms: "#1", or e.g. "all of [#1; any one of
  // [#2; #3]]", #k standing for the k-th atom of `parts`.
  std::string form;
  std::vector<QuestionAtom> parts;
  std::vector<std::string> args; // every plain argument of its atoms, each once
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

// `message` is the disclosed message of the instance (the value of its
// info column), or null where the rule reads no disclosure.
OpenQuestions open_questions(const FormulaPtr& residual, const SignatureIndex& decls,
                             const std::string& rule, const Term* message);

// Looks a question id up: true or false when a person decided it.
using Answers = std::function<std::optional<bool>(const std::string& id)>;

// The residual with every answered question replaced by its answer
// and simplified as the reduction simplifies (a false conjunct or a true
// disjunct decides its parent, a single survivor replaces its parent), with
// the clauses named as the reduction names them and the ids of the answers
// that decided it.  `settled` is false, and the rest untouched, when no
// question of the residual is answered.
struct Settlement {
  bool settled = false;
  FormulaPtr residual;
  std::vector<std::string> clauses;
  std::vector<std::string> decided;  // question ids, in order, each once
  std::vector<std::string> answered; // every answered question of the residual
};

Settlement settle(const FormulaPtr& residual, const SignatureIndex& decls, const Answers& answers,
                  const Term* message);

} // namespace hipaa::report

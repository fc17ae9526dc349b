#include "questions.hpp"

#include "record.hpp"

#include "logic/printer.hpp"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <unordered_map>

namespace hipaa::report {

namespace {

bool is_subjective(const Atom& atom, const SignatureIndex& decls) {
  const PredDecl* decl = decls.find_pred(atom.pred);
  return decl != nullptr && decl->cls == PredClass::Subj;
}

std::string atom_id(const Atom& atom) { return question_id(print_atom_text(atom.pred, atom.args)); }

void add_once(std::vector<std::string>& items, const std::string& item) {
  if (std::find(items.begin(), items.end(), item) == items.end()) items.push_back(item);
}

void add_all(std::vector<std::string>& items, const std::vector<std::string>& more) {
  for (const std::string& item : more) add_once(items, item);
}

// Truth in three values, for what one answer would leave of a residual.
enum class Truth { No, Yes, Unknown };

// Collects the questions of a residual and writes its shape.
class QuestionWalk {
public:
  QuestionWalk(const SignatureIndex& decls, OpenQuestions& result) : decls_(decls), result_(result) {}

  void walk(const FormulaPtr& formula, const std::string& clause) {
    const std::string& here = formula->name ? *formula->name : clause;
    std::string& shape = result_.shape;
    auto members = [&](const char* head, const FormulaList& list) {
      shape += head;
      for (std::size_t i = 0; i < list.size(); ++i) {
        if (i > 0) shape += ", ";
        walk(list[i], here);
      }
      shape += ")";
    };
    if (const auto* conj = formula->as<And>()) {
      members("all of (", conj->conjuncts);
    } else if (const auto* disj = formula->as<Or>()) {
      members("any one of (", disj->disjuncts);
    } else if (formula->is<True>()) {
      shape += "yes";
    } else if (formula->is<False>()) {
      shape += "no";
    } else if (const auto* atom = formula->as<Atom>(); atom != nullptr && is_subjective(*atom, decls_)) {
      std::string text = print_atom_text(atom->pred, atom->args);
      std::string id = question_id(text);
      shape += id;
      index_.emplace(formula.get(), id);
      auto known = std::find_if(result_.questions.begin(), result_.questions.end(),
                                [&](const Question& question) { return question.id == id; });
      if (known != result_.questions.end()) return;
      Question question{id, std::move(text), here, atom->pred, {}, false};
      for (const TermPtr& arg : atom->args) question.args.push_back(plain_term(*arg));
      result_.questions.push_back(std::move(question));
    } else {
      // An awaited disclosure: the log, not a person, answers it.
      shape += "awaiting " + here;
    }
  }

  // The residual's truth if question `id` had the answer `yes`.
  Truth truth(const Formula& formula, const std::string& id, bool yes) const {
    auto over = [&](const FormulaList& list, Truth decisive) {
      bool unknown = false;
      for (const FormulaPtr& member : list) {
        Truth part = truth(*member, id, yes);
        if (part == decisive) return decisive;
        unknown = unknown || part == Truth::Unknown;
      }
      if (unknown) return Truth::Unknown;
      return decisive == Truth::No ? Truth::Yes : Truth::No;
    };
    if (const auto* conj = formula.as<And>()) return over(conj->conjuncts, Truth::No);
    if (const auto* disj = formula.as<Or>()) return over(disj->disjuncts, Truth::Yes);
    if (formula.is<True>()) return Truth::Yes;
    if (formula.is<False>()) return Truth::No;
    auto known = index_.find(&formula);
    if (known == index_.end() || known->second != id) return Truth::Unknown;
    return yes ? Truth::Yes : Truth::No;
  }

private:
  const SignatureIndex& decls_;
  OpenQuestions& result_;
  std::unordered_map<const Formula*, std::string> index_;
};

// The residual's simplification once answers are put in, as the
// reduction's own walk would have named it.
class SettleWalk {
public:
  SettleWalk(const SignatureIndex& decls, const Answers& answers) : decls_(decls), answers_(answers) {}

  struct Part {
    FormulaPtr residual;
    std::vector<std::string> names;
    std::vector<std::string> decided;
  };

  // Notes every answered question of the residual, outside quantifier
  // bodies, whether or not the walk will reach it.
  void survey(const Formula& formula) {
    if (const auto* conj = formula.as<And>()) {
      for (const FormulaPtr& member : conj->conjuncts) survey(*member);
    } else if (const auto* disj = formula.as<Or>()) {
      for (const FormulaPtr& member : disj->disjuncts) survey(*member);
    } else if (const auto* atom = formula.as<Atom>(); atom != nullptr && is_subjective(*atom, decls_)) {
      std::string id = atom_id(*atom);
      if (answers_(id)) add_once(answered_, id);
    }
  }

  Part walk(const FormulaPtr& formula) {
    if (const auto* conj = formula->as<And>()) return walk_and(formula, *conj);
    if (const auto* disj = formula->as<Or>()) return walk_or(formula, *disj);
    if (const auto* atom = formula->as<Atom>(); atom != nullptr && is_subjective(*atom, decls_)) {
      std::string id = atom_id(*atom);
      if (std::optional<bool> answer = answers_(id)) {
        if (*answer) return Part{make_true(formula->name), {}, {id}};
        return Part{make_false(formula->name), named(formula), {id}};
      }
    }
    return Part{formula, formula->is<True>() ? std::vector<std::string>{} : named(formula), {}};
  }

  const std::vector<std::string>& answered() const { return answered_; }

private:
  static std::vector<std::string> named(const FormulaPtr& formula) {
    if (formula->name) return {*formula->name};
    return {};
  }

  // An open part is charged to its own innermost names, else to its parent.
  static void add_open(std::vector<std::string>& names, const Part& part, const Name& parent) {
    if (!part.names.empty()) {
      add_all(names, part.names);
    } else if (parent) {
      add_once(names, *parent);
    }
  }

  Part walk_and(const FormulaPtr& formula, const And& conj) {
    FormulaList kept;
    std::vector<std::string> permitting, open, decided;
    for (const FormulaPtr& conjunct : conj.conjuncts) {
      Part part = walk(conjunct);
      if (part.residual->is<False>()) {
        std::vector<std::string> deciding = named(formula);
        add_all(deciding, part.names);
        return Part{make_false(formula->name), std::move(deciding), std::move(part.decided)};
      }
      add_all(decided, part.decided);
      if (part.residual->is<True>()) {
        add_all(permitting, part.names);
        continue;
      }
      add_open(open, part, formula->name);
      kept.push_back(std::move(part.residual));
    }
    if (kept.empty()) return Part{make_true(formula->name), std::move(permitting), std::move(decided)};
    if (kept.size() == 1) return Part{std::move(kept.front()), std::move(open), std::move(decided)};
    return Part{make_and(formula->name, std::move(kept)), std::move(open), std::move(decided)};
  }

  Part walk_or(const FormulaPtr& formula, const Or& disj) {
    FormulaList kept;
    std::vector<std::string> failed, open, decided;
    for (const FormulaPtr& disjunct : disj.disjuncts) {
      Part part = walk(disjunct);
      if (part.residual->is<True>()) {
        std::vector<std::string> permitting = named(disjunct);
        add_all(permitting, part.names);
        return Part{make_true(formula->name), std::move(permitting), std::move(part.decided)};
      }
      add_all(decided, part.decided);
      if (part.residual->is<False>()) {
        add_all(failed, part.names);
        continue;
      }
      add_open(open, part, formula->name);
      kept.push_back(std::move(part.residual));
    }
    if (kept.empty()) {
      // No alternative holds: the disjunction fails, and with it those that
      // a person ruled out.
      std::vector<std::string> deciding = named(formula);
      add_all(deciding, failed);
      return Part{make_false(formula->name), std::move(deciding), std::move(decided)};
    }
    if (kept.size() == 1) return Part{std::move(kept.front()), std::move(open), std::move(decided)};
    return Part{make_or(formula->name, std::move(kept)), std::move(open), std::move(decided)};
  }

  const SignatureIndex& decls_;
  const Answers& answers_;
  std::vector<std::string> answered_;
};

} // namespace

std::string question_id(std::string_view printed_atom) {
  std::uint64_t hash = 0xcbf29ce484222325ULL;
  for (unsigned char c : printed_atom) {
    hash ^= c;
    hash *= 0x100000001b3ULL;
  }
  char text[24];
  std::snprintf(text, sizeof text, "q%016llx", static_cast<unsigned long long>(hash));
  return text;
}

bool is_question_id(std::string_view text) {
  if (text.size() != 17 || text[0] != 'q') return false;
  return std::all_of(text.begin() + 1, text.end(),
                     [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); });
}

std::string plain_term(const Term& term) {
  if (const auto* text = term.as<StrTerm>()) return text->text;
  if (const auto* date = term.as<DateTerm>()) {
    std::string iso = iso_date(date->value); // YYYY-MM-DDTHH:MM:SS
    std::size_t t = iso.find('T');
    if (t == std::string::npos) return iso;
    iso[t] = ' ';
    return iso.substr(0, t + 6);
  }
  if (const auto* app = term.as<AppTerm>(); app != nullptr && app->args.empty()) return app->name;
  return print_term(term);
}

OpenQuestions open_questions(const FormulaPtr& residual, const SignatureIndex& decls,
                             const std::string& rule) {
  OpenQuestions result;
  QuestionWalk walk(decls, result);
  walk.walk(residual, rule);
  for (Question& question : result.questions) {
    question.settles = walk.truth(*residual, question.id, true) != Truth::Unknown ||
                       walk.truth(*residual, question.id, false) != Truth::Unknown;
  }
  return result;
}

Settlement settle(const FormulaPtr& residual, const SignatureIndex& decls, const Answers& answers) {
  SettleWalk walk(decls, answers);
  Settlement settlement;
  walk.survey(*residual);
  if (walk.answered().empty()) return settlement;
  SettleWalk::Part part = walk.walk(residual);
  settlement.settled = true;
  settlement.residual = std::move(part.residual);
  settlement.clauses = std::move(part.names);
  settlement.decided = std::move(part.decided);
  settlement.answered = walk.answered();
  return settlement;
}

} // namespace hipaa::report

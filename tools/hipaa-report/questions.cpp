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

void add_once(std::vector<std::string>& items, const std::string& item) {
  if (std::find(items.begin(), items.end(), item) == items.end()) items.push_back(item);
}

void add_all(std::vector<std::string>& items, const std::vector<std::string>& more) {
  for (const std::string& item : more) add_once(items, item);
}

// What a person is asked: the parts of a residual made of subjective atoms
// alone, under and/or.  A residual is cut into questions top down, each as
// large as it can be, so that one answer covers a clause's whole judgement.
class QuestionForm {
public:
  QuestionForm(const SignatureIndex& decls, const Term* message)
      : decls_(decls), message_(message ? print_term(*message) : std::string()) {}

  bool is_question(const Formula& formula) {
    auto known = memo_.find(&formula);
    if (known != memo_.end()) return known->second;
    bool answer = false;
    if (const auto* atom = formula.as<Atom>()) {
      answer = is_subjective(*atom, decls_);
    } else if (const auto* conj = formula.as<And>()) {
      answer = all_questions(conj->conjuncts);
    } else if (const auto* disj = formula.as<Or>()) {
      answer = all_questions(disj->disjuncts);
    }
    memo_.emplace(&formula, answer);
    return answer;
  }

  // The printed form of a question, the message as <message>: an atom as
  // the atom, so that its id is the atom's.
  std::string key(const Formula& formula) const {
    if (const auto* atom = formula.as<Atom>()) {
      TermList args;
      for (const TermPtr& arg : atom->args) args.push_back(is_message(*arg) ? make_var("<message>") : arg);
      return print_atom_text(atom->pred, args);
    }
    const auto* conj = formula.as<And>();
    const FormulaList& members = conj ? conj->conjuncts : formula.as<Or>()->disjuncts;
    std::string text = conj ? "(and" : "(or";
    for (const FormulaPtr& member : members) text += ' ' + key(*member);
    return text + ")";
  }

  std::string id(const Formula& formula) const { return question_id(key(formula)); }

  // The question's structure and atoms, in words.
  void describe(const Formula& formula, Question& question) const {
    if (const auto* atom = formula.as<Atom>()) {
      QuestionAtom part{atom->pred, {}};
      for (const TermPtr& arg : atom->args) {
        bool message = is_message(*arg);
        part.args.push_back(message ? kDisclosureWords : plain_term(*arg));
        if (!message) add_once(question.args, part.args.back());
      }
      question.parts.push_back(std::move(part));
      question.form += '#' + std::to_string(question.parts.size());
      return;
    }
    question.form += formula.is<And>() ? "all of [" : "any one of [";
    bool first = true;
    describe_members(formula, formula.is<And>(), question, first);
    question.form += ']';
  }

private:
  // The members of an and (an or), those of a nested one of the same kind
  // among them, as one list.
  void describe_members(const Formula& formula, bool conj, Question& question, bool& first) const {
    const FormulaList& members = conj ? formula.as<And>()->conjuncts : formula.as<Or>()->disjuncts;
    for (const FormulaPtr& member : members) {
      if (conj ? member->is<And>() : member->is<Or>()) {
        describe_members(*member, conj, question, first);
        continue;
      }
      if (!first) question.form += "; ";
      first = false;
      describe(*member, question);
    }
  }

  bool all_questions(const FormulaList& members) {
    return std::all_of(members.begin(), members.end(),
                       [&](const FormulaPtr& member) { return is_question(*member); });
  }
  bool is_message(const Term& term) const { return !message_.empty() && print_term(term) == message_; }

  const SignatureIndex& decls_;
  std::string message_;
  std::unordered_map<const Formula*, bool> memo_;
};

// The innermost names of a question's members, for a "no" to a question
// that has no name of its own.
void member_names(const Formula& formula, std::vector<std::string>& names) {
  if (formula.name) {
    add_once(names, *formula.name);
  } else if (const auto* conj = formula.as<And>()) {
    for (const FormulaPtr& member : conj->conjuncts) member_names(*member, names);
  } else if (const auto* disj = formula.as<Or>()) {
    for (const FormulaPtr& member : disj->disjuncts) member_names(*member, names);
  }
}

// Truth in three values, for what one answer would leave of a residual.
enum class Truth { No, Yes, Unknown };

// Collects the questions of a residual and writes its shape.
class QuestionWalk {
public:
  QuestionWalk(QuestionForm& form, OpenQuestions& result) : form_(form), result_(result) {}

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
    if (form_.is_question(*formula)) {
      std::string id = form_.id(*formula);
      shape += id;
      index_.emplace(formula.get(), id);
      auto known = std::find_if(result_.questions.begin(), result_.questions.end(),
                                [&](const Question& question) { return question.id == id; });
      if (known != result_.questions.end()) return;
      Question question;
      question.id = std::move(id);
      question.atom = form_.key(*formula);
      // A question is asked under its own name; one without a name, or a
      // choice among clauses (an `or`, such as the disjunction of all
      // permissions), under its first named member; else under the clause
      // around it.
      std::vector<std::string> names;
      if (const auto* disj = formula->as<Or>()) {
        for (const FormulaPtr& member : disj->disjuncts) member_names(*member, names);
      } else {
        member_names(*formula, names);
      }
      question.clause = names.empty() ? here : names.front();
      form_.describe(*formula, question);
      result_.questions.push_back(std::move(question));
    } else if (const auto* conj = formula->as<And>()) {
      members("all of (", conj->conjuncts);
    } else if (const auto* disj = formula->as<Or>()) {
      members("any one of (", disj->disjuncts);
    } else if (formula->is<True>()) {
      shape += "yes";
    } else if (formula->is<False>()) {
      shape += "no";
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
    if (auto known = index_.find(&formula); known != index_.end()) {
      if (known->second != id) return Truth::Unknown;
      return yes ? Truth::Yes : Truth::No;
    }
    if (const auto* conj = formula.as<And>()) return over(conj->conjuncts, Truth::No);
    if (const auto* disj = formula.as<Or>()) return over(disj->disjuncts, Truth::Yes);
    if (formula.is<True>()) return Truth::Yes;
    if (formula.is<False>()) return Truth::No;
    return Truth::Unknown;
  }

private:
  QuestionForm& form_;
  OpenQuestions& result_;
  std::unordered_map<const Formula*, std::string> index_;
};

// The residual's simplification once answers are put in, as the
// reduction's own walk would have named it.
class SettleWalk {
public:
  SettleWalk(QuestionForm& form, const Answers& answers) : form_(form), answers_(answers) {}

  struct Part {
    FormulaPtr residual;
    std::vector<std::string> names;
    std::vector<std::string> decided;
  };

  // Notes every answered question of the residual, outside quantifier
  // bodies, whether or not the walk will reach it.
  void survey(const Formula& formula) {
    if (form_.is_question(formula)) {
      std::string id = form_.id(formula);
      if (answers_(id)) add_once(answered_, id);
    } else if (const auto* conj = formula.as<And>()) {
      for (const FormulaPtr& member : conj->conjuncts) survey(*member);
    } else if (const auto* disj = formula.as<Or>()) {
      for (const FormulaPtr& member : disj->disjuncts) survey(*member);
    }
  }

  Part walk(const FormulaPtr& formula) {
    if (form_.is_question(*formula)) {
      std::string id = form_.id(*formula);
      if (std::optional<bool> answer = answers_(id)) {
        if (*answer) return Part{make_true(formula->name), {}, {id}};
        std::vector<std::string> names;
        member_names(*formula, names);
        return Part{make_false(formula->name), std::move(names), {id}};
      }
      return Part{formula, named(formula), {}};
    }
    if (const auto* conj = formula->as<And>()) return walk_and(formula, *conj);
    if (const auto* disj = formula->as<Or>()) return walk_or(formula, *disj);
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

  QuestionForm& form_;
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
                             const std::string& rule, const Term* message) {
  OpenQuestions result;
  QuestionForm form(decls, message);
  QuestionWalk walk(form, result);
  walk.walk(residual, rule);
  for (Question& question : result.questions) {
    question.settles = walk.truth(*residual, question.id, true) != Truth::Unknown ||
                       walk.truth(*residual, question.id, false) != Truth::Unknown;
  }
  return result;
}

Settlement settle(const FormulaPtr& residual, const SignatureIndex& decls, const Answers& answers,
                  const Term* message) {
  QuestionForm form(decls, message);
  SettleWalk walk(form, answers);
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

// The repair machine shared by both grammars.  It recognises the token
// stream on a persistent stack and, when a token cannot come next, searches
// for a small edit of the tokens near the error:
//
//   - at the first error only: replacing the start marker by the grammar's
//     other start marker, taken when the whole text then parses without
//     another edit (a term text that is really a formula, or the reverse,
//     so that the caller sees the other kind of result and rejects it);
//   - candidate points: the error token first, then the tokens before it,
//     nearest first, at most kMaxDistance tokens back, never the start
//     marker, and only beyond the last repair already made;
//   - at each point, in this order: deleting the token, inserting one token,
//     substituting one token, deleting runs of 2 up to the grammar's bound
//     (the end token is never deleted or replaced);
//   - inserted and substituted tokens are tried in the grammar's order of
//     token kinds;
//   - an edit counts when parsing then gets kLookahead tokens past the error
//     (and past the edit), or gets at least one token past them and on to
//     the end of input.  The first such edit is taken; when none counts, the
//     edit that gets furthest past them is taken (the first of equals),
//     provided it gets at least one token past; with none at all the parse
//     is unrepairable.
//
// The result is the repaired token sequence, which the grammar's builder
// then turns into values, and the records of the repairs made.
//
// A grammar G provides, besides what ll_machine.hpp lists:
//   static std::span<const int> repair_kinds();   insertable kinds, in order
//   static std::span<const int> start_kinds();    its start markers
//   static std::size_t max_deletion_run(Sym top, Sym below);
//   static Token placeholder(int kind, std::size_t offset);
#pragma once

#include "syntax/ll_machine.hpp"
#include "syntax/repair_record.hpp"
#include "syntax/token.hpp"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace hipaa::syntax {

inline constexpr std::size_t kLookahead = 15;
inline constexpr std::size_t kMaxDistance = 50;
inline constexpr long kFullAdvance = 1000000;

template <class G, class Stream> class RepairParse {
public:
  RepairParse(Stream& stream, std::string_view framed) : stream_(stream), framed_(framed) {}

  // The repaired token sequence, or nothing when an error could not be
  // repaired (the last record then names the token).
  std::optional<std::vector<Token>> run() {
    top_ = arena_.push(StackArena::kEmpty, G::kStart);
    for (;;) {
      const Token token = stream_.at(input_);
      saved_.push_back(Saved{top_, static_cast<std::int64_t>(input_), arena_.size()});
      const StepResult result = recognise<G>(arena_, top_, token.kind);
      if (result.step != Step::Rejected) {
        out_.push_back(token);
        top_ = result.top;
        ++input_;
        if (result.step == Step::Accepted) return std::move(out_);
        continue;
      }
      arena_.truncate(saved_.back().arena_size);
      std::optional<Candidate> best = other_start();
      if (!best) best = search();
      if (!best) {
        add_record(records_, RepairRecord{token.offset, RepairAction::Failure, {token.kind}, {}},
                   framed_);
        return std::nullopt;
      }
      apply(*best);
    }
  }

  const std::vector<RepairRecord>& records() const { return records_; }

private:
  // The parser state before out_[i] was consumed; input is the index of the
  // stream token that became out_[i], or -1 for a token that repair made.
  struct Saved {
    std::int32_t top;
    std::int64_t input;
    std::size_t arena_size;
  };

  struct Candidate {
    std::size_t point;
    RepairAction action;
    int kind;
    std::size_t count;
    long advance;
  };

  // The start marker replaced by another one under which the whole text
  // parses; only before any other repair.
  std::optional<Candidate> other_start() {
    if (!records_.empty()) return std::nullopt;
    const int current = stream_.at(0).kind;
    for (const int kind : G::start_kinds()) {
      if (kind == current) continue;
      const Candidate candidate{0, RepairAction::Substitute, kind, 1, kFullAdvance};
      if (parses_whole(kind)) return candidate;
    }
    return std::nullopt;
  }

  // True when `start` followed by the stream's tokens after the first is
  // accepted.
  bool parses_whole(int start) {
    const std::size_t mark = arena_.size();
    StepResult result = recognise<G>(arena_, saved_[0].top, start);
    for (std::size_t next = 1; result.step == Step::Shifted; ++next)
      result = recognise<G>(arena_, result.top, stream_.at(next).kind);
    arena_.truncate(mark);
    return result.step == Step::Accepted;
  }

  std::optional<Candidate> search() {
    const std::size_t error_point = saved_.size() - 1;
    const std::size_t lowest = error_point > kMaxDistance ? error_point - kMaxDistance : 1;
    std::optional<Candidate> best;
    for (std::size_t point = error_point; point >= lowest && point >= 1; --point) {
      if (usable(point) && try_point(point, best)) break;
    }
    return best;
  }

  bool usable(std::size_t point) {
    const Saved& saved = saved_[point];
    if (saved.input < 0) return false;
    if (records_.empty()) return true;
    return stream_.at(static_cast<std::size_t>(saved.input)).offset > records_.back().offset;
  }

  // Tries the edits at one point; true when one reached the full lookahead.
  bool try_point(std::size_t point, std::optional<Candidate>& best) {
    const auto input = static_cast<std::size_t>(saved_[point].input);
    const Token here = stream_.at(input);
    const bool at_end = here.kind == G::kEof;
    if (!at_end && consider(Candidate{point, RepairAction::Delete, 0, 1, 0}, best)) return true;
    for (const int kind : G::repair_kinds()) {
      if (consider(Candidate{point, RepairAction::Insert, kind, 0, 0}, best)) return true;
    }
    if (at_end) return false;
    for (const int kind : G::repair_kinds()) {
      if (kind == here.kind) continue;
      if (consider(Candidate{point, RepairAction::Substitute, kind, 1, 0}, best)) return true;
    }
    const std::int32_t top = saved_[point].top;
    const Sym below_symbol =
        arena_.below(top) == StackArena::kEmpty ? -1 : arena_.symbol(arena_.below(top));
    const std::size_t longest = G::max_deletion_run(arena_.symbol(top), below_symbol);
    for (std::size_t count = 2; count <= longest; ++count) {
      if (stream_.at(input + count - 1).kind == G::kEof) break;
      if (consider(Candidate{point, RepairAction::Delete, 0, count, 0}, best)) return true;
    }
    return false;
  }

  bool consider(Candidate candidate, std::optional<Candidate>& best) {
    candidate.advance = trial(candidate);
    if (candidate.advance >= 1 && (!best || candidate.advance > best->advance)) best = candidate;
    return candidate.advance == kFullAdvance;
  }

  // How far parsing gets after the edit: the number of stream tokens from
  // the error token to the first token it cannot take; kFullAdvance when it takes kLookahead tokens
  // past both the error and the edit, or reaches the end of input (accepting it, or stopping there
  // after at least one such token); 0 or less when it does not get one token past.
  long trial(const Candidate& candidate) {
    const Saved& saved = saved_[candidate.point];
    const std::size_t mark = arena_.size();
    std::int32_t top = saved.top;
    auto resume = static_cast<std::size_t>(saved.input);
    if (candidate.action != RepairAction::Delete) {
      const StepResult result = recognise<G>(arena_, top, candidate.kind);
      if (result.step != Step::Shifted) {
        arena_.truncate(mark);
        return -1;
      }
      top = result.top;
    }
    resume += candidate.count;
    const std::size_t base = std::max(input_, resume);
    const long advance = run_ahead(top, resume, base);
    arena_.truncate(mark);
    return advance;
  }

  long run_ahead(std::int32_t top, std::size_t next, std::size_t base) {
    while (next < base + kLookahead) {
      const Token token = stream_.at(next);
      const StepResult result = recognise<G>(arena_, top, token.kind);
      if (result.step == Step::Accepted) return kFullAdvance;
      if (result.step == Step::Rejected) {
        if (next <= base) return 0;
        return token.kind == G::kEof ? kFullAdvance : static_cast<long>(next - input_);
      }
      top = result.top;
      ++next;
    }
    return kFullAdvance;
  }

  // Backs up to the candidate's point, records the edit and makes it.
  void apply(const Candidate& candidate) {
    const Saved saved = saved_[candidate.point];
    out_.resize(candidate.point);
    saved_.resize(candidate.point);
    arena_.truncate(saved.arena_size);
    top_ = saved.top;
    const auto input = static_cast<std::size_t>(saved.input);
    const Token here = stream_.at(input);
    RepairRecord record{here.offset, candidate.action, {}, {}};
    if (candidate.action == RepairAction::Delete) {
      for (std::size_t i = 0; i < candidate.count; ++i)
        record.tokens.push_back(stream_.at(input + i).kind);
    } else {
      record.tokens.push_back(candidate.kind);
      if (candidate.action == RepairAction::Substitute) record.old_tokens.push_back(here.kind);
    }
    add_record(records_, std::move(record), framed_);
    if (candidate.action != RepairAction::Delete)
      shift_made_token(G::placeholder(candidate.kind, here.offset));
    input_ = input + candidate.count;
  }

  void shift_made_token(const Token& token) {
    saved_.push_back(Saved{top_, -1, arena_.size()});
    top_ = recognise<G>(arena_, top_, token.kind).top;
    out_.push_back(token);
  }

  Stream& stream_;
  std::string_view framed_;
  StackArena arena_;
  std::int32_t top_ = StackArena::kEmpty;
  std::size_t input_ = 0;
  std::vector<Token> out_;
  std::vector<Saved> saved_;
  std::vector<RepairRecord> records_;
};

} // namespace hipaa::syntax

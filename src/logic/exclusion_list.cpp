#include "logic/exclusion_list.hpp"

#include "base/failure.hpp"

#include <algorithm>
#include <cstdint>
#include <utility>

namespace hipaa {

// A tuple is stored as one record: the length of the rest of the record,
// the number of terms, then each term in prefix order.  Lengths and counts
// are unsigned base-128 numbers, low group first.  A term is a tag byte:
//   'i' int: four bytes, low byte first
//   'd' date whose nanosecond count fits 64 bits: eight bytes, low first
//   'D' any other date: length, then the count in base 16 with its sign
//   's' string, 'v' variable: length, then the text
//   'a' constructor: length, then the name; number of arguments; the
//       arguments follow as terms of their own
// Every term has exactly one encoding, so equal tuples are equal records.
namespace {

void put_number(std::string& out, std::uint64_t value) {
  while (value >= 0x80) {
    out += static_cast<char>((value & 0x7f) | 0x80);
    value >>= 7;
  }
  out += static_cast<char>(value);
}

void put_fixed(std::string& out, std::uint64_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) {
    out += static_cast<char>(value & 0xff);
    value >>= 8;
  }
}

void put_text(std::string& out, const std::string& text) {
  put_number(out, text.size());
  out += text;
}

void put_term(std::string& out, const Term& root) {
  std::vector<const Term*> pending{&root};
  while (!pending.empty()) {
    const Term& term = *pending.back();
    pending.pop_back();
    if (const auto* i = term.as<IntTerm>()) {
      out += 'i';
      put_fixed(out, static_cast<std::uint32_t>(i->value), 4);
    } else if (const auto* d = term.as<DateTerm>()) {
      if (d->value.fits_slong_p()) {
        out += 'd';
        put_fixed(out, static_cast<std::uint64_t>(d->value.get_si()), 8);
      } else {
        out += 'D';
        put_text(out, d->value.get_str(16));
      }
    } else if (const auto* s = term.as<StrTerm>()) {
      out += 's';
      put_text(out, s->text);
    } else if (const auto* v = term.as<VarTerm>()) {
      out += 'v';
      put_text(out, v->name);
    } else if (const auto* a = term.as<AppTerm>()) {
      out += 'a';
      put_text(out, a->name);
      put_number(out, a->args.size());
      for (auto arg = a->args.rbegin(); arg != a->args.rend(); ++arg) pending.push_back(arg->get());
    }
  }
}

std::string encode_tuple(const TermList& tuple) {
  std::string body;
  put_number(body, tuple.size());
  for (const TermPtr& term : tuple) put_term(body, *term);
  std::string record;
  record.reserve(body.size() + 3);
  put_number(record, body.size());
  record += body;
  return record;
}

// Reads one record's parts.  Records are only ever written by this file,
// so a malformed one is an internal fault.
class Reader {
public:
  explicit Reader(std::string_view bytes) : bytes_(bytes) {}

  std::uint64_t number() {
    std::uint64_t value = 0;
    for (int shift = 0;; shift += 7) {
      auto byte = static_cast<unsigned char>(next());
      value |= static_cast<std::uint64_t>(byte & 0x7f) << shift;
      if ((byte & 0x80) == 0) return value;
    }
  }
  std::uint64_t fixed(int bytes) {
    std::uint64_t value = 0;
    for (int i = 0; i < bytes; ++i) {
      value |= static_cast<std::uint64_t>(static_cast<unsigned char>(next())) << (8 * i);
    }
    return value;
  }
  std::string text() {
    std::uint64_t length = number();
    if (length > bytes_.size() - at_) raise("Impossible");
    std::string result(bytes_.substr(at_, length));
    at_ += length;
    return result;
  }
  char next() {
    if (at_ >= bytes_.size()) raise("Impossible");
    return bytes_[at_++];
  }
  std::size_t position() const { return at_; }

private:
  std::string_view bytes_;
  std::size_t at_ = 0;
};

// One term in prefix order, rebuilt without recursion: constructors wait
// on a stack until their last argument is read.
TermPtr read_term(Reader& in) {
  struct Open {
    std::string name;
    std::size_t arity;
    TermList args;
  };
  std::vector<Open> open;
  for (;;) {
    TermPtr done;
    switch (in.next()) {
    case 'i': done = make_int(static_cast<std::int32_t>(static_cast<std::uint32_t>(in.fixed(4))));
      break;
    case 'd': done = make_date(DateValue(static_cast<long>(in.fixed(8)))); break;
    case 'D': done = make_date(DateValue(in.text(), 16)); break;
    case 's': done = make_str(in.text()); break;
    case 'v': done = make_var(in.text()); break;
    case 'a': {
      std::string name = in.text();
      std::size_t arity = in.number();
      if (arity == 0) {
        done = make_app(std::move(name));
      } else {
        TermList args;
        args.reserve(arity);
        open.push_back({std::move(name), arity, std::move(args)});
      }
      break;
    }
    default: raise("Impossible");
    }
    while (done) {
      if (open.empty()) return done;
      Open& parent = open.back();
      parent.args.push_back(std::move(done));
      if (parent.args.size() < parent.arity) break;
      done = make_app(std::move(parent.name), std::move(parent.args));
      open.pop_back();
    }
  }
}

// The record that starts `bytes`, whole.
std::string_view record_at(std::string_view bytes) {
  Reader in(bytes);
  std::uint64_t length = in.number();
  return bytes.substr(0, in.position() + length);
}

TermList decode_tuple(std::string_view record) {
  Reader in(record);
  in.number(); // the record's length
  std::size_t count = in.number();
  TermList tuple;
  tuple.reserve(count);
  for (std::size_t i = 0; i < count; ++i) tuple.push_back(read_term(in));
  return tuple;
}

} // namespace

ExclusionList::ExclusionList(const std::vector<TermList>& tuples) {
  for (const TermList& tuple : tuples) push_back(tuple);
}

ExclusionList::ExclusionList(std::initializer_list<TermList> tuples) {
  for (const TermList& tuple : tuples) push_back(tuple);
}

void ExclusionList::push_back(const TermList& tuple) { append_encoded(encode_tuple(tuple)); }

void ExclusionList::append(const ExclusionList& other) {
  for (auto it = other.begin(); it != other.end(); ++it) append_encoded(it.encoded());
}

void ExclusionList::append_encoded(std::string_view record) {
  bool fits = !blocks_.empty() && blocks_.back().size() + record.size() <= kBlockSize;
  if (!fits) {
    if (blocks_.empty()) {
      blocks_.emplace_back();
    } else {
      std::string block;
      block.reserve(std::max(kBlockSize, record.size()));
      blocks_.push_back(std::move(block));
    }
  }
  blocks_.back() += record;
  ++count_;
}

bool ExclusionList::contains(const TermList& tuple) const {
  if (empty()) return false;
  std::string wanted = encode_tuple(tuple);
  for (auto it = begin(); it != end(); ++it) {
    if (it.encoded() == wanted) return true;
  }
  return false;
}

TermList ExclusionList::operator[](std::size_t index) const {
  auto it = begin();
  for (std::size_t i = 0; i < index; ++i) ++it;
  return *it;
}

std::string_view ExclusionList::const_iterator::encoded() const {
  const std::string& block = list_->blocks_[block_];
  return record_at(std::string_view(block).substr(offset_));
}

TermList ExclusionList::const_iterator::operator*() const { return decode_tuple(encoded()); }

ExclusionList::const_iterator& ExclusionList::const_iterator::operator++() {
  offset_ += encoded().size();
  if (offset_ == list_->blocks_[block_].size()) {
    ++block_;
    offset_ = 0;
  }
  return *this;
}

} // namespace hipaa

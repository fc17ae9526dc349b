#include "reduce/text_ids.hpp"

#include <cstring>
#include <functional>

namespace hipaa {

namespace {

// Blocks grow from the first to the largest size, so that a small table
// takes little.
constexpr std::size_t kFirstBlockBytes = std::size_t{1} << 12;
constexpr std::size_t kBlockBytes = std::size_t{1} << 20;

} // namespace

// Linear probing from the hash's slot to the text's slot or the first
// empty one.
std::size_t TextIds::slot_of(std::string_view text, std::uint64_t hash) const {
  const std::size_t mask = slots_.size() - 1;
  for (std::size_t slot = hash & mask;; slot = (slot + 1) & mask) {
    const std::uint32_t held = slots_[slot];
    if (held == 0) return slot;
    if (hashes_[held - 1] == hash && texts_[held - 1] == text) return slot;
  }
}

std::optional<std::uint32_t> TextIds::find(std::string_view text) const {
  if (slots_.empty()) return std::nullopt;
  const std::uint32_t held = slots_[slot_of(text, std::hash<std::string_view>{}(text))];
  if (held == 0) return std::nullopt;
  return held - 1;
}

std::pair<std::uint32_t, bool> TextIds::add(std::string_view text) {
  // At most half full.
  if (2 * (texts_.size() + 1) > slots_.size()) grow();
  const std::uint64_t hash = std::hash<std::string_view>{}(text);
  const std::size_t slot = slot_of(text, hash);
  if (slots_[slot] != 0) return {slots_[slot] - 1, false};
  const auto id = static_cast<std::uint32_t>(texts_.size());
  texts_.push_back(store(text));
  hashes_.push_back(hash);
  slots_[slot] = id + 1;
  return {id, true};
}

void TextIds::grow() {
  std::vector<std::uint32_t> old = std::move(slots_);
  slots_.assign(old.empty() ? 64 : old.size() * 2, 0);
  const std::size_t mask = slots_.size() - 1;
  for (std::uint32_t held : old) {
    if (held == 0) continue;
    std::size_t slot = hashes_[held - 1] & mask;
    while (slots_[slot] != 0) slot = (slot + 1) & mask;
    slots_[slot] = held;
  }
}

std::string_view TextIds::store(std::string_view text) {
  if (text.size() > left_) {
    std::size_t bytes = blocks_.empty() ? kFirstBlockBytes : 2 * block_;
    if (bytes > kBlockBytes) bytes = kBlockBytes;
    block_ = bytes;
    if (text.size() > bytes) bytes = text.size();
    blocks_.push_back(std::make_unique<char[]>(bytes));
    free_ = blocks_.back().get();
    left_ = bytes;
  }
  std::memcpy(free_, text.data(), text.size());
  std::string_view stored(free_, text.size());
  free_ += text.size();
  left_ -= text.size();
  return stored;
}

} // namespace hipaa

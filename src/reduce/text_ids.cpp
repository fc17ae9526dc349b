#include "reduce/text_ids.hpp"

#include <cstring>
#include <functional>
#include <mutex>

namespace hipaa {

namespace {

// Blocks grow from the first to the largest size, so that a small table
// takes little.
constexpr std::size_t kFirstBlockBytes = std::size_t{1} << 12;
constexpr std::size_t kBlockBytes = std::size_t{1} << 20;

std::uint32_t hash_of(std::string_view text) {
  return static_cast<std::uint32_t>(std::hash<std::string_view>{}(text));
}

} // namespace

TextIds::TextIds()
    : chunks_holder_(std::make_unique<std::array<std::unique_ptr<Entry[]>, kChunks>>()),
      chunks_(chunks_holder_->data()) {}

// Linear probing from the hash's slot to the text's slot or the first
// empty one.
std::size_t TextIds::slot_of(std::string_view text, std::uint32_t hash) const {
  const std::size_t mask = slots_.size() - 1;
  for (std::size_t slot = hash & mask;; slot = (slot + 1) & mask) {
    const std::uint32_t held = slots_[slot];
    if (held == 0) return slot;
    const Entry& stored = entry(held - 1);
    if (stored.hash == hash && std::string_view(stored.data, stored.size) == text) return slot;
  }
}

std::optional<std::uint32_t> TextIds::find(std::string_view text) const {
  const std::uint32_t hash = hash_of(text);
  std::shared_lock<std::shared_mutex> lock(probe_mutex_);
  if (slots_.empty()) return std::nullopt;
  const std::uint32_t held = slots_[slot_of(text, hash)];
  if (held == 0) return std::nullopt;
  return held - 1;
}

std::pair<std::uint32_t, bool> TextIds::add(std::string_view text) {
  const std::uint32_t hash = hash_of(text);
  // Only this thread changes the table, so it probes without the lock and
  // takes it to change the slots.
  if (2 * (size_ + 1) > slots_.size()) {
    std::unique_lock<std::shared_mutex> lock(probe_mutex_);
    grow(); // at most half full
  }
  const std::size_t slot = slot_of(text, hash);
  if (slots_[slot] != 0) return {slots_[slot] - 1, false};
  const auto id = static_cast<std::uint32_t>(size_);
  std::unique_ptr<Entry[]>& chunk = chunks_[id >> kChunkBits];
  if (!chunk) {
    chunk = std::make_unique_for_overwrite<Entry[]>(std::size_t{1} << kChunkBits);
    bytes_ += sizeof(Entry) << kChunkBits;
  }
  chunk[id & kChunkMask] = Entry{store(text), static_cast<std::uint32_t>(text.size()), hash};
  {
    std::unique_lock<std::shared_mutex> lock(probe_mutex_);
    slots_[slot] = id + 1;
    ++size_;
  }
  return {id, true};
}

void TextIds::grow() {
  std::vector<std::uint32_t> old = std::move(slots_);
  slots_.assign(old.empty() ? 64 : old.size() * 2, 0);
  bytes_ += (slots_.size() - old.size()) * sizeof(std::uint32_t);
  const std::size_t mask = slots_.size() - 1;
  for (std::uint32_t held : old) {
    if (held == 0) continue;
    std::size_t slot = entry(held - 1).hash & mask;
    while (slots_[slot] != 0) slot = (slot + 1) & mask;
    slots_[slot] = held;
  }
}

const char* TextIds::store(std::string_view text) {
  if (text.size() > left_) {
    std::size_t bytes = blocks_.empty() ? kFirstBlockBytes : 2 * block_;
    if (bytes > kBlockBytes) bytes = kBlockBytes;
    block_ = bytes;
    if (text.size() > bytes) bytes = text.size();
    blocks_.push_back(std::make_unique_for_overwrite<char[]>(bytes));
    bytes_ += bytes;
    free_ = blocks_.back().get();
    left_ = bytes;
  }
  std::memcpy(free_, text.data(), text.size());
  const char* stored = free_;
  free_ += text.size();
  left_ -= text.size();
  return stored;
}

} // namespace hipaa

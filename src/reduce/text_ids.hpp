// Interned texts: each distinct text gets the next id from 0 and is stored
// once, in large blocks, with an open-addressing table from text to id.
// Cheaper than a map of strings for the millions of texts of a log table:
// no allocation per text and one probe sequence of ids per lookup.
//
// One writer may add texts while other threads look texts up: a text, once
// it has an id, never moves (its bytes lie in a block that is never freed
// before the table, its entry in a chunk of entries that is never moved),
// so `text(id)` needs no lock for an id the reader was handed after the id
// was made; `find` and `add` share the probe table under a reader-writer
// lock, as it is rebuilt when it grows.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <shared_mutex>
#include <string_view>
#include <utility>
#include <vector>

namespace hipaa {

class TextIds {
public:
  TextIds();
  TextIds(const TextIds&) = delete;
  TextIds& operator=(const TextIds&) = delete;

  // The id of `text` and whether it is new.
  std::pair<std::uint32_t, bool> add(std::string_view text);
  std::optional<std::uint32_t> find(std::string_view text) const;
  std::string_view text(std::uint32_t id) const {
    const Entry& at = entry(id);
    return {at.data, at.size};
  }
  // The ids made so far; only the writer, or a reader after taking the
  // writer's results under a lock they share, may rely on it.
  std::size_t size() const { return size_; }
  // Bytes held, for a caller's own accounting.
  std::size_t bytes() const { return bytes_; }

private:
  struct Entry {
    const char* data;
    std::uint32_t size;
    std::uint32_t hash; // low half of the text's hash, which places it
  };
  static constexpr unsigned kChunkBits = 16;
  static constexpr std::uint32_t kChunkMask = (std::uint32_t{1} << kChunkBits) - 1;
  static constexpr std::size_t kChunks = std::size_t{1} << (32 - kChunkBits);

  const Entry& entry(std::uint32_t id) const { return chunks_[id >> kChunkBits][id & kChunkMask]; }
  std::size_t slot_of(std::string_view text, std::uint32_t hash) const;
  void grow();
  const char* store(std::string_view text);

  mutable std::shared_mutex probe_mutex_; // guards slots_
  std::vector<std::uint32_t> slots_;      // id + 1, 0 for an empty slot
  std::unique_ptr<std::array<std::unique_ptr<Entry[]>, kChunks>> chunks_holder_;
  std::unique_ptr<Entry[]>* chunks_;      // chunks_holder_'s first element
  std::size_t size_ = 0;
  std::size_t bytes_ = 0;
  std::vector<std::unique_ptr<char[]>> blocks_;
  char* free_ = nullptr;
  std::size_t left_ = 0;
  std::size_t block_ = 0; // the size of the last regular block
};

} // namespace hipaa

// Interned texts: each distinct text gets the next id from 0 and is stored
// once, in large blocks, with an open-addressing table from text to id.
// Cheaper than a map of strings for the millions of texts of a log table:
// no allocation per text and one probe sequence of ids per lookup.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

namespace hipaa {

class TextIds {
public:
  // The id of `text` and whether it is new.
  std::pair<std::uint32_t, bool> add(std::string_view text);
  std::optional<std::uint32_t> find(std::string_view text) const;
  std::string_view text(std::uint32_t id) const { return texts_[id]; }
  std::size_t size() const { return texts_.size(); }

private:
  std::size_t slot_of(std::string_view text, std::uint64_t hash) const;
  void grow();
  std::string_view store(std::string_view text);

  std::vector<std::uint32_t> slots_; // id + 1, 0 for an empty slot
  std::vector<std::string_view> texts_;
  std::vector<std::uint64_t> hashes_; // by id
  std::vector<std::unique_ptr<char[]>> blocks_;
  char* free_ = nullptr;
  std::size_t left_ = 0;
  std::size_t block_ = 0; // the size of the last regular block
};

} // namespace hipaa

#include "reduce/query_memo.hpp"

namespace hipaa {

std::shared_ptr<MemoEntry> QueryMemo::find_or_add(const std::string& key) {
  if (auto found = index_.find(key); found != index_.end()) {
    recency_.splice(recency_.begin(), recency_, found->second);
    return found->second->entry;
  }
  recency_.push_front(Kept{key, std::make_shared<MemoEntry>()});
  // The view points into the list node, which never moves.
  index_.emplace(recency_.front().key, recency_.begin());
  if (recency_.size() > capacity_) {
    index_.erase(recency_.back().key);
    recency_.pop_back();
  }
  return recency_.front().entry;
}

void QueryMemo::forget(const std::string& key) {
  auto found = index_.find(key);
  if (found == index_.end()) return;
  auto kept = found->second;
  index_.erase(found);
  recency_.erase(kept);
}

} // namespace hipaa

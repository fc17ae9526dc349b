#include "db/statement_pool.hpp"

#include <utility>

namespace hipaa::db {

StatementPool::Lease::Lease(Lease&& other) noexcept
    : pool_(std::exchange(other.pool_, nullptr)), shape_(other.shape_),
      statement_(std::move(other.statement_)) {}

StatementPool::Lease& StatementPool::Lease::operator=(Lease&& other) noexcept {
  if (this != &other) {
    give_back();
    pool_ = std::exchange(other.pool_, nullptr);
    shape_ = other.shape_;
    statement_ = std::move(other.statement_);
  }
  return *this;
}

StatementPool::Lease::~Lease() { give_back(); }

void StatementPool::Lease::give_back() {
  StatementPool* pool = std::exchange(pool_, nullptr);
  // A statement finalized after a failed step is not reused.
  if (pool == nullptr || !statement_.prepared()) return;
  // The reset ends the statement's read, so an idle statement never holds
  // the database open.
  statement_.reset();
  pool->shapes_[shape_].idle.push_back(std::move(statement_));
}

std::size_t StatementPool::shape(const std::string& sql) {
  auto [slot, inserted] = numbers_.try_emplace(sql, shapes_.size());
  if (inserted) shapes_.push_back(Shape{sql, {}});
  return slot->second;
}

std::optional<StatementPool::Lease> StatementPool::acquire(std::size_t shape) {
  std::vector<Statement>& idle = shapes_[shape].idle;
  if (!idle.empty()) {
    Statement statement = std::move(idle.back());
    idle.pop_back();
    return Lease(*this, shape, std::move(statement));
  }
  std::optional<Statement> fresh = Statement::prepare(connection_, shapes_[shape].sql);
  if (!fresh) return std::nullopt;
  return Lease(*this, shape, std::move(*fresh));
}

} // namespace hipaa::db

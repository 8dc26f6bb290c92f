#include "platform/foundation/loop/DescriptorSourceSet.h"

#include "platform/foundation/check/Check.h"

namespace ns {

// The handle holds the table weakly, so that it may outlive its loop; it is made on the loop's thread, and
// while the loop lives it is used and destroyed only there.
class DescriptorSourceSet::Handle final : public FileDescriptorSource {
 public:
  Handle(std::weak_ptr<Table> table, std::uint64_t id, int fd) : table_(std::move(table)), id_(id), fd_(fd) {}

  ~Handle() override {
    if (auto table = table_.lock()) {
      QM_DCHECK_CALLED_ON(loopThread_);
      table->records.erase(id_);
    }
  }

  void setEvents(IoEvents events) override {
    if (auto table = table_.lock()) {
      QM_DCHECK_CALLED_ON(loopThread_);
      auto found = table->records.find(id_);
      if (found != table->records.end()) {
        found->second.events = events;
      }
    }
  }

  int fileDescriptor() const override { return fd_; }

 private:
  std::weak_ptr<Table> table_;
  const std::uint64_t id_;
  const int fd_;
  const ThreadChecker loopThread_;
};

DescriptorSourceSet::DescriptorSourceSet() : table_(std::make_shared<Table>()) {}

std::unique_ptr<FileDescriptorSource> DescriptorSourceSet::add(int fd, IoEvents events, Callback callback) {
  const std::uint64_t id = table_->nextId++;
  table_->records.emplace(id, Record{fd, events, std::make_shared<Callback>(std::move(callback))});
  return std::make_unique<Handle>(table_, id, fd);
}

void DescriptorSourceSet::appendPollSet(std::vector<pollfd>& fds, std::vector<std::uint64_t>& ids) const {
  for (const auto& [id, record] : table_->records) {
    short wanted = 0;
    if (hasEvent(record.events, IoEvents::kRead)) {
      wanted |= POLLIN;
    }
    if (hasEvent(record.events, IoEvents::kWrite)) {
      wanted |= POLLOUT;
    }
    if (wanted != 0) {
      fds.push_back(pollfd{record.fd, wanted, 0});
      ids.push_back(id);
    }
  }
}

bool DescriptorSourceSet::dispatch(const Readiness& readiness) {
  auto found = table_->records.find(readiness.sourceId);
  if (found == table_->records.end()) {
    return false;
  }
  const IoEvents waited = found->second.events;
  unsigned ready = 0;
  if ((readiness.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) {
    ready = static_cast<unsigned>(waited);
  }
  if ((readiness.revents & (POLLIN | POLLPRI)) != 0) {
    ready |= static_cast<unsigned>(IoEvents::kRead);
  }
  if ((readiness.revents & POLLOUT) != 0) {
    ready |= static_cast<unsigned>(IoEvents::kWrite);
  }
  ready &= static_cast<unsigned>(waited);
  if (ready == 0) {
    return false;
  }
  const std::shared_ptr<Callback> callback = found->second.callback;
  (*callback)(static_cast<IoEvents>(ready));
  return true;
}

}  // namespace ns

#pragma once

// ns::DescriptorSourceSet: the descriptor sources of one run loop. It hands out the FileDescriptorSource
// handles, builds the poll set for a turn, and calls back the sources found ready. A source is known by an
// id that is never reused, so a source removed (or replaced on a reused descriptor) during a turn is never
// called for readiness reported before its removal.
//
// Thread-safety: not thread-safe; used on its loop's thread only.

#include <poll.h>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "platform/foundation/loop/RunLoop.h"

namespace ns {

class DescriptorSourceSet {
 public:
  using Callback = std::function<void(IoEvents ready)>;

  // A descriptor reported ready by poll, not yet dispatched.
  struct Readiness {
    std::uint64_t sourceId;
    short revents;
  };

  DescriptorSourceSet();

  // Adds a source; the returned handle removes it when destroyed.
  std::unique_ptr<FileDescriptorSource> add(int fd, IoEvents events, Callback callback);

  // Appends one pollfd per source that waits for something; `ids` gets the matching source ids.
  void appendPollSet(std::vector<pollfd>& fds, std::vector<std::uint64_t>& ids) const;

  // Calls the source back with what `readiness` reports, masked by what it waits for now. Returns false
  // when the source is gone or no longer waits for any of it.
  bool dispatch(const Readiness& readiness);

 private:
  struct Record {
    int fd;
    IoEvents events;
    std::shared_ptr<Callback> callback;  // shared so a callback may remove its own source while it runs
  };
  struct Table {
    std::map<std::uint64_t, Record> records;
    std::uint64_t nextId = 1;
  };
  class Handle;

  std::shared_ptr<Table> table_;
};

}  // namespace ns

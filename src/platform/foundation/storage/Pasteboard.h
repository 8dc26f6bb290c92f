#pragma once

// ns::Pasteboard: a named pasteboard shared by the programs of one sandbox, holding data by type (a type is a
// text such as "org.example.record"). Putting data on it replaces what it held.
//
// A new pasteboard lasts until the process ends. A persistent one is also kept as a file in the sandbox's
// Pasteboards folder, written at every change, so that it survives restarts and later processes find it;
// it is read from that file when a process first opens it.
//
// Thread-safety: every method may be called from any thread.

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/foundation/check/Mutex.h"
#include "platform/foundation/values/Data.h"
#include "platform/foundation/values/Result.h"
#include "platform/foundation/values/Value.h"

namespace ns {

class Pasteboard {
 public:
  // Whether withName() makes a pasteboard that does not exist yet.
  enum class Create { kNo, kYes };

  // Returns the pasteboard called `name`: the one this process opened before, else the persistent one kept
  // on disk, else (with Create::kYes) a new empty one that is not persistent. Returns nullptr when none
  // exists and `create` is kNo. The process keeps every pasteboard it opened; callers share it.
  static std::shared_ptr<Pasteboard> withName(std::string_view name, Create create);
  // Forgets the pasteboards this process opened, as a new process would start: the non-persistent ones are
  // gone and the persistent ones are read again from disk.
  static void resetForTesting();

  Pasteboard(const Pasteboard&) = delete;
  Pasteboard& operator=(const Pasteboard&) = delete;

  const std::string& name() const { return name_; }

  bool isPersistent() const;
  // Making a pasteboard persistent writes its file; making it not persistent removes the file (the contents
  // stay until the process ends). Returns the file's error on failure, when the flag stays as it was.
  Status setPersistent(bool persistent);

  // Returns the data of type `type`, or std::nullopt when the pasteboard holds none.
  std::optional<Data> dataForPasteboardType(std::string_view type) const;
  // Replaces the contents with `data` of type `type`. For a persistent pasteboard, returns the file's error
  // on failure, when the contents stay as they were.
  Status setData(const Data& data, std::string_view type);

 private:
  Pasteboard(std::string name, bool persistent, Dictionary items);

  // Writes items_ (or removes the file) to match `persistent`.
  Status storeLocked(bool persistent, const Dictionary& items) const QM_REQUIRES(mutex_);

  // Constant after construction
  const std::string name_;

  mutable ns::Mutex mutex_;
  bool persistent_ QM_GUARDED_BY(mutex_);
  Dictionary items_ QM_GUARDED_BY(mutex_);  // Type -> data
};

}  // namespace ns

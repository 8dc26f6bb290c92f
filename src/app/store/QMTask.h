#pragma once

// QMTask: one segment of a lesson still to download, owned by the lesson's record.
// Not thread-safe: main thread only, as the store.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/coredata/EntityDescription.h"
#include "platform/coredata/ManagedObject.h"

namespace app {

class QMFileCacheInfo;

class QMTask : public cd::ManagedObject {
 public:
  static constexpr std::string_view kEntityName = "QMTask";
  static cd::EntityDescription entityDescription();

  std::optional<std::int64_t> index() const { return integerValue(kIndex); }
  void setIndex(std::optional<std::int64_t> value) { setIntegerValue(kIndex, value); }
  std::optional<std::string> taskURL() const { return textValue(kTaskURL); }
  void setTaskURL(std::optional<std::string> value) { setTextValue(kTaskURL, std::move(value)); }

  std::shared_ptr<QMFileCacheInfo> ownByFileCache() const;
  void setOwnByFileCache(const std::shared_ptr<QMFileCacheInfo>& record);

 protected:
  QMTask() = default;

 private:
  enum Attribute { kIndex, kTaskURL };
  enum Relationship { kOwnByFileCache };
};

}  // namespace app

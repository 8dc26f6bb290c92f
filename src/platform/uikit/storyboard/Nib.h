#pragma once

// uikit::Nib: view files by name, as a registry. The stand-in reads no nib files: each nib registers a
// factory that builds its top-level views in code (naming outlet views after their outlets, Outlet.h) and
// connects them to the owner it is given. Loading calls awakeFromNib() on every top-level view.
//
// Registration happens at start-up, before the first load; the registry lives for the whole process.
//
// Thread-safety: main thread only, like every class of uikit.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/foundation/values/Object.h"
#include "platform/foundation/values/Result.h"
#include "platform/uikit/views/View.h"

namespace uikit {

// The domain of the error below; its code is Nib::kNoSuchNib.
inline constexpr char kNibErrorDomain[] = "com.quillmark.nib";

class Nib {
 public:
  // Builds the nib's top-level views for `owner` (which may be nullptr).
  using Factory = std::function<std::vector<std::shared_ptr<View>>(const std::shared_ptr<ns::Object>& owner)>;
  enum ErrorCode : int { kNoSuchNib = 1 };

  // Registers (or replaces) the nib `name`.
  static void registerNib(const std::string& name, Factory factory);
  // Returns the new top-level views of nib `name`, made for `owner`, or kNoSuchNib. The caller owns them.
  static ns::Result<std::vector<std::shared_ptr<View>>> loadNibNamed(
      const std::string& name, const std::shared_ptr<ns::Object>& owner);
  // Forgets every registration. For tests.
  static void removeAllForTesting();
};

}  // namespace uikit

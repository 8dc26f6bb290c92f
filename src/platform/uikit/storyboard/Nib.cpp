#include "platform/uikit/storyboard/Nib.h"

#include <map>

#include "platform/foundation/check/Check.h"

namespace uikit {
namespace {

std::map<std::string, Nib::Factory>& registry() {
  static std::map<std::string, Nib::Factory> nibs;
  return nibs;
}

}  // namespace

void Nib::registerNib(const std::string& name, Factory factory) {
  QM_DCHECK_MAIN_THREAD();
  registry()[name] = std::move(factory);
}

ns::Result<std::vector<std::shared_ptr<View>>> Nib::loadNibNamed(const std::string& name,
                                                                 const std::shared_ptr<ns::Object>& owner) {
  QM_DCHECK_MAIN_THREAD();
  const auto nib = registry().find(name);
  if (nib == registry().end()) {
    return ns::Error(kNibErrorDomain, kNoSuchNib,
                     ns::Dictionary{{std::string(ns::kLocalizedDescriptionKey),
                                     "There is no nib named \"" + name + "\"."}});
  }
  std::vector<std::shared_ptr<View>> views = nib->second(owner);
  for (const auto& view : views) {
    view->awakeFromNib();
  }
  return views;
}

void Nib::removeAllForTesting() {
  QM_DCHECK_MAIN_THREAD();
  registry().clear();
}

}  // namespace uikit

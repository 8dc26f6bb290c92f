#include "learning/player/controls/ZBImageFromBundle.h"

#include <string>

#include "platform/foundation/storage/Bundle.h"
#include "platform/uikit/app/Device.h"

namespace learning {
namespace {

const char* resourceBundleName(uikit::UserInterfaceIdiom idiom) {
  switch (idiom) {
    case uikit::UserInterfaceIdiom::kPhone:
      return "ResourceiPhone";
    case uikit::UserInterfaceIdiom::kPad:
      return "ResourceiPad";
    default:
      return "Resource";
  }
}

}  // namespace

std::shared_ptr<const uikit::Image> ZBImageFromBundle::imageWithResourceName(std::string_view name) {
  const auto bundlePath = ns::Bundle::mainBundle()->pathForResource(
      resourceBundleName(uikit::Device::currentDevice().userInterfaceIdiom()), "bundle");
  if (!bundlePath) {
    return nullptr;
  }
  // The resource bundle's own lookup keeps the name from reaching outside its folder.
  const auto path = ns::Bundle(*bundlePath).pathForResource(name, "png");
  return path ? uikit::Image::imageWithContentsOfFile(*path, std::string(name)) : nullptr;
}

}  // namespace learning

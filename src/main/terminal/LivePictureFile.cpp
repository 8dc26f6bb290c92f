#include "main/terminal/LivePictureFile.h"

#include <filesystem>

#include "main/terminal/TerminalFrontEnd.h"
#include "platform/foundation/storage/FileManager.h"
#include "platform/uikit/drawing/ImagePNGRepresentation.h"
#include "platform/uikit/driver/Driver.h"

namespace terminal {
namespace {

ns::Error pictureError(std::string description) {
  return ns::Error(kTerminalErrorDomain, 1,
                   {{std::string(ns::kLocalizedDescriptionKey), std::move(description)}});
}

}  // namespace

ns::Result<uikit::Size> LivePictureFile::write(const std::string& path) {
  const ns::Result<std::shared_ptr<const uikit::Image>> picture = uikit::Driver::livePicture();
  if (!picture.ok()) {
    return pictureError("There is no picture to write: no player on screen shows one yet.");
  }
  const std::optional<ns::Data> png = uikit::ImagePNGRepresentation(**picture);
  if (!png) {
    return pictureError("The picture on screen could not be turned into PNG.");
  }
  const std::string cannotWrite = "Could not write the picture to \"" + path + "\": ";
  const std::filesystem::path folder = std::filesystem::absolute(path).parent_path();
  if (!ns::FileManager::defaultManager().isDirectoryAtPath(folder.string())) {
    return pictureError(cannotWrite + "there is no folder \"" + folder.string() + "\".");
  }
  if (ns::Status written = ns::FileManager::defaultManager().createFileAtPath(path, *png); !written.ok()) {
    return pictureError(cannotWrite + written.error().localizedDescription());
  }
  return uikit::Size{static_cast<double>((*picture)->pixelWidth()),
                     static_cast<double>((*picture)->pixelHeight())};
}

}  // namespace terminal

#pragma once

// Helpers for tests that need a bundle of their own: a resources folder with an Info.plist made for the test.

#include <gtest/gtest.h>

#include <string>

#include "platform/foundation/formats/PropertyListSerialization.h"
#include "platform/foundation/storage/Bundle.h"
#include "platform/foundation/storage/FileManager.h"

namespace ns::testutil {

// Creates the folder `resourcePath` holding an XML Info.plist with `info`.
inline void createBundleFolder(const std::string& resourcePath, const Dictionary& info) {
  FileManager& files = FileManager::defaultManager();
  ASSERT_TRUE(files.createDirectoryAtPath(resourcePath, IntermediateDirectories::kYes).ok());
  Result<Data> plist = PropertyListSerialization::dataWithPropertyList(Value(info), PropertyListFormat::kXml);
  ASSERT_TRUE(plist.ok());
  ASSERT_TRUE(files.createFileAtPath(resourcePath + "/Info.plist", *plist).ok());
}

// Makes the folder `resourcePath` the main bundle for the life of the object.
class ScopedMainBundle {
 public:
  explicit ScopedMainBundle(const std::string& resourcePath) {
    Bundle::setMainBundleResourcePathForTesting(resourcePath);
  }
  ~ScopedMainBundle() { Bundle::setMainBundleResourcePathForTesting(std::nullopt); }
  ScopedMainBundle(const ScopedMainBundle&) = delete;
  ScopedMainBundle& operator=(const ScopedMainBundle&) = delete;
};

}  // namespace ns::testutil

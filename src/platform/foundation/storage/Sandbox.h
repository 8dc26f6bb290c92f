#pragma once

// ns::Sandbox: the application's own folder tree on disk, the stand-in for the platform's app container.
//
// The home folder is, in this order of precedence: the folder given to setHomeDirectory() (the --home flag,
// or a test's temporary folder), the QUILLMARK_HOME environment variable, $XDG_DATA_HOME/quillmark, and
// ~/.local/share/quillmark. Inside it:
//   Documents/            the object store file and the downloaded lessons
//   Library/Preferences/  user defaults
//   Library/Caches/       caches
//   tmp/                  temporary files
//   Pasteboards/          named pasteboards
// Each folder getter creates its folder (and the home) when it is missing and returns its path, without a
// trailing slash. A folder that cannot be created is still returned; the first file operation in it then
// reports the error.
//
// Thread-safety: every function may be called from any thread.

#include <optional>
#include <string>

namespace ns {

class Sandbox {
 public:
  // Makes `home` the home folder from now on; std::nullopt returns to the environment's choice.
  static void setHomeDirectory(std::optional<std::string> home);

  // Returns the home folder's path, without creating it.
  static std::string homeDirectory();

  static std::string documentsDirectory();
  static std::string preferencesDirectory();
  static std::string cachesDirectory();
  static std::string temporaryDirectory();
  static std::string pasteboardsDirectory();
};

}  // namespace ns

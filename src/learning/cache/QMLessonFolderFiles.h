#pragma once

// QMLessonFolderFiles: the files of a downloaded lesson's folder as the offline cache screen prepares them
// for play. A file saved under its name plus a query string ("index.m3u8?sign=...") is moved back to its
// bare name, which the lesson server and the rewritten playlist use.
//
// Thread-safety: any thread; two callers must not prepare the same folder at once.

#include <string>
#include <vector>

namespace learning {

class QMLessonFolderFiles {
 public:
  // The full paths of the regular files directly in `folder`, sorted; directories are left out. Empty when
  // the folder cannot be read.
  static std::vector<std::string> allFilesAtPath(const std::string& folder);
  // Moves every regular file directly in `folder` whose path holds "?" to the part of its path before the
  // first "?". A move that fails (the file went, the target cannot be written) is skipped; paths without
  // "?" stay as they are. Returns how many files were moved.
  static std::size_t moveQueryStringFiles(const std::string& folder);
};

}  // namespace learning

#include "learning/cache/QMLessonFolderFiles.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace learning {

std::vector<std::string> QMLessonFolderFiles::allFilesAtPath(const std::string& folder) {
  std::vector<std::string> files;
  std::error_code error;
  for (std::filesystem::directory_iterator entry(folder, error), end; !error && entry != end;
       entry.increment(error)) {
    std::error_code typeError;
    if (entry->is_regular_file(typeError)) {
      files.push_back(entry->path().string());
    }
  }
  std::sort(files.begin(), files.end());
  return files;
}

std::size_t QMLessonFolderFiles::moveQueryStringFiles(const std::string& folder) {
  std::size_t moved = 0;
  for (const std::string& path : allFilesAtPath(folder)) {
    const std::size_t query = path.find('?');
    if (query == std::string::npos) {
      continue;
    }
    std::error_code error;
    std::filesystem::rename(path, path.substr(0, query), error);
    if (!error) {
      ++moved;
    }
  }
  return moved;
}

}  // namespace learning

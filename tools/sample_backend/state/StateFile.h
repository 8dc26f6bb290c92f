#pragma once

// sample_backend::state::StateFile: one JSON file in the back end's state folder, where it keeps what must
// outlive a restart (sessions, saved progress), as a real back end keeps it in its database. A file is
// replaced whole through a temporary file and a rename, so a crash leaves the old state or the new one,
// never a part. Only its owner may read it: it holds sessions and learners' progress.
//
// Thread-safety: a value; calls on different files may run at once, callers serialise writes of one file.

#include <nlohmann/json.hpp>
#include <string>

#include "platform/foundation/values/Result.h"

namespace sample_backend::state {

inline constexpr char kStateErrorDomain[] = "com.quillmark.sample_backend.state";

// The codes of kStateErrorDomain.
enum class StateErrorCode : int {
  // A state file that cannot be read or does not hold what the back end wrote.
  kDamagedFile = 1,
  // A state folder that cannot be made.
  kUnusableFolder = 2,
};

class StateFile {
 public:
  explicit StateFile(std::string path) : path_(std::move(path)) {}

  const std::string& path() const { return path_; }

  // Returns the file's document, a null document when there is no file yet, or an error that names the
  // file and says it cannot be read or is not JSON.
  ns::Result<nlohmann::json> read() const;

  // Replaces the file with `document`. A failure is written to the error stream, naming the file: the back
  // end goes on serving from memory, as it would without a state folder.
  void saveOrWarn(const nlohmann::json& document) const;

 private:
  // Constant after construction
  std::string path_;
};

// Returns the error of the state file `path` whose contents are not what the back end wrote: it names the
// file, says what is wrong, and tells how to start afresh.
ns::Error damagedStateError(const std::string& path, const std::string& why);

}  // namespace sample_backend::state

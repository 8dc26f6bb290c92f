#pragma once

// ns::UserDefaults: the application's persistent settings, a dictionary of property-list values kept in
// Library/Preferences/<bundle identifier>.plist of the sandbox (a binary property list).
//
// Every change is written to the file at once, atomically, so that no change is lost to a crash;
// synchronize() reports whether everything has reached the disk and retries a write that failed. The file is
// read once, on first use (the first call of any method); a missing or damaged file gives empty defaults.
//
// A null value is never stored: setting one removes the key, and nulls inside a dictionary or an array
// (as in a JSON reply) are dropped before storing, since a property list cannot hold them.
//
// The typed getters convert as the platform's do: integerForKey(), floatForKey(), doubleForKey() and
// boolForKey() read numbers and numeric strings (ns::Value's integerValue() and so on) and give 0 or false
// for a missing key or any other kind; stringForKey() gives a string itself or a number's text.
//
// REQUIRES: the sandbox's home folder is chosen before first use.
// Thread-safety: every method may be called from any thread.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/foundation/check/Mutex.h"
#include "platform/foundation/values/Result.h"
#include "platform/foundation/values/Value.h"

namespace ns {

class UserDefaults {
 public:
  // Returns the process-wide defaults.
  static UserDefaults& standardUserDefaults();
  // Forgets the in-memory state, as a new process would start: the next use loads the file anew from the
  // sandbox's home of that moment, and changes whose write failed are lost.
  static void resetStandardUserDefaultsForTesting();

  UserDefaults(const UserDefaults&) = delete;
  UserDefaults& operator=(const UserDefaults&) = delete;

  // Returns the value stored under `key`, or std::nullopt when there is none.
  std::optional<Value> objectForKey(std::string_view key) const;
  // Returns a string, or a number as text; std::nullopt for a missing key or any other kind.
  std::optional<std::string> stringForKey(std::string_view key) const;
  // Return the value when it is of the kind asked for, else std::nullopt.
  std::optional<Array> arrayForKey(std::string_view key) const;
  std::optional<Dictionary> dictionaryForKey(std::string_view key) const;
  std::optional<Data> dataForKey(std::string_view key) const;
  std::int64_t integerForKey(std::string_view key) const;
  float floatForKey(std::string_view key) const;
  double doubleForKey(std::string_view key) const;
  bool boolForKey(std::string_view key) const;

  // Stores `value` under `key` and writes the file; a null `value` removes the key. A float argument is
  // kept with its 32-bit precision (ns::Value widens it exactly), so floatForKey() gives it back unchanged.
  void setObject(const Value& value, std::string_view key);
  void removeObjectForKey(std::string_view key);

  // Writes any change whose write failed. Returns success when the file holds every change, else the error
  // of the write.
  Status synchronize();

 private:
  UserDefaults() = default;

  // Returns the loaded values, reading the file first when they are not loaded.
  Dictionary& valuesLocked() const QM_REQUIRES(mutex_);
  // Writes the values to the file and records whether it worked.
  Status saveLocked() QM_REQUIRES(mutex_);

  mutable ns::Mutex mutex_;
  // Loaded on first use, also by the const getters.
  mutable bool loaded_ QM_GUARDED_BY(mutex_) = false;
  mutable std::string filePath_ QM_GUARDED_BY(mutex_);
  mutable Dictionary values_ QM_GUARDED_BY(mutex_);
  bool unsaved_ QM_GUARDED_BY(mutex_) = false;  // The values differ from the file
};

}  // namespace ns

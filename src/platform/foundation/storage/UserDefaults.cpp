#include "platform/foundation/storage/UserDefaults.h"

#include <filesystem>
#include <utility>

#include "platform/foundation/storage/Bundle.h"
#include "platform/foundation/storage/ExecutablePath.h"
#include "platform/foundation/storage/PropertyListFile.h"
#include "platform/foundation/storage/Sandbox.h"

namespace ns {

namespace {

// The defaults are named after the bundle identifier, or after the program when the bundle has none.
std::string defaultsFilePath() {
  const Value* identifier = Bundle::mainBundle()->objectForInfoDictionaryKey("CFBundleIdentifier");
  const std::string name = identifier != nullptr && identifier->isString() && !identifier->asString().empty()
                               ? identifier->asString()
                               : std::filesystem::path(executablePath()).filename().string();
  return Sandbox::preferencesDirectory() + "/" + name + ".plist";
}

// Returns `value` without the nulls a property list cannot hold, or std::nullopt when it is null itself.
std::optional<Value> withoutNulls(const Value& value) {
  if (value.isNull()) {
    return std::nullopt;
  }
  if (value.isDictionary()) {
    Dictionary kept;
    for (const auto& [key, entry] : value.asDictionary()) {
      if (std::optional<Value> keptEntry = withoutNulls(entry)) {
        kept.emplace(key, std::move(*keptEntry));
      }
    }
    return Value(std::move(kept));
  }
  if (value.isArray()) {
    Array kept;
    for (const Value& element : value.asArray()) {
      if (std::optional<Value> keptElement = withoutNulls(element)) {
        kept.push_back(std::move(*keptElement));
      }
    }
    return Value(std::move(kept));
  }
  return value;
}

// Returns the contents of `value` when `isKind` holds for it, else std::nullopt.
template <typename T>
std::optional<T> contentsIfKind(const std::optional<Value>& value, bool (Value::*isKind)() const,
                                const T& (Value::*contents)() const) {
  if (!value || !((*value).*isKind)()) {
    return std::nullopt;
  }
  return ((*value).*contents)();
}

}  // namespace

UserDefaults& UserDefaults::standardUserDefaults() {
  // Never destroyed: settings may be read and written while the process exits.
  static UserDefaults& defaults = *new UserDefaults();
  return defaults;
}

void UserDefaults::resetStandardUserDefaultsForTesting() {
  UserDefaults& defaults = standardUserDefaults();
  ns::MutexLock lock(defaults.mutex_);
  defaults.loaded_ = false;
  defaults.values_.clear();
  defaults.unsaved_ = false;
}

Dictionary& UserDefaults::valuesLocked() const {
  if (!loaded_) {
    filePath_ = defaultsFilePath();
    values_ = readPropertyListDictionary(filePath_);
    loaded_ = true;
  }
  return values_;
}

std::optional<Value> UserDefaults::objectForKey(std::string_view key) const {
  ns::MutexLock lock(mutex_);
  const Dictionary& values = valuesLocked();
  const auto found = values.find(key);
  if (found == values.end()) {
    return std::nullopt;
  }
  return found->second;
}

std::optional<std::string> UserDefaults::stringForKey(std::string_view key) const {
  std::optional<Value> value = objectForKey(key);
  if (!value || !(value->isString() || value->isNumber())) {
    return std::nullopt;
  }
  return value->stringValue();
}

std::optional<Array> UserDefaults::arrayForKey(std::string_view key) const {
  return contentsIfKind(objectForKey(key), &Value::isArray, &Value::asArray);
}

std::optional<Dictionary> UserDefaults::dictionaryForKey(std::string_view key) const {
  return contentsIfKind(objectForKey(key), &Value::isDictionary, &Value::asDictionary);
}

std::optional<Data> UserDefaults::dataForKey(std::string_view key) const {
  return contentsIfKind(objectForKey(key), &Value::isData, &Value::asData);
}

std::int64_t UserDefaults::integerForKey(std::string_view key) const {
  return objectForKey(key).value_or(Value()).integerValue();
}

float UserDefaults::floatForKey(std::string_view key) const {
  return objectForKey(key).value_or(Value()).floatValue();
}

double UserDefaults::doubleForKey(std::string_view key) const {
  return objectForKey(key).value_or(Value()).doubleValue();
}

bool UserDefaults::boolForKey(std::string_view key) const {
  return objectForKey(key).value_or(Value()).boolValue();
}

void UserDefaults::setObject(const Value& value, std::string_view key) {
  std::optional<Value> storable = withoutNulls(value);
  ns::MutexLock lock(mutex_);
  Dictionary& values = valuesLocked();
  if (storable) {
    values.insert_or_assign(std::string(key), std::move(*storable));
  } else {
    const auto found = values.find(key);
    if (found == values.end()) {
      return;
    }
    values.erase(found);
  }
  (void)saveLocked();
}

void UserDefaults::removeObjectForKey(std::string_view key) {
  setObject(Value(), key);
}

Status UserDefaults::synchronize() {
  ns::MutexLock lock(mutex_);
  return unsaved_ ? saveLocked() : Status();
}

Status UserDefaults::saveLocked() {
  Status written = writePropertyListDictionary(valuesLocked(), filePath_);
  unsaved_ = !written.ok();
  return written;
}

}  // namespace ns

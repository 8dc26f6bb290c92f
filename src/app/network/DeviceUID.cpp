#include "app/network/DeviceUID.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <optional>
#include <vector>

#include "app/network/TREncrypt.h"
#include "platform/foundation/check/Check.h"
#include "platform/foundation/crypto/Random.h"
#include "platform/foundation/crypto/UUID.h"
#include "platform/foundation/storage/KeyedArchiver.h"
#include "platform/foundation/storage/KeyedUnarchiver.h"
#include "platform/foundation/storage/Pasteboard.h"
#include "platform/foundation/storage/UserDefaults.h"

namespace app {

namespace {

constexpr char kDefaultsKey[] = "DeviceUID";
constexpr char kIdentifierKey[] = "DeviceUID";
constexpr char kAppUIDKey[] = "DeviceUID_appUID";
constexpr char kCreatedKey[] = "DeviceUID_createdTS";
constexpr char kSlotKey[] = "DeviceUID_slot";
constexpr char kOptOutKey[] = "DeviceUID_optOutTS";
constexpr char kPasteboardType[] = "org.DeviceUID";
constexpr char kSlotPrefix[] = "org.DeviceUID.slot.";
constexpr int kSlotCount = 100;

std::optional<std::string>& cachedIdentifier() {
  static std::optional<std::string> cache;
  return cache;
}

ns::Error outcome(int code, std::string text) {
  return ns::Error(DeviceUID::kErrorDomain, code, {{DeviceUID::kDescriptionKey, ns::Value(std::move(text))}});
}

// Returns the non-empty text under `key`, or std::nullopt.
std::optional<std::string> textIn(const ns::Dictionary& dictionary, const char* key) {
  auto found = dictionary.find(key);
  if (found == dictionary.end() || !found->second.isString() || found->second.asString().empty()) {
    return std::nullopt;
  }
  return found->second.asString();
}

// Returns the identifier most slots hold: the last of the identifiers ordered by ascending count.
std::optional<std::string> mostFrequent(const std::map<std::string, int>& counts) {
  std::vector<std::pair<std::string, int>> ordered(counts.begin(), counts.end());
  std::stable_sort(ordered.begin(), ordered.end(),
                   [](const auto& a, const auto& b) { return a.second < b.second; });
  if (ordered.empty()) {
    return std::nullopt;
  }
  return ordered.back().first;
}

}  // namespace

std::string DeviceUID::value() {
  QM_DCHECK_MAIN_THREAD();
  return valueWithError().identifier;
}

DeviceUID::Lookup DeviceUID::valueWithError() {
  QM_DCHECK_MAIN_THREAD();
  if (const std::optional<std::string>& cached = cachedIdentifier()) {
    return {*cached, outcome(kRetrieved, "DeviceUID in cache from first call")};
  }
  Lookup lookup = computeValue();
  cachedIdentifier() = lookup.identifier;
  return lookup;
}

DeviceUID::Lookup DeviceUID::computeValue() {
  ns::UserDefaults& defaults = ns::UserDefaults::standardUserDefaults();
  const std::string appUID = defaults.stringForKey(kAppUIDKey).value_or(ns::UUID::random().uuidString());

  std::optional<ns::Dictionary> dictionary = defaults.dictionaryForKey(kDefaultsKey);
  const ns::Dictionary stored = dictionary.value_or(ns::Dictionary());
  std::optional<std::string> identifier = textIn(stored, kIdentifierKey);
  std::optional<std::string> ownSlot = textIn(stored, kSlotKey);
  std::optional<ns::Value> optOutDate;
  if (auto found = stored.find(kOptOutKey); found != stored.end()) {
    optOutDate = found->second;
  }

  std::optional<std::string> availableSlot;
  std::map<std::string, int> counts;
  for (int slot = 0; slot < kSlotCount; ++slot) {
    const std::string slotName = kSlotPrefix + std::to_string(slot);
    const std::optional<ns::Dictionary> slotDictionary = dictionaryFromPasteboard(slotName);
    const std::optional<std::string> slotIdentifier =
        slotDictionary ? textIn(*slotDictionary, kIdentifierKey) : std::nullopt;
    if (!slotIdentifier) {
      availableSlot = availableSlot.value_or(slotName);
      continue;
    }
    ++counts[*slotIdentifier];
    if (textIn(*slotDictionary, kAppUIDKey) == appUID) {
      ownSlot = slotName;
      if (optOutDate) {
        auto slotOptOut = slotDictionary->find(kOptOutKey);
        optOutDate = slotOptOut == slotDictionary->end() ? std::nullopt : std::optional(slotOptOut->second);
      }
    }
  }

  bool saveDictionary = false;
  int code = kRetrieved;
  const std::optional<std::string> frequent = mostFrequent(counts);
  if (!identifier) {
    identifier = frequent ? *frequent : generateFreshDeviceUID();
    if (!dictionary) {
      dictionary = ns::Dictionary{{kIdentifierKey, ns::Value(*identifier)},
                                  {kAppUIDKey, ns::Value(appUID)},
                                  {kCreatedKey, ns::Value(ns::Date::now())}};
      saveDictionary = true;
    }
  } else if (frequent && *frequent != *identifier) {
    code = kDiscrepancy;
  }

  // Every road above leaves a dictionary: one without an identifier has just been made.
  ns::Dictionary& record = *dictionary;
  if (availableSlot && (!ownSlot || *ownSlot == *availableSlot)) {
    record[kSlotKey] = ns::Value(*availableSlot);
    setDictionaryForPasteboard(record, *availableSlot);
    saveDictionary = true;
  }
  if (saveDictionary) {
    defaults.setObject(ns::Value(record), kDefaultsKey);
  }

  if (optOutDate) {
    char zeros[41];
    std::snprintf(zeros, sizeof zeros, "%040x", 0u);
    return {zeros, outcome(kOptedOut, "Application with unique id " + appUID +
                                          " is opted-out from DeviceUID as of " + ns::describe(*optOutDate))};
  }
  if (code == kDiscrepancy) {
    return {*identifier,
            outcome(kDiscrepancy,
                    "Found a discrepancy between stored DeviceUID (reliable) and redundant copies; "
                    "one of the apps on the device is most likely corrupting the DeviceUID protocol")};
  }
  return {*identifier, outcome(kRetrieved, "DeviceUID succesfully retrieved")};
}

void DeviceUID::setOptOut(bool optOut) {
  QM_DCHECK_MAIN_THREAD();
  (void)value();
  ns::UserDefaults& defaults = ns::UserDefaults::standardUserDefaults();
  ns::Dictionary dictionary = defaults.dictionaryForKey(kDefaultsKey).value_or(ns::Dictionary());
  if (optOut) {
    dictionary[kOptOutKey] = ns::Value(ns::Date::now());
  } else {
    dictionary.erase(kOptOutKey);
  }
  defaults.setObject(ns::Value(std::move(dictionary)), kDefaultsKey);
  cachedIdentifier().reset();
}

void DeviceUID::resetCacheForTesting() {
  QM_DCHECK_MAIN_THREAD();
  cachedIdentifier().reset();
}

void DeviceUID::setDictionaryForPasteboard(const ns::Dictionary& dictionary, const std::string& slotName) {
  std::shared_ptr<ns::Pasteboard> pasteboard =
      ns::Pasteboard::withName(slotName, ns::Pasteboard::Create::kYes);
  ns::Result<ns::Data> archive = ns::KeyedArchiver::archivedDataWithRootObject(dictionary);
  // A slot that cannot be written is only a redundant copy lost: user defaults still hold the identifier.
  if (!archive.ok() || !pasteboard->setPersistent(true).ok()) {
    return;
  }
  (void)pasteboard->setData(*archive, kPasteboardType);
}

std::optional<ns::Dictionary> DeviceUID::dictionaryFromPasteboard(const std::string& slotName) {
  std::shared_ptr<ns::Pasteboard> pasteboard =
      ns::Pasteboard::withName(slotName, ns::Pasteboard::Create::kNo);
  if (!pasteboard) {
    return std::nullopt;
  }
  std::optional<ns::Data> data = pasteboard->dataForPasteboardType(kPasteboardType);
  return data ? ns::KeyedUnarchiver::unarchiveObjectWithData(*data) : ns::Dictionary();
}

std::string DeviceUID::generateFreshDeviceUID() {
  char random[9];
  std::snprintf(random, sizeof random, "%08x", ns::randomUInt32());
  return TREncrypt::md5Encrypt(ns::UUID::random().uuidString()) + random;
}

}  // namespace app

#pragma once

// DeviceUID: the device identifier sent as the "imei" header: 40 lower-case hexadecimal characters that
// stay the same across restarts and are shared with other applications of the same slot scheme.
//
// The identifier is kept in user defaults under "DeviceUID", a dictionary with the keys "DeviceUID" (the
// identifier), "DeviceUID_appUID" (a UUID naming this copy of the application), "DeviceUID_createdTS",
// "DeviceUID_slot" (the name of this copy's pasteboard slot) and, while opted out, "DeviceUID_optOutTS".
// Redundant copies of that dictionary sit, keyed-archived under the type "org.DeviceUID", on up to 100
// persistent pasteboards "org.DeviceUID.slot.0" to "org.DeviceUID.slot.99". When user defaults hold no
// identifier, the one most slots hold is taken, else a fresh one is made.
//
// The identifier is computed once per process and then served from a cache; opting in or out empties it.
// Unreadable slots count as empty: no failure reaches the caller.
//
// Thread-safety: main thread only.

#include <optional>
#include <string>

#include "platform/foundation/values/Error.h"
#include "platform/foundation/values/Value.h"

namespace app {

class DeviceUID {
 public:
  static constexpr char kErrorDomain[] = "org.DeviceUID";
  // The user-info key of an outcome's text.
  static constexpr char kDescriptionKey[] = "description";
  // Outcome codes.
  static constexpr int kRetrieved = 0;
  static constexpr int kOptedOut = 1;
  static constexpr int kDiscrepancy = 2;

  // The identifier and how it was found: an error of kErrorDomain whose code is kRetrieved ("DeviceUID
  // succesfully retrieved", or "DeviceUID in cache from first call"), kOptedOut (the identifier is then
  // forty "0"s) or kDiscrepancy (user defaults and the slots disagree; the defaults' identifier wins).
  struct Lookup {
    std::string identifier;
    ns::Error outcome;
  };

  // Returns the identifier.
  static std::string value();
  // Returns the identifier with its outcome.
  static Lookup valueWithError();

  // Reads the identifier once, then records (`optOut`) or removes the opt-out date in user defaults and
  // empties the cache.
  static void setOptOut(bool optOut);

  // Empties the process cache, as a new process would start.
  static void resetCacheForTesting();

 private:
  // Writes `dictionary` to the slot pasteboard `slotName` (made and made persistent when missing).
  static void setDictionaryForPasteboard(const ns::Dictionary& dictionary, const std::string& slotName);
  // Returns the dictionary of the slot `slotName`; empty when the slot is missing or unreadable, and
  // std::nullopt when no such pasteboard exists.
  static std::optional<ns::Dictionary> dictionaryFromPasteboard(const std::string& slotName);
  // Returns a new identifier: the MD5 of a fresh UUID's text and a random 32-bit number, in hexadecimal.
  static std::string generateFreshDeviceUID();
  // Computes the identifier as the header comment describes.
  static Lookup computeValue();
};

}  // namespace app

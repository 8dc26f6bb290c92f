#pragma once

// QMSeason: an exam season of a user, as the back end lists it, with the subjects the season holds.
// Not thread-safe: main thread only, as the store.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/coredata/EntityDescription.h"
#include "platform/coredata/ManagedObject.h"
#include "platform/foundation/values/Value.h"

namespace app {

class QMSubject;

class QMSeason : public cd::ManagedObject {
 public:
  static constexpr std::string_view kEntityName = "QMSeason";
  static cd::EntityDescription entityDescription();

  std::optional<std::string> code() const { return textValue(kCode); }
  void setCode(std::optional<std::string> value) { setTextValue(kCode, std::move(value)); }
  std::optional<std::string> seasonId() const { return textValue(kSeasonId); }
  void setSeasonId(std::optional<std::string> value) { setTextValue(kSeasonId, std::move(value)); }
  std::optional<std::string> name() const { return textValue(kName); }
  void setName(std::optional<std::string> value) { setTextValue(kName, std::move(value)); }
  std::optional<std::string> productLine() const { return textValue(kProductLine); }
  void setProductLine(std::optional<std::string> value) { setTextValue(kProductLine, std::move(value)); }
  std::optional<std::string> property() const { return textValue(kProperty); }
  void setProperty(std::optional<std::string> value) { setTextValue(kProperty, std::move(value)); }
  std::optional<std::string> userID() const { return textValue(kUserID); }
  void setUserID(std::optional<std::string> value) { setTextValue(kUserID, std::move(value)); }
  std::optional<std::int64_t> selling() const { return integerValue(kSelling); }
  void setSelling(std::optional<std::int64_t> value) { setIntegerValue(kSelling, value); }
  // 1 for the season the learner has selected.
  std::optional<std::int64_t> isSelected() const { return integerValue(kIsSelected); }
  void setIsSelected(std::optional<std::int64_t> value) { setIntegerValue(kIsSelected, value); }

  // The season's subjects, in the order they were first saved.
  std::vector<std::shared_ptr<QMSubject>> ownSubject() const;

  // Fills the season from one entry of the back end's season list: seasonId, name, code, property and
  // productLine from "id", "name", "code", "property" and "productLine" as text; selling from "selling";
  // userID = the current user's id.
  void updatePropertyWithDic(const ns::Value& dic);

 protected:
  QMSeason() = default;

 private:
  enum Attribute { kCode, kSeasonId, kName, kProductLine, kProperty, kUserID, kSelling, kIsSelected };
  enum Relationship { kOwnSubject };
};

}  // namespace app

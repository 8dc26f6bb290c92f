#include "app/store/QMSeason.h"

#include "app/store/QMCoreDataHelper.h"
#include "app/store/QMSubject.h"
#include "app/store/ServerValue.h"
#include "platform/foundation/check/Check.h"

namespace app {

cd::EntityDescription QMSeason::entityDescription() {
  using cd::AttributeType;
  return cd::EntityDescription(std::string(kEntityName), cd::makeObjectOf<QMSeason>,
                               {{"code", AttributeType::kText},
                                {"seasonId", AttributeType::kText, cd::AttributeIndexing::kIndexed},
                                {"name", AttributeType::kText},
                                {"productLine", AttributeType::kText},
                                {"property", AttributeType::kText},
                                {"userID", AttributeType::kText},
                                {"selling", AttributeType::kInteger},
                                {"isSelected", AttributeType::kInteger}},
                               {{"ownSubject", std::string(QMSubject::kEntityName), cd::Cardinality::kToMany,
                                 "ownBySeason", cd::DeleteRule::kNullify}});
}

std::vector<std::shared_ptr<QMSubject>> QMSeason::ownSubject() const {
  return relatedObjectsAs<QMSubject>(kOwnSubject);
}

void QMSeason::updatePropertyWithDic(const ns::Value& dic) {
  QM_DCHECK_MAIN_THREAD();
  setSeasonId(serverText(dic.find("id")));
  setName(serverText(dic.find("name")));
  setCode(serverText(dic.find("code")));
  setProperty(serverText(dic.find("property")));
  setProductLine(serverText(dic.find("productLine")));
  setSelling(serverIntegerOrNil(dic.find("selling")));
  setUserID(QMCoreDataHelper::sharedInstance().currentUserId());
}

}  // namespace app

#pragma once

// QMUser: the signed-in learner. The session id decides whether the application is logged in; it, the
// profile, the coin account and the two Wi-Fi-only switches are kept in user defaults, one key per field,
// so that a session survives a restart. The learning summary's server time, the remember-my-choice answers
// and the user-agreement fields live in memory for the running process only.
//
// Getters of the profile and session texts read their key on first use and keep the text (a missing key is
// read again next time); the coin account and the switches are read from user defaults on every call (a
// missing key gives 0 or false). Every setter of a kept field writes its key at once (std::nullopt removes
// it) and synchronises the defaults. Texts from replies reach these setters as texts (a JSON null as empty
// text, see app/store/ServerValue.h), and a null coin remark removes its key, so no null is ever stored.
//
// Thread-safety: main thread only.

#include <memory>
#include <optional>
#include <string>

#include "platform/foundation/values/Object.h"
#include "platform/foundation/values/Value.h"

namespace app {

// Posted with no object when the learner logs out.
inline constexpr char kQMUserLogoutNotification[] = "UserLogout";

class QMUser : public ns::Object {
 public:
  // Returns the process-wide learner, made on first use.
  static const std::shared_ptr<QMUser>& sharedInstance();
  // Drops the process-wide learner, as a new process would start; the next sharedInstance() makes another.
  static void resetSharedInstanceForTesting();

  // True while a session id is held, even an empty one (the request layer sends only a non-empty one).
  bool isLogin();

  // Ends the session: pauses every download, removes the profile, session and summary keys, clears the
  // agreement need, turns both Wi-Fi-only switches on, zeroes the coin account, posts
  // kQMUserLogoutNotification and rebuilds the root screen (the login screen). The server time, the
  // remember-my-choice answers and the other agreement fields keep their values.
  void logout();

  std::optional<std::string> userLoginName() { return loadedText(userLoginName_); }
  void setUserLoginName(std::optional<std::string> value) { storeText(userLoginName_, std::move(value)); }
  // No password is ever stored; the only value written is std::nullopt.
  std::optional<std::string> userPassword() { return loadedText(userPassword_); }
  void setUserPassword(std::optional<std::string> value) { storeText(userPassword_, std::move(value)); }
  std::optional<std::string> userId() { return loadedText(userId_); }
  void setUserId(std::optional<std::string> value) { storeText(userId_, std::move(value)); }
  std::optional<std::string> userSid() { return loadedText(userSid_); }
  void setUserSid(std::optional<std::string> value) { storeText(userSid_, std::move(value)); }
  std::optional<std::string> userNickName() { return loadedText(userNickName_); }
  void setUserNickName(std::optional<std::string> value) { storeText(userNickName_, std::move(value)); }
  std::optional<std::string> userRealName() { return loadedText(userRealName_); }
  void setUserRealName(std::optional<std::string> value) { storeText(userRealName_, std::move(value)); }
  std::optional<std::string> userAvater() { return loadedText(userAvater_); }
  void setUserAvater(std::optional<std::string> value) { storeText(userAvater_, std::move(value)); }
  std::optional<std::string> userBirthday() { return loadedText(userBirthday_); }
  void setUserBirthday(std::optional<std::string> value) { storeText(userBirthday_, std::move(value)); }
  std::optional<std::string> userAddress() { return loadedText(userAddress_); }
  void setUserAddress(std::optional<std::string> value) { storeText(userAddress_, std::move(value)); }
  std::optional<std::string> userSex() { return loadedText(userSex_); }
  void setUserSex(std::optional<std::string> value) { storeText(userSex_, std::move(value)); }

  // The coin amounts are kept as 32-bit floats: a value reads back as its float, widened.
  double ZCoinAmount() const;
  void setZCoinAmount(double amount);
  double ZCoinFreezeAmount() const;
  void setZCoinFreezeAmount(double amount);
  // The coin account's remark as the reply gives it; std::nullopt or a null removes the key.
  std::optional<ns::Value> ZCoinMark() const;
  void setZCoinMark(std::optional<ns::Value> mark);

  std::optional<std::string> onLearningSubjectNumber() { return loadedText(onLearningSubjectNumber_); }
  void setOnLearningSubjectNumber(std::optional<std::string> value) {
    storeText(onLearningSubjectNumber_, std::move(value));
  }
  std::optional<std::string> onLearningProcess() { return loadedText(onLearningProcess_); }
  void setOnLearningProcess(std::optional<std::string> value) {
    storeText(onLearningProcess_, std::move(value));
  }
  std::optional<std::string> remainderDays() { return loadedText(remainderDays_); }
  void setRemainderDays(std::optional<std::string> value) { storeText(remainderDays_, std::move(value)); }

  bool onlyWifiPlay() const;
  void setOnlyWifiPlay(bool onlyWifi);
  bool onlyWifiDown() const;
  void setOnlyWifiDown(bool onlyWifi);

  // Kept in memory only.
  const std::optional<std::string>& serverTime() const { return serverTime_; }
  void setServerTime(std::optional<std::string> value) { serverTime_ = std::move(value); }
  bool keepRememberPlay() const { return keepRememberPlay_; }
  void setKeepRememberPlay(bool remember) { keepRememberPlay_ = remember; }
  bool keepRememberDown() const { return keepRememberDown_; }
  void setKeepRememberDown(bool remember) { keepRememberDown_ = remember; }
  bool isNeedSign() const { return isNeedSign_; }
  void setIsNeedSign(bool needSign) { isNeedSign_ = needSign; }
  const std::optional<std::string>& protocolAddress() const { return protocolAddress_; }
  void setProtocolAddress(std::optional<std::string> value) { protocolAddress_ = std::move(value); }
  const std::optional<std::string>& protocolName() const { return protocolName_; }
  void setProtocolName(std::optional<std::string> value) { protocolName_ = std::move(value); }
  const std::optional<std::string>& protocolID() const { return protocolID_; }
  void setProtocolID(std::optional<std::string> value) { protocolID_ = std::move(value); }
  const std::optional<std::string>& productID() const { return productID_; }
  void setProductID(std::optional<std::string> value) { productID_ = std::move(value); }

 private:
  // A text kept under a user-defaults key, with the value read or written last.
  struct KeptText {
    const char* key;
    std::optional<std::string> value;
  };

  QMUser() = default;

  static std::optional<std::string> loadedText(KeptText& field);
  static void storeText(KeptText& field, std::optional<std::string> value);

  KeptText userLoginName_{"USERLOGINNAME", {}};
  KeptText userPassword_{"USERLOGINPASSWORD", {}};
  KeptText userId_{"USERID", {}};
  KeptText userSid_{"USERSID", {}};
  KeptText userNickName_{"USERNICKNAME", {}};
  KeptText userRealName_{"USERREALNAME", {}};
  KeptText userAvater_{"USERAVATER", {}};
  KeptText userBirthday_{"USERBIRTHDAY", {}};
  KeptText userAddress_{"USERADRESS", {}};
  KeptText userSex_{"USERSEX", {}};
  KeptText onLearningSubjectNumber_{"UserSubjectNumber", {}};
  KeptText onLearningProcess_{"UserProcess", {}};
  KeptText remainderDays_{"UserRemainderDays", {}};

  std::optional<std::string> serverTime_;
  bool keepRememberPlay_ = false;
  bool keepRememberDown_ = false;
  bool isNeedSign_ = false;
  std::optional<std::string> protocolAddress_;
  std::optional<std::string> protocolName_;
  std::optional<std::string> protocolID_;
  std::optional<std::string> productID_;
};

}  // namespace app

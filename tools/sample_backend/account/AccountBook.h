#pragma once

// sample_backend::account::AccountBook: every learner's coin account and orders, made the first time a
// learner asks and kept in memory for the life of the back end (a restart starts every book afresh).
//
// Each learner's book holds a coin balance of 12.5 with the transactions that led to it, and
// kOrderCount orders, newest first: kUnpaidCount unpaid (status 0), kClosedCount closed (status 2) and the
// rest paid (status 1), mixed over time, so that every tab of the order list fills several pages of 10.
// Cancelling an unpaid order closes it.
//
// Thread-safety: any thread; the books are kept under a lock.

#include <map>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "platform/foundation/check/Mutex.h"

namespace sample_backend::account {

// The order statuses the back end keeps, and the status that asks for every order.
inline constexpr int kStatusUnpaid = 0;
inline constexpr int kStatusPaid = 1;
inline constexpr int kStatusClosed = 2;
inline constexpr int kStatusAll = -1;

class AccountBook {
 public:
  static constexpr int kOrderCount = 60;
  static constexpr int kUnpaidCount = 24;
  static constexpr int kClosedCount = 24;
  static constexpr double kBalance = 12.5;

  enum class CancelOutcome { kCancelled, kNoSuchOrder, kNotUnpaid };

  // The coin account of `userId`: "amount", "freezeAmount" and "remark".
  nlohmann::json coinAccount(const std::string& userId);
  // The coin transactions of `userId`, newest first.
  nlohmann::json coinTransactions(const std::string& userId);
  // Page `page` (from 1) of `pageSize` orders of `userId` in `status` (kStatusAll for every one), newest
  // first; an empty array past the last page.
  nlohmann::json orderPage(const std::string& userId, int status, int page, int pageSize);
  // How many orders of `userId` are in `status` (kStatusAll for every one).
  int orderCount(const std::string& userId, int status);
  // Closes the unpaid order `orderNo` of `userId`.
  CancelOutcome cancelOrder(const std::string& userId, const std::string& orderNo);

 private:
  // The orders of `userId`, made on first use.
  std::vector<nlohmann::json>& ordersOf(const std::string& userId) QM_REQUIRES(mutex_);
  std::vector<nlohmann::json> matching(const std::string& userId, int status) QM_REQUIRES(mutex_);

  ns::Mutex mutex_;
  std::map<std::string, std::vector<nlohmann::json>> orders_ QM_GUARDED_BY(mutex_);
};

}  // namespace sample_backend::account
